// The watches of the answers the sensor owes, and the end of a step the sensor leaves
// unanswered or refuses. Silence is measured from the last byte received, so an answer that
// arrives in pieces, as through a USB-serial adapter or a network module, keeps its step alive
// for as long as its pieces keep coming.

#include <utility>

#include "platform/message_box.h"
#include "workflow/com_port.h"
#include "workflow/workflow_texts.h"

namespace {

// After a write sequence ended unstored, how soon a close that waited for it goes on.
constexpr UINT kWriteSequenceEndedMs = 100;

UINT RequestNameText(BYTE letter)
{
    switch (letter) {
    case 'A': return workflow::kTextRequestValue;
    case 'E': return workflow::kTextRequestControl;
    case 'M': return workflow::kTextRequestAngleZero;
    case 'K': return workflow::kTextRequestRestart;
    default: return workflow::kTextRequestOther;
    }
}

}  // namespace

bool CComPort::WriteAwaitingAnswer(const std::shared_ptr<workflow::ISensorPort>& port, const CString& bytes,
                                   UINT watchMs)
{
    // A running measurement's stream holds the chain, and its receive time-out watches the line.
    const bool measuring = IsMeasurementRunning();
    // What an earlier answer left in the chain (an acknowledgement some steps keep there) must
    // not pass for the answer to this request.
    if (!measuring && port == m_pPortMan) m_strReceiveCOM.Empty();
    if (!WriteOn(port, bytes)) return false;
    m_cAwaitedRequest = bytes.GetLength() > 1 ? static_cast<BYTE>(bytes.ByteAt(1)) : 0;
    if (!measuring) {
        m_nAnswerWatchMs = watchMs;
        SetFrameTimer(kTimerAnswerWatch, watchMs);
        ShowRestartWait(m_cAwaitedRequest == 'K');
    }
    return true;
}

void CComPort::SearchAfterBaudRestart()
{
    EndAnswerWait();
    SetFrameTimer(kTimerCloseFirstPort, 100);
}

void CComPort::ShowRestartWait(bool waiting)
{
    if (m_bRestartShown == waiting) return;
    m_bRestartShown = waiting;
    // A device's sensors greet before they are searched for and connected again: the restart
    // is shown until then.
    if (m_pMainFrame && (waiting || !m_bDeviceRestarting)) m_pMainFrame->ShowSensorRestarting(waiting);
}

void CComPort::EndDeviceRestart()
{
    if (!m_bDeviceRestarting) return;
    m_bDeviceRestarting = false;
    if (m_pMainFrame && !m_bRestartShown) m_pMainFrame->ShowSensorRestarting(false);
}

void CComPort::RestoreKeptTextOfWrite()
{
    if (m_pKeptOfWrite) *m_pKeptOfWrite = m_strKeptBeforeWrite;
    m_pKeptOfWrite = nullptr;
    m_awaitedBlock = AwaitedBlock();
}

void CComPort::AwaitBlockConfirmation(int sensor, CString CSensorRecord::*text, const CString& written)
{
    m_awaitedBlock = AwaitedBlock{sensor, text, written};
}

void CComPort::KeepConfirmedWrite()
{
    m_pKeptOfWrite = nullptr;  // the written block is the sensor's now
    const AwaitedBlock write = std::exchange(m_awaitedBlock, AwaitedBlock());
    if (write.text) KeepConfirmedBlock(write.sensor, write.text, write.written);
}

void CComPort::EndAnswerWait()
{
    ShowRestartWait(false);
    if (m_nAnswerWatchMs == 0) return;
    m_nAnswerWatchMs = 0;
    KillFrameTimer(kTimerAnswerWatch);
}

void CComPort::ArmPollAnswerWait()
{
    if (m_bStreamingRate) {
        m_bPollAnswerAwaited = 0;
        return;
    }
    if (!m_bPollAnswerAwaited && m_peers.measureControl)
        m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerReceiveTimeout, m_nReceiveTimeoutMs);
    m_bPollAnswerAwaited = 1;
}

void CComPort::EndPollAnswerWait()
{
    if (!m_bPollAnswerAwaited || !IsMeasurementRunning()) return;
    m_bPollAnswerAwaited = 0;
    if (m_peers.measureControl) m_peers.measureControl->KillTimer(workflow::kCtrlPageTimerReceiveTimeout);
}

void CComPort::ArmIdentificationWatch(UINT watchMs)
{
    m_nIdentificationWatchMs = watchMs;
    if (m_peers.measureControl) m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerStatusWatch, watchMs);
}

