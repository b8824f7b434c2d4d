// The workflow state accessors and the step senders: each sets the state that names what it
// waits for, writes one frame and leaves the follow-up to a timer or to the answer.

#include <algorithm>

#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/wnd.h"
#include "workflow/com_port.h"
#include "workflow/workflow_texts.h"

namespace {
constexpr UINT_PTR kCtrlPageTimerMeasure = 0;
constexpr UINT_PTR kCtrlPageTimerMultiportStart = 6;
constexpr UINT_PTR kFrameTimersKilledByMultiportStart[] = {22, 32782, 32784, 32783, 21};
constexpr int kStopSignalRepeats = 10;
}  // namespace

bool CComPort::IsSensorReady() const
{
    return m_iZMCOMConfgFlow != ZM_START_INIT && m_iZMCOMConfgFlow != ZM_RESTART_SENSOR &&
           m_iZMCOMConfgFlow != ZM_RESTART_SENSOR_AFTER_INIT;
}

int CComPort::DeviceSensorCount() const
{
    if (!m_bFurtherPortsPending) return m_nCountActivePorts;
    return std::max({2, m_nCountActivePorts, static_cast<int>(m_Sensor[0].m_sStatorHeader.cModuleCount)});
}

void CComPort::COM_ZMCOMConfgEnterStep(int code)
{
    m_iZMCOMConfgFlow = code;
    if (m_peers.calibration) m_peers.calibration->ShowControls(false);
    m_bStartupStatus = 1;
}

int CComPort::GetRealSensorIndex(int n) const
{
    if (m_nCountActivePorts > 1 && n >= 0 && n < 6) return m_nRealSensorIndex[1][static_cast<std::size_t>(n)];
    return n;
}

bool CComPort::COM_ZMCOMConfgCnfgSensorStOperationBlockFor(int sensor)
{
    return COM_ZMCOMConfgCnfgSensorStOperationBlock(sensor);
}

bool CComPort::COM_ZMStartInit()
{
    m_iZMCOMConfgFlow = ZM_START_INIT;
    m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseStatusLong;
    ArmIdentificationWatch(kIdentificationSilenceMs);
    if (m_peers.measureControl) m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerDiagnosticRefresh, 100);
    CString request;
    BuildStatusLongRequest(request);
    m_strReceiveCOM.Empty();
    if (!WriteFirstPort(request)) return false;
    m_cAwaitedRequest = 'B';
    if (m_pMainFrame) m_pMainFrame->BeginWaitCursorOnce();
    return true;
}

void CComPort::COM_ReportUnstableConnection()
{
    EndConnection(workflow::WorkflowText(workflow::kTextUnstableConnection));
}

void CComPort::EndConnection(const CString& text, int unusableRow)
{
    // Nothing is awaited any more: no watch, no handler, no step waiting for the sensor.
    EndIdentificationWatch();
    EndAnswerWait();
    KillFrameTimer(kTimerChainFill);
    KillFrameTimer(kTimerConnectNext);
    SetFurtherPortsPending(false);
    m_bReconnectionAwaited = 0;
    EndDeviceRestart();
    COM_EndSensorReread();
    const int endedState = m_iZMCOMConfgFlow;
    // A measurement still running ends with the connection, as with a sensor lost: what was
    // received is kept and written, and none is left running that no button could stop.
    EndMeasurementWithoutLine(true);
    m_pfnReplyHandler = nullptr;
    m_strReceiveCOM.Empty();
    ++m_nUnansweredSteps;
    m_bStartupStatus = 0;
    m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    // The pages refill for no sensor from the records the panel clears: the device counts as
    // gone before, or the set-up page would read its rate list from zeros as the device's.
    m_nCountActivePorts = 0;
    if (m_peers.measureControl) m_peers.measureControl->ClearSensorDisplay();
    // A step of the connection page (a baud-rate change and the restart after it) has ended too.
    if (m_peers.connection) {
        m_peers.connection->ClearBaudChangeFlag();
        m_peers.connection->ClearBusyFlag();
    }
    COM_UpdatePortRowStatus(-1, m_strLastComparedPort, 2);
    m_strLastComparedPort = m_strPortState;
    // Every port of a multiport device is closed, a manager held in two places once; so no
    // row of the list is active any more, the other sensors' of the device neither.
    if (m_pPortMan) m_pPortMan->SetOffLine();
    for (auto& further : m_pPortManOfPort)
        if (further && further != m_pPortMan) further->SetOffLine();
    for (CPortRecord& rec : m_PortRec)
        if (rec.m_nState == kPortStateActive) rec.m_nState = kPortStateAvailable;
    if (ValidRow(unusableRow)) m_PortRec[static_cast<std::size_t>(unusableRow)].m_nState = kPortStateNotSupported;
    if (m_peers.connection) m_peers.connection->UpdatePortList(false);
    // Nothing is connected: the information page neither shows nor reads or stores a sensor.
    if (m_peers.information) {
        m_peers.information->SetSensorPresent(false);
        m_peers.information->FillSensorInformation(0);
    }
    if (m_pMainFrame) m_pMainFrame->EndWaitCursorOnce();
    AfxMessageBox(text);
    EndWriteSequenceUnstored(endedState);
}

