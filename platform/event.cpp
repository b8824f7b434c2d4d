#include "platform/event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <cstring>

namespace platform {

Event::Event(Mode mode, bool initiallySignalled) : m_manual(mode == Mode::Manual)
{
    m_fd = ::eventfd(initiallySignalled ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_fd < 0) throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
}

Event::~Event()
{
    ::close(m_fd);
}

void Event::Set()
{
    const std::uint64_t one = 1;
    // The counter cannot overflow in practice; EAGAIN would only mean "already signalled".
    while (::write(m_fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void Event::Reset()
{
    std::uint64_t value;
    while (::read(m_fd, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

bool Event::IsSignalled() const
{
    pollfd p{m_fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

bool Event::TryAcquire()
{
    if (m_manual) return IsSignalled();
    std::uint64_t value;
    for (;;) {
        if (::read(m_fd, &value, sizeof value) == sizeof value) return true;
        if (errno != EINTR) return false;
    }
}

}  // namespace platform
