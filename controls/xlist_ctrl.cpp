#include "controls/xlist_ctrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

#include "controls/owning_dialog.h"
#include "controls/xlist_roles.h"
#include "platform/dialog.h"
#include "platform/message_loop.h"
#include "platform/qt_text.h"

using controls::xlist::kBkColorRole;
using controls::xlist::kCheckRole;
using controls::xlist::kProgressRole;
using controls::xlist::kTextColorRole;

namespace {

QTableWidgetItem* NewCell(COLORREF textColor, COLORREF bkColor)
{
    auto* item = new QTableWidgetItem();
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setData(kTextColorRole, static_cast<uint>(textColor));
    item->setData(kBkColorRole, static_cast<uint>(bkColor));
    return item;
}

}  // namespace

CXListCtrl::CXListCtrl(QWidget* parent) : QTableWidget(parent)
{
    setItemDelegate(controls::xlist::NewDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
}

CXListCtrl::~CXListCtrl() = default;

UINT CXListCtrl::CheckboxClickedMessage()
{
    static const UINT message = platform::RegisterWindowMessage(kXListCheckboxClickedName);
    return message;
}

// ---------------------------------------------------------------------------------------------
// Columns and rows

int CXListCtrl::InsertColumn(int col, const CString& heading, int format, int width)
{
    if (col < 0) return -1;
    col = std::min(col, columnCount());
    insertColumn(col);
    auto* header = new QTableWidgetItem(platform::ToQString(heading));
    const Qt::Alignment align = format == LVCFMT_RIGHT    ? Qt::AlignRight
                                : format == LVCFMT_CENTER ? Qt::AlignHCenter
                                                          : Qt::AlignLeft;
    header->setTextAlignment(align | Qt::AlignVCenter);
    setHorizontalHeaderItem(col, header);
    for (int row = 0; row < rowCount(); ++row) {
        QTableWidgetItem* item = NewCell(RGB(0, 0, 0), RGB(255, 255, 255));
        item->setTextAlignment(align | Qt::AlignVCenter);
        setItem(row, col, item);
    }
    if (width >= 0)
        setColumnWidth(col, width);
    else
        setColumnWidth(col, fontMetrics().horizontalAdvance(header->text()) + 16);
    return col;
}

BOOL CXListCtrl::SetColumnWidth(int col, int width)
{
    if (col < 0 || col >= columnCount() || width < 0) return FALSE;
    setColumnWidth(col, width);
    return TRUE;
}

int CXListCtrl::InsertItem(int row, const CString& text)
{
    return InsertItem(row, text, RGB(0, 0, 0), RGB(255, 255, 255));
}

int CXListCtrl::InsertItem(int row, const CString& text, COLORREF textColor, COLORREF bkColor)
{
    if (row < 0 || columnCount() == 0) return -1;
    row = std::min(row, rowCount());
    insertRow(row);
    for (int col = 0; col < columnCount(); ++col) {
        QTableWidgetItem* item = NewCell(textColor, bkColor);
        if (const QTableWidgetItem* header = horizontalHeaderItem(col)) item->setTextAlignment(Qt::Alignment(header->textAlignment()));
        setItem(row, col, item);
    }
    item(row, 0)->setText(platform::ToQString(text));
    return row;
}

BOOL CXListCtrl::DeleteItem(int row)
{
    if (row < 0 || row >= rowCount()) return FALSE;
    removeRow(row);
    return TRUE;
}

BOOL CXListCtrl::DeleteAllItems()
{
    clearSelection();
    setRowCount(0);  // deletes the rows' cells
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Cells

bool CXListCtrl::IsCell(int row, int col) const
{
    return row >= 0 && row < rowCount() && col >= 0 && col < columnCount();
}

QTableWidgetItem* CXListCtrl::Cell(int row, int col) const
{
    return IsCell(row, col) ? item(row, col) : nullptr;
}

BOOL CXListCtrl::SetItemText(int row, int col, const CString& text)
{
    QTableWidgetItem* cell = Cell(row, col);
    if (!cell) return FALSE;
    cell->setText(platform::ToQString(text));
    return TRUE;
}

BOOL CXListCtrl::SetItemText(int row, int col, const CString& text, COLORREF textColor, COLORREF bkColor)
{
    if (!SetItemText(row, col, text)) return FALSE;
    return SetItemColors(row, col, textColor, bkColor);
}

CString CXListCtrl::GetItemText(int row, int col) const
{
    const QTableWidgetItem* cell = Cell(row, col);
    return cell ? platform::FromQString(cell->text()) : CString();
}

BOOL CXListCtrl::SetItemColors(int row, int col, COLORREF textColor, COLORREF bkColor)
{
    QTableWidgetItem* cell = Cell(row, col);
    if (!cell) return FALSE;
    cell->setData(kTextColorRole, static_cast<uint>(textColor));
    cell->setData(kBkColorRole, static_cast<uint>(bkColor));
    return TRUE;
}

BOOL CXListCtrl::SetRowColors(int row, COLORREF textColor, COLORREF bkColor)
{
    if (row < 0 || row >= rowCount()) return FALSE;
    for (int col = 0; col < columnCount(); ++col) SetItemColors(row, col, textColor, bkColor);
    return TRUE;
}

BOOL CXListCtrl::SetCheckbox(int row, int col, int check)
{
    QTableWidgetItem* cell = Cell(row, col);
    if (!cell || check < -1 || check > 1) return FALSE;
    if (check < 0)
        cell->setData(kCheckRole, QVariant());
    else
        cell->setData(kCheckRole, check);
    return TRUE;
}

int CXListCtrl::GetCheckbox(int row, int col) const
{
    const QTableWidgetItem* cell = Cell(row, col);
    if (!cell) return -1;
    const QVariant check = cell->data(kCheckRole);
    return check.isValid() ? check.toInt() : -1;
}

BOOL CXListCtrl::SetProgress(int row, int col, int percent)
{
    QTableWidgetItem* cell = Cell(row, col);
    if (!cell) return FALSE;
    cell->setData(kProgressRole, std::clamp(percent, 0, 100));
    return TRUE;
}

BOOL CXListCtrl::UpdateProgress(int row, int col, int percent)
{
    if (GetProgress(row, col) < 0) return FALSE;
    return SetProgress(row, col, percent);
}

BOOL CXListCtrl::DeleteProgress(int row, int col)
{
    QTableWidgetItem* cell = Cell(row, col);
    if (!cell) return FALSE;
    cell->setData(kProgressRole, QVariant());
    return TRUE;
}

int CXListCtrl::GetProgress(int row, int col) const
{
    const QTableWidgetItem* cell = Cell(row, col);
    if (!cell) return -1;
    const QVariant progress = cell->data(kProgressRole);
    return progress.isValid() ? progress.toInt() : -1;
}

int CXListCtrl::GetCurSel() const
{
    const QList<QTableWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : selected.front()->row();
}

BOOL CXListCtrl::SetCurSel(int row)
{
    if (row < 0 || row >= rowCount()) {
        clearSelection();
        return row == -1;
    }
    selectRow(row);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// The user's actions

void CXListCtrl::ToggleCheckbox(int row, int col)
{
    const int check = GetCheckbox(row, col);
    if (check < 0) return;
    SetCheckbox(row, col, check == 0 ? 1 : 0);
    SendToOwner(CheckboxClickedMessage(), static_cast<WPARAM>(row), col);
}

void CXListCtrl::mousePressEvent(QMouseEvent* event)
{
    QTableWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) return;
    if (GetCheckbox(index.row(), index.column()) >= 0) ToggleCheckbox(index.row(), index.column());
    NotifyClick(NM_CLICK, index.row(), index.column());
}

void CXListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) NotifyClick(NM_DBLCLK, index.row(), index.column());
}

void CXListCtrl::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex index = currentIndex();
    if (event->key() == Qt::Key_Space && index.isValid() && GetCheckbox(index.row(), index.column()) >= 0) {
        ToggleCheckbox(index.row(), index.column());
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void CXListCtrl::NotifyClick(UINT code, int row, int col)
{
    m_clickRow = row;
    m_clickCol = col;
    const int id = platform::GetDlgCtrlID(this);
    CDialog* dialog = controls::OwningDialog(this);
    if (dialog && id != 0) dialog->Notify(id, code);
}

void CXListCtrl::SendToOwner(UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* receiver = m_notifyWindow ? m_notifyWindow : static_cast<CWnd*>(controls::OwningDialog(this));
    if (receiver) receiver->SendMessage(message, wParam, lParam);
}
