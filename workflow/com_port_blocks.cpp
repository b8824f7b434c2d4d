// The eight block answers: each is validated, kept as text, parsed into the current sensor
// record, tied to the other blocks by a few rules, and during an identification followed by
// the request for the next block.

#include <cmath>
#include <limits>

#include "platform/message_box.h"
#include "workflow/com_port.h"
#include "workflow/workflow_texts.h"

namespace {

constexpr int kBlockAnswerLength = 40;
constexpr BYTE kRotorOfEncoderStator = 'Y';
constexpr BYTE kEncoderStatorType = 9;
constexpr BYTE kEncoderSpeed = 3;
constexpr BYTE kEncoderAngle = 4;
constexpr BYTE kEncoderAngleSecond = 7;
// Exit code of the application when a sensor's blocks contradict each other.
constexpr int kExitDeviceInconsistent = 2;

DWORD FourBytes(const CString& text, int first)
{
    return (static_cast<DWORD>(text.ByteAt(first)) << 24) | (static_cast<DWORD>(text.ByteAt(first + 1)) << 16) |
           (static_cast<DWORD>(text.ByteAt(first + 2)) << 8) | text.ByteAt(first + 3);
}

bool IsAngleEncoder(BYTE kind) { return kind == kEncoderAngle || kind == kEncoderAngleSecond; }

}  // namespace

bool CComPort::BeginBlockAnswer(int slot, CString& keptText)
{
    if (m_strReceiveCOM.GetLength() < kBlockAnswerLength) return false;
    CurrentSensor().m_anBlockCheck[static_cast<std::size_t>(slot)] = CheckBlock(m_strReceiveCOM, nullptr);
    keptText = m_strReceiveCOM;
    return true;
}

void CComPort::EndBlockAnswer(BYTE nextBlock)
{
    m_strReceiveCOM.Empty();
    m_pfnReplyHandler = nullptr;
    RequestNextBlock(nextBlock);
}

void CComPort::RequestNextBlock(BYTE blockNumber)
{
    if (m_iZMCOMConfgFlow == ZM_START_INIT) {
        SendBlockRead(blockNumber);
    } else if (m_iZMCOMConfgFlow == ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED) {
        if (m_peers.startUp) m_peers.startUp->StepSearchProgress(0);
        SendBlockRead(blockNumber);
    }
}

void CComPort::ZMCOMConfg_AnalyseBlockStatorHeader()
{
    if (m_strReceiveCOM.GetLength() < kBlockAnswerLength) return;
    if (m_peers.sequencer) m_peers.sequencer->AdvanceSlot();
    if (!BeginBlockAnswer(kSlotStatorHeader, m_strBlockStatorHeader)) return;
    StatorHeader& header = CurrentSensor().m_sStatorHeader;
    KadSend_ReadBlockGetContentStatorHeader(m_strBlockStatorHeader, &header.nHeaderCode, &header.nSerialNo,
                                            &header.cModuleIndex, &header.cModuleCount);
    EndBlockAnswer(0x01);
}

void CComPort::ZMCOMConfg_AnalyseBlockStatorHardware()
{
    if (!BeginBlockAnswer(kSlotStatorHardware, m_strBlockStatorHardware)) return;
    StatorHardware& hardware = CurrentSensor().m_sStatorHardware;
    BYTE option = 0;
    KadSend_ReadBlockGetContentStatorHardware(m_strBlockStatorHardware, &hardware.tDate, &hardware.tmDate, &option,
                                              &hardware.cCountCode, nullptr);
    const BYTE byte16 = m_strBlockStatorHardware.ByteAt(16);
    hardware.cOptionCode = (byte16 == 0 || byte16 == 0xFF) ? 0 : (byte16 == 1 ? 1 : 2);
    CString text;
    int index = 0, pulses = 0;
    DecodeCountCode(text, m_strBlockStatorHardware.ByteAt(17), &index, &pulses);
    hardware.nPulseCount = static_cast<DWORD>(pulses);
    EndBlockAnswer(0x02);
}

