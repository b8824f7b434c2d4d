// Calibration steps on the sensor side of a user calibration: the raw acquisition of the
// calibration readings, and the rewrites of the rotor user-calibration block (block 0x82) that
// store new values, switch the user calibration on or off, or change a measuring inaccuracy.
// Every write works on a copy of the kept block; the kept text follows the write, and every
// copy kept of the block takes it once the sensor confirms it.

#include <cmath>

#include "platform/message_loop.h"
#include "workflow/com_port.h"

namespace {
constexpr BYTE kBlockUserCalib = 0x82;
}  // namespace

bool CComPort::COM_ZMReadRawCalibInit(int kind)
{
    if (m_pMainFrame) m_pMainFrame->ResetCalibRings();
    m_sCalib.nPhase = kind;
    m_iZMCOMConfgFlow = ZM_READ_RAW_CALIB_INIT;
    m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseCalibFifo;
    m_sCalib.nCount = 0;
    const CalibChannel& a = m_sCalib.channel[0];
    const CalibChannel& b = m_sCalib.channel[1];
    m_sCalib.bWithoutControl = m_bDualDevice ? a.bWithoutControlMark : (a.bWithoutControlMark && b.bWithoutControlMark);
    if (m_peers.measureControl) m_peers.measureControl->StartPollTimer(m_nCalibPollMs);
    return true;
}

CString& CComPort::KeptUserCalib(int sensor) { return KeptBlockOf(sensor, &CSensorRecord::m_strBlockRotorUserCalib); }

bool CComPort::WriteBlockFrame(const CString& block, bool invalidate, const std::shared_ptr<workflow::ISensorPort>& port,
                               int sensor, CString CSensorRecord::*text)
{
    CString frame;
    BuildWriteBlockFrame(frame, block, invalidate);
    if (frame.IsEmpty()) return false;  // no malformed frame reaches a sensor
    if (!WriteAwaitingAnswer(port, frame)) return false;
    // The kept text follows the write; a refusal puts the old one back.
    CString& kept = KeptBlockOf(sensor, text);
    m_pKeptOfWrite = &kept;
    m_strKeptBeforeWrite = kept;
    kept = block;
    AwaitBlockConfirmation(sensor, text, WrittenBlockText(block, invalidate));
    return true;
}

bool CComPort::COM_ZMCOMConfgUserCalibDeactivate(int sensor)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts) return false;
    if (m_Sensor[static_cast<std::size_t>(sensor)].m_sIdent[kIdentCalibration] != 3) return false;
    CString block = KeptUserCalib(sensor);
    if (!IsBlockFrameText(block)) return false;
    COM_ZMCOMConfgEnterStep(ZM_USERCALIB_DEACTIVATE);
    PrepareWriteBlockFrame(block, kBlockUserCalib);
    return WriteBlockFrame(block, true, m_pPortMan, sensor, &CSensorRecord::m_strBlockRotorUserCalib);
}

bool CComPort::COM_ZMCOMConfgUserCalibActivate(int sensor)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts) return false;
    if (m_Sensor[static_cast<std::size_t>(sensor)].m_sIdent[kIdentCalibration] != 2) return false;
    CString block = KeptUserCalib(sensor);
    if (!IsBlockFrameText(block)) return false;
    COM_ZMCOMConfgEnterStep(ZM_USERCALIB_ACTIVATE);
    PrepareWriteBlockFrame(block, kBlockUserCalib);
    const std::int64_t now = platform::CalendarSeconds();
    KadSend_WriteBlockSetContentRotorCalibUser(&block, &now, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                               nullptr, nullptr, nullptr, nullptr);
    return WriteBlockFrame(block, false, m_pPortMan, sensor, &CSensorRecord::m_strBlockRotorUserCalib);
}