bool CComPort::COM_StartMeasure(int code, bool restartGraph)
{
    if (m_pMainFrame) {
        m_pMainFrame->ClearTriggerPressed();
        // The end marker of a measurement that reached its measuring time belongs to that one:
        // the new measurement's sets reach the views, the diagram and the files again.
        m_pMainFrame->ClearMeasurementDisplayFlags();
        SetRateCode(m_pMainFrame->MeasureRateIndex());
        m_pMainFrame->ConfigureMovingAverages(0);
    }
    m_bSensorEndedStream = 0;
    if (m_peers.diagram) m_peers.diagram->StartGraph(restartGraph);
    if (m_pMainFrame) m_pMainFrame->ClearStreamTimeoutMark();
    if (m_pMeasureCtrlSettings) m_pMeasureCtrlSettings->bRunning = 1;
    m_bMeasureRunning = 1;
    m_bPollAnswerAwaited = 0;
    if (m_peers.measureControl) m_peers.measureControl->ClearStartFlags();

    if (m_bStreamingRate) {
        m_iZMCOMConfgFlow = code != -1 ? code : (m_nCountActivePorts <= 1 ? ZM_START_MEASURE_SOSM : ZM_4xS_START_SSOSM);
        if (m_nCountActivePorts > 1) {
            for (UINT_PTR id : kFrameTimersKilledByMultiportStart) KillFrameTimer(id);
            if (m_peers.measureControl) m_peers.measureControl->KillTimer(kCtrlPageTimerMultiportStart);
            if (m_bSlavesSetUp) {
                COM_SendMeasureSetupShort();
            } else {
                // Slaves that are not set up would not follow the master's stream, and no set
                // would ever be complete: they are set up first, and the master is started
                // once every one of them has acknowledged.
                m_nStartAfterSlaves = m_iZMCOMConfgFlow;
                WriteSlaveSetUp();
            }
        } else {
            COM_SendMeasureSetup();
        }
        // The receive time-out runs from the start: a sensor that never acknowledges it, or
        // refuses it, ends the measurement as one that falls silent in mid-stream does.
        if (m_peers.measureControl)
            m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerReceiveTimeout, kStreamStartTimeoutMs);
    } else {
        m_iZMCOMConfgFlow = code != -1 ? code : ZM_START_MEASURE_NO_SOSM;
        // A multiport device's polls collect one answer of every port per value set, from none.
        for (int port = 0; port < kMaxSensorPorts; ++port) {
            EmptyRecvBuffer(port);
            m_bPortAnswered[static_cast<std::size_t>(port)] = 0;
        }
        // The first value is asked for as a single shot, so its answer is shown as soon as it
        // arrives rather than at the first tick of the poll timer.
        COM_ZMSingleShot();
        if (m_peers.measureControl) m_peers.measureControl->StartPollTimer(m_nPollIntervalMs);
    }
    return true;
}

bool CComPort::COM_SendMeasureSetup()
{
    const bool a = m_peers.measureSetup && m_peers.measureSetup->IsChannelASelected();
    const bool b = m_peers.measureSetup && m_peers.measureSetup->IsChannelBSelected();
    CString request;
    if (a == b) BuildMeasureSetupC(request);
    else if (a) BuildMeasureSetupA(request);
    else BuildMeasureSetupB(request);
    m_strReceiveCOM.Empty();
    m_bStreamStarted = 0;
    return WriteFirstPort(request);
}

bool CComPort::COM_SendMeasureSetupShort()
{
    CString request;
    BuildMeasureSetupA(request);
    for (int port = 0; port < kMaxSensorPorts; ++port) EmptyRecvBuffer(port);
    m_bStreamStarted = 0;
    return WriteOn(m_pPortManOfPort[0], request);
}