void CComPort::ZMCOMConfg_AnalyseBlockStatorOperation()
{
    if (!BeginBlockAnswer(kSlotStatorOperation, m_strBlockStatorOperation)) return;
    CSensorRecord& sensor = CurrentSensor();
    StatorOperation& op = sensor.m_sStatorOperation;
    const CString& text = m_strBlockStatorOperation;
    sensor.m_strBlockStatorOperation = text;
    KadSend_ReadBlockGetContentStatorOperation(text, &op.tDate, &op.tmDate, &op.cByte12, &op.cByte12Bit0,
                                               &op.cBusAddress, &op.cOperationFlag, &op.cBaudCode, &op.cEncoderMode,
                                               &op.cByte18, &op.nFilterA, &op.nFilterB, nullptr);
    op.nRaw23to26 = FourBytes(text, 23);
    op.nRaw27to30 = FourBytes(text, 27);
    const BYTE byte31 = text.ByteAt(31);
    op.cByte31Bits7to5 = static_cast<BYTE>(byte31 >> 5);
    op.cByte31Bits4to2 = static_cast<BYTE>((byte31 >> 2) & 0x07);
    op.cByte31Bit1 = static_cast<BYTE>((byte31 >> 1) & 0x01);
    op.cByte31Bit0 = static_cast<BYTE>(byte31 & 0x01);
    op.cByte33 = text.ByteAt(33);
    op.cByte32 = text.ByteAt(32);
    op.cByte14 = text.ByteAt(14);
    op.cByte11 = text.ByteAt(11);

    EncoderInfo& encoder = sensor.m_sEncoder;
    encoder.cSecondEncoder = 0;
    op.cEncoderMode = text.ByteAt(17);
    switch (op.cEncoderMode) {
    case kEncoderSpeed: encoder.nMeasurandTextB = workflow::kTextMeasurandSpeed; break;
    case kEncoderAngle: encoder.nMeasurandTextB = workflow::kTextMeasurandAngle; break;
    case kEncoderAngleSecond:
        encoder.nMeasurandTextB = workflow::kTextMeasurandAngle;
        encoder.cSecondEncoder = 1;
        break;
    default: encoder.nMeasurandTextB = workflow::kTextNotAvailable; break;
    }
    const BYTE address = text.ByteAt(13);
    op.cBusAddress = (address == 0 || address > 249) ? 1 : address;
    EndBlockAnswer(0x03);
}

void CComPort::ZMCOMConfg_AnalyseBlockStatorSoftwareConfig()
{
    if (!BeginBlockAnswer(kSlotStatorSwConfig, m_strBlockStatorSwConfig)) return;
    CSensorRecord& sensor = CurrentSensor();
    sensor.m_strBlockStatorSwConfig = m_strBlockStatorSwConfig;
    CSensorSwConfig& sw = sensor.m_sSwConfig;
    KadSend_ReadBlockGetContentStatorSoftwareConfiguration(
        m_strBlockStatorSwConfig, &sw.cConfigKind, &sw.dScaleA, &sw.dScaleB, &sw.strUnitA, &sw.strUnitB, &sw.cCode5A,
        &sw.cCode5B, &sw.cCode3A, &sw.cCode3B, &sw.cCode4A, &sw.cCode4B, &sw.cFlagA, &sw.cFlagB, &sw.cScalingA,
        &sw.cScalingB, &sw.nSetupCount, &sw.nByte32, &sw.cCode2A, &sw.cCode2B);
    // A factor whose pattern is no number (an exponent field of all ones, which single precision
    // reads as an infinity or a NaN: an erased memory's FF FF FF FF decodes to -6.8e38) is no
    // user scaling, whatever the channel's scaling bit says: none is applied, offered or shown
    // as kept.
    for (auto [factor, scaled] : {std::pair{&sw.dScaleA, &sw.cScalingA}, std::pair{&sw.dScaleB, &sw.cScalingB}})
        if (!(std::fabs(*factor) <= std::numeric_limits<float>::max())) {
            *factor = 0.0;
            *scaled = 0;
        }
    sw.cValid = sensor.m_anBlockCheck[kSlotStatorSwConfig] == 0 ? 1 : 0;
    const BYTE kind = m_strBlockStatorSwConfig.ByteAt(7);
    sw.cValid2 = (kind == 1 || kind == 4) ? sw.cValid : 0;
    sw.cReadMark = 1;
    m_strReceiveCOM.Empty();
    m_pfnReplyHandler = nullptr;
    if (m_iZMCOMConfgFlow == ZM_START_INIT && m_pMainFrame) m_pMainFrame->StoreSensorDisplayValue(m_nCurSensor);
    RequestNextBlock(0x80);
}

