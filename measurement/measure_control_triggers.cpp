// The trigger evaluation of every value set, the hysteresis and the diagram's point limit at
// arming, and the start and stop events.

#include <cmath>

#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_panel.h"
#include "res/string_table.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace measurement {

namespace {

constexpr UINT kTextAdu = 5319;

}  // namespace

void CDlgMeasureDiagram::EvaluateValueSet(const views::ValueSet& set)
{
    m_bRecordLastSet = !m_bPastStopEvent;
    if (!IsTriggerArmed()) return;
    for (int c = 0; c < views::kChannelCount; ++c) {
        if (!set.valid[static_cast<std::size_t>(c)]) continue;
        EvaluateMeasureTriggers(c, set.value[static_cast<std::size_t>(c)]);
        if (!IsTriggerArmed()) return;
    }
}

void CDlgMeasureDiagram::EvaluateMeasureTriggers(int channel, double value)
{
    // The around-trigger display follows at rates of 1000 per second and slower.
    const bool show = Com().m_pMainFrame && Com().m_pMainFrame->MeasureRateIndex() > 2;
    measurement::EvaluateMeasureTriggers(m_frame.Triggers(), IsTriggerArmed(), channel, value, show, *this);
}

void CDlgMeasureDiagram::ShowAroundTrigger(int panel, int direction, double actual, char op, char sign, double given,
                                           double hysteresis, bool armed)
{
    const TriggerState& t = m_frame.Triggers();
    m_around.Evaluate(panel, direction, actual, op, sign, given, hysteresis, armed,
                      panel == 0 ? t.startSource : t.stopSource);
}

void CDlgMeasureDiagram::OnStartEvent(int /*channel*/, double value)
{
    m_bTriggerCycle = m_frame.Flag(FrameFlag::TriggerCycle);
    StartMeasurement();
    TriggerState& t = m_frame.Triggers();
    t.recording = 1;
    SetAllSensorsDisplayMode(1);
    t.startTime = m_frame.Now();
    t.plannedEndTime = t.startTime + t.durationSeconds;
    t.valueAtStart = value;
}

void CDlgMeasureDiagram::OnStopEvent(int /*channel*/, double value)
{
    OnBnClickedStop();
    TriggerState& t = m_frame.Triggers();
    // The set that crossed the stop level is the recording's last; a stop by the point limit
    // comes with the first set beyond it.
    m_bPastStopEvent = true;
    m_bRecordLastSet = t.stopSource != kTriggerTime && t.stopSource != kTriggerCount;
    t.recording = 0;
    t.valueAtStop = value;
    t.sampleCounter = 0;
    t.stoppedByEvent = 1;
}

void CDlgMeasureDiagram::ComputeTriggerHysteresis()
{
    TriggerState& t = m_frame.Triggers();
    const CComPort& com = Com();
    HysteresisInputs in;
    in.connectedSensors = ActivePorts() > 1 ? ActivePorts() : 1;
    in.firstIsDeviceCode5 = CComPort::IsDeviceCode5(com.m_Sensor[0].m_sIdent);
    const workflow::IWorkflowFrame* frame = com.m_pMainFrame;
    for (int c = 0; c < 6; ++c) {
        HysteresisChannel& h = in.channel[static_cast<std::size_t>(c)];
        const workflow::DisplayChannelEntry* entry =
            frame ? const_cast<workflow::IWorkflowFrame*>(frame)->DisplayEntry(c) : nullptr;
        if (entry && entry->selectedUnit >= 0 && entry->selectedUnit < static_cast<int>(entry->unitIds.size()))
            h.unitIsAdu = entry->unitIds[static_cast<std::size_t>(entry->selectedUnit)] == kTextAdu;
        // Of a device, each channel is a sensor's, and its port follows the sensors' module
        // positions, not the order the ports were found in.
        const bool several = in.connectedSensors > 1;
        const int port = several && c < 4 ? com.GetRealSensorIndex(c) : 0;
        const int sensor = port >= 0 && port < kMaxSensorPorts ? port : 0;
        h.range = com.m_Sensor[static_cast<std::size_t>(sensor)].RangeEnd(!several && c == 1, several);
        h.countValue = entry ? entry->divisor : 0.0;
        h.percent = 1.0;
        m_frame.FillHysteresisChannel(c, h);
    }
    in.secondSensorB = in.channel[1];
    if (IsFirstSensorSelected()) in.firstSensorSelected = IsSensorStateStarted(0) ? 1 : 0;
    if (IsSecondSensorSelected()) in.secondSensorSelected = IsSensorStateStarted(1) ? 1 : 0;
    t.startHysteresis = ComputeHysteresis(t.startSource, true, in);
    t.stopHysteresis = ComputeHysteresis(t.stopSource, false, in);
    if (const CMeasureSetup* setup = m_frame.SetupRecord()) {
        const std::int32_t seconds = StopDurationSeconds(t.stopSource, setup->duration, setup->count, m_frame.SetPeriodSeconds());
        if (seconds >= 0) t.durationSeconds = seconds;
    }
}

void CDlgMeasureDiagram::SetArmedTriggerButtons()
{
    SetButtons(PanelButtons::ArmedTrigger);
    TriggerState& t = m_frame.Triggers();
    t.pointLimit = 0;
    if (const CMeasureSetup* setup = m_frame.SetupRecord()) {
        t.pointLimit = DiagramPointLimit(t.stopSource, setup->duration, setup->count, m_frame.SetPeriodSeconds());
        if (t.stopSource == kTriggerCount || t.stopSource == kTriggerTime) {
            // A limit below one point is no limit: the diagram records freely.
            if (t.pointLimit >= 1) m_frame.DiagramSetRunState(1, t.pointLimit);
            else m_frame.DiagramSetRunState(2, 0);
        }
    }
    m_nProgressBase = t.pointLimit;
    UpdateButtonStates();
}

}  // namespace measurement
