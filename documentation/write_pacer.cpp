#include "documentation/write_pacer.h"

#include <chrono>

namespace documentation {

CWritePacer::CWritePacer(platform::MessageLoop& loop, platform::WindowHandle target, UINT message, unsigned periodMs)
    : m_loop(loop), m_target(target), m_message(message), m_periodMs(periodMs)
{
}

CWritePacer::~CWritePacer()
{
    Stop();
}

void CWritePacer::Start()
{
    if (m_thread.IsStarted()) return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = false;
        m_stepPending = false;
    }
    m_thread.Start([this]() -> DWORD {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            m_wake.wait_for(lock, std::chrono::milliseconds(m_periodMs), [this] { return m_stop; });
            if (m_stop) break;
            if (m_stepPending) continue;
            m_stepPending = true;
            lock.unlock();
            m_loop.PostMessage(m_target, m_message, 0, 0);
            lock.lock();
        }
        return 0;
    });
}

void CWritePacer::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.IsStarted()) m_thread.Join();
}

bool CWritePacer::IsRunning() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_thread.IsStarted() && !m_stop;
}

void CWritePacer::StepTaken()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stepPending = false;
}

}  // namespace documentation
