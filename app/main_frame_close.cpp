// The orderly shut-down: a running measurement is stopped, a pending configuration write is
// made before the window goes, the end is logged for every connected sensor, and the settings
// are saved. The close box, the File menu, the controller's exit and SIGTERM all take this road.
// The same configuration write runs before a new search closes the sensors' ports.
#include "app/main_frame.h"

#include <QCloseEvent>

#include "app/about_window.h"
#include "app/main_frame_documentation.h"
#include "platform/message_box.h"
#include "res/string_table.h"

namespace {
constexpr UINT kTextWritingConfiguration = 5675;
constexpr UINT kTextSetupNotWrittenAtClose = 5697;
// A configuration write that has not ended after this long is given up (the sensor no longer
// answers); the window closes without it.
constexpr UINT kCloseWriteLimitMs = 20000;
constexpr UINT kWriteWhenIdlePollMs = 200;
}  // namespace

void CMainFrame::RequestClose()
{
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_bClosed || PrepareClose()) {
        if (!m_bClosed) FinishClose();
        event->accept();
        return;
    }
    event->ignore();
}

bool CMainFrame::PrepareClose()
{
    if (m_bClosing) {
        // Waiting for the configuration write: only its end (timer 49) or the limit closes.
        return m_com.m_bConfigWriteDone != 0;
    }
    m_fields.shuttingDown = 1;
    m_com.COM_SetMeasureRate();
    StopRunningMeasurement();
    if (m_hooks.stopPacingThread) m_hooks.stopPacingThread();
    // A write already on its way before a search is the one the close waits for.
    if (m_afterConfigWrite || ArePostponedWritesDue() || (IsConfigWriteDue() && m_com.m_bConfigWriteDone == 0)) {
        m_bClosing = true;
        m_fields.closeAfterWrite = 1;
        if (!m_afterConfigWrite) StartConfigWrite();
        return false;
    }
    return true;
}

void CMainFrame::FinishClose()
{
    KillTimer(kTimerCloseWriteLimit);
    KillTimer(kTimerClock);
    // What the user chose for a sensor that has lost its connection waits for it to come back
    // (a rate held for it, or the set-up of a device not whole): closing now, it never reaches
    // the sensor, which keeps what it had. That is said, not dropped in silence.
    const bool heldWrites = m_hooks.hasPostponedWrites && m_hooks.hasPostponedWrites();
    if (m_com.m_bCloseWithoutSaving == 0 && (heldWrites || (m_bConfigWritePending && !IsConfigWriteDue())))
        AfxMessageBox(LoadLangString(kTextSetupNotWrittenAtClose), platform::MB_OK | platform::MB_ICONWARNING);
    // The end goes into every log that recorded a connection, one entry per sensor (a
    // multiport device's sensors share a log); sensors found but never connected have none.
    documentation::CSensorLog& log = Documentation().Log();
    log.SetSwitch(m_nWriteLogFile);
    for (const auto& connected : log.ConnectedSensors()) log.LogProgramEnd(connected.sensor);
    if (m_com.m_bCloseWithoutSaving == 0) m_bSettingsSaved = SaveSettings();
    if (m_about != nullptr) m_about->close();
    m_bClosed = true;
}

void CMainFrame::MeasurementEndsWithPorts() { Documentation().Recorder().MeasurementStopping(); }

void CMainFrame::StopRunningMeasurement()
{
    if (!m_com.IsMeasurementRunning()) return;
    if (m_hooks.stopMeasurement)
        m_hooks.stopMeasurement();
    else
        m_com.COM_StopMeasure();
}

// ---- The set-up written into the sensors -------------------------------------------------------

bool CMainFrame::CanWriteConfig() const
{
    return m_com.m_bCloseWithoutSaving == 0 && m_bSensorConnected && m_com.m_nCountActivePorts >= 1;
}

// Only into the sensors the set-up was made for, every one of them read: a device with a sensor
// gone or still being read shows the page with less on it (the conditions of the missing
// sensors taken off, one sensor alone laid out as a single one), and writing that would take
// from the sensors there what the user set. The set-up waits for the device to be whole.
bool CMainFrame::IsConfigWriteDue() const
{
    return m_bConfigWritePending && CanWriteConfig() && !m_com.m_bFurtherPortsPending &&
           m_com.m_nCountActivePorts >= m_nPendingSetupPorts;
}

