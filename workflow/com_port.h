#pragma once
// CComPort: the sensor workflow controller. One object, a base of the main frame, holds the
// whole conversation with one to four sensors on separate ports: the port table and the sensor
// records, the receive chain, the workflow state (ZM code) with its step senders, the answer
// handlers, and the measured values. It runs on the GUI thread only.
//
// The controller reaches ports through workflow::ISensorPortFactory and the windows it serves
// through workflow::WorkflowPeers; the frame's timer dispatch for its steps is
// workflow::DispatchWorkflowTimer (workflow_timer_dispatch.h). Its operations are spread over one source file per job:
//   com_port.cpp              object, records, numbering
//   com_port_search.cpp       search and connect request
//   com_port_probe.cpp        probing of the ports, Ethernet module ports
//   com_port_activation.cpp   opening sensor ports, further ports of a multiport device
//   com_port_steps.cpp        state accessors and step senders
//   com_port_ack.cpp          acknowledgements of the configuration-mode conversation
//   com_port_measure_ack.cpp  acknowledgements on the measuring ports
//   com_port_receive.cpp      receive chain and answer dispatch
//   com_port_nak_hello.cpp    refusals and restart greetings
//   com_port_identification_refusal.cpp  a request of the identification refused
//   com_port_status.cpp       status answer
//   com_port_blocks.cpp       block answers
//   com_port_bookkeeping.cpp  statistics, scale factors, port-table look-ups
//   com_port_measured_values.cpp  value answers, end of a start-up, calibration acquisition
//   com_port_stream.cpp       the measured-value stream of one port
//   com_port_multiport.cpp    the ports of a multiport device: answers and the merged stream
//   com_port_multiport_steps.cpp  steps that address every port of a multiport device
//   com_port_calibration.cpp  rewrites of the user-calibration block
//   com_port_config_writers.cpp   software configuration, stator and rotor operation blocks
//   com_port_watch.cpp        watches of awaited answers; steps left unanswered or refused
//   com_port_reread.cpp       one sensor of several read again on its own port
//   com_port_one_sensor.cpp   one sensor of several worked on alone; the ports closed, connected again

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"
#include "protocol/kadmor_send.h"
#include "workflow/multiport_merge.h"
#include "workflow/sensor_port.h"
#include "workflow/sensor_records.h"
#include "workflow/workflow_peers.h"
#include "workflow/zm_codes.h"

class CWnd;

// The user-calibration acquisition record: per channel the readings and their done flags.
struct CalibChannel {
    double dZeroRaw = 0.0, dScaleRaw = 0.0, dControlRaw = 0.0;
    double dZeroValue = 0.0, dScaleValue = 0.0, dControlValue = 0.0;
    int nCount = 0;
    std::int64_t nSum = 0;
    BYTE bZeroDone = 0, bScaleDone = 0, bControlDone = 0;
    BYTE bControlOn = 1;
    BYTE bFollowing = 0;
    BYTE bWithoutControlMark = 0;
    LONG nOffset = 0;
    DWORD nGainCode = 0, nControlCode = 0;
};

struct CalibAcquisition {
    std::array<CalibChannel, 2> channel{};
    int nPhase = 0;  // 0 zero point, 1 scale value, 2 control signal
    int nCount = 0;
    BYTE bWithoutControl = 0;
};

constexpr int kPortTableRows = 256;
constexpr int kMaxSensorPorts = 4;
constexpr int kRecvBufSize = 10000;
constexpr int kChannelCount = 6;  // A, B, C, D, P1, P2

// Frame timer ids of the workflow's steps (dispatched by workflow::DispatchWorkflowTimer).
enum FrameTimer : UINT_PTR {
    kTimerConnectNext = 8,
    kTimerProbeOpen = 13,
    kTimerSetupConnected = 14,
    kTimerAfterReconnect = 15,
    kTimerProbeAnswerWait = 23,
    kTimerProbeStatusReplay = 24,
    kTimerProbePassOver = 26,
    kTimerSearchEnd = 27,
    kTimerProbeNextBaud = 30,
    kTimerCloseFirstPort = 32,
    kTimerSearchAgain = 33,
    kTimerBaudRestart = 35,
    kTimerSwConfigWrite = 37,
    kTimerRotorOperationWrite = 38,
    kTimerSwConfigWhenIdle = 39,
    kTimerRestartSensor = 41,
    kTimerFilterRestart = 42,
    kTimerFurtherPort = 44,
    kTimerReconnectAfterDeviceChange = 46,
    kTimerClose = 49,
    kTimerSlavesPrepared = 61,
    // Our own: the receive chain's wait for more bytes, and the watch of an awaited answer.
    kTimerChainFill = 120,
    kTimerAnswerWatch = 121,
    // Our own: the pauses between two steps (PauseThen), one id per kind of pause: a port's
    // rest off-line before it opens, the probe's progress steps, the rest before a restart, the
    // control signal's settling before its value is asked.
    kTimerPortOpenPause = 122,
    kTimerProbeProgress = 123,
    kTimerRestartPause = 124,
    kTimerControlSettlePause = 125,
    // Our own: the 50 ms each port of a multiport device is given after its control signal
    // before the next port's is written.
    kTimerControlPortPause = 126,
    // Our own: the probe's pause after the stop signal to a streaming sensor, while the records
    // already under way arrive, before it asks again.
    kTimerProbeStreamDrain = 127,
};

