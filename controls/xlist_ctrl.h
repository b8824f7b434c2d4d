#pragma once
// CXListCtrl: a report list whose cells carry their own text and colours, and may be a check
// box or a progress bar. The program writes every cell; the user edits none.
//
// A page sets up its columns once and fills rows:
//     list->InsertColumn(0, "Port", LVCFMT_LEFT, 80);
//     list->InsertColumn(7, "OK", LVCFMT_CENTER, 40);
//     const int row = list->InsertItem(list->GetItemCount(), "(COM3)", RGB(0, 0, 0), RGB(255, 255, 255));
//     list->SetItemText(row, 6, "aktiv");
//     list->SetCheckbox(row, 7, 1);
//     list->SetProgress(row, 6);  list->UpdateProgress(row, 6, 40);
//     list->SetRowColors(row, RGB(0, 0, 0), RGB(255, 255, 128));
//     list->DeleteAllItems();     // rows and their cells are gone
// Colours are COLORREF (RGB()); the default is black text on white.
// Notifies, only on the user's action (never on the program's writes):
//   - NM_CLICK / NM_DBLCLK to the owning dialog (OnCommand) when the user clicks a row;
//     GetLastClick tells which cell;
//   - the registered message CheckboxClickedMessage() (name kXListCheckboxClickedName), sent
//     to the owning dialog after the user toggled a check box cell: wParam row, lParam column.

#include <QTableWidget>

#include "platform/cstring.h"
#include "platform/win_types.h"

class CWnd;

constexpr int LVCFMT_LEFT = 0;
constexpr int LVCFMT_RIGHT = 1;
constexpr int LVCFMT_CENTER = 2;

inline constexpr const char* kXListCheckboxClickedName = "WM_XLISTCTRL_CHECKBOX_CLICKED";

class CXListCtrl : public QTableWidget {
public:
    explicit CXListCtrl(QWidget* parent = nullptr);
    ~CXListCtrl() override;

    static UINT CheckboxClickedMessage();

    // Columns. InsertColumn returns the new column's index (appended when col is beyond the
    // last), -1 for col < 0. width < 0 fits the heading.
    int InsertColumn(int col, const CString& heading, int format = LVCFMT_LEFT, int width = -1);
    int GetColumnCount() const { return columnCount(); }
    BOOL SetColumnWidth(int col, int width);

    // Rows. InsertItem puts a row at index row (appended when row is beyond the last) with
    // text in column 0 and returns its index, -1 for row < 0 or a list without columns.
    int InsertItem(int row, const CString& text);
    int InsertItem(int row, const CString& text, COLORREF textColor, COLORREF bkColor);
    int GetItemCount() const { return rowCount(); }
    BOOL DeleteItem(int row);
    // Removes every row with its cells. Always TRUE.
    BOOL DeleteAllItems();

    // Cells. Each setter returns FALSE, and changes nothing, for a cell outside the list.
    BOOL SetItemText(int row, int col, const CString& text);
    BOOL SetItemText(int row, int col, const CString& text, COLORREF textColor, COLORREF bkColor);
    // Empty for a cell outside the list.
    CString GetItemText(int row, int col) const;
    BOOL SetItemColors(int row, int col, COLORREF textColor, COLORREF bkColor);
    // Gives every cell of the row these colours.
    BOOL SetRowColors(int row, COLORREF textColor, COLORREF bkColor);

    // Check box cells: check 0 unchecked, 1 checked, -1 no check box.
    BOOL SetCheckbox(int row, int col, int check);
    // -1 for a cell without a check box (or outside the list).
    int GetCheckbox(int row, int col) const;

    // Progress cells show a bar with its percentage in place of the text.
    BOOL SetProgress(int row, int col, int percent = 0);
    // percent is held to 0..100. FALSE for a cell that is no progress cell.
    BOOL UpdateProgress(int row, int col, int percent);
    BOOL DeleteProgress(int row, int col);
    // -1 for a cell that is no progress cell.
    int GetProgress(int row, int col) const;

    // The selected row; -1 for none. SetCurSel(-1) clears the selection. Neither notifies.
    int GetCurSel() const;
    BOOL SetCurSel(int row);

    // The cell of the user's last click; -1, -1 before any.
    void GetLastClick(int& row, int& col) const { row = m_clickRow; col = m_clickCol; }

    // The window that receives the notifications; by default the owning dialog.
    void SetNotifyWindow(CWnd* window) { m_notifyWindow = window; }

protected:
    void mousePressEvent(class QMouseEvent* event) override;
    void mouseDoubleClickEvent(class QMouseEvent* event) override;
    void keyPressEvent(class QKeyEvent* event) override;

private:
    bool IsCell(int row, int col) const;
    QTableWidgetItem* Cell(int row, int col) const;
    void NotifyClick(UINT code, int row, int col);
    void SendToOwner(UINT message, WPARAM wParam, LPARAM lParam);
    void ToggleCheckbox(int row, int col);

    int m_clickRow = -1;
    int m_clickCol = -1;
    CWnd* m_notifyWindow = nullptr;
};
