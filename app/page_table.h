#pragma once
// The eight main pages that CKm3View owns, in the order of their index, and how each is made.
// A page that is not built yet is a placeholder showing its caption; replacing it is one line
// in page_table.cpp: its factory.

#include <array>

#include "platform/win_types.h"

class QWidget;

namespace app {

enum PageIndex : int {
    kPageLogo = 0,
    kPageConnection,
    kPageInformation,
    kPageMeasureSetup,
    kPageDocumentation,
    kPageCalibration,
    kPageMeasureControl,
    kPageDiagnostics,
    kPageCount
};

// A page's factory: creates the page as a child of parent (the view's page area).
using PageFactory = QWidget* (*)(QWidget* parent, int pageIndex);

struct PageSlot {
    PageIndex index;
    int kind;          // the page's dialog number, as GetActiveViewKind reports it
    UINT captionId;    // string id of the page's caption (menu entry, tree item, placeholder)
    PageFactory make;
};

const std::array<PageSlot, kPageCount>& PageTable();
// The kind of the measurement control panel.
constexpr int kKindMeasureControl = 138;

// Makes a page of class T (a widget taking its parent): the factory of a built page.
template <class T>
QWidget* MakePage(QWidget* parent, int)
{
    return new T(parent);
}
// The placeholder of a page that is not built yet.
QWidget* MakePlaceholderPage(QWidget* parent, int pageIndex);

}  // namespace app