// How long the controller waits for the sensor: the receive chain for more bytes of a short
// answer; a sensor for the first or next byte of an acknowledgement or a value answer, and for
// its greeting after a restart. Silence that long ends the step as an unstable connection. A
// sensor that restarts may first write its memory, which takes seconds: its greeting is
// awaited for ten.
constexpr UINT kChainFillMs = 500;
constexpr UINT kAnswerSilenceMs = 1000;
constexpr UINT kRestartSilenceMs = 10000;
// The identification's own watch (the measurement control page's timer 9) of the status answer,
// per answer byte. The block reads and value requests that follow it are watched as any other
// answer is: a network module or a loaded adapter may well hold one back longer than 100 ms.
constexpr UINT kIdentificationSilenceMs = 100;
// The bytes of a probed port kept to recognise a stream in them: records of many sets, or of a
// slow stream over the whole try.
constexpr int kProbeBytesKept = 256;
// A stream's receive time-out from its start until its records come at their own pace.
constexpr UINT kStreamStartTimeoutMs = 800;

class CComPort : public CKadmor_Send {
public:
    using ReplyHandler = void (CComPort::*)();

    explicit CComPort(workflow::ISensorPortFactory* portFactory = nullptr);
    ~CComPort();
    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    // ---- Wiring -------------------------------------------------------------------------------
    void SetPeers(const workflow::WorkflowPeers& peers);
    const workflow::WorkflowPeers& Peers() const { return m_peers; }
    // Takes the frame from the peers when none is attached yet, and caches the measurement
    // control page's settings record.
    void COM_AttachMainFrame();

    // ---- Object and records -------------------------------------------------------------------
    void COM_CopyPortTableToPrevious();
    static bool COM_IsAcceptedDeviceVersion(BYTE a, BYTE b, BYTE c);
    void COM_ResetRealSensorIndex();
    void COM_NumberPorts(int count, int force);

    // ---- Search and connect -------------------------------------------------------------------
    void COM_SearchComPorts(int mode);
    void COM_ConnectSensor(int sensor, int mode);
    static bool COM_IsTessalineUsbPort(const CString& lowerDescription);
    void COM_EndSearch();

    // ---- Probing --------------------------------------------------------------------------------
    void COM_ProbeNextPort();
    void COM_ProbeStep(int phase);
    void COM_EvaluateProbeAnswer(int sensor);
    // The end of the wait for the probe's status answer (the frame's timer 23).
    void COM_ProbeAnswerWaitExpired();
    // The sensor (0 to 3) of the row probed now cannot be used: its row says so, and the probe
    // goes on with the next row.
    void PassOverUnusableSensor(int sensor);
    // The probe's second look at its status answer (the frame's timer 24): state 25, the kept
    // answer back into the chain, and the status analysis again.
    void COM_ReplayStoredStatusAnswer();

    // ---- Port activation ----------------------------------------------------------------------
    void COM_CreatePortManager(CWnd& window);
    static bool COM_SetPortBaudRate(int baud, int& out);
    // The row's port opens again after 100 ms off-line, and once more when it did not, after the
    // port library's 250 ms for a failed open and 100 ms; opened hears whether the last open
    // succeeded (250 ms after it when it failed). False (opened never called) when the row
    // cannot be opened at all.
    bool COM_ActivatePort(int row, std::function<void(bool)> opened);
    int COM_PrepareSensorSetup(int sensor, const CString& portName, int row, int state);
    bool COM_StartInitStep();
    void COM_SetupConnectedSensor();
    void COM_CompleteSensorSetup(int sensor, CWnd& window);
    CString COM_MakePortDisplayName(const CString& portText) const;
    // The port-table text of the port that sensor (0 to 3) was opened on; the active port's
    // when no row is known for it.
    CString PortNameOfSensor(int sensor) const;
    // The ports of the sensors connected now are marked with baud, the rate a search tries on
    // them first (their sensors were switched to it). The first one's mark before is returned.
    int COM_MarkSensorPortsAt(int baud);
    CString COM_ParsePortDisplayName(const CString& listText) const;

    // ---- Reading a connected sensor again ----------------------------------------------------
    // The identification of sensor (0 to 3) runs again: of a single sensor as at its start-up,
    // of one of several on that sensor's port, the others staying connected. False when nothing
    // was written.
    bool COM_ReadSensorAgain(int sensor);
    bool IsRereading() const { return m_reread.sensor >= 0; }
    // The read of one of several has ended: its blocks are handed on, the page fills.
    void COM_FinishSensorReread();
    // The read of one of several ends (also refused, unanswered or given up): the first port,
    // the address and the kept block texts are those of before.
    void COM_EndSensorReread();

    // ---- One sensor of several alone, and the sensors connected together again ----------------
    // The sensor of the row is worked on alone through the first port (as the calibration does):
    // the further ports are let go, the row's port opened, and the connection completes as for
    // one sensor; the other sensors' rows are available. It may be another sensor of those.
    bool COM_TakeSensorAlone(int row);
    // Every sensor port is closed: the rows of the sensors are available again, and the pages
    // show no sensor.
    void COM_CloseSensorPorts();
    // The sensor of the row is connected (and identified); the sensors of the further rows that
    // are available follow on their own ports, as further sensors do.
    void COM_ConnectRows(int row, const std::vector<int>& further);

