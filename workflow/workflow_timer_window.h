#pragma once
// WorkflowTimerWindow: a window that carries the controller's steps and the sensor ports'
// messages through the dispatch of workflow_timer_dispatch.h. Every step timer is one-shot: it
// is killed when it fires and its id is dispatched to the step.
//
// Tests and tools that have no main frame use it as the controller's step window; timers that
// are not the controller's go to OnOtherTimer, which a subclass may override. The main frame
// calls the same dispatch functions from its own OnTimer and message entry instead.

#include "platform/wnd.h"

class CComPort;

namespace workflow {

class WorkflowTimerWindow : public CWnd {
public:
    explicit WorkflowTimerWindow(CComPort& controller, platform::MessageLoop& loop = platform::MessageLoop::Current());

    // The frame's step before the further ports of a multiport device are opened.
    void SetupConnectedAndGroup();
    // One activation step of a further port.
    void ActivateNextFurtherPort();

protected:
    void OnTimer(UINT_PTR id) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Timers that are not the controller's steps (close, continuous-mode report, reconnection
    // after a device change...).
    virtual void OnOtherTimer(UINT_PTR id);

private:
    CComPort& m_com;
};

}  // namespace workflow
