#include "sensor_admin/dlg_diagnostic.h"

#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "workflow/zm_codes.h"

namespace sensor_admin {

CDlgDiagnostic::CDlgDiagnostic(CComPort& com, platform::MessageLoop& loop) : CWnd(loop), m_com(com), m_detector(this) {}

void CDlgDiagnostic::DetectMultiport()
{
    m_detector.Reset();
    int n = 0;
    for (int row = 0; row < kPortTableRows && n < CMasterSlaveDetector::kMaxEntries; ++row) {
        const CPortRecord& rec = m_com.m_PortRec[static_cast<std::size_t>(row)];
        if (rec.m_strPortName.IsEmpty()) break;
        if (rec.m_nState != kPortStateAvailable && rec.m_nState != kPortStateActive) continue;
        CMasterSlaveDetector::Entry& entry = m_detector.m_Entry[static_cast<std::size_t>(n++)];
        entry.id = static_cast<BYTE>(row);
        entry.port = rec.m_strPortName;
        entry.serial = rec.m_Sensor.m_sStatorHeader.nSerialNo;
        entry.position = rec.m_Sensor.m_sStatorHeader.cModuleIndex;
        entry.count = rec.m_Sensor.m_sStatorHeader.cModuleCount;
    }
    m_detector.m_nCount = n;
    m_detector.Detect();
    // The view layout waits for the grouping to be known.
    m_com.m_bStartupStatus = 0;
    COM_RefreshDiagnosticList();
}

void CDlgDiagnostic::COM_RefreshDiagnosticList()
{
    // Every port a sensor answered on, with what the grouping found out about it.
    m_rows.clear();
    CStringArray groups;
    m_detector.GetGroups(groups);
    for (int row = 0; row < kPortTableRows; ++row) {
        const CPortRecord& rec = m_com.m_PortRec[static_cast<std::size_t>(row)];
        if (rec.m_strPortName.IsEmpty()) break;
        if (rec.m_nState != kPortStateAvailable && rec.m_nState != kPortStateActive) continue;
        DiagnosticRow line;
        line.port = m_com.COM_MakePortDisplayName(rec.m_strPortName);
        line.serial = rec.m_Sensor.m_sStatorHeader.nSerialNo;
        line.position = rec.m_Sensor.m_sStatorHeader.cModuleIndex;
        line.count = rec.m_Sensor.m_sStatorHeader.cModuleCount;
        for (int i = 0; i < m_detector.m_nCount && i < CMasterSlaveDetector::kMaxEntries; ++i) {
            const CMasterSlaveDetector::Entry& entry = m_detector.m_Entry[static_cast<std::size_t>(i)];
            if (entry.id != row) continue;
            line.role = entry.role;
            for (int g = 0; g < groups.GetSize(); ++g)
                if (groups[g].Find(static_cast<char>(entry.id)) >= 0) line.group = g;
        }
        m_rows.push_back(line);
    }
    Changed();
}

bool CDlgDiagnostic::OnStatusRequest()
{
    if (!m_com.m_pPortMan) {
        m_strStatusLine = LoadLangString(kTextNoSensor);
        Changed();
        return false;
    }
    CString request;
    m_com.BuildStatusLongRequest(request);
    m_com.m_strReceiveCOM.Empty();
    m_com.SetZMCOMConfgFlow(ZM_GET_STATUS_LONG);
    m_strStatusLine.Empty();
    CWnd::SetTimer(kDiagTimerStatusWait, kDiagStatusWaitMs);
    if (m_com.m_pPortMan->WriteString(request)) return true;
    CWnd::KillTimer(kDiagTimerStatusWait);
    m_com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    m_strStatusLine = LoadLangString(kTextNoStatusAnswer);
    Changed();
    return false;
}

void CDlgDiagnostic::ShowStatusAnswer()
{
    const auto& id = m_com.m_Sensor[static_cast<std::size_t>(m_com.m_nCurSensor < 0 ? 0 : m_com.m_nCurSensor % kMaxSensorPorts)].m_sIdent;
    m_strStatusLine.Format(LoadLangString(kTextStatusAnswer).GetString(), id[kIdentAddress], id[kIdentCalibration],
                           id[kIdentStatorId], id[kIdentStatorRevision], id[kIdentRotorId], id[kIdentRotorRevision]);
    Changed();
}

void CDlgDiagnostic::OnShowPage(bool shown)
{
    if (shown) {
        COM_RefreshDiagnosticList();
        m_nShownState = m_com.GetZMCOMConfgFlow();
        CWnd::SetTimer(kDiagTimerState, kDiagStatePeriodMs);
    } else {
        CWnd::KillTimer(kDiagTimerState);
    }
    Changed();
}

CString CDlgDiagnostic::WorkflowStateText() const
{
    const int state = m_com.GetZMCOMConfgFlow();
    return CString::Formatted("%d  ", state) + ZmCodeName(state);
}

void CDlgDiagnostic::OnTimer(UINT_PTR id)
{
    if (id == kDiagTimerState) {
        const int state = m_com.GetZMCOMConfgFlow();
        if (state != m_nShownState) {
            m_nShownState = state;
            Changed();
        }
        if (IsTimerArmed(kDiagTimerStatusWait) && state != ZM_GET_STATUS_LONG) {
            CWnd::KillTimer(kDiagTimerStatusWait);
            ShowStatusAnswer();
        }
        return;
    }
    if (id == kDiagTimerStatusWait) {
        CWnd::KillTimer(id);
        if (m_com.GetZMCOMConfgFlow() == ZM_GET_STATUS_LONG) {
            // No answer: the controller goes back to rest.
            m_com.m_pfnReplyHandler = nullptr;
            m_com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
            m_strStatusLine = LoadLangString(kTextNoStatusAnswer);
            Changed();
        } else {
            ShowStatusAnswer();
        }
    }
}

}  // namespace sensor_admin
