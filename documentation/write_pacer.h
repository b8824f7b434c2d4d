#pragma once
// The thread that paces long file writing. It only posts a step message to a window of the GUI
// thread at a fixed period; the file itself is written there, step by step, so neither thread
// touches the other's data. A step is posted only after the previous one was taken, so a busy
// GUI thread never finds a pile of steps waiting.

#include <condition_variable>
#include <mutex>

#include "platform/message_loop.h"
#include "platform/thread.h"

namespace documentation {

class CWritePacer {
public:
    CWritePacer(platform::MessageLoop& loop, platform::WindowHandle target, UINT message, unsigned periodMs);
    ~CWritePacer();  // stops and joins
    CWritePacer(const CWritePacer&) = delete;
    CWritePacer& operator=(const CWritePacer&) = delete;

    void Start();
    // Ends the thread and waits for it (it wakes at once).
    void Stop();
    bool IsRunning() const;
    // The GUI thread took the posted step; the next may be posted.
    void StepTaken();

private:
    platform::MessageLoop& m_loop;
    platform::WindowHandle m_target;
    UINT m_message;
    unsigned m_periodMs;
    platform::Thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_stepPending = false;
};

}  // namespace documentation
