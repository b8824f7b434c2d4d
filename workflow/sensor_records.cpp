#include "workflow/sensor_records.h"

void CSensorRecord::Reset()
{
    m_bValid = 0;
    m_sIdent.fill(0);
    m_sIdent[kIdentNoDigitalInput] = 1;
    m_sIdent[kIdentHmbUsb] = 1;
    m_cRefusalCode = 0;
    m_anBlockCheck.fill(0);
    m_sStatorHeader = StatorHeader{};
    m_sStatorHardware = StatorHardware{};
    m_sStatorOperation = StatorOperation{};
    m_sSwConfig = CSensorSwConfig{};
    m_sRotorHeader = RotorHeader{};
    m_sRotorFactoryCalib = RotorCalib{};
    m_sRotorUserCalib = RotorCalib{};
    m_sRotorOperation = CSensorRecordTail{};
    m_sEncoder = EncoderInfo{};
    m_bConnected = 0;
    m_bReserved1 = 0;
    m_bReserved2 = 0;
    m_strBlockStatorOperation.Empty();
    m_strBlockRotorOperation.Empty();
    m_strBlockRotorUserCalib.Empty();
    m_strBlockStatorSwConfig.Empty();
    m_strBlockRotorFactoryCalib.Empty();
}

void CPortRecord::ClearForSearch()
{
    m_nSavedState = m_nState;
    m_strPortName.Empty();
    m_nState = -1;
    m_nBaudRate = -1;
    m_nAddress = 0;
    m_bSlotFilled.fill(0);
}
