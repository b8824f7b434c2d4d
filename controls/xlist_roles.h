#pragma once
// Inside the list control: where a cell keeps its colours, check, progress and row datum, and
// the delegate that draws cells from them.

#include <QStyledItemDelegate>

namespace controls::xlist {

constexpr int kTextColorRole = Qt::UserRole + 1;  // COLORREF as uint
constexpr int kBkColorRole = Qt::UserRole + 2;    // COLORREF as uint
constexpr int kCheckRole = Qt::UserRole + 3;      // 0 or 1; absent: no check box
constexpr int kProgressRole = Qt::UserRole + 4;   // 0..100; absent: no progress bar

// Draws a cell in its own colours, with its check box or progress bar.
QStyledItemDelegate* NewDelegate(QObject* parent);

}  // namespace controls::xlist
