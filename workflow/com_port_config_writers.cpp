// Configuration writers: the stator software configuration (block 3), the stator operation
// block (block 2) with a new baud rate, new low-pass filters or as the set-up page has it, and
// the rotor operation block (block 0x83) with the serial-number texts; and the restarts after
// a baud-rate or filter change. Each takes the block last read from the sensor as its template,
// so that a write changes only the fields given; a template that is no block read from a
// sensor is never written.

#include <algorithm>

#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "workflow/com_port.h"

namespace {

constexpr UINT kSwConfigRetryMs = 500;

// Stator operation values after a block that failed its check.
void ResetStatorOperation(StatorOperation& op, BYTE baudCode)
{
    op.cByte12 = 0;
    op.cBusAddress = 1;
    op.cOperationFlag = 0;
    op.cBaudCode = baudCode;
    op.cEncoderMode = 1;
    op.cByte18 = 2;
}

bool BuildStatorOperation(CComPort& com, CString& block, const StatorOperation& op)
{
    const std::int64_t now = platform::CalendarSeconds();
    return com.PrepareWriteBlockFrame(block, kBlockStatorOperation) &&
           com.KadSend_WriteBlockSetContentStatorOperation(&block, &now, &op.cByte12, &op.cBusAddress,
                                                           &op.cOperationFlag, &op.cBaudCode, &op.cEncoderMode,
                                                           &op.cByte18, &op.nFilterA, &op.nFilterB);
}

}  // namespace

bool CComPort::AreSensorsReturning() const
{
    switch (m_iZMCOMConfgFlow) {
    case ZM_START_INIT: case ZM_RESTART_SENSOR: case ZM_RESTART_SENSOR_AFTER_INIT:
    case ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED: case ZM_CHECK_IF_HMB_USB_KM2_CHECK_ADDRESSES:
    case ZM_CNFG_SET_NEW_BAUDRATE: case ZM_CNFG_NEW_BAUDRATE_IS_SETTED: case ZM_CNFG_NEW_LOW_PASS_IS_SETTED:
    case ZM_PORT_LOOP_STATOR_OPERATION: case ZM_RESTART_AFTER_INIT_DEVICE:
    // Written blocks whose confirmation restarts the sensors.
    case ZM_CNFG_SET_NEW_LOW_PASS_FILTER: case ZM_4xS_STATOR_OPERATION:
        return true;
    default:
        return IsWaitingForRestart() || m_bFurtherPortsPending || m_bReconnectionAwaited;
    }
}

