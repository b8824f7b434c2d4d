#include "sensor_admin/dlg_sensor_calibration.h"

#include <algorithm>

#include "platform/message_box.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/sensor_information_rows.h"
#include "workflow/workflow_texts.h"

namespace sensor_admin {

namespace {
// Three phases of answers and the acknowledgement of the written block.
constexpr int kProgressTotal = 3 * kCalibAnswersPerPhase + 1;
// The block frame: its code byte, the 28 bytes the check words cover from it, and the amount
// by which a switching off falsifies each check-word byte.
constexpr int kBlockCodeAt = 6;
constexpr int kBlockContentBytes = 28;
constexpr BYTE kUserCalibCode = 0x42;
constexpr BYTE kSwitchedOffOffset = 0xCD;
// The largest reference value the block's 16-bit word holds.
constexpr unsigned long kLargestReference = 65535;
}

CDlgSensorCalibration::CDlgSensorCalibration(CComPort& com, platform::MessageLoop& loop)
    : CWnd(loop), m_com(com), m_zeroPrompt(com, *this, loop), m_endPrompt(com, *this, loop)
{
}

bool CDlgSensorCalibration::IsSensorPresent() const
{
    // Not while several are connected, or a device's further ones are still coming: the page
    // works on one sensor alone.
    if (m_com.DeviceSensorCount() > 1) return false;
    for (const CPortRecord& rec : m_com.m_PortRec)
        if (rec.m_nState == kPortStateActive) return m_com.m_pPortMan != nullptr;
    return false;
}

void CDlgSensorCalibration::OnShowPage(bool shown)
{
    m_bShown = shown;
    if (shown) {
        m_com.m_nConnectionOverride = kConnectionOverrideCalibration;
        m_com.m_nMultiportReconnect = kMultiportReconnectForOneSensor;
    } else if (m_activity == Activity::Idle) {
        m_com.m_nConnectionOverride = 0;
        m_com.m_nMultiportReconnect = 0;
    }
    // The sensors are taken and given back on the page's timer, once at rest (a page hidden
    // while its window closes gives nothing back).
    CWnd::SetTimer(kCalibTimerSensors, kCalibWatchPeriodMs);
    if (shown && TakeOneOfSeveral()) CWnd::KillTimer(kCalibTimerSensors);
    Changed();
}

bool CDlgSensorCalibration::AreSensorsAtRest() const
{
    // A measurement (or an armed trigger) keeps the sensors streaming: taken apart under it, a
    // sensor let go would stream on unheard and the one reopened could not be read.
    return m_com.IsSensorReady() && !m_com.AreSensorsReturning() && m_com.m_nAnswerWatchMs == 0 && !m_com.IsMeasurementRunning();
}

int CDlgSensorCalibration::RowOfPort(const CString& port) const
{
    for (int row = 0; row < kPortTableRows && !m_com.m_PortRec[static_cast<std::size_t>(row)].m_strPortName.IsEmpty(); ++row)
        if (m_com.m_PortRec[static_cast<std::size_t>(row)].m_strPortName == port) return row;
    return -1;
}

bool CDlgSensorCalibration::TakeOneOfSeveral()
{
    if (m_activity != Activity::Idle) return true;
    // Sensors still being connected (the further ports' steps) are all connected first.
    if (!AreSensorsAtRest()) return false;
    const int sensors = std::min(m_com.m_nCountActivePorts, kMaxSensorPorts);
    if (sensors < 2) {
        if (AdoptSensorsOpenedBySearch())
            if (workflow::IMeasureControlPage* control = m_com.Peers().measureControl) control->HoldUntilConnected(true);
        return true;
    }
    m_sensorPorts.clear();
    for (int s = 0; s < sensors; ++s) m_sensorPorts.push_back(m_com.PortNameOfSensor(s));
    TakeSensor(std::min(m_nSensor, sensors - 1));
    return true;
}

// A search that ended while the page was shown opened the device's first sensor alone for it:
// the others it found are given back when the page is left, as if it had taken that one apart
// itself, and nothing is started on the device meanwhile. The page left before it took them
// gives them back all the same.
bool CDlgSensorCalibration::AdoptSensorsOpenedBySearch()
{
    if (!m_com.m_bOpenedAloneBySearch || !m_sensorPorts.empty()) return false;
    m_com.m_bOpenedAloneBySearch = 0;
    for (const CPortRecord& rec : m_com.m_PortRec)
        if (!rec.m_strPortName.IsEmpty() && (rec.m_nState == kPortStateActive || rec.m_nState == kPortStateAvailable))
            m_sensorPorts.push_back(rec.m_strPortName);
    return true;
}

bool CDlgSensorCalibration::TakeSensor(int sensor)
{
    const int row = sensor >= 0 && sensor < SensorCount() ? RowOfPort(m_sensorPorts[static_cast<std::size_t>(sensor)]) : -1;
    if (row < 0 || !m_com.COM_TakeSensorAlone(row)) return false;
    if (sensor != m_nSensor) {
        // A delete or a write allowed for one sensor is not carried over to another.
        m_fields.inaccuracyMode = 0;
        m_fields.inaccuracyWriteAllowed = 0;
    }
    m_nSensor = sensor;
    Changed();
    return true;
}

int CDlgSensorCalibration::Sensor() const
{
    // The one connected alone, also when another connect request reopened the ports since.
    if (m_com.m_nCountActivePorts == 1) {
        const auto found = std::find(m_sensorPorts.begin(), m_sensorPorts.end(), m_com.PortNameOfSensor(0));
        if (found != m_sensorPorts.end()) return static_cast<int>(found - m_sensorPorts.begin());
    }
    return m_nSensor;
}

void CDlgSensorCalibration::OnSensorChosen(int sensor)
{
    if (m_activity == Activity::Idle && sensor != Sensor() && AreSensorsAtRest()) TakeSensor(sensor);
    Changed();
}

bool CDlgSensorCalibration::ConnectSensorsAgain()
{
    // Not while the sensor worked on is in a step or restarts.
    if (m_activity != Activity::Idle || !AreSensorsAtRest()) return false;
    AdoptSensorsOpenedBySearch();
    m_com.m_nConnectionOverride = 0;
    m_com.m_nMultiportReconnect = 0;
    std::vector<int> rows;
    for (const CString& port : m_sensorPorts)
        if (const int row = RowOfPort(port); row >= 0) rows.push_back(row);
    m_sensorPorts.clear();
    const bool closing = m_com.m_pMainFrame && m_com.m_pMainFrame->IsShuttingDown();
    if (rows.empty() || closing) return true;
    m_com.COM_CloseSensorPorts();
    m_com.COM_ConnectRows(rows.front(), rows);
    Changed();
    return true;
}

void CDlgSensorCalibration::ShowControls(bool show)
{
    m_bControlsVisible = show;
    Changed();
}

void CDlgSensorCalibration::AdvanceProgress(int steps)
{
    m_nProgress += steps;
    if (m_activity == Activity::Writing && m_com.GetZMCOMConfgFlow() == ZM_SET_NEW_USERCALIB) {
        // The sensor acknowledged the new block; it restarts with it in force.
        Finish(kTextCalibrationStored, false);
        return;
    }
    Changed();
}

int CDlgSensorCalibration::ProgressPercent() const { return std::min(100, m_nProgress * 100 / kProgressTotal); }

const RotorCalib& CDlgSensorCalibration::CalibrationInForce() const
{
    const CSensorRecord& sensor = m_com.m_Sensor[0];
    const bool user = sensor.m_sIdent[kIdentCalibration] == 3 && sensor.m_anBlockCheck[kSlotUserCalib] == 0;
    return user ? sensor.m_sRotorUserCalib : sensor.m_sRotorFactoryCalib;
}

std::array<CalibChannelInput, 2> CDlgSensorCalibration::Inputs() const
{
    const RotorCalib& kept = CalibrationInForce();
    std::array<CalibChannelInput, 2> in{};
    for (int c = 0; c < 2; ++c) {
        const CalibChannel& reading = m_com.m_sCalib.channel[static_cast<std::size_t>(c)];
        CalibChannelInput& i = in[static_cast<std::size_t>(c)];
        i.zeroRaw = reading.dZeroRaw;
        i.scaleRaw = reading.dScaleRaw;
        i.controlRaw = reading.dControlRaw;
        i.controlRead = reading.bControlDone && !m_com.m_sCalib.bWithoutControl;
        i.reference = static_cast<double>(m_fields.referenceValue[static_cast<std::size_t>(c)]);
        i.keptOffset = c == 0 ? kept.nOffsetA : kept.nOffsetB;
        i.keptGainCode = c == 0 ? kept.nGainCodeA : kept.nGainCodeB;
        i.keptControlCode = c == 0 ? kept.nControlCodeA : kept.nControlCodeB;
    }
    in[1].calibrated = CalibratesChannelB();
    return in;
}

bool CDlgSensorCalibration::CalcualteCalibValues(bool firstSwitch, bool secondSwitch, int& errorMask)
{
    std::array<CalibChannelResult, 2> result{};
    const bool ok = ComputeUserCalibration(Inputs(), firstSwitch, secondSwitch, errorMask, result);
    m_nLastErrorMask = errorMask;
    if (!ok) return false;
    for (int c = 0; c < 2; ++c) {
        CalibChannel& channel = m_com.m_sCalib.channel[static_cast<std::size_t>(c)];
        channel.nOffset = result[static_cast<std::size_t>(c)].offset;
        channel.nGainCode = result[static_cast<std::size_t>(c)].gainCode;
        channel.nControlCode = result[static_cast<std::size_t>(c)].controlCode;
    }
    if (m_activity == Activity::Acquiring) SetActivity(Activity::Writing);
    return true;
}

// ---- What the user does --------------------------------------------------------------------------

void CDlgSensorCalibration::SetReferenceValues(std::optional<DWORD> a, std::optional<DWORD> b)
{
    m_fields.referenceValue = {a.value_or(0), b.value_or(0)};
    m_bReferenceGiven = {a.has_value(), b.has_value()};
}

CDlgSensorCalibration::ReferenceEntry CDlgSensorCalibration::CheckReferenceText(const CString& text)
{
    CString trimmed = text;
    trimmed.Trim();
    if (trimmed.IsEmpty()) return ReferenceEntry::Empty;
    if (trimmed.FindOneOf(".,") >= 0) return ReferenceEntry::Separator;
    unsigned long value = 0;
    for (int i = 0; i < trimmed.GetLength(); ++i) {
        const char c = trimmed[i];
        if (c < '0' || c > '9') return ReferenceEntry::Separator;
        value = value * 10 + static_cast<unsigned long>(c - '0');
        if (value > kLargestReference) return ReferenceEntry::TooLarge;
    }
    return ReferenceEntry::Counts;
}

void CDlgSensorCalibration::OnReferenceRefused(ReferenceEntry why)
{
    if (why == ReferenceEntry::Separator) m_strStatusLine = LoadLangString(kTextReferenceWholeCounts);
    else if (why == ReferenceEntry::TooLarge)
        m_strStatusLine.Format(LoadLangString(kTextReferenceTooLarge).GetString(), kLargestReference);
    Changed();
}

bool CDlgSensorCalibration::OnStartCalibration()
{
    if (m_activity != Activity::Idle) return false;
    if (!IsSensorPresent()) {
        m_strStatusLine = LoadLangString(kTextConnectFirst);
        AfxMessageBox(m_strStatusLine, platform::MB_ICONINFORMATION);
        Changed();
        return false;
    }
    // Without its reference the new gain of a channel cannot be computed: nothing is sent
    // before each channel calibrated holds one. A channel B that is not keeps the full-scale
    // count it has, which the new block carries on.
    const bool channelB = CalibratesChannelB();
    if (!channelB) m_fields.referenceValue[1] = CalibrationInForce().nFullScaleCountB;
    for (int c = 0; c < (channelB ? 2 : 1); ++c) {
        if (m_bReferenceGiven[static_cast<std::size_t>(c)]) continue;
        m_strStatusLine.Format(LoadLangString(kTextReferenceMissing).GetString(), c == 0 ? 'A' : 'B');
        AfxMessageBox(m_strStatusLine, platform::MB_ICONINFORMATION);
        Changed();
        return false;
    }
    m_fields.newValuesAccepted = 0;
    m_nProgress = 0;
    m_nLastErrorMask = 0;
    m_com.m_nConnectionOverride = kConnectionOverrideCalibration;
    m_com.m_bCalibrationRunning = 1;
    m_strStatusLine = LoadLangString(kTextCalibrationRunning);
    SetActivity(Activity::ZeroPrompt);
    m_zeroPrompt.Open();
    return true;
}

bool CDlgSensorCalibration::HoldsUserCalibration() const
{
    // The block as the controller keeps it for the one sensor the page works on: what was read,
    // or written since.
    const CString& block = m_com.m_strBlockRotorUserCalib;
    if (!CKadmor_Send::IsBlockFrameText(block) || block.ByteAt(kBlockCodeAt) != kUserCalibCode) return false;
    BYTE bytes[kBlockContentBytes + 4] = {};
    bool allErased = true;
    bool allZero = true;
    for (int i = 0; i < kBlockContentBytes; ++i) {
        bytes[i] = block.ByteAt(kBlockCodeAt + i);
        if (i > 0) {
            allErased = allErased && bytes[i] == 0xFF;
            allZero = allZero && bytes[i] == 0x00;
        }
    }
    if (allErased || allZero) return false;
    CKadmor_Send::CalcBlockCheckWords(bytes);
    bool right = true;
    bool switchedOff = true;
    for (int i = 0; i < 4; ++i) {
        const BYTE stored = block.ByteAt(kBlockCodeAt + kBlockContentBytes + i);
        right = right && stored == bytes[kBlockContentBytes + i];
        switchedOff = switchedOff && stored == static_cast<BYTE>(bytes[kBlockContentBytes + i] + kSwitchedOffOffset);
    }
    return right || switchedOff;
}

bool CDlgSensorCalibration::OnActivateUserCalibration()
{
    if (m_activity != Activity::Idle || !IsSensorPresent()) return false;
    if (!HoldsUserCalibration()) {
        // Switched on, an erased block would be sealed and measured with (gain 2, full scale
        // 65535): nothing is written.
        Finish(kTextNoUserCalibrationStored, false);
        return false;
    }
    SetActivity(Activity::BlockStep);
    if (m_com.COM_ZMCOMConfgUserCalibActivate(0)) return true;
    Finish(kTextStepRefused, false);
    return false;
}

bool CDlgSensorCalibration::OnDeactivateUserCalibration()
{
    if (m_activity != Activity::Idle || !IsSensorPresent()) return false;
    SetActivity(Activity::BlockStep);
    if (m_com.COM_ZMCOMConfgUserCalibDeactivate(0)) return true;
    Finish(kTextStepRefused, false);
    return false;
}

bool CDlgSensorCalibration::OnWriteInaccuracy(double percent)
{
    if (m_activity != Activity::Idle || !IsSensorPresent()) return false;
    const bool deleting = m_fields.inaccuracyMode == 2 || m_fields.inaccuracyMode == 3;
    SetActivity(Activity::BlockStep);
    if (m_com.COM_ZMCOMConfgSetInaccuracy(0, deleting ? 0.0 : percent)) return true;
    Finish(kTextStepRefused, false);
    return false;
}

void CDlgSensorCalibration::Cancel()
{
    if (m_activity == Activity::Idle || m_activity == Activity::Writing) return;
    if (m_com.Peers().measureControl) m_com.Peers().measureControl->StopPollTimer();
    m_com.COM_InitCalibRecords();
    Finish(0, false);
}

// ---- Steps of the prompts ------------------------------------------------------------------------

void CDlgSensorCalibration::OnZeroAcquisitionStarted() { SetActivity(Activity::Acquiring); }

void CDlgSensorCalibration::OnZeroPhaseDone()
{
    SetActivity(Activity::ScalePrompt);
    m_endPrompt.Open();
}

void CDlgSensorCalibration::OnScaleAcquisitionStarted() { SetActivity(Activity::Acquiring); }

void CDlgSensorCalibration::OnScalePromptClosed(bool)
{
    // Closed by the controller while the page waits for values: the computation refused them.
    if (m_activity != Activity::Acquiring && m_activity != Activity::ScalePrompt) return;
    m_fields.newValuesAccepted = 0;
    CString text;
    text.Format(LoadLangString(kTextCalibrationRefused).GetString(), static_cast<unsigned>(m_nLastErrorMask));
    Finish(0, false);
    m_strStatusLine = text;
    Changed();
}

// ---- Running ---------------------------------------------------------------------------------------

void CDlgSensorCalibration::SetActivity(Activity activity)
{
    m_activity = activity;
    m_nWatchedProgress = m_nProgress;
    m_nWatchedState = m_com.GetZMCOMConfgFlow();
    m_nQuietMs = 0;
    m_nRefusedWrites = m_com.m_nRefusedWrites;
    m_nUnansweredSteps = m_com.m_nUnansweredSteps;
    const bool watched = activity == Activity::Acquiring || activity == Activity::Writing || activity == Activity::BlockStep;
    if (watched)
        CWnd::SetTimer(kCalibTimerWatch, kCalibWatchPeriodMs);
    else
        CWnd::KillTimer(kCalibTimerWatch);
    Changed();
}

void CDlgSensorCalibration::ReportCalibrationRefused(int errorMask)
{
    m_nLastErrorMask = errorMask;
    // What made the computation fail: a control signal that did not move a channel as it
    // should, a gain out of range, or else a scale value too close to the zero point (load).
    CString text;
    const int control = errorMask & (kCalibErrorControlA | kCalibErrorControlB);
    if (control) {
        const char* channels = control == kCalibErrorControlA ? "A" : control == kCalibErrorControlB ? "B" : "A, B";
        text.Format(LoadLangString(kTextControlSignalNoChange).GetString(), channels);
    } else if (errorMask & (kCalibErrorGainA | kCalibErrorGainB)) {
        text.Format(LoadLangString(kTextCalibrationRefused).GetString(), static_cast<unsigned>(errorMask));
    } else {
        text = workflow::WorkflowText(workflow::kTextCalibrationLoadCheck);
    }
    Finish(text, true);
}

void CDlgSensorCalibration::Finish(UINT messageId, bool box)
{
    Finish(messageId ? LoadLangString(messageId) : CString(), box);
}

void CDlgSensorCalibration::Finish(const CString& message, bool box)
{
    m_activity = Activity::Idle;
    CWnd::KillTimer(kCalibTimerWatch);
    // Only a calibration whose block the sensor took shows its whole way gone; one that ended
    // before (refused, cancelled, the sensor left) shows none, not a step that never comes.
    if (m_nProgress < kProgressTotal) m_nProgress = 0;
    m_com.m_bCalibrationRunning = 0;
    m_fields.newValuesAccepted = 0;
    m_zeroPrompt.Close();
    m_endPrompt.CloseIfVisible();
    m_bControlsVisible = true;
    m_strStatusLine = message;
    Changed();
    if (box && !message.IsEmpty()) AfxMessageBox(m_strStatusLine, platform::MB_ICONWARNING);
}

void CDlgSensorCalibration::AbortSensorLeft(bool box)
{
    // Nothing of the calibration may reach the sensor any more: no poll, no readings to
    // compute from, no step waiting for an answer.
    if (m_com.Peers().measureControl) m_com.Peers().measureControl->StopPollTimer();
    m_com.COM_InitCalibRecords();
    m_com.m_pfnReplyHandler = nullptr;
    m_com.m_strReceiveCOM.Empty();
    m_com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    Finish(kTextSensorLeft, box);
}

void CDlgSensorCalibration::OnTimer(UINT_PTR id)
{
    if (id == kCalibTimerSensors) {
        if (m_bShown ? TakeOneOfSeveral() : ConnectSensorsAgain()) CWnd::KillTimer(kCalibTimerSensors);
        return;
    }
    if (id != kCalibTimerWatch) return;
    if (m_com.m_nUnansweredSteps != m_nUnansweredSteps) {
        AbortSensorLeft(false);
        return;
    }
    if (m_com.m_nRefusedWrites != m_nRefusedWrites) {
        // The controller has named the refused block: nothing of the step was stored.
        if (m_com.Peers().measureControl) m_com.Peers().measureControl->StopPollTimer();
        m_com.COM_InitCalibRecords();
        Finish(kTextStepRefused, false);
        return;
    }
    const int state = m_com.GetZMCOMConfgFlow();
    if (m_activity == Activity::BlockStep && state == ZM_STOP_MEASURE) {
        // The block was written and the sensor is back from its restart.
        Finish(0, false);
        return;
    }
    // The controller awaits the sensor's greeting after its restart for longer than this watch
    // and reports a sensor that does not come back: a slow restart is no stall.
    if (m_nProgress != m_nWatchedProgress || state != m_nWatchedState || m_com.IsWaitingForRestart()) {
        m_nWatchedProgress = m_nProgress;
        m_nWatchedState = state;
        m_nQuietMs = 0;
        return;
    }
    m_nQuietMs += static_cast<int>(kCalibWatchPeriodMs);
    if (m_nQuietMs >= kCalibStallMs) AbortSensorLeft();
}

}  // namespace sensor_admin