void CComPort::ZMCOMConfg_AnalyseBlockRotorHeader()
{
    if (!BeginBlockAnswer(kSlotRotorHeader, m_strBlockRotorHeader)) return;
    CSensorRecord& sensor = CurrentSensor();
    RotorHeader& header = sensor.m_sRotorHeader;
    KadSend_ReadBlockGetContentRotorHeader(m_strBlockRotorHeader, &header.nHeaderCode, &header.nSerialNo,
                                           &header.cByte14, &header.cTypeClass, &header.nFullScaleCodeA,
                                           &header.dFullScaleA, &header.cByte18, &header.cByte19,
                                           &header.nFullScaleCodeB, &header.dFullScaleB, &header.cByte22);
    const bool encoderStator = sensor.m_sIdent[kIdentStatorId] == kEncoderStatorType;
    const bool encoderRotor = header.cTypeClass == kRotorOfEncoderStator;
    if (encoderStator != encoderRotor) {
        // Stator and rotor do not belong together: nothing measured with them could be right.
        AfxMessageBox("Device error [Stator ID versus type class].\nThe application will be closed",
                      platform::MB_OK | platform::MB_ICONERROR);
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        if (m_pMainFrame) {
            m_pMainFrame->MinimiseMainWindow();
            m_pMainFrame->ExitApplication(kExitDeviceInconsistent);
        }
        return;
    }
    if (encoderRotor) {
        BYTE& kind = sensor.m_sStatorOperation.cEncoderMode;
        if (kind == kEncoderSpeed) {
            header.dFullScaleB = 30000.0;
        } else if (IsAngleEncoder(kind)) {
            header.dFullScaleB = 360.0;
        } else {
            const CString port = m_pPortMan ? m_pPortMan->GetStateText() : CString();
            CString text;
            text.Format("The switch position of quadrature encoder ( on \"%s\") from rotation speed measurement to "
                        "angle measurement not defined.\nSpeed will be selected by default.",
                        port.GetString());
            // A notice, not a box to wait for: the identification goes on behind it, as its
            // answers and time-outs do not wait for the user.
            platform::ShowNotice(text, platform::MB_ICONWARNING);
            kind = kEncoderSpeed;
            header.dFullScaleB = 30000.0;
        }
    }
    m_strReceiveCOM.Empty();
    m_pfnReplyHandler = nullptr;
    // The next request is prepared in every state, so the codec expects block 0x81 after it.
    ReadConfig(nullptr, 0x81);
    RequestNextBlock(0x81);
}

void CComPort::ZMCOMConfg_AnalyseBlockRotorFactoryCalib()
{
    if (!BeginBlockAnswer(kSlotRotorFactoryCalib, m_strBlockRotorFactoryCalib)) return;
    CSensorRecord& sensor = CurrentSensor();
    sensor.m_strBlockRotorFactoryCalib = m_strBlockRotorFactoryCalib;
    RotorCalib& c = sensor.m_sRotorFactoryCalib;
    KadSend_ReadBlockGetContentRotorCalibFactory(
        m_strBlockRotorFactoryCalib, &c.tDate, &c.tmDate, &c.nGainCodeA, &c.dGainA, &c.nOffsetA, &c.nGainCodeB,
        &c.dGainB, &c.nOffsetB, &c.nControlCodeA, &c.dControlA, &c.nControlCodeB, &c.dControlB, &c.nFullScaleCountA,
        &c.nFullScaleCountB, &c.nInaccuracyCodeA, &c.dInaccuracyA, &c.nInaccuracyCodeB, &c.dInaccuracyB, nullptr,
        nullptr, kCalibFactory);
    if (sensor.m_sRotorHeader.cTypeClass == kRotorOfEncoderStator) {
        const BYTE kind = sensor.m_sStatorOperation.cEncoderMode;
        if (kind == kEncoderSpeed) c.nFullScaleCountA = 30000;
        else if (IsAngleEncoder(kind)) c.nFullScaleCountA = sensor.m_sStatorHardware.cCountCode > 8 ? 4000 : 1440;
    }
    m_strReceiveCOM.Empty();
    m_pfnReplyHandler = nullptr;
    ReadConfig(nullptr, 0x82);
    RequestNextBlock(0x82);
}

void CComPort::ZMCOMConfg_AnalyseBlockRotorUserCalib()
{
    if (!BeginBlockAnswer(kSlotRotorUserCalib, m_strBlockRotorUserCalib)) return;
    CSensorRecord& sensor = CurrentSensor();
    RotorCalib& c = sensor.m_sRotorUserCalib;
    const CString& text = m_strBlockRotorUserCalib;
    sensor.m_strBlockRotorUserCalib = text;
    KadSend_ReadBlockGetContentRotorCalibUser(text, &c.tDate, &c.tmDate, &c.nGainCodeA, &c.dGainA, &c.nOffsetA,
                                              &c.nGainCodeB, &c.dGainB, &c.nOffsetB, &c.nControlCodeA, &c.dControlA,
                                              &c.nControlCodeB, &c.dControlB, &c.nFullScaleCountA,
                                              &c.nFullScaleCountB, &c.nInaccuracyCodeA, &c.dInaccuracyA,
                                              &c.nInaccuracyCodeB, &c.dInaccuracyB, nullptr);
    c.cByte31 = text.ByteAt(31);
    c.cByte32 = text.ByteAt(32);
    c.cByte33 = text.ByteAt(33);
    EndBlockAnswer(0x83);
}

