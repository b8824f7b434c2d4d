#include "platform/thread.h"

#include <system_error>

namespace platform {

Thread::~Thread()
{
    {
        std::lock_guard lock(m_mutex);
        m_suspendCount = 0;
        m_resumed.notify_all();
    }
    Join();
}

bool Thread::Start(std::function<DWORD()> body)
{
    if (m_thread.joinable()) return false;
    {
        std::lock_guard lock(m_mutex);
        m_ended = false;
        m_exitCode = 0;
    }
    try {
        m_thread = std::thread([this, body = std::move(body)] {
            const DWORD code = body();
            std::lock_guard lock(m_mutex);
            m_exitCode = code;
            m_ended = true;
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void Thread::Join()
{
    if (m_thread.joinable() && !IsCurrentThread()) m_thread.join();
}

bool Thread::HasEnded() const
{
    std::lock_guard lock(m_mutex);
    return m_ended;
}

DWORD Thread::ExitCode() const
{
    std::lock_guard lock(m_mutex);
    return m_exitCode;
}

DWORD Thread::Suspend()
{
    std::lock_guard lock(m_mutex);
    return m_suspendCount++;
}

DWORD Thread::Resume()
{
    std::lock_guard lock(m_mutex);
    const DWORD previous = m_suspendCount;
    if (m_suspendCount > 0 && --m_suspendCount == 0) m_resumed.notify_all();
    return previous;
}

DWORD Thread::SuspendCount() const
{
    std::lock_guard lock(m_mutex);
    return m_suspendCount;
}

void Thread::WaitWhileSuspended()
{
    std::unique_lock lock(m_mutex);
    m_resumed.wait(lock, [this] { return m_suspendCount == 0; });
}

}  // namespace platform
