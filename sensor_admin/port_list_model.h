#pragma once
// CPortListModel: what the connection page's port list shows, one row per port-table row:
// the cells of the eight columns, the row's text and background colour, the enable check box
// and the search progress cell. The controller and the page read and write it by row and
// column; the list widget only draws it. A row whose background is not white is a row the
// user selected.

#include <array>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

namespace sensor_admin {

enum PortColumn : int {
    kColumnPort = 0,
    kColumnSensorType = 1,
    kColumnRangeEnd = 2,
    kColumnAddress = 3,
    kColumnSerial = 4,
    kColumnBaudRate = 5,
    kColumnStatus = 6,
    kColumnEnabled = 7,
    kPortColumnCount = 8,
};

constexpr COLORREF kColourWhite = 0xFFFFFF;
constexpr COLORREF kColourSelected = 0xF0D8B0;  // light blue (BGR)
constexpr COLORREF kColourBlack = 0x000000;

struct PortListRow {
    std::array<CString, kPortColumnCount> cell;
    COLORREF text = kColourBlack;
    COLORREF background = kColourWhite;
    bool checked = false;
    int progress = -1;  // percent of the search progress cell, -1: no progress shown
    int state = -1;     // the port state code the row was filled with
};

class CPortListModel {
public:
    void DeleteAllItems() { m_rows.clear(); }
    // Puts the row at index (rows in between are added empty).
    PortListRow& Row(int index);
    const PortListRow* Find(int index) const;
    int GetItemCount() const { return static_cast<int>(m_rows.size()); }
    CString GetItemText(int row, int column) const;
    void SetItemText(int row, int column, const CString& text);
    bool IsMarked(int row) const;
    // The user's click: marks the row (selected background) or takes the mark away.
    void ToggleMark(int row);
    void SetMark(int row, bool marked);
    // The first marked row, -1 for none.
    int FirstMarked() const;
    const std::vector<PortListRow>& Rows() const { return m_rows; }

private:
    std::vector<PortListRow> m_rows;
};

}  // namespace sensor_admin
