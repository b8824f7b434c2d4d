#include "platform/wait.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <vector>

namespace platform {

namespace {

std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

DWORD WaitForMultipleObjects(std::span<const Waitable> items, DWORD timeoutMs)
{
    if (items.empty()) return WAIT_FAILED;
    std::vector<pollfd> fds(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Waitable& w = items[i];
        if (w.event) {
            fds[i] = {w.event->fd(), POLLIN, 0};
        } else {
            if (w.fd < 0) return WAIT_FAILED;
            fds[i] = {w.fd, w.events, 0};
        }
        w.revents = 0;
    }
    const bool forever = timeoutMs == INFINITE;
    const std::int64_t deadline = forever ? 0 : NowMs() + timeoutMs;
    for (;;) {
        int waitMs = -1;
        if (!forever) {
            const std::int64_t left = deadline - NowMs();
            waitMs = left > 0 ? static_cast<int>(std::min<std::int64_t>(left, 1 << 30)) : 0;
        }
        for (auto& p : fds) p.revents = 0;
        const int ready = ::poll(fds.data(), fds.size(), waitMs);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return WAIT_FAILED;
        }
        // The lowest index wins; an auto-reset event that another thread took in between
        // does not count, and the wait goes on.
        for (std::size_t i = 0; i < items.size() && ready > 0; ++i) {
            if (fds[i].revents == 0) continue;
            if (fds[i].revents & POLLNVAL) return WAIT_FAILED;
            const Waitable& w = items[i];
            if (w.event) {
                if (!w.event->TryAcquire()) continue;
            } else {
                w.revents = fds[i].revents;
            }
            return WAIT_OBJECT_0 + static_cast<DWORD>(i);
        }
        if (!forever && NowMs() >= deadline) return WAIT_TIMEOUT;
    }
}

DWORD WaitForSingleObject(Event& event, DWORD timeoutMs)
{
    return WaitForMultipleObjects({Waitable(event)}, timeoutMs);
}

}  // namespace platform