void CComPort::EndIdentificationWatch()
{
    if (!m_nIdentificationWatchMs) return;
    m_nIdentificationWatchMs = 0;
    if (m_peers.measureControl) m_peers.measureControl->KillTimer(workflow::kCtrlPageTimerStatusWatch);
}

void CComPort::RestartWatchesOnDelivery()
{
    if (m_nAnswerWatchMs) SetFrameTimer(kTimerAnswerWatch, m_nAnswerWatchMs);
    if (m_nIdentificationWatchMs && m_iZMCOMConfgFlow == ZM_START_INIT) ArmIdentificationWatch(m_nIdentificationWatchMs);
}

void CComPort::OnAnswerWatchExpired()
{
    if (m_nAnswerWatchMs == 0) return;
    m_nAnswerWatchMs = 0;
    ShowRestartWait(false);
    if (m_iZMCOMConfgFlow == ZM_CNFG_NEW_BAUDRATE_IS_SETTED) {
        // The greeting may have come at the new rate, which this port does not read.
        SearchAfterBaudRestart();
        return;
    }
    // A calibration's acquisition polls on its own: it ends with the step.
    if (m_iZMCOMConfgFlow == ZM_READ_RAW_CALIB_INIT && m_peers.measureControl) m_peers.measureControl->StopPollTimer();
    RestoreKeptTextOfWrite();
    COM_ReportUnstableConnection();
}

void CComPort::COM_ReportRefusedWrite(int blockNumber, BYTE code)
{
    RestoreKeptTextOfWrite();
    CString text;
    text.Format(workflow::WorkflowText(workflow::kTextBlockRefused).GetString(), blockNumber,
                workflow::WorkflowText(workflow::BlockNameText(blockNumber)).GetString(), static_cast<int>(code));
    EndRefusedStep(text);
}

void CComPort::COM_ReportRefusedRequest(BYTE letter, int sensor, BYTE code)
{
    const int channel = m_nCountActivePorts > 1 && sensor >= 0 && sensor < kMaxSensorPorts
                            ? m_nRealSensorIndex[0][static_cast<std::size_t>(sensor)] : sensor;
    CString text;
    text.Format(workflow::WorkflowText(workflow::kTextRequestRefused).GetString(), channel + 1,
                workflow::WorkflowText(RequestNameText(letter)).GetString(), static_cast<int>(code));
    EndRefusedStep(text);
}

void CComPort::EndRefusedStep(const CString& text)
{
    EndAnswerWait();
    const int state = m_iZMCOMConfgFlow;
    // A calibration's acquisition polls on its own; a baud-rate change ends with its restart.
    if (state == ZM_READ_RAW_CALIB_INIT && m_peers.measureControl) m_peers.measureControl->StopPollTimer();
    if (state == ZM_RESTART_AFTER_INIT_DEVICE && m_peers.connection) {
        m_peers.connection->ClearBaudChangeFlag();
        m_peers.connection->ClearBusyFlag();
    }
    m_pfnReplyHandler = nullptr;
    m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    COM_EndSensorReread();
    // The step has ended; the view layout need not wait for its restart any more.
    m_bStartupStatus = 0;
    m_bSingleShotForScaling = 0;
    m_bSinglePortValueRequest = 0;
    // Nothing is awaited any more: what else the sensors sent belongs to no step.
    m_strReceiveCOM.Empty();
    for (int port = 0; port < kMaxSensorPorts; ++port) EmptyRecvBuffer(port);
    if (m_pMainFrame) m_pMainFrame->EndWaitCursorOnce();
    ++m_nRefusedWrites;
    AfxMessageBox(text, platform::MB_ICONWARNING);
    EndWriteSequenceUnstored(state);
}

void CComPort::EndWriteSequenceOnFailedWrite()
{
    const int state = m_iZMCOMConfgFlow;
    m_pfnReplyHandler = nullptr;
    m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    EndWriteSequenceUnstored(state);
}

void CComPort::EndWriteSequenceUnstored(int endedState)
{
    // The user has been told what was not stored: a close that waits for the write goes on
    // now instead of waiting out the write's limit.
    if (endedState >= ZM_WRITE_SEQ_STATOR_OPERATION && endedState <= ZM_WRITE_SEQ_NEXT_PORT)
        SetFrameTimer(kTimerClose, kWriteSequenceEndedMs);
}
