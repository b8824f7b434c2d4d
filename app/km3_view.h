#pragma once
// CKm3View: the main window's page area. It owns the eight main pages as modeless children,
// created once, and shows one at a time.

#include <QStackedWidget>

#include <array>

#include "app/page_table.h"

class CKm3View : public QStackedWidget {
public:
    explicit CKm3View(QWidget* parent = nullptr);

    void ShowPage(int pageIndex);
    // The kind (dialog number) of the page shown.
    int ActiveKind() const;
    QWidget* Page(int pageIndex) const;
    // Every page sets its texts again in the current language.
    void LoadLanguageTexts();

private:
    std::array<QWidget*, app::kPageCount> m_pages{};
};
