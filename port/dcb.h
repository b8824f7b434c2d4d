#pragma once
// CDcb: everything the port manager needs to open a port: the serial line settings, the two
// manual modem-line switches, the names under which the port is known and the manager's state.

#include <atomic>

#include "platform/cstring.h"
#include "port/comm_types.h"

// Manager states kept in the record's state word.
enum PortState : int {
    kPortOpen = 0,
    kPortOffLineByUser = 1,
    kPortLent = 2,
    kPortOffLineDeviceGone = 3,
    kPortNotOpenYet = 4,
};

class CDcb {
public:
    CDcb();
    CDcb(const CDcb& other) { Copy(other); }
    CDcb& operator=(const CDcb& other)
    {
        Copy(other);
        return *this;
    }
    virtual ~CDcb() = default;

    void Copy(const CDcb& source);

    // Handshake modes: 0 none, 1 software (XON/XOFF), 2 RTS/CTS, 3 DTR/DSR, 4 manual lines.
    void SetHandshake(int mode);
    void SetName(const CString& name)
    {
        m_sDisplayName = name;
        m_sRequestedName = name;
    }
    CString GetName() const { return m_sDisplayName; }
    // "Granted" while lent, "OffLine" while closed, "Bad Config" when the last open with these
    // settings did not succeed, else the display name.
    CString GetStateText() const;

    int GetState() const { return m_nState.load(); }
    void SetState(int state) { m_nState.store(state); }

    // The state word is read by the device-change thread while the GUI thread changes it.
    std::atomic<int> m_nState;
    DWORD m_bManualRts;
    DWORD m_bManualDtr;
    CString m_sDisplayName;
    CString m_sSymbolicLink;
    CString m_sAlternateDeviceName;
    CString m_sRequestedName;
    DCB m_dcb;
    std::atomic<bool> m_bValid;
};
