#pragma once
// Waiting for any of several events and file descriptors, with Win32's rules: the result is
// WAIT_OBJECT_0 + the lowest index that is signalled, WAIT_TIMEOUT when the time-out passes
// first, WAIT_FAILED on a bad argument. Waiting for an auto-reset event consumes it.

#include <cstddef>
#include <initializer_list>
#include <span>

#include "platform/event.h"
#include "platform/win_types.h"

namespace platform {

// One entry of a wait list: an event, or a descriptor with the poll events to wait for.
// A descriptor counts as signalled also on hang-up or error, so that a waiter learns of it.
struct Waitable {
    Waitable(Event& e) : event(&e) {}  // NOLINT: an event is the usual entry
    Waitable(int descriptor, short pollEvents) : fd(descriptor), events(pollEvents) {}
    static Waitable Readable(int descriptor) { return Waitable(descriptor, 0x001 /* POLLIN */); }
    static Waitable Writable(int descriptor) { return Waitable(descriptor, 0x004 /* POLLOUT */); }

    Event* event = nullptr;
    int fd = -1;
    short events = 0;
    // Set by the wait for the descriptor entry that ended it: the poll flags seen.
    mutable short revents = 0;
};

DWORD WaitForMultipleObjects(std::span<const Waitable> items, DWORD timeoutMs);
inline DWORD WaitForMultipleObjects(std::initializer_list<Waitable> items, DWORD timeoutMs)
{
    return WaitForMultipleObjects(std::span<const Waitable>(items.begin(), items.size()), timeoutMs);
}
DWORD WaitForSingleObject(Event& event, DWORD timeoutMs);

}  // namespace platform