    // ---- Workflow states and step senders -----------------------------------------------------
    int GetZMCOMConfgFlow() const { return m_iZMCOMConfgFlow; }
    void SetZMCOMConfgFlow(int code) { m_iZMCOMConfgFlow = code; }
    bool IsSensorReady() const;
    // A measurement runs (the panel's settings say so; without a panel none does).
    bool IsMeasurementRunning() const { return m_pMeasureCtrlSettings && m_pMeasureCtrlSettings->bRunning == 1; }
    // The sensors' stream has ended with its stop acknowledged: a single sensor rests there, a
    // device's sensors rest once they are set up as slaves again right after it.
    bool IsStreamEnded() const
    {
        return m_iZMCOMConfgFlow == ZM_STOP_MEASURE || (m_iZMCOMConfgFlow == ZM_4xS_SET_234_TO_SLAVE && !m_bSlaveSetUpAwaited);
    }
    // The sensors of the connection as a whole: while a device's first sensor is connected and
    // its further ones are still coming, the device's (as many as its first sensor names, two at
    // least); else the sensors active (0 none, -1 before the first search). 1: a single sensor.
    int DeviceSensorCount() const;
    void COM_ZMCOMConfgEnterStep(int code);
    int GetRealSensorIndex(int n) const;
    bool COM_ZMStartInit();
    void COM_ReportUnstableConnection();
    // The connection ends with the text told to the user: nothing is awaited any more, every
    // port of the sensors is closed; the row of a sensor found unusable (if any) says so.
    void EndConnection(const CString& text, int unusableRow = -1);
    // The sensor refused a block write (its refusal code): the user is told which block, and
    // the step ends at rest with nothing of it taken as stored.
    void COM_ReportRefusedWrite(int blockNumber, BYTE code);
    // The sensor (0 to 3) refused a request that writes no block (its letter and refusal code):
    // the user is told what was refused, and the step ends at rest.
    void COM_ReportRefusedRequest(BYTE letter, int sensor, BYTE code);
    bool COM_StartMeasure(int code, bool restartGraph);
    bool COM_SendMeasureSetup();
    bool COM_SendMeasureSetupShort();
    bool COM_StopMeasure();
    bool COM_SendRestartSensor();
    void COM_SendSingleShot(bool toOnePort, int port);
    bool COM_ZMSetCtrlOn();
    bool COM_ZMSetCtrlOff();
    bool COM_SendCtrlOn();
    bool COM_SendCtrlOff();
    bool COM_ZMSingleShot();
    bool COM_SendValueRequest();
    bool COM_UpdatePortRowStatus(int row, CString& portText, int mode);
    // The set-up page's way to the stator operation writer.
    bool COM_ZMCOMConfgCnfgSensorStOperationBlockFor(int sensor);

    // ---- Acknowledgements ---------------------------------------------------------------------
    // The reply handler: acts only on a whole acknowledgement frame at the front of the chain.
    void ZMCOMConfg_AnalyseAck();
    // The step that follows an acknowledgement in the current state (also for one found inside
    // a stream, and for a sequencer step that had nothing to write).
    void COM_ContinueAfterAck();
    // The same on the measuring ports: the handler, and the step that follows in the state.
    void ZMCOMMeasure_AnalyseAck();
    void ContinueMultiportAfterAck();
    // Every sensor written has confirmed its block: the write has ended, the workflow rests.
    void EndConfirmedWrite();

    // ---- Receive chain --------------------------------------------------------------------------
    LRESULT OnReceiveChain(WPARAM count, LPARAM bytes);
    // The wait for more bytes of a short chain has ended without them (frame timer 120).
    void OnChainFillTimeout();
    // An awaited answer stayed away (frame timer 121).
    void OnAnswerWatchExpired();
    LRESULT OnPortManagerNotify(WPARAM wParam, LPARAM lParam);
    // Events of the further sensor ports (1 to 3); a removal of the port's device loses the sensor.
    LRESULT OnFurtherPortNotify(int port, WPARAM wParam, LPARAM lParam);
    void OnSensorPortRemoved(int port);
    // A measurement whose line is gone or given up ends at once, its stop's answer not awaited;
    // stopOthers: the sensors still on a line get the stop signal.
    void EndMeasurementWithoutLine(bool stopOthers);
    // The rows of the ports the port list no longer holds leave the port table; their port
    // names, in the table's order.
    std::vector<CString> DropRowsOfPortsGone();
    void DropPortRow(int row);
    // The sensors are gone (disconnected or lost): their ports count as available again, and
    // the control panel, the information page and the connection page show no sensor.
    void COM_ShowSensorsDisconnected();
    bool ZMCOMConfg_ScanReceiveChain();
    void ZMCOMConfg_DispatchFirstByte();
    CString UnstuffStx(const CString& chain) const;
    void InvokeReplyHandler();
    // True when the chain begins with a whole answer frame whose check bytes hold. A whole
    // frame that fails its check is removed from the chain: it is never analysed as data.
    bool HasCheckedAnswerFrame();

    // ---- Answer handlers ----------------------------------------------------------------------
    void ZMCOMConfg_AnalyseNak();
    // The sensor refused a request of its identification (states 1 and 25): it goes on without
    // a stator block or the user calibration, else the sensor is not used (the reason told).
    void ContinueIdentificationAfterRefusal(CSensorRecord& sensor);
    void RejectSensorOfIdentification(bool blockRead, BYTE block, BYTE code);
    void ZMCOMConfg_AnalyseHello();
    void ZMCOMConfg_AnalyseStatusLong();
    void ZMCOMConfg_AnalyseBlockStatorHeader();
    void ZMCOMConfg_AnalyseBlockStatorHardware();
    void ZMCOMConfg_AnalyseBlockStatorOperation();
    void ZMCOMConfg_AnalyseBlockStatorSoftwareConfig();
    void ZMCOMConfg_AnalyseBlockRotorHeader();
    void ZMCOMConfg_AnalyseBlockRotorFactoryCalib();
    void ZMCOMConfg_AnalyseBlockRotorUserCalib();
    void ZMCOMConfg_AnalyseBlockRotorOperation();
    void ReapplySoftwareConfigBlock();

    // ---- Measurement bookkeeping --------------------------------------------------------------
    void COM_InitSensorRecords();
    void COM_ResetMeasureStatistics();
    void COM_InitCalibRecords();
    void COM_ClearControlFlags();
    bool IsControlOn() const;
    double COM_GetScaleValue(int sensor, BYTE* valid, BYTE* kind, const double* value, BYTE selector) const;
    bool COM_CalcInaccuracy(int sensor) const;
    void COM_CalcScaleFactors(int sensor);
    // The scale factors of every active sensor's channel and of the powers shown.
    void COM_CalcScaleFactorsOfActiveChannels();
    void COM_StoreSensorStatusText(const CString& text);
    bool IsAnyPortWithModuleIndex() const;
    bool IsLastPortMissing() const;
    bool COM_CheckSameDeviceSerial();

