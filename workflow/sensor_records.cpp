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

namespace {

// A byte of a unit text that shows as a glyph (Windows-1252): not a control character, not a
// blank, not one of the codes the code page leaves unassigned, not an erased memory's 0xFF.
bool IsUnitGlyph(unsigned char c)
{
    if (c <= 0x20 || c == 0x7F || c == 0xA0 || c == 0xFF) return false;
    return c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D;
}

}  // namespace

CString CSensorSwConfig::ShownUnit(const CString& stored)
{
    int first = 0, last = stored.GetLength() - 1;
    while (first <= last && !IsUnitGlyph(stored.ByteAt(first))) ++first;
    while (last >= first && !IsUnitGlyph(stored.ByteAt(last))) --last;
    return stored.Mid(first, last - first + 1);
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
