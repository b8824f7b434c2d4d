// The accept button, and what the workflow controller and the configuration-write sequencer
// read of the page.

#include <algorithm>

#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_page.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace measurement {

void CDlgMeasureAdjust::CopyToSensorRecord(int sensor) { CopyDisplayTablesToSwConfig(m_frame, sensor); }

void CDlgMeasureAdjust::OnBnClickedAccept()
{
    m_frame.BeginWaitCursorOnce();
    m_controls.Enable(IDC_ACCEPT, false);
    const int sensors = ActivePorts();
    for (int i = 0; i < sensors && i < kMaxSensorPorts; ++i) {
        CopyToSensorRecord(i);
        m_writer.WriteAfterPause(i, 37);
    }
    m_controls.Show(IDC_ACCEPT, false);
}

// A condition is judged only while the page shows it whole: the channel chosen in its list and
// at least one limit in its fields. One whose fields the user emptied, or whose channel the list
// no longer holds, is no condition, neither for the verdict nor for the result file.
IoNioInputs CDlgMeasureAdjust::GetIoNioInputs() const
{
    IoNioInputs in;
    for (std::size_t k = 0; k < in.limitText.size(); ++k) {
        CString text = m_sLimitText[k];
        text.Trim();
        // The "-" an empty page shows is no limit.
        in.limitText[k] = text == "-" ? CString() : text;
    }
    for (std::size_t k = 0; k < in.measurand.size(); ++k) {
        const int measurand = m_iLimitedMeasurand[k];
        const bool chosen = measurand >= 0 && m_controls.SelectedDatum(kConditionCombo[k], -1) == measurand;
        if (!chosen || IsIoNioConditionUndefined(static_cast<int>(k) + 1)) continue;
        in.measurand[k] = measurand;
        in.conditions |= 1 << k;
    }
    in.defined = in.conditions != 0;
    return in;
}

bool CDlgMeasureAdjust::IsChannelRowChanged(int channel) const
{
    return channel >= 0 && channel < kSensorRows && m_bScaled[static_cast<std::size_t>(channel)] != 0;
}

std::array<DWORD, 2> CDlgMeasureAdjust::FilterValues(int channel) const
{
    if (channel < 0 || channel >= kSensorRows) return {3000, 3000};
    // One sensor keeps both of its channels' filters in the first slot.
    const auto& values = Several() ? m_nLowPassValue[static_cast<std::size_t>(channel)] : m_nLowPassValue[0];
    return {static_cast<DWORD>(values[0]), static_cast<DWORD>(values[1])};
}

const workflow::MeasureSetupValues* CDlgMeasureAdjust::WriteSetupValues() const
{
    m_writeValues = SetupValuesNow();
    return &m_writeValues;
}

workflow::MeasureSetupValues CDlgMeasureAdjust::SetupValuesNow() const
{
    workflow::MeasureSetupValues v;
    for (int c = 0; c < kSensorRows; ++c) v.filter[static_cast<std::size_t>(c)] = FilterValues(c);
    v.measurand1 = m_iLimitedMeasurand[0];
    v.measurand2 = m_iLimitedMeasurand[1];
    v.limitText = m_sLimitText;
    v.limitValue = m_setup.limitValue;
    // A single sensor keeps both conditions, whichever channel each watches, once either is in
    // use: otherwise a condition on channel B alone would not be stored at all.
    const bool used[2] = {m_controls.IsChecked(kConditionCheck[0]) && m_controls.IsShown(kConditionCheck[0]),
                          m_controls.IsChecked(kConditionCheck[1]) && m_controls.IsShown(kConditionCheck[1])};
    v.singleLimitChecked = used[0] || used[1];
    v.singleLimitVisible = v.singleLimitChecked && !Several();
    v.startKind = m_setup.startSource < 0 ? 0 : m_setup.startSource;
    v.startLevel = m_setup.startValue;
    v.startFurther = {static_cast<double>(m_setup.startTime), 0.0};
    v.startOption = m_setup.startDirection > 0 ? 1 : 0;
    v.stopKind = m_setup.stopSource < 0 ? 0 : m_setup.stopSource;
    v.stopLevel = m_setup.stopValue;
    v.stopCount = m_setup.stopByDuration ? static_cast<DWORD>(m_setup.duration)
                                         : static_cast<DWORD>(m_setup.count < 0 ? 0 : m_setup.count);
    v.stopOption = m_setup.stopDirection > 0 ? 1 : 0;
    // The sensor keeps the decimals of both trigger values, so that they come back as typed.
    v.optionByte = static_cast<BYTE>((std::min<int>(m_setup.stopExtra, 7) << 3) | std::min<int>(m_setup.startExtra, 7));
    for (int r = 0; r < kRowCount; ++r) {
        v.channelValue[static_cast<std::size_t>(r)] = IsRowActive(r) ? 1.0 : 0.0;
        v.rowOfChannel[static_cast<std::size_t>(r)] = FindRowOfChannel(r);
    }
    return v;
}

CDlgMeasureAdjust::KeptInSensors CDlgMeasureAdjust::KeptInSensorsNow() const
{
    KeptInSensors kept;
    kept.values = SetupValuesNow();
    for (int i = 0; i < 2; ++i) {
        kept.flags[static_cast<std::size_t>(i)] = GetSensorOption(i);
        kept.flags[static_cast<std::size_t>(2 + i)] = GetSensorThirdFlag(i);
        kept.flags[static_cast<std::size_t>(4 + i)] = GetSensorExtraFlag(i);
        kept.flags[static_cast<std::size_t>(6 + i)] = GetDisplayFlag(i);
    }
    return kept;
}

