#pragma once
// CPortManGui: the port manager with what dialogs need: filling a combo box with the ports
// that can be chosen, and the text of a baud rate (RateText).

#include "port/port_man.h"

// The few operations of a combo box that the port list fills (the dialog's control does
// them; tests record them).
class PortComboBox {
public:
    virtual ~PortComboBox() = default;
    virtual void ResetContent() = 0;
    virtual int AddString(const CString& text) = 0;
    // From item start on, the first item that begins with text becomes the selection.
    virtual int SelectString(int start, const CString& text) = 0;
    virtual int FindStringExact(int start, const CString& text) = 0;
    // -1 clears the selection.
    virtual int SetCurSel(int index) = 0;
};

class CPortManGui : public CPortMan {
public:
    using CPortMan::CPortMan;

    static void FillPortCombo(PortComboBox& combo, const CString& portName, bool clearFirst);
    // The table's text of a rate (empty when its text is missing), else the rate in decimal.
    static CString RateText(DWORD rate);
};