void CComPort::WriteStopSignal()
{
    // The stop signal also ends the slaves' following of the master: they are set up anew.
    m_bSlavesSetUp = 0;
    m_nStartAfterSlaves = 0;
    if (m_nCountActivePorts <= 1) {
        WriteStopSignalOnFirstPort();
        return;
    }
    const CString stop(static_cast<char>(0x02));
    for (int i = 0; i < kStopSignalRepeats; ++i)
        for (int port = 0; port < m_nCountActivePorts && port < kMaxSensorPorts; ++port)
            WriteOn(m_pPortManOfPort[static_cast<std::size_t>(port)], stop);
}

void CComPort::WriteStopSignalOnFirstPort()
{
    const CString stop(static_cast<char>(0x02));
    for (int i = 0; i < kStopSignalRepeats; ++i) WriteFirstPort(stop);
}

bool CComPort::COM_StopMeasure()
{
    if (IsMeasurementRunning()) {
        if (m_peers.measureControl) m_peers.measureControl->KillTimer(kCtrlPageTimerMeasure);
        m_pMeasureCtrlSettings->nCounter = 0;
        m_pMeasureCtrlSettings->bRunning = 0;
        m_pMeasureCtrlSettings->bSecond = 0;
        if (m_pMainFrame) m_pMainFrame->ClearTriggerEvaluation();
    }
    if (!m_bStreamingRate) {
        m_bPollAnswerAwaited = 0;
        if (m_peers.measureControl) {
            m_peers.measureControl->StopPollTimer();
            m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerReceiveTimeout, m_nReceiveTimeoutMs);
        }
        return true;
    }
    if (m_bSensorEndedStream) {
        m_bSensorEndedStream = 0;
        return true;
    }
    WriteStopSignal();
    if (m_nCountActivePorts > 1 && m_peers.measureControl) {
        m_peers.measureControl->ClearMultiportFlag();
        WatchStopTail();
    }
    return true;
}

bool CComPort::COM_SendRestartSensor()
{
    // The sensor rests 100 ms after what it last took before it is told to restart.
    if (!m_pPortMan) return false;
    PauseThen(kTimerRestartPause, 100, [this] {
        CString request;
        BuildRestartRequest(request);
        if (WriteAwaitingAnswer(m_pPortMan, request, kRestartSilenceMs)) m_bStreamStarted = 0;
    });
    return true;
}

void CComPort::COM_SendSingleShot(bool toOnePort, int port)
{
    m_bSingleShotForScaling = toOnePort ? 1 : 0;
    if (m_nCountActivePorts < 2) {
        COM_ZMSingleShot();
    } else {
        m_bSinglePortValueRequest = toOnePort ? 1 : 0;
        COM_4xS_SingleShot(toOnePort ? port : -1);
    }
}

namespace {
bool SendCtrl(CComPort& com, bool on)
{
    CString request;
    if (on) com.BuildCtrlOnRequest(request);
    else com.BuildCtrlOffRequest(request);
    if (com.m_nCountActivePorts < 2) {
        com.m_iZMCOMConfgFlow = on ? ZM_SET_CTRL_ON : ZM_SET_CTRL_OFF;
        return com.WriteAwaitingAnswer(com.m_pPortMan, request);
    }
    // A switch whose ports are still being written to goes first: this one follows it.
    if (const std::int64_t wait = com.ControlSwitchRemainingMs(); wait > 0) {
        com.PauseThen(kTimerControlPortPause, static_cast<UINT>(wait), [&com, on] { SendCtrl(com, on); });
        return true;
    }
    com.m_iZMCOMConfgFlow = on ? ZM_4xS_CTRL_ON : ZM_4xS_CTRL_OFF;
    for (int port = 0; port < kMaxSensorPorts; ++port) {
        com.m_RecvBuf[static_cast<std::size_t>(port)][0] = 0;
        com.m_nRecvCount[static_cast<std::size_t>(port)] = 0;
        com.m_bPortAnswered[static_cast<std::size_t>(port)] = 0;
    }
    return com.WriteControlSignalPortByPort(request);
}
}  // namespace

