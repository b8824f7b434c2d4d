#pragma once
// The set-up page's controls as plain data: per control id its text, visibility, enabled and
// check state, and for a combo box its entries (text and item datum) with the selection.
// The page logic writes here; the widget shell copies the board onto its Qt controls after
// every change and writes the user's own changes back before it calls the logic. Tests read
// the board directly.

#include <map>
#include <vector>

#include "platform/cstring.h"

namespace measurement {

struct ComboEntry {
    CString text;
    long long datum = 0;
};

struct ControlState {
    CString text;
    bool shown = true;
    bool enabled = true;
    bool checked = false;
    std::vector<ComboEntry> entries;
    int selection = -1;  // combo entry index, -1 none
};

class PageControls {
public:
    ControlState& operator[](int id) { return m_controls[id]; }
    const ControlState* Find(int id) const;

    void SetText(int id, const CString& text) { (*this)[id].text = text; }
    CString Text(int id) const;
    void Show(int id, bool show) { (*this)[id].shown = show; }
    bool IsShown(int id) const;
    void Enable(int id, bool enable) { (*this)[id].enabled = enable; }
    bool IsEnabled(int id) const;
    void Check(int id, bool check) { (*this)[id].checked = check; }
    bool IsChecked(int id) const;

    // Combo boxes with item data: emptied, filled, selected by datum.
    void ResetContent(int id);
    void AddItem(int id, const CString& text, long long datum);
    // Selects the entry with that datum; none when there is none. Returns the index or -1.
    int SelectByDatum(int id, long long datum);
    void Select(int id, int index);
    int Selection(int id) const;
    int Count(int id) const;
    // The datum of the selected entry, or fallback when nothing is selected.
    long long SelectedDatum(int id, long long fallback = -1) const;
    bool HasDatum(int id, long long datum) const;
    CString EntryText(int id, int index) const;

    const std::map<int, ControlState>& All() const { return m_controls; }

private:
    std::map<int, ControlState> m_controls;
};

}  // namespace measurement
