// What the workflow controller asks of the frame. Work that belongs to the views, the
// measurement pages or the documentation goes through their hooks.
#include "app/main_frame.h"

#include "app/page_table.h"
#include "platform/wait_cursor.h"

void CMainFrame::BeginWaitCursorOnce()
{
    if (m_bWaitCursorShown) return;
    m_bWaitCursorShown = 1;
    ::BeginWaitCursor();
}

void CMainFrame::EndWaitCursorOnce()
{
    if (!m_bWaitCursorShown) return;
    m_bWaitCursorShown = 0;
    ::EndWaitCursor();
}

void CMainFrame::SetWaitForReconnect(bool wait)
{
    m_bWaitForReconnect = wait;
    if (!wait) return;
    m_com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    SetTimer(kTimerReconnectAfterDeviceChange, 2500);
}

void CMainFrame::UpdateDisplayValues(int sensor, int mode, const CSensorRecord* record)
{
    if (m_hooks.updateDisplayValues) m_hooks.updateDisplayValues(sensor, mode, record);
}

void CMainFrame::StoreSensorDisplayValue(int sensor)
{
    if (m_hooks.storeSensorDisplayValue) m_hooks.storeSensorDisplayValue(sensor);
}

void CMainFrame::ConfigureMovingAverages(int mode)
{
    if (m_hooks.configureMovingAverages) m_hooks.configureMovingAverages(mode);
}

workflow::DisplayChannelEntry* CMainFrame::DisplayEntry(int channel)
{
    if (m_hooks.displayEntry) return m_hooks.displayEntry(channel);
    if (channel < 0 || channel >= static_cast<int>(m_displayEntries.size())) return nullptr;
    return &m_displayEntries[static_cast<std::size_t>(channel)];
}

workflow::DisplaySlotRecord* CMainFrame::DisplaySlot(int slot)
{
    if (m_hooks.displaySlot) return m_hooks.displaySlot(slot);
    if (slot < 0 || slot >= static_cast<int>(m_displaySlots.size())) return nullptr;
    return &m_displaySlots[static_cast<std::size_t>(slot)];
}

void CMainFrame::WriteLogFile(const CSensorRecord& sensor, const CString& title, const CString& body)
{
    if (m_hooks.writeLogFile) m_hooks.writeLogFile(sensor, title, body);
}

void CMainFrame::StartActivationCheck()
{
    // Every connected sensor's port row must be active before the activation check runs. The
    // rows are those the sensors were opened on: a port that could not be opened, or holds no
    // sensor, may stand before them in the table.
    for (int sensor = 0; sensor < m_com.m_nCountActivePorts && sensor < kMaxSensorPorts; ++sensor) {
        const int row = m_com.m_nPortRecOfSensor[static_cast<std::size_t>(sensor)];
        if (row < 0 || row >= kPortTableRows || m_com.m_PortRec[static_cast<std::size_t>(row)].m_nState != kPortStateActive)
            return;
    }
    SetTimer(kTimerActivationCheck, 876);
}

void CMainFrame::HideSensorPages()
{
    for (int page : {app::kPageConnection, app::kPageInformation, app::kPageMeasureSetup, app::kPageMeasureControl})
        if (GetActiveViewKind() == app::PageTable()[static_cast<std::size_t>(page)].kind) ShowPage(app::kPageLogo);
}

void CMainFrame::MinimiseMainWindow()
{
    showMinimized();
}

void CMainFrame::ExitApplication(int exitCode)
{
    m_exitCode = exitCode;
    close();
}

void CMainFrame::RefreshChannelViews(int reason)
{
    // A value set answered to a request: the poll's next tick asks for the next one, also on
    // a line that must prove it still answers.
    if (reason == 1) m_fields.dataReceived = 1;
    if (m_hooks.refreshChannelViews) m_hooks.refreshChannelViews(reason);
}

// A calibration's raw reading asks the sensor for one value set per poll tick, the next only
// when the last has been answered: its start and every answer raise the raw-request byte that
// the tick takes down.
void CMainFrame::ResetCalibRings()
{
    for (auto& ring : m_calibRings) ring.clear();
    m_fields.rawRequest = 1;
}

void CMainFrame::AddCalibValue(int ring, double value)
{
    if (ring < 0 || ring >= static_cast<int>(m_calibRings.size())) return;
    m_calibRings[static_cast<std::size_t>(ring)].push_back(value);
    m_fields.rawRequest = 1;
}

bool CMainFrame::GetCalibAverage(int ring, double& mean) const
{
    mean = 0.0;
    if (ring < 0 || ring >= static_cast<int>(m_calibRings.size())) return false;
    const std::vector<double>& values = m_calibRings[static_cast<std::size_t>(ring)];
    if (values.empty()) return false;
    for (double v : values) mean += v;
    mean /= static_cast<double>(values.size());
    return true;
}

bool CMainFrame::IsChannelViewVisible(int channel) const
{
    return channel >= 0 && channel < 6 && m_channelViewVisible[static_cast<std::size_t>(channel)];
}

bool CMainFrame::IsChannelInDiagram(int channel) const
{
    return channel >= 0 && channel < 6 && m_channelInDiagram[static_cast<std::size_t>(channel)];
}