bool CComPort::WriteControlSignalPortByPort(const CString& request)
{
    CWnd* window = StepWindow();
    const std::int64_t now = window ? window->loop().NowMs() : 0;
    const int ports = std::min(m_nCountActivePorts, kMaxSensorPorts);
    bool first = false;
    for (int port = 0; port < ports; ++port) {
        // Each port is given 50 ms after its write before the next one is written; the first
        // is written now, the others on the loop, so the window goes on meanwhile.
        auto write = [this, request, port] {
            return WriteAwaitingAnswer(m_pPortManOfPort[static_cast<std::size_t>(port)], request);
        };
        if (port == 0) first = write();
        else PauseThen(kTimerControlPortPause, static_cast<UINT>(kControlPortGapMs * port), [write] { write(); });
    }
    // What follows the switch comes after the last port's 50 ms, as it did.
    m_nControlSwitchEndsMs = now + kControlPortGapMs * ports;
    return first;
}

bool CComPort::COM_ZMSetCtrlOn() { return SendCtrl(*this, true); }
bool CComPort::COM_ZMSetCtrlOff() { return SendCtrl(*this, false); }

bool CComPort::COM_SendCtrlOn()
{
    m_iZMCOMConfgFlowPrev = ZM_SET_CTRL_ON_SOSM;
    CString request;
    BuildCtrlOnRequest(request);
    return WriteFirstPort(request);
}

bool CComPort::COM_SendCtrlOff()
{
    m_iZMCOMConfgFlowPrev = ZM_SET_CTRL_OFF_SOSM;
    CString request;
    BuildCtrlOffRequest(request);
    return WriteFirstPort(request);
}

bool CComPort::COM_ZMSingleShot()
{
    CString request;
    BuildValueRequest(request);
    const bool measuring = IsMeasurementRunning();
    // Each sensor of a multiport device answers on its own port: the poll asks them all.
    if (measuring && m_nCountActivePorts > 1) return PollEveryPort(request);
    m_iZMCOMConfgFlow = ZM_SINGLE_SHOT;
    if (!measuring) return WriteAwaitingAnswer(m_pPortMan, request);
    if (!WriteFirstPort(request)) return false;
    ArmPollAnswerWait();
    return true;
}

bool CComPort::COM_SendValueRequest()
{
    CString request;
    BuildValueRequest(request);
    if (m_iZMCOMConfgFlow == ZM_START_INIT) {
        if (!WriteFirstPort(request)) return false;
        m_cAwaitedRequest = 'A';  // the first value, which ends the identification
        ArmIdentificationWatch();
        return true;
    }
    if (m_iZMCOMConfgFlow == ZM_READ_RAW_CALIB_INIT) return WriteAwaitingAnswer(m_pPortMan, request);
    return WriteFirstPort(request);
}

bool CComPort::COM_UpdatePortRowStatus(int row, CString& portText, int mode)
{
    if (mode < 0 || mode > 2) return false;
    workflow::IConnectionPage* page = m_peers.connection;
    if (!page) return true;
    if (row > -1) portText = COM_ParsePortDisplayName(page->GetItemText(row, 0));
    const int rows = page->GetItemCount() < kPortTableRows ? page->GetItemCount() : kPortTableRows;

    for (int r = row < 0 ? 0 : row; r < rows; ++r) {
        const CString parsed = COM_ParsePortDisplayName(page->GetItemText(r, 0));
        if (parsed != portText && r != row) {
            if (portText == m_strPortState && mode == 1) return true;
            continue;
        }
        CPortRecord& rec = m_PortRec[static_cast<std::size_t>(r)];
        CString status;
        if (mode == 0) {
            status = workflow::WorkflowText(workflow::kTextPortAvailable);
            rec.m_nState = kPortStateAvailable;
        } else {
            const DWORD serial = rec.m_Sensor.m_sStatorHeader.nSerialNo;
            page->SetItemText(r, 4, serial ? CString::Formatted("%u", serial) : CString("n.a."));
            if (mode == 1) {
                status = workflow::WorkflowText(workflow::kTextPortActive);
                rec.m_nState = kPortStateActive;
                const int index = m_nRotatingSensorIndex >= 0 && m_nRotatingSensorIndex < kMaxSensorPorts
                                      ? m_nRotatingSensorIndex : 0;
                m_Sensor[static_cast<std::size_t>(index)] = rec.m_Sensor;
                if (m_pMainFrame) m_pMainFrame->StoreSensorDisplayValue(index);
                if (m_nCountActivePorts > 1) {
                    m_nRotatingSensorIndex = index + 1;
                    if (m_nRotatingSensorIndex >= m_nCountActivePorts) m_nRotatingSensorIndex = 0;
                }
            } else {
                status = workflow::WorkflowText(workflow::kTextPortAvailable);
                rec.m_nState = kPortStateAvailable;
            }
        }
        page->SetItemText(r, 6, status);
        return true;
    }
    return true;
}
