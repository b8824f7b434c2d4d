#pragma once
// Event: the Win32 event object on Linux. It is an eventfd, so that a thread can wait for it
// together with file descriptors (a serial line, a socket) in one poll (see wait.h).
//
// A manual-reset event stays signalled until Reset; an auto-reset event is consumed by the one
// wait that wakes on it, so of several threads waiting for it only one proceeds.

namespace platform {

class Event {
public:
    enum class Mode { Manual, Auto };
    explicit Event(Mode mode = Mode::Manual, bool initiallySignalled = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // Non-consuming look at the state (also for an auto-reset event).
    bool IsSignalled() const;
    // What a wait does when the event's descriptor is readable: a manual-reset event stays
    // signalled; an auto-reset event is consumed, and false means another waiter took it.
    bool TryAcquire();

    // The descriptor to poll for POLLIN.
    int fd() const { return m_fd; }

private:
    int m_fd;
    bool m_manual;
};

}  // namespace platform
