#pragma once
// CEventHandshake: a request and its acknowledgement, two auto-reset events. One thread signals
// the request and waits for the acknowledgement; the other tests the request at its own pace
// and acknowledges it.

#include "platform/event.h"
#include "platform/wait.h"

class CEventHandshake {
public:
    CEventHandshake() = default;
    CEventHandshake(const CEventHandshake&) = delete;
    CEventHandshake& operator=(const CEventHandshake&) = delete;

    void Reset()
    {
        m_request.Reset();
        m_acknowledge.Reset();
    }
    void Signal()
    {
        m_acknowledge.Reset();
        m_request.Set();
    }
    void Acknowledge() { m_acknowledge.Set(); }
    // Consumes a signalled request.
    bool TestRequest() { return platform::WaitForSingleObject(m_request, 0) == WAIT_OBJECT_0; }
    DWORD WaitAcknowledge(DWORD timeoutMs) { return platform::WaitForSingleObject(m_acknowledge, timeoutMs); }

    platform::Event& request() { return m_request; }
    platform::Event& acknowledge() { return m_acknowledge; }

private:
    platform::Event m_request{platform::Event::Mode::Auto};
    platform::Event m_acknowledge{platform::Event::Mode::Auto};
};
