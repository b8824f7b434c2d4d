#include "port/dcb.h"

CDcb::CDcb() : m_nState(kPortNotOpenYet), m_bManualRts(0), m_bManualDtr(0), m_sDisplayName("COM1:"), m_bValid(false)
{
    std::memset(&m_dcb, 0, sizeof m_dcb);
    m_dcb.DCBlength = sizeof(DCB);
    m_dcb.BaudRate = 9600;
    m_dcb.ByteSize = 8;
    m_dcb.Parity = NOPARITY;
    m_dcb.StopBits = ONESTOPBIT;
    m_dcb.fParity = 1;
    m_dcb.fDtrControl = DTR_CONTROL_ENABLE;
    m_dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
}

void CDcb::Copy(const CDcb& source)
{
    if (&source == this) return;
    m_nState.store(source.m_nState.load());
    m_bManualRts = source.m_bManualRts;
    m_bManualDtr = source.m_bManualDtr;
    m_sDisplayName = source.m_sDisplayName;
    m_sSymbolicLink = source.m_sSymbolicLink;
    m_sAlternateDeviceName = source.m_sAlternateDeviceName;
    m_sRequestedName = source.m_sRequestedName;
    m_dcb = source.m_dcb;
    m_bValid.store(source.m_bValid.load());
}

void CDcb::SetHandshake(int mode)
{
    if (mode < 0 || mode > 4) return;
    m_dcb.fOutxCtsFlow = mode == 2;
    m_dcb.fOutxDsrFlow = mode == 3;
    m_dcb.fOutX = mode == 1;
    m_dcb.fInX = mode == 1;
    if (mode != 4) {
        m_dcb.fDtrControl = mode == 3 ? DTR_CONTROL_HANDSHAKE : DTR_CONTROL_ENABLE;
        m_dcb.fRtsControl = mode == 2 ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    }
    m_bManualRts = mode == 4;
    m_bManualDtr = mode == 4;
}

CString CDcb::GetStateText() const
{
    switch (GetState()) {
    case kPortLent:
        return "Granted";
    case kPortOffLineByUser:
    case kPortOffLineDeviceGone:
        return "OffLine";
    default:
        return m_bValid ? m_sDisplayName : CString("Bad Config");
    }
}