    // ---- Measured-value answers and the user-calibration acquisition --------------------------
    void ZMCOMConfg_AnalyseValues();
    void ZMCOMConfg_AnalyseCalibFifo();
    void COM_FinishStartup();
    void COM_CompleteConnection();
    // The frame's timer 15: the connection of one sensor (after its start-up, or after the ports
    // of a multiport device were reopened for one sensor) is complete; the wait cursor the
    // completion showed ends.
    void COM_EndOneSensorConnection();
    // The first sensor is connected and further ports follow (frame timer 8): the connection is
    // complete only after them.
    void AwaitFurtherPorts();
    // The connection page offers the baud-rate change only for a complete device: it hears when
    // further ports are awaited and when no longer.
    void SetFurtherPortsPending(bool pending);
    // Start, Trigger and Single shot of the control panel wait while a connection completes.
    void HoldMeasuringUntilConnected(bool hold);
    static bool IsDeviceCodeDual(const std::array<BYTE, kIdentCount>& ident);
    static bool IsDeviceCode5(const std::array<BYTE, kIdentCount>& ident);

    // ---- Single-port measured-value stream ----------------------------------------------------
    void ZMCOMMeasure_AnalyseStream();
    void ZMCOMMeasure_AnalyseStreamSingleChannel();
    bool ZMCOMMeasure_ClassifyFrame(const CString& text) const;
    bool IsMasterSignalFromSlave(const BYTE* bytes) const;
    void COM_SetMeasureRate();
    void COM_CalcReceiveTimeout();
    void SetInterpolateLostValues(BYTE on) { m_bInterpolateLostValues = on; }
    double UnwrapCounterValue(int slot, LONG raw, int mode);

    // ---- Measurement-mode receive and multiport synchronisation --------------------------------
    // Bytes of port n (0 to 3) of a multiport device (messages 2101 + n).
    LRESULT OnReceivePort(int port, WPARAM count, LPARAM bytes);
    int ZMCOMMeasure_DispatchFirstByte(int port);
    void ZMCOMMeasure_SetHandler();
    static int CheckFrameSums(const BYTE* bytes, int length);
    void ZMCOMMeasure_AnalyseNak();
    void ZMCOMMeasure_AnalyseValues();
    void ZMCOMMeasure_AnalyseMultiportStream(int port);

    // ---- Multiport device steps -----------------------------------------------------------------
    // Not while the sensors restart or are being connected: they would not answer, and the
    // step that waits for them would be lost. False when nothing was written.
    bool COM_4xS_SetSlaves();
    // The records a device's sensors had on their way when the stop was written may come for
    // up to a receive time-out and 50 ms: the control page's multiport watch is armed for that
    // long, and the slaves' set-up waits until it has passed.
    void WatchStopTail();
    bool IsStopTailComing() const;
    // The slave set-up has not been acknowledged by all slaves in time: it ends, and the user
    // is told, unless the device has gone on meanwhile (its sensors restarting or its ports
    // closed), when there is nothing to tell.
    void COM_ShowSensorsNotPreparedMessage();
    // The slaves' acknowledgements of a set-up are awaited: a Start, Trigger or Single shot
    // waits until it has ended.
    bool IsPreparingSlaves() const { return m_bSlaveSetUpAwaited && m_iZMCOMConfgFlow == ZM_4xS_SET_234_TO_SLAVE; }
    bool COM_4xS_SingleShot(int port);
    bool AllPortsAnswered() const;
    void COM_CheckMultiSensorIndices();
    // The baud code is written into each active sensor's own stator operation block; nothing is
    // written while one of them has none (its block could not be read).
    bool COM_ZMCOMConfgSetStatorOperationFromDialog(BYTE baudCode);
    // The first active sensor whose stator operation block was never read, -1 when each has it.
    int SensorWithoutStatorOperationBlock() const;
    bool COM_ZMRestartSensorAfterInit();
    // With the flag the angle offsets go to 0.0 and the state becomes 51; a failed write is
    // reported unless report is false.
    bool COM_SendAngleZero(BYTE flag, bool report = true);
    // The angle zero of the encoders inside a running stream: the sensors acknowledge it
    // between two records and the stream goes on in its state.
    bool COM_SendAngleZeroInStream();
    // The control panel's angle zero: of a single sensor whatever the power channels select, of
    // a multiport device as COM_SendAngleZero; the sensor answers it like a restart. With the
    // check a failed write is reported. State 51.
    bool COM_SendRestartWithCheck(BYTE check);

    // ---- Calibration steps ----------------------------------------------------------------------
    bool COM_ZMReadRawCalibInit(int kind);
    bool COM_ZMCOMConfgUserCalibDeactivate(int sensor);
    bool COM_ZMCOMConfgUserCalibActivate(int sensor);
    bool COM_ZMCOMConfgSetNewUserCalib();
    bool COM_ZMCOMConfgSetInaccuracy(int sensor, double value);

    // ---- Configuration write sequencer -----------------------------------------------------------
    // A step of the sequencer that had nothing to write: the workflow goes on as if the sensor
    // had acknowledged it.
    void OnSequencerStepPassedOver();

