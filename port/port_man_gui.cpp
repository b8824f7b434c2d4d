#include "port/port_man_gui.h"

#include "port/port_list.h"
#include "port/port_texts.h"

namespace {

const struct {
    DWORD rate;
    UINT id;
} kBaudTexts[] = {
    {110, 13100},    {300, 13112},    {600, 13117},    {1200, 13102},   {2400, 13109},   {4800, 13115},
    {7200, 13118},   {9600, 13120},   {14400, 13104},  {19200, 13107},  {38400, 13113},  {57600, 13116},
    {115200, 13101}, {230400, 13108}, {460800, 13114}, {921600, 13119}, {125000, 13103}, {172800, 13106},
    {250000, 13110}, {256000, 13111}, {500000, 13155},
};

}  // namespace

void CPortManGui::FillPortCombo(PortComboBox& combo, const CString& portName, bool clearFirst)
{
    RefreshPortList();
    if (clearFirst) combo.ResetContent();
    CPortDetailArray& list = ThePortList();
    const int count = list.GetSize();
    for (int i = 0; i < count; ++i) {
        // Only ports the list offers (present, not hidden) and of a kind the system can drive.
        const CString text = list.VisibleName(i);
        DWORD kindFlags = 0;
        if (!text.IsEmpty() && list.EntryAt(i, nullptr, nullptr, &kindFlags) && kindFlags != 0) combo.AddString(text);
    }
    combo.SelectString(-1, CString());
    const int found = combo.FindStringExact(-1, list.DisplayTextOf(portName));
    combo.SetCurSel(found);
}

CString CPortManGui::RateText(DWORD rate)
{
    for (const auto& entry : kBaudTexts) {
        if (entry.rate != rate) continue;
        const char* text = PortText(entry.id);
        return text ? CString(text) : CString();
    }
    CString decimal;
    decimal.Format("%i", static_cast<int>(rate));
    return decimal;
}