void CComPort::ZMCOMConfg_AnalyseBlockRotorOperation()
{
    if (!BeginBlockAnswer(kSlotRotorOperation, m_strBlockRotorOperation)) return;
    CSensorRecord& sensor = CurrentSensor();
    CSensorRecordTail& tail = sensor.m_sRotorOperation;
    const CString& text = m_strBlockRotorOperation;
    sensor.m_strBlockRotorOperation = text;
    KadSend_ReadBlockGetContentRotorOperation(text, &tail.tDate, &tail.tmDate, nullptr, &tail.strSerialA,
                                              &tail.strSerialB);
    tail.cByte11 = text.ByteAt(11);
    tail.cByte12 = text.ByteAt(12);
    tail.cByte13Low = static_cast<BYTE>(text.ByteAt(13) & 0x0F);
    tail.cByte13High = static_cast<BYTE>(text.ByteAt(13) >> 4);
    tail.nRaw14to17 = FourBytes(text, 14);
    tail.nRaw18to21 = FourBytes(text, 18);
    const BYTE byte22 = text.ByteAt(22);
    tail.cByte22Bits7to5 = static_cast<BYTE>(byte22 >> 5);
    tail.cByte22Bits4to2 = static_cast<BYTE>((byte22 >> 2) & 0x07);
    tail.cByte22Bit1 = static_cast<BYTE>((byte22 >> 1) & 0x01);
    tail.cByte22Bit0 = static_cast<BYTE>(byte22 & 0x01);
    tail.cByte33 = text.ByteAt(33);
    const BYTE byte32 = text.ByteAt(32);
    tail.cByte32Bits7to5 = static_cast<BYTE>(byte32 >> 5);
    tail.cByte32Bits4to2 = static_cast<BYTE>((byte32 >> 2) & 0x07);
    m_strReceiveCOM.Empty();
    m_pfnReplyHandler = nullptr;

    if (m_iZMCOMConfgFlow == ZM_START_INIT) {
        if (m_pMainFrame) m_pMainFrame->UpdateDisplayValues(m_nCurSensor, 1, &sensor);
        COM_CalcScaleFactors(m_nCurSensor);
        COM_SendValueRequest();
    } else if (m_iZMCOMConfgFlow == ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED) {
        CSensorRecord& first = m_Sensor[0];
        EncoderInfo& encoder = first.m_sEncoder;
        const BYTE kind = first.m_sStatorOperation.cEncoderMode;
        if (first.m_sIdent[kIdentStatorId] == kEncoderStatorType) {
            encoder.cPresent = 1;
            // An undefined switch position is speed by now: the rotor header, read before this
            // block, has set it and told the user.
            encoder.cAngle = IsAngleEncoder(kind) ? 1 : 0;
            encoder.cSecondEncoder = kind == kEncoderAngleSecond ? 1 : 0;
            // The encoder takes the stator's digital input.
            first.m_sIdent[kIdentNoDigitalInput] = 1;
        } else {
            encoder.cPresent = 0;
        }
        // The sensors of the connection state are the encoders: the port activation counts
        // this one as the first or the second connected sensor, whose angle channel the set-up
        // page selects.
        first.m_bConnected = encoder.cPresent;
        if (CPortRecord* rec = CurrentPortRecord()) rec->m_Sensor = first;
        if (m_peers.startUp) m_peers.startUp->StepSearchProgress(0);
        COM_ProbeNextPort();
    }
}

void CComPort::ReapplySoftwareConfigBlock()
{
    ReadConfig(nullptr, 0x03);
    m_strReceiveCOM = UnstuffStx(m_strBlockStatorSwConfig);
    ZMCOMConfg_AnalyseBlockStatorSoftwareConfig();

    const int slot = m_nCountActivePorts < 2 ? 0 : m_nCurSensor;
    const CSensorRecord& sensor = CurrentSensor();
    const bool encoderScale = sensor.KeepsScalingInB(false);
    auto put = [](workflow::DisplaySlotRecord* record, double range, const CString& unit) {
        if (!record || record->channelPosition < 0) return;
        const auto position = static_cast<std::size_t>(record->channelPosition);
        if (record->rangeEnd.size() <= position) record->rangeEnd.resize(position + 1, 0.0);
        if (record->unitText.size() <= position) record->unitText.resize(position + 1);
        record->rangeEnd[position] = range;
        record->unitText[position] = unit;
    };
    if (m_pMainFrame) {
        put(m_pMainFrame->DisplaySlot(slot), encoderScale ? sensor.m_sSwConfig.dScaleB : sensor.m_sSwConfig.dScaleA,
            encoderScale ? sensor.m_sSwConfig.strUnitB : sensor.m_sSwConfig.strUnitA);
        if (m_nCountActivePorts < 2 && !IsDeviceCode5(m_Sensor[0].m_sIdent))
            put(m_pMainFrame->DisplaySlot(1), m_Sensor[0].m_sSwConfig.dScaleB, m_Sensor[0].m_sSwConfig.strUnitB);
    }
    m_strReceiveCOM.Empty();
}