    // ---- Configuration writers ------------------------------------------------------------------
    // The sensors are restarting, or being identified and connected (again): a write started
    // now would take the place of the step that waits for them. The set-up's writes wait.
    bool AreSensorsReturning() const;
    // A sensor restarts after its new filters were written, and is back without being connected
    // anew: a set-up choice meanwhile can be written once it is back.
    bool IsRestartingInPlace() const
    {
        return m_iZMCOMConfgFlow == ZM_CNFG_SET_NEW_LOW_PASS_FILTER || m_iZMCOMConfgFlow == ZM_CNFG_NEW_LOW_PASS_IS_SETTED;
    }
    // What became of a software-configuration write.
    enum class SwConfigWrite {
        Sent,     // on its way, its confirmation awaited
        NotSent,  // put off until the measurement ends, refused as the sensors return, or not built
        // Built for its sensor, but the sensor's port took nothing (its line gone before the
        // connection learnt of it): it never reached the sensor, which keeps its older block.
        NotTaken,
    };
    SwConfigWrite COM_ZMCOMConfgSetSoftwareConfigBlock(int sensor, int code);
    // Timer 39, the measurement having ended: the software configuration of each sensor whose
    // write was put off (code 37).
    void COM_WritePostponedSoftwareConfigs();
    bool COM_ZMCOMConfgSetSerialNumberRotorOperation(int sensor, int which);
    bool COM_ZMCOMConfgSetNewBaudrate(int line, BYTE baudCode);
    bool COM_ZMCOMConfgSetNewBaudrateIsSetRestartDevice();
    // The sensor is back from the restart after its baud-rate change: its port closes and the
    // search finds it at its new rate.
    void SearchAfterBaudRestart();
    bool COM_ZMCOMConfgSetNewLowPassFilter(int sensor);
    bool COM_ZMCOMConfgNewLowPassFilterIsSetRestartThatDevice();
    bool COM_ZMCOMConfgCnfgSensorStOperationBlock(int sensor);

    // ==== Members (shared with the pages and the frame) ========================================
    workflow::IWorkflowFrame* m_pMainFrame = nullptr;
    workflow::MeasureCtrlSettings* m_pMeasureCtrlSettings = nullptr;
    CString m_strLastPortName;
    CString m_strBlockRotorUserCalib, m_strBlockRotorFactoryCalib, m_strBlockStatorHeader,
        m_strBlockRotorHeader, m_strBlockStatorHardware, m_strBlockStatorOperation, m_strBlockStatorSwConfig,
        m_strPendingSwConfigBlock, m_strBlockRotorOperation;
    // Of several sensors, the software-configuration block written to each and not yet confirmed.
    std::array<CString, kMaxSensorPorts> m_strPendingSwConfigOf;
    // The sensors whose software-configuration write waits for the end of a measurement.
    std::array<bool, kMaxSensorPorts> m_bSwConfigPostponed{};
    BYTE m_bConnectRequested = 1;
    // The manager of the single-port conversation and those of a multiport device. A manager
    // may sit in both places; it is closed when its last holder lets go of it.
    std::shared_ptr<workflow::ISensorPort> m_pPortMan;
    std::array<std::shared_ptr<workflow::ISensorPort>, kMaxSensorPorts> m_pPortManOfPort;
    CString m_strPortState;
    CString m_strReceiveCOM;
    // The answer at the front of the chain has doubled start bytes that make the chain as long
    // as the answer before its last byte has come: no handler reads it yet.
    bool m_bAnswerAwaitsRest = false;
    std::array<std::array<BYTE, kRecvBufSize>, kMaxSensorPorts> m_RecvBuf{};
    std::array<int, kMaxSensorPorts> m_nRecvCount{};
    CString m_strOpenPortName;
    CString m_strActivePortName;
    CString m_strKnownPortName;
    std::array<CSensorRecord, kMaxSensorPorts> m_Sensor;
    std::array<CPortRecord, kPortTableRows> m_PortRec;
    CPortRecord m_PortRecSpare;
    std::array<CPortRecord, kPortTableRows> m_PortRecPrev;
    int m_nBaudRate = -1;
    int m_nKeepBaud = -1;
    int m_nDefaultBaudRate = 115200;
    int m_nKeepBaudRow = -1;
    int m_nActivePortRec = 0;
    int m_nRowCounter = 0;
    std::array<int, kMaxSensorPorts> m_nPortRecOfSensor{-1, -1, -1, -1};
    int m_nPortRecCount = 0;
    int m_nCountActivePorts = -1;
    int m_nActivePortsRecorded = 1;
    int m_nCurSensor = 0;
    int m_nSensorPortCount = 0;
    BYTE m_bSearchBusy = 1;
    int m_nSelectedPortRec = -1;
    int m_nAutoActivateRow = -1;
    // The first sensor of a device is connected and its further ports are still to be
    // activated: the device is not complete yet.
    BYTE m_bFurtherPortsPending = 0;
    // The sensors' ports are searched, or are to be searched once their restart has been
    // counted, to connect them again: until the search's connect request nothing reaches them.
    BYTE m_bReconnectionAwaited = 0;
    int m_nLastActivatedRow = -1;
    int m_nLastPortRec = -1;
    BYTE m_bConnectSequence = 0;
    BYTE m_bEndOfSearchCompanion = 1;
    BYTE m_bReconnectPending = 0;
    BYTE m_bReopenAfterSearch = 0;
    std::array<int, 256> m_nPortMark;
    CString m_strUsbPortTextLower = "tessaline usb sensor interface port";
    ReplyHandler m_pfnAfterSearch = nullptr;
    BYTE m_bDelayedSearch = 0;
    CString m_strUsbPortText = "Tessaline USB sensor interface Port";
    ReplyHandler m_pfnReplyHandler = nullptr;
    ReplyHandler m_pfnPrevReplyHandler = nullptr;
    int m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    std::array<BYTE, 1024> m_abWorkArea{};
    int m_nMultiportReconnect = 0;
    // A search opened a device's first sensor alone for the calibration page (the override
    // above): its other sensors are still the page's to give back.
    BYTE m_bOpenedAloneBySearch = 0;
    BYTE m_bEthernetSeen = 0;
    int m_nPeriodMs = 500;
    BYTE m_bProbeNextRow = 0;
    // A sensor still streaming from an earlier measurement answers no request: the probe stops
    // it and asks once more.
    enum class ProbeStreamStop {
        NotStopped,  // on this try
        Draining,    // the stop signal sent, the stream's last records drain away
        AskedAgain,  // asked again after the stop
    };
    ProbeStreamStop m_probeStreamStop = ProbeStreamStop::NotStopped;
    CString m_strProbeBytes;  // what the probed port sent on this try, the last kProbeBytesKept bytes
    std::array<std::array<int, 6>, 2> m_nRealSensorIndex{};
    std::array<BYTE, kMaxSensorPorts> m_bPortAnswered{};
    BYTE m_bStartupStatus = 0;  // set by the status answer of a start-up; the view layout waits on it
    BYTE m_bConfigWriteDone = 0;
    int m_bCloseWithoutSaving = 0;
    CString m_strLastComparedPort;  // the port name the connect sequence compared last
    std::array<int, kPortTableRows> m_nAnswerCount{};  // status answers per port row
    CString m_strLastStatusAnswer;  // the probe's last status answer, whatever the sensor's number
    // The silence (ms) after which an awaited answer counts as missing; 0 while none is awaited.
    UINT m_nAnswerWatchMs = 0;
    BYTE m_cAwaitedRequest = 0;  // the letter of the request whose answer is awaited
    bool m_bRestartShown = false;  // the frame shows that a sensor restarts
    // A device's sensors restart together and are searched for and connected again: the frame
    // shows the restart until they are (or that has failed).
    bool m_bDeviceRestarting = false;
    UINT m_nIdentificationWatchMs = 0;  // timer 9 watches the identification's answers (0: not)
    // Steps the controller ended with a message of its own: a block write or another request
    // the sensor refused, and a step it left unanswered (the connection reported unstable, its
    // port closed). A page that watches a step of its own ends it without a second message.
    int m_nRefusedWrites = 0;
    int m_nUnansweredSteps = 0;
    // The kept block text that the last block write replaced, with its content before: the
    // sensor's acknowledgement confirms the new one, a refusal or silence puts the old back.
    CString* m_pKeptOfWrite = nullptr;
    CString m_strKeptBeforeWrite;
    // The written block that waits for its sensor's confirmation (see AwaitBlockConfirmation);
    // no text: none.
    struct AwaitedBlock {
        int sensor = -1;
        CString CSensorRecord::*text = nullptr;
        CString written;
    } m_awaitedBlock;

