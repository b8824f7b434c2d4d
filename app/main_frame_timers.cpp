// The one dispatch of the frame's timers and of the messages that reach the frame: the sensor
// ports' bytes and events, the registrations of pages and views.
#include "app/main_frame.h"
#include "app/main_frame_documentation.h"

#include "workflow/workflow_timer_dispatch.h"

void CMainFrame::OnTimer(UINT_PTR id)
{
    // Every timer of the frame fires once; a step that wants the next one arms it again.
    KillTimer(id);
    if (workflow::DispatchWorkflowTimer(m_com, *this, id)) return;
    switch (id) {
    case kTimerClock:
        RefreshClock();
        break;
    case kTimerActivationCheck:
        if (m_hooks.activationCheck) m_hooks.activationCheck();
        break;
    case kTimerReconnectAfterDeviceChange:
        // The device changed under the probe: go on with the port list as it is now.
        m_com.COM_ProbeNextPort();
        break;
    case kTimerClose:
        // The configuration write has ended, stored or refused.
        EndConfigWrite(false);
        break;
    case kTimerCloseWriteLimit:
        // The write did not end in time (a sensor that stopped answering): go on without it.
        EndConfigWrite(true);
        break;
    case kTimerWriteWhenIdle:
        WritePendingConfigToReturnedSensor();
        break;
    default:
        break;
    }
}

LRESULT CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == workflow::kMsgFirstPortData) m_fields.bytesReceived = 1;
    LRESULT result = 0;
    if (workflow::DispatchPortMessage(m_com, message, wParam, lParam, result)) return result;
    if (message == kMsgStartupDone) {
        m_bStartupPending = 0;
        Documentation().TellOfRecoveryAtLastEnd();
        return 0;
    }
    if (message == kMsgRegisterWithFrame) {
        if (lParam >= 0 && lParam < kFrameObjectKindCount)
            RegisterObject(static_cast<FrameObjectKind>(lParam), reinterpret_cast<void*>(wParam));
        return 0;
    }
    return CWnd::OnMessage(message, wParam, lParam);
}

void CMainFrame::RegisterObject(FrameObjectKind kind, void* address)
{
    void*& slot = m_registered[static_cast<std::size_t>(kind)];
    if (slot != nullptr || address == nullptr) return;  // the first of each kind stays
    slot = address;
    UpdatePeers();
}

void CMainFrame::UpdatePeers()
{
    m_peers.connection = RegisteredAs<workflow::IConnectionPage>(kFrameConnectionPage);
    m_peers.startUp = RegisteredAs<workflow::IStartUpPage>(kFrameStartUpPage);
    m_peers.measureControl = RegisteredAs<workflow::IMeasureControlPage>(kFrameMeasureControlPage);
    m_peers.measureSetup = RegisteredAs<workflow::IMeasureSetupPage>(kFrameMeasureSetupPage);
    m_peers.information = RegisteredAs<workflow::IInformationPage>(kFrameInformationPage);
    m_peers.calibration = RegisteredAs<workflow::ICalibrationPage>(kFrameCalibrationPage);
    m_peers.diagnostic = RegisteredAs<workflow::IDiagnosticPage>(kFrameDiagnosticPage);
    m_peers.diagram = RegisteredAs<workflow::IDiagramView>(kFrameDiagramView);
    m_peers.documentation = RegisteredAs<workflow::IDocumentationPage>(kFrameDocumentationPage);
    m_com.SetPeers(m_peers);
}
