#include "measurement/page_controls.h"

namespace measurement {

const ControlState* PageControls::Find(int id) const
{
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : &it->second;
}

CString PageControls::Text(int id) const
{
    const ControlState* c = Find(id);
    return c ? c->text : CString();
}

bool PageControls::IsShown(int id) const
{
    const ControlState* c = Find(id);
    return c ? c->shown : true;
}

bool PageControls::IsEnabled(int id) const
{
    const ControlState* c = Find(id);
    return c ? c->enabled : true;
}

bool PageControls::IsChecked(int id) const
{
    const ControlState* c = Find(id);
    return c && c->checked;
}

void PageControls::ResetContent(int id)
{
    ControlState& c = (*this)[id];
    c.entries.clear();
    c.selection = -1;
}

void PageControls::AddItem(int id, const CString& text, long long datum)
{
    (*this)[id].entries.push_back({text, datum});
}

int PageControls::SelectByDatum(int id, long long datum)
{
    ControlState& c = (*this)[id];
    c.selection = -1;
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
        if (c.entries[i].datum == datum) {
            c.selection = static_cast<int>(i);
            break;
        }
    }
    return c.selection;
}

void PageControls::Select(int id, int index)
{
    ControlState& c = (*this)[id];
    c.selection = index >= 0 && index < static_cast<int>(c.entries.size()) ? index : -1;
}

int PageControls::Selection(int id) const
{
    const ControlState* c = Find(id);
    return c ? c->selection : -1;
}

int PageControls::Count(int id) const
{
    const ControlState* c = Find(id);
    return c ? static_cast<int>(c->entries.size()) : 0;
}

long long PageControls::SelectedDatum(int id, long long fallback) const
{
    const ControlState* c = Find(id);
    if (!c || c->selection < 0 || c->selection >= static_cast<int>(c->entries.size())) return fallback;
    return c->entries[static_cast<std::size_t>(c->selection)].datum;
}

bool PageControls::HasDatum(int id, long long datum) const
{
    const ControlState* c = Find(id);
    if (!c) return false;
    for (const ComboEntry& e : c->entries)
        if (e.datum == datum) return true;
    return false;
}

CString PageControls::EntryText(int id, int index) const
{
    const ControlState* c = Find(id);
    if (!c || index < 0 || index >= static_cast<int>(c->entries.size())) return CString();
    return c->entries[static_cast<std::size_t>(index)].text;
}

}  // namespace measurement
