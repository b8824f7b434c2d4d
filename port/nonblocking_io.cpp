#include "port/nonblocking_io.h"

#include <unistd.h>

#include <cerrno>

namespace {

template <class Transfer>
long Repeat(Transfer transfer, int* error)
{
    for (;;) {
        const ssize_t n = transfer();
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        if (errno == EAGAIN) return 0;
        *error = errno;
        return -1;
    }
}

}  // namespace

long ReadNonBlocking(int fd, void* buffer, std::size_t count, int* error)
{
    return Repeat([&] { return ::read(fd, buffer, count); }, error);
}

long WriteNonBlocking(int fd, const void* data, std::size_t count, int* error)
{
    return Repeat([&] { return ::write(fd, data, count); }, error);
}
