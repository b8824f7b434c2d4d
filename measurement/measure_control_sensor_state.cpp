// The sensor's state on the control panel: the version check, the connected and disconnected
// states of every page and view, the sensor's info fields, and the developer-view gate.

#include "environment/environment.h"
#include "environment/number_text.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_panel.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "workflow/com_port.h"

namespace measurement {

void CDlgMeasureDiagram::CheckSensorVersion(int code)
{
    CComPort& com = Com();
    const int index = code == ZM_4xS_SERIAL_NUMBER ? com.m_nCurSensor : 0;
    const CSensorRecord& sensor = com.m_Sensor[static_cast<std::size_t>(index >= 0 && index < kMaxSensorPorts ? index : 0)];
    if (!CComPort::COM_IsAcceptedDeviceVersion(sensor.m_sIdent[kIdentStatorId], sensor.m_sIdent[kIdentStatorRevision],
                                               sensor.m_sIdent[kIdentOem])) {
        const CString refusal = BuildVersionRefusal(sensor, 1);
        ClearSensorDisplay();
        AfxMessageBox(refusal);
    } else {
        ShowSensorActive();
    }
    if (!com.IsControlOn()) m_frame.CloseCalibrationEndPrompt();
    m_frame.MarkInformationRefresh();
    // A sensor read again while a measurement runs leaves that measurement's state as it is.
    if (!IsRunning()) com.m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    // The sensor's start-up has settled: the frame may lay its views out again.
    com.m_bStartupStatus = 0;
    m_frame.EndWaitCursorOnce();
    Changed();
}

CString CDlgMeasureDiagram::BuildVersionRefusal(const CSensorRecord& sensor, int kind)
{
    CString code;
    if (kind == 0 || kind == 1) {
        code = LoadLangString(kind == 0 ? 5279 : 5280);
        const BYTE b = kind == 0 ? sensor.m_sIdent[kIdentStatorRevision] : sensor.m_sIdent[kIdentStatorId];
        const char mark = b <= 10 ? static_cast<char>('0' + b) : '*';
        const int close = code.Find(')');
        if (close >= 0) code.Insert(close, mark);
        else code += mark;
    }
    return LoadLangString(kTextNotSupported) + "\n\n" + LoadLangString(kTextErrorCode) + ": " + code;
}

void CDlgMeasureDiagram::ShowSensorActive()
{
    m_bSensorActive = 1;
    // A device is connected once its last sensor is.
    if (!Com().m_bFurtherPortsPending) m_bHeldUntilConnected = 0;
    // The buttons of a measurement that runs meanwhile stay those of a running one.
    if (!IsRunning()) SetButtons(PanelButtons::Connected);
    m_frame.EnableChannelValueButtons(true);
    m_frame.SetStatusText(kTextReady);
    m_frame.ShowCalibrationControls(true);
    m_frame.SetDocumentationRunning(true);
    BuildSensorInfoText(m_nLanguage < 0 ? GetLanguage() : m_nLanguage);
    if (m_frame.ActiveViewKind() != kControlViewKind) m_bTextsStale = 1;
    m_frame.WriteLogFile("connected");
    UpdateButtonStates();
}

// A device's buttons are released once its last sensor is read; the set-up page's refresh
// from the sensors comes a moment later. The page takes the rates they allow (and their
// channels) now, so that a Start at once measures at the rate the page shows, not at the one
// the sensors kept; the panel names that rate.
void CDlgMeasureDiagram::TakeRateOfConnectedSensors()
{
    m_frame.SetupCheckSameSensor();
    BuildSensorInfoText(m_nLanguage < 0 ? GetLanguage() : m_nLanguage);
}

void CDlgMeasureDiagram::ClearSensorDisplay()
{
    m_bSensorActive = 0;
    CComPort& com = Com();
    com.COM_InitSensorRecords();
    com.COM_ResetMeasureStatistics();
    // Without a sensor no button has anything to act on, the angle zero included.
    m_psMsureDgrm->sIsVisible.fill(0);
    m_psMsureDgrm->shared.nControlState = 0;
    m_frame.EnableChannelValueButtons(false);
    m_frame.ClearChannelValueFields();
    m_frame.SetStatusText(kTextDisconnected);
    m_frame.ShowCalibrationControls(false);
    m_frame.SetDocumentationRunning(false);
    for (int s = 0; s < kMaxSensorPorts; ++s) m_frame.UpdateDisplayValues(s, 0);
    BuildSensorInfoText(-1);
    m_frame.SetupCheckSameSensor();
    m_frame.WriteLogFile("Sensor getrennt");
    m_frame.HideSetupSensorControls();
    // The buttons go off now, not at the next step that happens to apply them.
    UpdateButtonStates();
}

void CDlgMeasureDiagram::ResetAfterDisconnect()
{
    // Without a sensor the buttons wait for the next connection anyway.
    m_bHeldUntilConnected = 0;
    ClearSensorDisplay();
    m_frame.SetStatusText(kTextDisconnected);
    m_frame.ShowCalibrationControls(false);
    UpdateButtonStates();
    m_frame.EndWaitCursorOnce();
    Changed();
}

void CDlgMeasureDiagram::BuildSensorInfoText(int language)
{
    // The rate is the one the connected sensors measure at; without them there is none.
    const UINT rateText = language < 0 ? 0 : m_frame.MeasureRateTextId();
    m_controls.SetText(IDC_MC_RATE, LoadLangString(kTextRate) + ": " + (rateText ? LoadLangString(rateText) : m_sNotAvailable));
    const UINT labels[3] = {kTextSerial, kTextRange, kTextUncertainty};
    const int labelIds[3] = {IDC_MC_SERIAL_LABEL, IDC_MC_RANGE_LABEL, IDC_MC_UNCERTAINTY_LABEL};
    const int valueIds[3] = {IDC_MC_SERIAL, IDC_MC_RANGE, IDC_MC_UNCERTAINTY};
    if (language < 0) {
        for (int k = 0; k < 3; ++k) {
            m_controls.SetText(labelIds[k], LoadLangString(labels[k]) + ": " + m_sNotAvailable);
            m_controls.SetText(valueIds[k], CString());
        }
        return;
    }
    const CComPort& com = Com();
    const int sensors = ActivePorts() >= 2 ? ActivePorts() : (com.m_nSensorPortCount > 0 ? 1 : 0);
    if (sensors == 0) return;
    const CSensorRecord& first = com.m_Sensor[0];
    m_controls.SetText(IDC_MC_SERIAL_LABEL, CString::Formatted("%s: %u", LoadLangString(kTextSerial).GetString(),
                                                               static_cast<unsigned>(first.m_sStatorHeader.nSerialNo)));
    CString serials, ranges, uncertainties;
    if (sensors == 1) {
        const CString a = first.m_sRotorOperation.strSerialA.IsEmpty() ? CString("-") : first.m_sRotorOperation.strSerialA;
        const CString b = first.m_sRotorOperation.strSerialB.IsEmpty() ? CString("-") : first.m_sRotorOperation.strSerialB;
        if (first.HasChannelAOnly()) {
            serials = CString::Formatted(" %s", a.GetString());
            ranges = m_frame.ChannelRangeText(0, 0);
        } else {
            serials = CString::Formatted(" A. %s B. %s", a.GetString(), b.GetString());
            ranges = m_frame.ChannelRangeText(0, 0) + " B. " + m_frame.ChannelRangeText(0, 1);
        }
    } else {
        for (int s = 0; s < sensors && s < kMaxSensorPorts; ++s) {
            const CString id = com.m_Sensor[static_cast<std::size_t>(s)].m_sRotorOperation.strSerialA;
            serials += CString::Formatted(" %d. %s", s + 1, id.IsEmpty() ? " - " : id.GetString());
            ranges += CString::Formatted("%d. ", s + 1) + m_frame.ChannelRangeText(s, 0) + " ";
        }
    }
    for (int s = 0; s < sensors && s < kMaxSensorPorts; ++s) {
        BYTE valid = 0, kind = 0;
        const double value = com.COM_GetScaleValue(s, &valid, &kind, nullptr, 1);
        const CString text = valid ? LocalizeDecimalSeparator(CEnvironment::TrimTrailingZeros(CString::Formatted("%f", value)), language)
                                   : CString("-");
        uncertainties += (s ? " " : "") + text;
    }
    m_controls.SetText(IDC_MC_SERIAL, serials);
    m_controls.SetText(IDC_MC_RANGE_LABEL, LoadLangString(kTextRange));
    m_controls.SetText(IDC_MC_RANGE, ranges);
    m_controls.SetText(IDC_MC_UNCERTAINTY_LABEL, LoadLangString(kTextUncertainty));
    m_controls.SetText(IDC_MC_UNCERTAINTY, uncertainties);
}

bool CDlgMeasureDiagram::IsDeveloperUser(const CString& userName)
{
    return userName == "R.Wendelbrauchs" || userName.Find("t.ost") >= 0;
}

void CDlgMeasureDiagram::ApplyDeveloperView()
{
    if (m_bFirstInit) {
        m_bFirstInit = 0;
        MeasureRunState& r = *m_psMsureDgrm;
        r.shared.bRunning = 0;
        r.shared.bSecond = 0;
        r.triggerOn = 0;
        r.shared.bStoppedByUser = 0;
        r.shared.bCtrlSwitchRequest = 0;
        r.shared.nCounter = 0;
        r.shared.nControlState = 0;
        for (int b = 0; b < 5; ++b) r.sIsVisible[static_cast<std::size_t>(b)] = 0;
        m_indicators = IndicatorStates{};
        SetStateIndicator(0, " - ");
    }
    for (int i = 0; i < 4; ++i) m_controls.Check(kSensorCheck[i], i < 2);
    // An unset USERNAME reads as the fallback text, which opens nothing.
    m_bDeveloperView = IsDeveloperUser(CEnvironment::GetUserNameEnv());
    ShowDiagnosticsArea(m_bDeveloperView);
    // The value-loss switches enable what follows them, starting from the first one, unticked.
    OnValueLossSwitch(IDC_MC_LOSS_TEST);
    SetProgress(0);
}

}  // namespace measurement