    // Measurement bookkeeping.
    std::array<double, kChannelCount> m_adScaleFactor{};
    std::array<std::array<double, kChannelCount>, 2> m_adMissingMarker{};
    std::array<std::array<double, kChannelCount>, 2> m_adMinValue{};
    std::array<std::array<double, kChannelCount>, 3> m_adMaxValue{};
    std::array<double, kChannelCount> m_adChannelStat{};
    CalibAcquisition m_sCalib;

    // The latest set of a values answer ('A').
    struct ValueAnswer {
        LONG nRawA = 0, nRawB = 0, nValueA = 0, nValueB = 0;
        BYTE bControlOn = 0;
        int nDecoded = 0;
    } m_sValueAnswer;
    std::int64_t m_nScalePhaseSum = 0;  // values A summed during the scale phase
    BYTE m_bCalibrationRunning = 0;

    // Measuring: the stream of one port.
    std::array<LONG, kMaxSensorPorts> m_aiValue{};
    std::array<LONG, kMaxSensorPorts> m_aiPrevValue{};
    int m_iZMCOMConfgFlowPrev = -1;
    BYTE m_bStreamingRate = 1;
    BYTE m_bPollAnswerAwaited = 0;  // a polled measurement's receive time-out runs
    UINT m_nPollIntervalMs = 100;
    // The readings of a user calibration are asked for every 25 ms; a test whose sensor answers
    // at once may ask faster.
    UINT m_nCalibPollMs = 25;
    UINT m_nReceiveTimeoutMs = 500;
    BYTE m_byExpectedSeq = 0;
    BYTE m_bValueLost = 0;
    BYTE m_bInterpolateLostValues = 0;
    int m_nDisplayDecimation = 1;
    // The parser's own last value per channel: a bridged gap takes its mean from here.
    std::array<LONG, kMaxSensorPorts> m_aiStreamLast{};
    std::array<double, 2> m_adCounterOffset{};
    std::array<double, 2> m_adCounterLast{};

