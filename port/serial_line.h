#pragma once
// SerialLine: the I/O seam beneath the serial port. The port's logic (comm events, line
// errors, time-outs, purge, modem lines) is written against it; TtySerialLine maps it onto a
// termios device, and tests put a fake in its place for modem lines and line errors, which a
// pseudo-terminal does not have.

#include <memory>

#include "platform/cstring.h"
#include "port/comm_types.h"

// Running counts of breaks and line errors since the line was opened.
struct LineCounters {
    DWORD breaks = 0;
    DWORD frame = 0;
    DWORD overrun = 0;
    DWORD parity = 0;
    DWORD bufferOverrun = 0;
};

class SerialLine {
public:
    virtual ~SerialLine() = default;

    // Opens the device exclusively; ERROR_SUCCESS or the reason.
    virtual DWORD Open(const CString& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Readable when input waits; hang-up and errors also wake a poll on it.
    virtual int PollFd() const = 0;
    // Non-blocking: bytes moved, 0 when nothing can move now, -1 on a failure (LastError()).
    virtual long Read(void* buffer, DWORD count) = 0;
    virtual long Write(const void* data, DWORD count) = 0;
    // Programs the line settings; false when the device refuses them.
    virtual bool Apply(const DCB& settings) = 0;
    virtual bool Queues(COMSTAT* status) = 0;
    virtual bool Purge(DWORD flags) = 0;
    // False when the line has no modem lines (a pseudo-terminal).
    virtual bool ModemStatus(DWORD* status) = 0;
    // False when the driver keeps no counters.
    virtual bool Counters(LineCounters* counters) = 0;
    virtual DWORD LastError() const = 0;
};

std::unique_ptr<SerialLine> MakeTtySerialLine();
