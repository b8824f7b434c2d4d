#pragma once
// CThreadMan: the one worker thread of a port manager. It sleeps until the manager's current
// port asks it to run, runs that port's receive monitor to its end on this thread, and sleeps
// again. It is begun with the manager and stopped only when the manager is destroyed, so a
// port that is closed and opened again reuses it.

#include <memory>
#include <mutex>

#include "platform/event.h"
#include "platform/thread.h"
#include "port/event_handshake.h"

class CPort;

class CThreadMan {
public:
    CThreadMan();
    ~CThreadMan();
    CThreadMan(const CThreadMan&) = delete;
    CThreadMan& operator=(const CThreadMan&) = delete;

    // Begins the thread unless one exists; false only when it cannot be begun.
    bool Start();
    // Ends the thread and waits for it. A body that runs must have been stopped first (the
    // port's close does that); a suspended thread is resumed so that it can end.
    bool Stop();
    // Cooperative: the monitor loops stop at their next safe point (see platform::Thread).
    void Suspend();
    void Resume();
    void WaitWhileSuspended();

    // The worker holds the port while it runs its body, so a port that the manager replaces
    // meanwhile is destroyed only after the body has returned.
    void SetPort(std::shared_ptr<CPort> port);
    std::shared_ptr<CPort> GetPort() const;
    // Asks the worker to run the current port's body and returns once it has taken the
    // request. False when no port is set, or when called on the worker itself (it would wait
    // for itself).
    bool Run();
    bool IsWorkerThread() const { return m_thread.IsCurrentThread(); }
    bool IsRunning() const { return m_thread.IsStarted() && !m_thread.HasEnded(); }

private:
    DWORD Loop();

    platform::Event m_quit{platform::Event::Mode::Manual};
    CEventHandshake m_run;
    mutable std::mutex m_portMutex;
    std::shared_ptr<CPort> m_port;
    platform::Thread m_thread;
};
