#include "sensor_admin/dlg_sensor_information.h"

#include <algorithm>

#include "platform/message_box.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"

namespace sensor_admin {

CDlgSensorInformationHmb::CDlgSensorInformationHmb(CComPort& com, platform::MessageLoop& loop) : CWnd(loop), m_com(com)
{
    FillSensorInformation(0);
}

int CDlgSensorInformationHmb::SensorCount() const
{
    return m_com.m_nCountActivePorts >= 2 ? std::min(m_com.m_nCountActivePorts, kMaxSensorPorts) : 1;
}

const std::shared_ptr<workflow::ISensorPort>& CDlgSensorInformationHmb::SensorPort() const
{
    return m_com.m_nCountActivePorts >= 2 ? m_com.m_pPortManOfPort[static_cast<std::size_t>(m_nSensor)] : m_com.m_pPortMan;
}

void CDlgSensorInformationHmb::FillSensorInformation(int sensor)
{
    if (sensor < 0 || sensor >= SensorCount()) sensor = 0;
    m_nSensor = sensor;
    m_rows = BuildSensorInformation(m_com, m_com.m_Sensor[static_cast<std::size_t>(sensor)], m_bSensorPresent, GetLanguage());
    m_bRefresh = false;
    Changed();
}

void CDlgSensorInformationHmb::SetSensorPresent(bool present)
{
    m_bSensorPresent = present;
    Changed();
}

CString CDlgSensorInformationHmb::FormatChannelValue(CString& result, int, int channel, int, int) const
{
    // A multiport device's sensor n carries channel n as its own channel A.
    const bool several = m_com.m_nCountActivePorts >= 2;
    const int sensor = several ? channel : 0;
    if (channel < 0 || sensor >= kMaxSensorPorts) {
        result = MeasurandText(m_com.m_Sensor[0], 0);
        return result;
    }
    result = MeasurandText(m_com.m_Sensor[static_cast<std::size_t>(sensor)], several ? 0 : channel);
    return result;
}

void CDlgSensorInformationHmb::Begin(Activity activity)
{
    m_activity = activity;
    m_nLastState = m_com.GetZMCOMConfgFlow();
    m_nQuietMs = 0;
    m_nRefusedWrites = m_com.m_nRefusedWrites;
    m_nUnansweredSteps = m_com.m_nUnansweredSteps;
    m_strStatusLine.Empty();
    CWnd::SetTimer(kInfoTimerWatch, kInfoWatchPeriodMs);
    Changed();
}

bool CDlgSensorInformationHmb::OnReadAgain()
{
    if (m_activity != Activity::Idle) return false;
    if (!m_bSensorPresent || !SensorPort()) {
        m_strStatusLine = LoadLangString(kTextNoSensor);
        Changed();
        return false;
    }
    Begin(Activity::Reading);
    return m_com.COM_ReadSensorAgain(m_nSensor);
}

void CDlgSensorInformationHmb::OnSensorChosen(int sensor)
{
    if (m_activity == Activity::Idle) FillSensorInformation(sensor);
}

bool CDlgSensorInformationHmb::OnStoreSettings()
{
    if (m_activity != Activity::Idle) return false;
    workflow::IConfigWriteSequencer* sequencer = m_com.Peers().sequencer;
    if (!m_bSensorPresent || !sequencer) {
        m_strStatusLine = LoadLangString(kTextNoSensor);
        Changed();
        return false;
    }
    Begin(Activity::Writing);
    m_com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
    sequencer->Start();
    return true;
}

void CDlgSensorInformationHmb::Finish(UINT messageId)
{
    CWnd::KillTimer(kInfoTimerWatch);
    m_com.COM_EndSensorReread();
    m_activity = Activity::Idle;
    m_strStatusLine = messageId ? LoadLangString(messageId) : CString();
    Changed();
}

bool CDlgSensorInformationHmb::IsReportedByController() const
{
    // The controller reports a silent sensor itself and closes its port.
    const std::shared_ptr<workflow::ISensorPort>& port = SensorPort();
    return m_com.m_nUnansweredSteps != m_nUnansweredSteps || !port || port->GetStateText() == m_com.m_strPortState;
}

void CDlgSensorInformationHmb::Abort()
{
    // One message is enough.
    const bool reported = IsReportedByController();
    // The controller is put back to rest: a late answer finds no step to continue.
    m_com.COM_EndSensorReread();
    m_com.m_pfnReplyHandler = nullptr;
    m_com.m_strReceiveCOM.Empty();
    m_com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    m_bSensorPresent = false;
    Finish(kTextSensorLeft);
    FillSensorInformation(m_nSensor);
    if (!reported) AfxMessageBox(m_strStatusLine, platform::MB_ICONWARNING);
}

void CDlgSensorInformationHmb::OnTimer(UINT_PTR id)
{
    if (id == kInfoTimerFill) {
        CWnd::KillTimer(id);
        FillSensorInformation(m_nSensor);
        if (m_activity == Activity::Reading) Finish(0);
        return;
    }
    if (id != kInfoTimerWatch) return;
    if (m_com.m_nUnansweredSteps != m_nUnansweredSteps) {
        Abort();
        return;
    }
    if (m_com.m_nRefusedWrites != m_nRefusedWrites) {
        // The controller has named the refused block; the sensor is still there.
        Finish(kTextSettingsNotStored);
        return;
    }
    const int state = m_com.GetZMCOMConfgFlow();
    if (m_activity == Activity::Writing && state == ZM_WRITE_SEQ_DONE) {
        m_com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
        Finish(kTextSettingsStored);
        return;
    }
    if (state != m_nLastState) {
        m_nLastState = state;
        m_nQuietMs = 0;
        return;
    }
    m_nQuietMs += static_cast<int>(kInfoWatchPeriodMs);
    if (m_nQuietMs >= kInfoStallMs) Abort();
}

}  // namespace sensor_admin