void CDlgMeasureAdjust::OnUserAction(const std::function<void()>& handler)
{
    const KeptInSensors before = KeptInSensorsNow();
    handler();
    if (ActivePorts() >= 1 && !(KeptInSensorsNow() == before)) {
        m_frame.MarkConfigWritePending();
        m_nHeldForSerial = Com().m_Sensor[0].m_sStatorHeader.nSerialNo;
    }
    HoldSetup();
}

void CDlgMeasureAdjust::HoldSetup()
{
    // Only what the page shows with every sensor there: with some of them gone it offers less.
    if (ActivePorts() < 1 || Com().m_bFurtherPortsPending || !IsPanelSensorConnected()) return;
    // A device with one of its sensors gone rests with the others alone and offers less: the
    // set-up the user made for all of them is kept until it is written or they are back.
    if (m_held.valid && ActivePorts() < m_held.ports && HoldsSetupForConnectedSensor()) return;
    const HeldSetup before = m_held;
    m_held.ports = ActivePorts();
    m_held.shownPorts = m_nPortsLoaded;
    m_held.measurand = m_iLimitedMeasurand;
    for (int k = 0; k < 4; ++k) m_held.limitText[static_cast<std::size_t>(k)] = m_controls.Text(kLimitEdit[k]);
    m_held.limitValue = m_setup.limitValue;
    m_held.axis = m_setup.axis;
    m_held.valid = true;
    // A device's sensor back a moment before the page is refreshed for it: the page still offers
    // the sensors there before, so a condition held for that sensor is missing from it, though the
    // user never cleared it. It stays held in a slot the user left empty.
    // A page last shown for a single sensor (a device's first one back alone, as after the
    // calibration page gives the device back) lists that sensor's channels A and B, not the
    // device's sensors: none of the device's conditions was offered there, whatever its datum.
    // Nor were any on a page last shown with no sensor.
    if (!before.valid || m_nPortsShown >= ActivePorts()) return;
    const bool listsDevice = m_nPortsShown >= 1 && (m_nPortsShown >= 2) == Several();
    // A device whole again on a page still showing one of its sensors alone, its conditions read
    // from that sensor: they are that sensor's, read as a lone sensor's, not the device's. Those
    // held for the device stay; with none held for it, none is held, and the refresh takes what
    // the sensors keep. (A device's first sensor back with the others still to come lends the
    // page none: the device's conditions stay on it, and a limit typed there is the user's.)
    if (!listsDevice && Several() && m_nPortsLoaded == 1) {
        const bool heldForDevice = before.ports >= 2;
        m_held.measurand = heldForDevice ? before.measurand : std::array<int, 2>{-1, -1};
        m_held.limitText = heldForDevice ? before.limitText : std::array<CString, 4>{};
        m_held.limitValue = heldForDevice ? before.limitValue : std::array<double, 4>{};
        return;
    }
    for (std::size_t k = 0; k < 2; ++k) {
        const int measurand = before.measurand[k];
        const bool offered = listsDevice && m_controls.HasDatum(kConditionCombo[k], measurand);
        if (m_held.measurand[k] != -1 || measurand == -1 || offered) continue;
        m_held.measurand[k] = measurand;
        for (std::size_t j = 2 * k; j < 2 * k + 2; ++j) m_held.limitText[j] = before.limitText[j], m_held.limitValue[j] = before.limitValue[j];
    }
}

void CDlgMeasureAdjust::RestoreHeldConditions()
{
    // A device's sensor back a moment before the page loaded its set-up: the user's change made
    // meanwhile was made on a page without the conditions that sensor keeps. Those stay, in a slot
    // the user left empty: the user never saw them, let alone cleared them.
    std::array<int, 2> read{-1, -1};
    std::array<int, 2> readFrom{-1, -1};
    std::array<CString, 4> readText;
    std::array<double, 4> readValue{};
    if (!m_bPowerSwitching && m_held.shownPorts < ActivePorts() && LoadLimitsFromSensors()) {
        read = m_iLimitedMeasurand;
        readFrom = m_limitSensor;
        readText = m_sLimitText;
        readValue = m_setup.limitValue;
    }
    m_iLimitedMeasurand = m_held.measurand;
    m_sLimitText = m_held.limitText;
    m_setup.limitValue = m_held.limitValue;
    for (std::size_t k = 0; k < 2; ++k) {
        if (m_iLimitedMeasurand[k] != -1 || read[k] == -1 || readFrom[k] < m_held.shownPorts) continue;
        m_iLimitedMeasurand[k] = read[k];
        for (std::size_t j = 2 * k; j < 2 * k + 2; ++j) m_sLimitText[j] = readText[j], m_setup.limitValue[j] = readValue[j];
    }
    for (int k = 0; k < 4; ++k) m_controls.SetText(kLimitEdit[k], m_sLimitText[static_cast<std::size_t>(k)]);
}

bool CDlgMeasureAdjust::HoldsSetupForConnectedSensor() const
{
    // The sensors of a multiport device share one serial number. With no sensor there (gone,
    // or its ports closed and not yet read again) nothing replaces what the user set.
    return m_nHeldForSerial != 0 && m_frame.IsConfigWritePending() &&
           (ActivePorts() < 1 || Com().m_Sensor[0].m_sStatorHeader.nSerialNo == m_nHeldForSerial);
}

}  // namespace measurement