CComPort::SwConfigWrite CComPort::COM_ZMCOMConfgSetSoftwareConfigBlock(int sensor, int code)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts || AreSensorsReturning()) return SwConfigWrite::NotSent;
    const auto slot = static_cast<std::size_t>(sensor);
    if (IsMeasurementRunning()) {
        // Not while measuring: tried again every 500 ms, for this sensor (the sensor the
        // conversation addresses by then may be another).
        m_bSwConfigPostponed[slot] = true;
        SetFrameTimer(kTimerSwConfigWhenIdle, kSwConfigRetryMs);
        return SwConfigWrite::NotSent;
    }
    m_bSwConfigPostponed[slot] = false;
    if (std::none_of(m_bSwConfigPostponed.begin(), m_bSwConfigPostponed.end(), [](bool put) { return put; }))
        KillFrameTimer(kTimerSwConfigWhenIdle);
    // A write to several sensors of a device (each its own block) that is still awaited goes on
    // waiting for them; else this one starts afresh.
    const bool writeAwaited = m_nAnswerWatchMs != 0 && m_iZMCOMConfgFlow >= ZM_CNFG_SW_CONFIG_SET_SCALING_A &&
                              m_iZMCOMConfgFlow <= ZM_CNFG_SW_CONFIG_DELETE_BLOCK;
    m_strPendingSwConfigBlock = KeptBlockOf(sensor, &CSensorRecord::m_strBlockStatorSwConfig);
    SetZMCOMConfgFlow(code);

    CSensorRecord& record = m_Sensor[static_cast<std::size_t>(sensor)];
    CSensorSwConfig& sw = record.m_sSwConfig;
    sw.cConfigKind = 4;
    if (code == ZM_CNFG_SW_CONFIG_SET_SCALING_A) sw.cScalingA = 1;
    else if (code == ZM_CNFG_SW_CONFIG_SET_SCALING_B) sw.cScalingB = 1;
    else if (code == ZM_CNFG_SW_CONFIG_DELETE_BLOCK) sw.cScalingA = sw.cScalingB = 0;

    const int row = m_nRealSensorIndex[0][static_cast<std::size_t>(sensor)];
    workflow::IMeasureSetupPage* setup = m_peers.measureSetup;
    auto channelPosition = [this](int slot) -> int {
        const workflow::DisplaySlotRecord* display = m_pMainFrame ? m_pMainFrame->DisplaySlot(slot) : nullptr;
        return display ? display->channelPosition & 0xFF : -1;
    };
    // The unit shown goes into the byte the channel's unit is read back from: a sensor's own
    // channel A, and B for the second channel of a single sensor.
    if (setup && setup->IsChannelRowChanged(row)) {
        const int position = channelPosition(sensor);
        if (position >= 0) sw.cCode5A = static_cast<BYTE>(position);
    }
    const bool multi = m_nCountActivePorts > 1;
    if (!multi && setup && setup->IsChannelRowChanged(1)) {
        const int position = channelPosition(1);
        if (position >= 0) sw.cCode5B = static_cast<BYTE>(position);
    }

    CString block = m_strPendingSwConfigBlock;
    const BYTE* code2B = multi ? &sw.cCode2A : &sw.cCode2B;
    const bool built =
        PrepareWriteBlockFrame(block, kBlockStatorSwConfig) &&
        KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
            &block, &sw.cConfigKind, &sw.dScaleA, &sw.dScaleB, &sw.strUnitA, &sw.strUnitB, &sw.cCode5A, &sw.cCode5B,
            &sw.cCode3A, &sw.cCode3B, &sw.cCode4A, &sw.cCode4B, &sw.cFlagA, &sw.cFlagB, &sw.cScalingA, &sw.cScalingB,
            &sw.nSetupCount, &sw.nByte32, &sw.cCode2A, code2B);
    CString frame;
    if (built) BuildWriteBlockFrame(frame, block, false);
    if (!sw.cReadMark || frame.IsEmpty()) {
        // A configuration that was never read from the sensor is not written over it.
        if (m_pMainFrame) m_pMainFrame->EndWaitCursorOnce();
        return SwConfigWrite::NotSent;
    }
    m_strPendingSwConfigBlock = WrittenBlockText(block, false);
    if (!multi) {
        if (!WriteAwaitingAnswer(ManagerOfSensor(sensor), frame)) return SwConfigWrite::NotTaken;
        AwaitBlockConfirmation(sensor, &CSensorRecord::m_strBlockStatorSwConfig, m_strPendingSwConfigBlock);
        return SwConfigWrite::Sent;
    }
    // Several sensors' writes may be awaited at once: each confirmation keeps its own block.
    m_strPendingSwConfigOf[slot] = m_strPendingSwConfigBlock;
    m_nRecvCount[slot] = 0;
    if (!writeAwaited) m_bPortAnswered.fill(1);
    const bool written = WriteAwaitingAnswer(ManagerOfSensor(sensor), frame);
    m_bPortAnswered[slot] = written ? 0 : 1;
    return written ? SwConfigWrite::Sent : SwConfigWrite::NotTaken;
}

void CComPort::COM_WritePostponedSoftwareConfigs()
{
    for (int sensor = 0; sensor < kMaxSensorPorts; ++sensor)
        if (m_bSwConfigPostponed[static_cast<std::size_t>(sensor)])
            COM_ZMCOMConfgSetSoftwareConfigBlock(sensor, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS);
}

bool CComPort::COM_ZMCOMConfgSetSerialNumberRotorOperation(int sensor, int which)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts) return false;
    CString block = KeptBlockOf(sensor, &CSensorRecord::m_strBlockRotorOperation);
    if (!IsBlockFrameText(block)) return false;
    COM_ZMCOMConfgEnterStep(m_nCountActivePorts > 1 ? ZM_4xS_SERIAL_NUMBER : ZM_SET_SERIAL_NUMBER_ROTOR_OPERATION);
    CSensorRecordTail& tail = m_Sensor[static_cast<std::size_t>(sensor)].m_sRotorOperation;
    const std::int64_t now = platform::CalendarSeconds();
    PrepareWriteBlockFrame(block, kBlockRotorOperation);
    if (!KadSend_WriteBlockSetContentRotorOperation(&block, &now, which == 1 ? nullptr : &tail.strSerialA,
                                                    which == 0 ? nullptr : &tail.strSerialB))
        return false;
    return WriteBlockFrame(block, false, ManagerOfSensor(sensor), sensor, &CSensorRecord::m_strBlockRotorOperation);
}

