#include "sensor_admin/dlg_start_up.h"

#include <algorithm>

#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/dlg_sensor_connection.h"

namespace sensor_admin {

CDlgStartUp::CDlgStartUp(CDlgSensorConnection* connection, platform::MessageLoop& loop)
    : CWnd(loop), m_pConnection(connection)
{
}

void CDlgStartUp::Show()
{
    CWnd::KillTimer(kStartUpTimerClose);
    m_bVisible = true;
    Changed();
}

void CDlgStartUp::BeginSearchProgress(int ports)
{
    m_nPorts = std::max(ports, 0);
    m_nSteps = 0;
    m_nPortSteps = 0;
    m_nCurrentPort = -1;
    m_bFinished = false;
    m_bProgressVisible = true;
    Show();
}

void CDlgStartUp::SetListProgress(int row, int percent)
{
    if (!m_bShowProgressInList || !m_pConnection || row < 0 || row >= m_pConnection->List().GetItemCount()) return;
    m_pConnection->List().Row(row).progress = percent;
    if (m_pConnection->onChanged) m_pConnection->onChanged();
}

void CDlgStartUp::BeginPortProgress(int port)
{
    m_nCurrentPort = port;
    m_nPortSteps = 0;
    SetListProgress(port, 0);
    Changed();
}

void CDlgStartUp::StepSearchProgress(int)
{
    ++m_nPortSteps;
    if (m_nSteps < m_nPorts * kStepsPerPort) ++m_nSteps;
    SetListProgress(m_nCurrentPort, PortPercent());
    Changed();
}

int CDlgStartUp::Percent() const
{
    if (m_nPorts <= 0) return m_bFinished ? 100 : 0;
    return std::min(100, m_nSteps * 100 / (m_nPorts * kStepsPerPort));
}

int CDlgStartUp::PortPercent() const { return std::min(100, m_nPortSteps * 100 / kStepsPerPort); }

void CDlgStartUp::EndSearchProgress()
{
    m_bProgressVisible = false;
    if (m_bShowProgressInList && m_pConnection) {
        // Rows whose probing never came to a result cannot be used: they are shown as such.
        CPortListModel& list = m_pConnection->List();
        for (int row = 0; row < list.GetItemCount(); ++row) {
            PortListRow& r = list.Row(row);
            if (r.progress < 0) continue;
            r.progress = -1;
            if (r.state == kPortStateFound || r.state == kPortStateEmpty) {
                r.state = kPortStateNotOpenable;
                r.cell[kColumnStatus] = CDlgSensorConnection::StatusTextOfState(kPortStateNotOpenable);
            }
        }
        m_bShowProgressInList = false;
        if (m_pConnection->onChanged) m_pConnection->onChanged();
    }
    // The window shows nothing but the search: with its progress gone it closes, unless the
    // closing text of a search without result is still to be read.
    if (m_bVisible && !m_bFinished) {
        Hide();
        return;
    }
    Changed();
}

void CDlgStartUp::FinishSearch()
{
    m_bFinished = true;
    m_bProgressVisible = false;
    m_nSteps = m_nPorts * kStepsPerPort;
    if (m_pConnection) m_pConnection->OnSearchEnded();
    // The closing text stays a moment, then the window closes itself.
    CWnd::SetTimer(kStartUpTimerClose, kStartUpCloseDelayMs);
    Changed();
}

void CDlgStartUp::Hide()
{
    CWnd::KillTimer(kStartUpTimerClose);
    m_bVisible = false;
    m_bProgressVisible = false;
    if (m_pConnection) m_pConnection->OnSearchEnded();
    Changed();
}

CString CDlgStartUp::StatusText() const
{
    if (m_bFinished) return LoadLangString(kTextSearchEndedNoSensor);
    CString text = LoadLangString(kTextSearching);
    if (m_nCurrentPort >= 0 && m_nPorts > 0) {
        CString port;
        port.Format(LoadLangString(kTextPortOfPorts).GetString(), m_nPorts - m_nCurrentPort, m_nPorts);
        text += "  " + port;
    }
    return text;
}

void CDlgStartUp::OnTimer(UINT_PTR id)
{
    CWnd::KillTimer(id);
    if (id == kStartUpTimerClose) Hide();
}

}  // namespace sensor_admin
