#include "port/thread_man.h"

#include "port/port.h"

CThreadMan::CThreadMan()
{
    Start();
}

CThreadMan::~CThreadMan()
{
    Stop();
}

bool CThreadMan::Start()
{
    if (m_thread.IsStarted()) return true;
    m_quit.Reset();
    return m_thread.Start([this] { return Loop(); });
}

bool CThreadMan::Stop()
{
    if (!m_thread.IsStarted()) return true;
    while (m_thread.SuspendCount() > 0) m_thread.Resume();
    m_quit.Set();
    m_thread.Join();
    return true;
}

void CThreadMan::Suspend()
{
    m_thread.Suspend();
}

void CThreadMan::Resume()
{
    m_thread.Resume();
}

void CThreadMan::WaitWhileSuspended()
{
    if (m_thread.IsCurrentThread()) m_thread.WaitWhileSuspended();
}

void CThreadMan::SetPort(std::shared_ptr<CPort> port)
{
    std::lock_guard lock(m_portMutex);
    m_port = std::move(port);
}

std::shared_ptr<CPort> CThreadMan::GetPort() const
{
    std::lock_guard lock(m_portMutex);
    return m_port;
}

bool CThreadMan::Run()
{
    if (!GetPort() || IsWorkerThread() || !IsRunning()) return false;
    m_run.Signal();
    // The worker acknowledges as soon as it has taken the request; it only fails to when it
    // has ended, which only Stop makes it do.
    while (m_run.WaitAcknowledge(1000) != WAIT_OBJECT_0) {
        if (!IsRunning()) return false;
    }
    return true;
}

DWORD CThreadMan::Loop()
{
    for (;;) {
        m_thread.WaitWhileSuspended();
        const DWORD woken = platform::WaitForMultipleObjects({m_quit, m_run.request()}, INFINITE);
        if (woken == WAIT_OBJECT_0) return 0;
        if (woken != WAIT_OBJECT_0 + 1) continue;
        std::shared_ptr<CPort> port = GetPort();
        if (!port) continue;
        m_run.Acknowledge();
        // The body reports its own failures (an exception included) through the port's event
        // callback and always comes back here, so the worker never dies with a port.
        port->RunThreadBody();
    }
}