bool CMainFrame::ArePostponedWritesDue() const
{
    return m_hooks.hasPostponedWrites && m_hooks.writePostponedNow && m_hooks.hasPostponedWrites() && CanWriteConfig();
}

void CMainFrame::StartConfigWrite()
{
    // A sensor read a moment ago (a device whole again after an encoder's switch): the page has
    // not yet taken back what the user set, and the write takes the set-up from the page.
    if (m_hooks.refreshSetupIfDue) m_hooks.refreshSetupIfDue();
    m_bConfigWriting = true;
    if (workflow::IMeasureControlPage* panel = m_com.Peers().measureControl) panel->HoldWhileSetupWritten(true);
    m_bSetupChangedWhileWriting = false;
    SetStatusText(kTextWritingConfiguration);
    SetTimer(kTimerCloseWriteLimit, kCloseWriteLimitMs);
    if (!ArePostponedWritesDue()) {
        StartWriteSequence();
        return;
    }
    m_bWritingPostponed = true;
    m_hooks.writePostponedNow([this] {
        // Not when the write's limit has ended the wait meanwhile.
        if (!m_bWritingPostponed) return;
        m_bWritingPostponed = false;
        StartWriteSequence();
    });
}

void CMainFrame::StartWriteSequence()
{
    if (!IsConfigWriteDue()) {
        // Only held-back writes were due (or the sensors have gone meanwhile): the write has
        // ended.
        SetTimer(kTimerClose, 0);
        return;
    }
    m_com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
    m_sequencer->Start();
}

bool CMainFrame::StoreSettingsBeforePortsClose(std::function<void()> then)
{
    if (m_bClosing || m_afterConfigWrite || !(IsConfigWriteDue() || ArePostponedWritesDue())) return false;
    StopRunningMeasurement();
    m_afterConfigWrite = std::move(then);
    StartConfigWrite();
    return true;
}

void CMainFrame::WritePendingConfigToReturnedSensor()
{
    const DWORD serial = m_com.m_Sensor[0].m_sStatorHeader.nSerialNo;
    if (serial == 0 || serial != m_nLostBeforeWrite || !IsConfigWriteDue() || m_bClosing || m_afterConfigWrite) return;
    const bool measuring = m_com.IsMeasurementRunning();
    // At rest: no connection step, no answer awaited (a device rests in the state its sensor set
    // changed to), no measurement.
    const bool idle = m_com.IsSensorReady() && m_com.m_nAnswerWatchMs == 0 && !m_com.m_bFurtherPortsPending &&
                      !m_bWaitCursorShown && !measuring;
    if (!idle) {
        SetTimer(kTimerWriteWhenIdle, kWriteWhenIdlePollMs);
        return;
    }
    m_nLostBeforeWrite = 0;
    // The status bar says what it said before once the write has ended.
    const UINT status = m_statusTextId;
    StoreSettingsBeforePortsClose([this, status] {
        if (status != 0) SetStatusText(status);
    });
}

void CMainFrame::EndConfigWrite(bool timedOut)
{
    KillTimer(kTimerCloseWriteLimit);
    m_bWritingPostponed = false;
    // Confirmed by every sensor: they hold the set-up now. Refused or unanswered (the user has
    // been told): it is still to be written.
    if (!timedOut && m_com.m_bConfigWriteDone && !m_bSetupChangedWhileWriting) m_bConfigWritePending = false;
    m_bConfigWriting = m_bSetupChangedWhileWriting = false;
    if (workflow::IMeasureControlPage* panel = m_com.Peers().measureControl) panel->HoldWhileSetupWritten(false);
    if (timedOut) {
        // The write that never ended awaits no answer any more.
        m_com.m_pfnReplyHandler = nullptr;
        m_com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    }
    const std::function<void()> then = std::move(m_afterConfigWrite);
    m_afterConfigWrite = nullptr;
    if (m_bClosing) {
        // Also a close asked for while the write ran before a search: no search is needed now.
        m_com.m_bConfigWriteDone = 1;
        close();
        return;
    }
    // Asked for by the sensor information page, the settings are stored and the program stays
    // open, ready to write them again when it closes.
    m_com.m_bConfigWriteDone = 0;
    if (then) {
        SetStatusMessage(CString());
        then();
    }
}
