#pragma once
// WorkflowTimerWindow: the window that carries the controller's steps. Every step timer is
// one-shot: it is killed when it fires and its id is dispatched to the step. The window also
// receives the sensor ports' messages (bytes of the first port as 2000, of further ports as
// 2101 to 2104; events as 2200 and 2301 to 2304) and hands them to the controller.
//
// The main frame owns one and passes it to the controller as its step window; timers that are
// not the controller's go to OnOtherTimer, which the frame overrides.

#include "platform/wnd.h"

class CComPort;

namespace workflow {

class WorkflowTimerWindow : public CWnd {
public:
    explicit WorkflowTimerWindow(CComPort& controller, platform::MessageLoop& loop = platform::MessageLoop::Current());

    // The frame's step before the further ports of a multiport device are opened: the
    // connected sensor is set up, the sensors are grouped, and the first activation step
    // follows after 50 ms.
    void SetupConnectedAndGroup();
    // One activation step of a further port.
    void ActivateNextFurtherPort();

protected:
    void OnTimer(UINT_PTR id) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Timers of the frame that are not the controller's steps (close, continuous-mode report,
    // reconnection after a device change...).
    virtual void OnOtherTimer(UINT_PTR id);

private:
    CComPort& m_com;
};

}  // namespace workflow