bool CComPort::COM_ZMCOMConfgSetNewUserCalib()
{
    const workflow::CalibrationPageFields fields =
        m_peers.calibration ? m_peers.calibration->Fields() : workflow::CalibrationPageFields{};
    CString block = KeptUserCalib(0);
    if (!IsBlockFrameText(block)) return false;
    if (fields.newValuesAccepted == 1) {
        COM_ZMCOMConfgEnterStep(ZM_SET_NEW_USERCALIB);
        PrepareWriteBlockFrame(block, kBlockUserCalib);
        const CalibChannel& a = m_sCalib.channel[0];
        const CalibChannel& b = m_sCalib.channel[1];
        const std::int64_t now = platform::CalendarSeconds();
        const DWORD noInaccuracy = 0;
        KadSend_WriteBlockSetContentRotorCalibUser(&block, &now, &a.nGainCode, &a.nOffset, &b.nGainCode, &b.nOffset,
                                                   &a.nControlCode, &b.nControlCode, &fields.referenceValue[0],
                                                   &fields.referenceValue[1], &noInaccuracy, &noInaccuracy);
    }
    if (m_iZMCOMConfgFlow != ZM_SET_NEW_USERCALIB) return false;
    if (fields.newValuesAccepted != 1) PrepareWriteBlockFrame(block, kBlockUserCalib);
    return WriteBlockFrame(block, false, m_pPortMan, 0, &CSensorRecord::m_strBlockRotorUserCalib);
}

bool CComPort::COM_ZMCOMConfgSetInaccuracy(int sensor, double value)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts) return false;
    const workflow::CalibrationPageFields fields =
        m_peers.calibration ? m_peers.calibration->Fields() : workflow::CalibrationPageFields{};
    const int mode = fields.inaccuracyMode;
    const bool deleting = mode == 2 || mode == 3;
    BYTE valid = 0;
    BYTE kind = 0;
    COM_GetScaleValue(sensor, &valid, &kind, &value, 0);
    const DWORD code = static_cast<DWORD>(std::trunc(std::round(value * 10000.0)));
    if (!valid && !deleting) return false;

    // The factory block stands in while no user calibration is in force. Work on a copy: the
    // kept text changes only once the block has been written.
    const bool fromFactory = kind == 2;
    CString block = fromFactory ? KeptBlockOf(sensor, &CSensorRecord::m_strBlockRotorFactoryCalib)
                                : KeptUserCalib(sensor);
    const int checkResult = GetBlockReadResult(fromFactory ? kSlotRotorFactoryCalib : kSlotRotorUserCalib);
    if (!fields.inaccuracyWriteAllowed || !IsBlockFrameText(block)) return false;

    COM_ZMCOMConfgEnterStep(ZM_SET_INACCURACY_USERCALIB);
    PrepareWriteBlockFrame(block, kBlockUserCalib);
    const std::int64_t now = platform::CalendarSeconds();
    const bool channelA = mode == 0 || mode == 2;
    KadSend_WriteBlockSetContentRotorCalibUser(&block, &now, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                               nullptr, nullptr, channelA ? &code : nullptr,
                                               channelA ? nullptr : &code);

    // The stored inaccuracy of each channel, of the calibration in force.
    BYTE storedValidA = 0;
    BYTE storedValidB = 0;
    COM_GetScaleValue(sensor, &storedValidA, nullptr, nullptr, 1);
    COM_GetScaleValue(sensor, &storedValidB, nullptr, nullptr, 2);
    const bool validA = storedValidA != 0;
    const bool validB = storedValidB != 0;
    const bool sameAsFactory = COM_CalcInaccuracy(sensor);
    bool invalidate = false;
    if (deleting) {
        const bool otherStillValid = mode == 2 ? validB : validA;
        if (checkResult != 0) invalidate = true;        // the block was bad already
        else if (otherStillValid) invalidate = false;
        else invalidate = sameAsFactory;                // nothing left that differs: inactive
    }
    if (m_iZMCOMConfgFlow != ZM_SET_INACCURACY_USERCALIB) return false;
    return WriteBlockFrame(block, invalidate, m_pPortMan, sensor, &CSensorRecord::m_strBlockRotorUserCalib);
}
