#pragma once
// How a frame uses this: its OnTimer kills the timer that fired, then calls
//     if (workflow::DispatchWorkflowTimer(m_com, *this, id)) return;
// and handles its own ids (46, 47, 49, ...) after that. Its message entry calls
//     if (LRESULT r = 0; workflow::DispatchPortMessage(m_com, message, wParam, lParam, r)) return r;
// The window passed in is the one whose timers carry the steps (the frame's StepWindow()).
//
// The dispatch of the controller's step timers and of the sensor ports' messages, as plain
// functions so that any window can carry them: WorkflowTimerWindow in tests and tools, the main
// frame in the application. Bytes of the first port arrive as message 2000, of further ports as
// 2101 to 2104; events as 2200 and 2301 to 2304.

#include "platform/win_types.h"

class CComPort;
class CWnd;

namespace workflow {

// Runs the step of a controller timer that has fired (and was killed by the caller); re-armed
// steps are armed on stepWindow. False when id is not one of the controller's step timers.
bool DispatchWorkflowTimer(CComPort& com, CWnd& stepWindow, UINT_PTR id);

// Hands a port message to the controller; false (result untouched) when it is no port message.
bool DispatchPortMessage(CComPort& com, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The frame's step before the further ports of a multiport device are opened (timer 14): the
// connected sensor is set up, the sensors are grouped, and the first activation step follows
// after 50 ms.
void SetupConnectedAndGroup(CComPort& com, CWnd& stepWindow);

// One activation step of a further port (timer 44). After the fourth step the channels of a
// multiport device are assigned to its modules.
void ActivateNextFurtherPort(CComPort& com, CWnd& stepWindow);

}  // namespace workflow