    // Measuring: the ports of a multiport device.
    std::array<int, kMaxSensorPorts> m_anCheckResult{};
    std::array<DWORD, kMaxSensorPorts> m_auRawCount{};
    std::array<BYTE, kMaxSensorPorts> m_abControlOn{};
    std::array<ReplyHandler, kMaxSensorPorts> m_pfnPortHandler{};
    BYTE m_bSyncTestMode = 0, m_bSyncTestDropOne = 0;
    int m_nSyncTestPort = 0, m_nSyncTestFirstByte = 0;
    UINT m_nSyncTestAfterRecords = 0;
    int m_nSlaveAcks = 0;
    std::uint32_t m_nSlaveAckPorts = 0;  // the slaves whose acknowledgement m_nSlaveAcks counts, bit per port
    // Every slave acknowledged its set-up, and none has been restarted, stopped or connected
    // anew since: a stream the master starts is followed by all of them.
    BYTE m_bSlavesSetUp = 0;
    // The slaves' acknowledgements of the last set-up are awaited (frame timer 61 runs).
    BYTE m_bSlaveSetUpAwaited = 0;
    // The state of a stream start that waits for its slaves' set-up (0: none waits).
    int m_nStartAfterSlaves = 0;
    BYTE m_bSinglePortValueRequest = 0;
    workflow::MultiportMergeState m_merge;
    BYTE m_bStreamStarted = 0;
    BYTE m_bMeasureRunning = 0;
    BYTE m_bSensorEndedStream = 0;
    int m_nRecordCount = 0;
    int m_nPortLoop = 0;
    BYTE m_bDualDevice = 0;
    BYTE m_bSingleShotForScaling = 0;
    BYTE m_bStartupDone = 0;
    int m_nConnectionOverride = 0;
    int m_nDisplayCountdown = 0;
    int m_nRotatingSensorIndex = 0;  // the connection page's rows take turns in the sensor table
    // The next statistics reset also clears the latest values.
    bool m_bClearValues = false;
    // The numbering waits for a forced call.
    bool m_bNumberingPending = false;
    // The read of one sensor of several, with what it borrowed (see com_port_reread.cpp).
    struct SensorReread {
        int sensor = -1;
        std::shared_ptr<workflow::ISensorPort> firstPort;
        BYTE addressHi = 0, addressLo = 0;
        std::array<CString, 9> keptBlocks;
    } m_reread;
    // Probing: baud rates still to try on the current row, front first; and -2 when none is
    // being tried, -1 while a row's first rate is tried, else the row's stored rate.
    std::vector<int> m_BaudCandidates;
    int m_nProbeState = -2;

    // Writes a request whose answer the sensor owes: once written, silence of watchMs after it
    // (or after the answer's last byte) ends the step as an unstable connection.
    bool WriteAwaitingAnswer(const std::shared_ptr<workflow::ISensorPort>& port, const CString& bytes,
                             UINT watchMs = kAnswerSilenceMs);
    // A block of the configuration write sequence did not reach its sensor (its line hung up):
    // nothing is awaited from it, and the sequence ends at once with the set-up unstored.
    void EndWriteSequenceOnFailedWrite();
    // A block (text, the record's copy of it) has been written to sensor as written, check
    // words and all: once the sensor confirms it, every copy kept of it takes it (see
    // KeepConfirmedBlock). Without a text: none is awaited.
    void AwaitBlockConfirmation(int sensor = -1, CString CSensorRecord::*text = nullptr,
                                const CString& written = CString());
    // Sensor holds written (as the sensor keeps it, check words and all) for the block its
    // record keeps in text: every copy kept of that block takes it, the sensor's record and port
    // row, the single-port writers' text while it is the one sensor, and the configuration
    // write's table. A connection taken from the records later without reading the sensor (a
    // connect, a sensor taken alone, a device reconnected after a restart) then shows what the
    // sensor holds, and a later write starts from it, not from the block last read.
    void KeepConfirmedBlock(int sensor, CString CSensorRecord::*text, const CString& written);
    void EndAnswerWait();
    // The controller waits for a sensor's greeting after its restart (the status bar says so).
    bool IsWaitingForRestart() const { return m_bRestartShown; }
    // A polled measurement's receive time-out runs from its first request left unanswered and
    // ends with the value set that answers it.
    void ArmPollAnswerWait();
    void EndPollAnswerWait();
    // The letter of the request whose answer a refusal replaces, when that request writes no
    // block; 0 for a block write (named by its block) and when no answer is awaited (a running
    // measurement's requests are watched by its receive time-out).
    BYTE RefusedRequest() const { return m_nAnswerWatchMs != 0 && m_cAwaitedRequest != 'F' ? m_cAwaitedRequest : 0; }

