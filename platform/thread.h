#pragma once
// Thread: a worker thread object that is begun, may be held at safe points, and is joined.
//
// Linux cannot suspend a thread from outside without risking that it holds a lock at that
// moment, so suspension is cooperative: Suspend raises a count, and the thread's body stops in
// WaitWhileSuspended (which it calls at points where it holds nothing) until Resume brings the
// count back to 0. A body that never calls it is never held.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/win_types.h"

namespace platform {

class Thread {
public:
    Thread() = default;
    ~Thread();  // joins
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Begins the thread; false when one already runs or the system refuses.
    bool Start(std::function<DWORD()> body);
    // Waits without limit for the end of the thread (a no-op when none was begun).
    void Join();
    bool IsStarted() const { return m_thread.joinable(); }
    bool HasEnded() const;
    DWORD ExitCode() const;
    bool IsCurrentThread() const { return m_thread.get_id() == std::this_thread::get_id(); }

    // Previous suspend count, as SuspendThread and ResumeThread return.
    DWORD Suspend();
    DWORD Resume();
    DWORD SuspendCount() const;
    // Called by the thread itself: returns when it is not (or no longer) suspended.
    void WaitWhileSuspended();

private:
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_resumed;
    DWORD m_suspendCount = 0;
    bool m_ended = false;
    DWORD m_exitCode = 0;
};

}  // namespace platform