bool CComPort::COM_ZMCOMConfgSetNewBaudrate(int, BYTE baudCode)
{
    StatorOperation& op = m_Sensor[0].m_sStatorOperation;
    if (CheckBlock(m_strBlockStatorOperation, nullptr) != 0) {
        ResetStatorOperation(op, baudCode);
        op.nFilterA = op.nFilterB = 3000;
    } else {
        op.cBaudCode = baudCode;
    }
    COM_ZMCOMConfgEnterStep(ZM_CNFG_SET_NEW_BAUDRATE);
    CString block = m_strBlockStatorOperation;
    const bool written = BuildStatorOperation(*this, block, op) &&
                         WriteBlockFrame(block, false, m_pPortMan, 0, &CSensorRecord::m_strBlockStatorOperation);
    if (!written) {
        if (m_peers.startUp) m_peers.startUp->EndSearchProgress();
        if (m_peers.connection) m_peers.connection->ClearBusyFlag();
        return false;
    }
    return true;
}

bool CComPort::COM_ZMCOMConfgSetNewBaudrateIsSetRestartDevice()
{
    CString request;
    BuildRestartRequest(request);
    m_iZMCOMConfgFlow = ZM_CNFG_NEW_BAUDRATE_IS_SETTED;
    // The sensor restarts at its new rate, which may take it seconds: the search for it starts
    // once it has greeted (however the old rate reads the greeting), or once the restart's
    // limit has passed without a greeting this rate could read.
    if (WriteAwaitingAnswer(m_pPortMan, request, kRestartSilenceMs)) {
        // The change has reached the sensor: the search that follows ends it.
        if (m_peers.connection) m_peers.connection->ClearBaudChangeFlag();
        return true;
    }
    if (m_peers.startUp) m_peers.startUp->EndSearchProgress();
    if (m_peers.connection) m_peers.connection->ClearBusyFlag();
    return false;
}

CString& CComPort::KeptStatorOperation(int sensor) { return KeptBlockOf(sensor, &CSensorRecord::m_strBlockStatorOperation); }

bool CComPort::COM_ZMCOMConfgSetNewLowPassFilter(int sensor)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts || AreSensorsReturning()) return false;
    CSensorRecord& record = m_Sensor[static_cast<std::size_t>(sensor)];
    StatorOperation& op = record.m_sStatorOperation;
    const int row = m_nRealSensorIndex[0][static_cast<std::size_t>(sensor)];
    if (record.m_anBlockCheck[kSlotStatorOperation] != 0) {
        const BYTE baudCode = m_peers.connection ? m_peers.connection->BaudCodeOfRate(m_nBaudRate) : op.cBaudCode;
        ResetStatorOperation(op, baudCode);
    }
    if (m_peers.measureSetup) {
        const std::array<DWORD, 2> filter = m_peers.measureSetup->FilterValues(row);
        op.nFilterA = filter[0];
        op.nFilterB = filter[1];
    }
    COM_ZMCOMConfgEnterStep(ZM_CNFG_SET_NEW_LOW_PASS_FILTER);
    CString block = KeptStatorOperation(sensor);
    if (!BuildStatorOperation(*this, block, op)) return false;
    return WriteBlockFrame(block, false, ManagerOfSensor(sensor), sensor, &CSensorRecord::m_strBlockStatorOperation);
}

bool CComPort::COM_ZMCOMConfgNewLowPassFilterIsSetRestartThatDevice()
{
    CString request;
    BuildRestartRequest(request);
    m_iZMCOMConfgFlow = ZM_CNFG_NEW_LOW_PASS_IS_SETTED;
    m_bSlavesSetUp = 0;  // a restarted slave has forgotten its set-up
    const auto& port = ManagerOfSensor(m_nCurSensor);
    if (WriteAwaitingAnswer(port, request, kRestartSilenceMs)) return true;
    const CString state = port ? port->GetStateText() : m_strPortState;
    AfxMessageBox(CString("COM_ZMCOMConfgNewLowPassFilterIsSetRestartThatDevice() for ") + state + " - ERROR!");
    return false;
}

bool CComPort::COM_ZMCOMConfgCnfgSensorStOperationBlock(int sensor)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts || AreSensorsReturning()) return false;
    COM_ZMCOMConfgEnterStep(ZM_CNFG_ST_OPERATION_BLOCK);
    CString block = KeptStatorOperation(sensor);
    if (!BuildStatorOperation(*this, block, m_Sensor[static_cast<std::size_t>(sensor)].m_sStatorOperation)) return false;
    CString CSensorRecord::*const text = &CSensorRecord::m_strBlockStatorOperation;
    if (m_nCountActivePorts > 1) {
        const bool written =
            WriteBlockFrame(block, false, m_pPortManOfPort[static_cast<std::size_t>(sensor)], sensor, text);
        // The acknowledgement may arrive inside the measured-value stream.
        m_iZMCOMConfgFlow = ZM_4xS_STATOR_OPERATION;
        m_iZMCOMConfgFlowPrev = ZM_4xS_STATOR_OPERATION;
        return written;
    }
    return WriteBlockFrame(block, false, m_pPortMan, sensor, text);
}