    // A pause between two steps: step runs once ms have passed, on timer id of the step
    // window. The thread never sleeps, so the window paints and takes input meanwhile, and
    // bytes are handled in their turn. Steps paused under one id run in the order of their
    // ends, each once (two restarts acknowledged in a row are both sent).
    void PauseThen(UINT_PTR id, UINT ms, std::function<void()> step);
    // The control signal switched on every port of a multiport device, port by port 50 ms
    // apart: the first port's write now (its result), the others on the loop.
    bool WriteControlSignalPortByPort(const CString& request);
    // How long the ports of a control-signal switch are still being written to (0: done).
    std::int64_t ControlSwitchRemainingMs() const;
    static constexpr int kControlPortGapMs = 50;
    // The steps paused under timer id whose pause has ended run; false when none waits.
    bool RunPausedSteps(UINT_PTR id);

private:
    // Writes on a manager; false without one.
    static bool WriteOn(const std::shared_ptr<workflow::ISensorPort>& port, const CString& bytes);
    // The analysis of the chain as it stands: the scan and the reply handler.
    void AnalyseReceiveChain();
    // The identification's watch (timer 9 of the measurement control page).
    void ArmIdentificationWatch(UINT watchMs = kAnswerSilenceMs);
    void EndIdentificationWatch();
    void RestoreKeptTextOfWrite();
    // The sensor has confirmed the block written last: the kept texts take it.
    void KeepConfirmedWrite();
    // The frame shows that a sensor restarts while its greeting is awaited, and no longer after.
    void ShowRestartWait(bool waiting);
    // A device's restart has ended: its sensors are connected again, or are not to be.
    void EndDeviceRestart();
    // A refused step ends at rest, nothing awaited any more, and the user reads the text.
    void EndRefusedStep(const CString& text);
    // A write sequence that the sensor refused or left unanswered has ended all the same.
    void EndWriteSequenceUnstored(int endedState);
    // Silence is measured from the last byte received: every delivery restarts the watches.
    void RestartWatchesOnDelivery();
    bool WriteFirstPort(const CString& bytes) { return WriteOn(m_pPortMan, bytes); }
    // The stop signal of a stream: ten bytes 0x02 on every active port of a multiport device,
    // else on the first port.
    void WriteStopSignal();
    void WriteStopSignalOnFirstPort();
    // The slave set-up frame to ports 1 to n-1, state 1000; their acknowledgements are counted.
    void WriteSlaveSetUp();
    CWnd* StepWindow() const;
    void SetFrameTimer(UINT_PTR id, UINT ms);
    void KillFrameTimer(UINT_PTR id);
    bool ValidRow(int row) const { return row >= 0 && row < kPortTableRows; }
    CSensorRecord& CurrentSensor();
    CPortRecord* CurrentPortRecord();
    bool IsEthernetModuleRow(int row) const;
    bool IsRowSkippedForUsbOnly(int row, const CString& lowerText) const;
    // The probe's steps after the open of its row: the request, and the wait for its answer
    // (from afterMs on: the request is given its own 10 ms first).
    void ContinueProbeAfterOpen(int row, bool opened);
    void ArmProbeAnswerWait(int row, UINT afterMs = 0);
    // The status request to the probed row and the wait for its answer; a refused write goes
    // on with the next row at once.
    void AskProbedRow(int row);
    // The probed port sends unasked (a stream): the stop signal, then the status request again.
    void StopProbedStream();
    // The probed sensor streams on after its stop signal: the user is told, the probe goes on
    // with the next row.
    void PassOverStreamThatWillNotStop();
    // Progress steps of the start-up page, 20 ms apart.
    void StepProbeProgress(int steps);
    // The activation's open of the row, attempt 1 or 2.
    void OpenActivatedPort(int row, int attempt, const std::function<void(bool)>& opened);
    std::unique_ptr<workflow::ISensorPort> MakePort(CWnd& window, UINT eventMessage, UINT dataMessage);
    void SendBlockRead(BYTE blockNumber);
    void RequestNextBlock(BYTE blockNumber);
    bool BeginBlockAnswer(int slot, CString& keptText);
    void EndBlockAnswer(BYTE nextBlock);
    void EmptyRecvBuffer(int port);
    void OpenSensorPort(workflow::ISensorPort& port, const CPortRecord& row);
    // The configuration write's tables take the blocks record keeps, as sensor's.
    void HandOverBlockTexts(int sensor, const CSensorRecord& record);
    // The block texts the writers start from, in their declaration order.
    std::array<CString*, 9> KeptBlockTexts();
    // The records of the connected sensors go into their port rows (com_port_one_sensor.cpp).
    void KeepSensorRecordsInRows();
    // The ports of the sensors after the first are closed and let go.
    void ReleaseFurtherPorts();
    // The connect request's reopening of the ports for one sensor: the first port is opened on
    // the row listed active, and the connection completes as for one sensor (timer 15).
    void ReopenFirstPortForOneSensor();
    // Values answers (com_port_measured_values.cpp).
    bool DecodeValueAnswer();
    void AcquireCalibrationAnswer();
    void ComputeAndWriteCalibration();
    // Stream helpers (com_port_stream.cpp).
    void ParseSinglePortStream(int recordLength);
    // The control-signal switch and the angle zero asked for while the stream runs.
    void ServeRequestsBetweenRecords();
    bool AwaitStreamStart(bool twoChannel);
    void HandOverStreamSample();
    // The angle-zero request to one sensor, or to those whose angle channel is selected
    // (com_port_multiport_steps.cpp).
    bool SendAngleZeroTo(int sensor, bool report);
    bool SendAngleZeroToSelected(bool report);
    // One poll of a multiport device's measurement: the value request on every port.
    bool PollEveryPort(const CString& request);
    void HandOverStreamRecord(LONG a, LONG b);
    void BreakStream();
    bool IsAckPrefix(const BYTE* bytes, int length, bool master) const;
    // Multiport helpers (com_port_multiport.cpp).
    bool UnstuffPortFrame(int port);
    void DropSupersededValueAnswers(int port);
    void StartMultiportStream();
    void MergePortRecords(int port);
    void HandOverMultiportSets();
    void StopMultiportMeasurement(const CString& statusLine, const CString& message);
    void EndApplicationOnStreamError(const CString& text);
    LONG AngleValueOfChannel(int channel, LONG value, int mode);
    std::shared_ptr<workflow::ISensorPort>& ManagerOfSensor(int sensor);
    // The kept text of a block (text, the record's copy of it) that a write to sensor (0 to 3)
    // starts from, and that takes the block once written: of several sensors that sensor's own
    // (the controller's texts are those of whichever sensor was read last), of one the
    // controller's.
    CString& KeptBlockOf(int sensor, CString CSensorRecord::*text);
    // A sensor taken over from its port row without being read (the ports of several sensors
    // reopened for one): the controller's kept texts become that sensor's.
    void TakeKeptBlocksOf(const CSensorRecord& record);
    CString& KeptUserCalib(int sensor);
    CString& KeptStatorOperation(int sensor);
    // Writers: builds the frame of block and writes it to sensor's port; the kept text of the
    // block (text, the record's copy of it) follows the write (see m_pKeptOfWrite), and once
    // the sensor confirms it every copy kept of it takes it (KeepConfirmedBlock).
    bool WriteBlockFrame(const CString& block, bool invalidate, const std::shared_ptr<workflow::ISensorPort>& port,
                         int sensor, CString CSensorRecord::*text);

    workflow::ISensorPortFactory* m_pPortFactory = nullptr;
    workflow::WorkflowPeers m_peers;
    // The steps that wait for their pause to end, by timer id, each with the time it ends.
    struct PausedStep {
        std::int64_t dueMs;
        std::function<void()> step;
    };
    std::map<UINT_PTR, std::deque<PausedStep>> m_pausedSteps;
    // When the last port of the control-signal switch under way has had its 50 ms.
    std::int64_t m_nControlSwitchEndsMs = 0;
    // A device's stream goes on for up to a receive time-out after its stop is written: the
    // slaves are not set up before then.
    std::int64_t m_nStopTailEndsMs = 0;
};
