#include "workflow/workflow_timer_window.h"

#include "workflow/workflow_timer_dispatch.h"

namespace workflow {

WorkflowTimerWindow::WorkflowTimerWindow(CComPort& controller, platform::MessageLoop& loop)
    : CWnd(loop), m_com(controller)
{
}

void WorkflowTimerWindow::SetupConnectedAndGroup() { workflow::SetupConnectedAndGroup(m_com, *this); }

void WorkflowTimerWindow::ActivateNextFurtherPort() { workflow::ActivateNextFurtherPort(m_com, *this); }

void WorkflowTimerWindow::OnTimer(UINT_PTR id)
{
    KillTimer(id);
    if (!DispatchWorkflowTimer(m_com, *this, id)) OnOtherTimer(id);
}

void WorkflowTimerWindow::OnOtherTimer(UINT_PTR) {}

LRESULT WorkflowTimerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (DispatchPortMessage(m_com, message, wParam, lParam, result)) return result;
    return CWnd::OnMessage(message, wParam, lParam);
}

}  // namespace workflow
