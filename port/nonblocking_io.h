#pragma once
// Reading and writing a descriptor opened with O_NONBLOCK, as the device drivers of the ports
// need it: a call that a signal interrupted is made again, and a descriptor that is not ready
// is no failure.

#include <cstddef>

// The bytes read (0 also when nothing waits), or -1 with the errno value in *error.
long ReadNonBlocking(int fd, void* buffer, std::size_t count, int* error);

// The bytes written (0 when the descriptor takes nothing now), or -1 with the errno value in *error.
long WriteNonBlocking(int fd, const void* data, std::size_t count, int* error);
