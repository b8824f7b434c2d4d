// SerialLine over a termios device node: opened exclusively (an advisory lock that our own
// programs honour, and TIOCEXCL for everyone else), non-blocking, programmed by the one DCB
// translation. Modem lines and error counters come from the driver's ioctls where it has them.
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "port/nonblocking_io.h"
#include "port/serial_line.h"
#include "port/termios_translation.h"

int SetTtyCustomBaud(int fd, unsigned rate);

namespace {

class TtySerialLine final : public SerialLine {
public:
    ~TtySerialLine() override { Close(); }

    DWORD Open(const CString& path) override
    {
        Close();
        const int fd = ::open(path.GetString(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return Fail(errno);
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno == EWOULDBLOCK ? EBUSY : errno;
            ::close(fd);
            return Fail(error);
        }
        termios t;
        if (::tcgetattr(fd, &t) != 0) {
            ::close(fd);
            m_lastError = ERROR_INVALID_HANDLE;  // not a serial device
            return m_lastError;
        }
        ::ioctl(fd, TIOCEXCL);
        m_fd = fd;
        m_lastError = ERROR_SUCCESS;
        return ERROR_SUCCESS;
    }

    void Close() override
    {
        if (m_fd < 0) return;
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }

    bool IsOpen() const override { return m_fd >= 0; }
    int PollFd() const override { return m_fd; }

    // With VMIN and VTIME 0 an empty line reads 0; the monitor learns of a hang-up from poll.
    long Read(void* buffer, DWORD count) override
    {
        int error = 0;
        const long n = ReadNonBlocking(m_fd, buffer, count, &error);
        if (n < 0) Fail(error);
        return n;
    }

    long Write(const void* data, DWORD count) override
    {
        int error = 0;
        const long n = WriteNonBlocking(m_fd, data, count, &error);
        if (n < 0) Fail(error);
        return n;
    }

    bool Apply(const DCB& settings) override
    {
        termios current;
        if (::tcgetattr(m_fd, &current) != 0) return Fail(errno), false;
        TermiosSettings wanted;
        if (!TermiosFromDcb(settings, current, &wanted)) {
            m_lastError = ERROR_INVALID_PARAMETER;
            return false;
        }
        if (::tcsetattr(m_fd, TCSANOW, &wanted.tio) != 0) return Fail(errno), false;
        if (wanted.customRate != 0) {
            if (const int error = SetTtyCustomBaud(m_fd, wanted.customRate)) return Fail(error), false;
        }
        // Pseudo-terminals have no modem lines: failures to set them are no failure of Apply.
        if (wanted.dtr != 0) SetControlLine(TIOCM_DTR, wanted.dtr > 0);
        if (wanted.rts != 0) SetControlLine(TIOCM_RTS, wanted.rts > 0);
        return true;
    }

    bool Queues(COMSTAT* status) override
    {
        int in = 0, out = 0;
        if (::ioctl(m_fd, FIONREAD, &in) != 0) return Fail(errno), false;
        if (::ioctl(m_fd, TIOCOUTQ, &out) != 0) out = 0;
        status->cbInQue = static_cast<DWORD>(in);
        status->cbOutQue = static_cast<DWORD>(out);
        return true;
    }

    bool Purge(DWORD flags) override
    {
        const bool rx = flags & (PURGE_RXABORT | PURGE_RXCLEAR);
        const bool tx = flags & (PURGE_TXABORT | PURGE_TXCLEAR);
        if (!rx && !tx) return true;
        if (::tcflush(m_fd, rx && tx ? TCIOFLUSH : (rx ? TCIFLUSH : TCOFLUSH)) != 0) return Fail(errno), false;
        return true;
    }

    bool ModemStatus(DWORD* status) override
    {
        int lines = 0;
        if (::ioctl(m_fd, TIOCMGET, &lines) != 0) return false;
        DWORD s = 0;
        if (lines & TIOCM_CTS) s |= MS_CTS_ON;
        if (lines & TIOCM_DSR) s |= MS_DSR_ON;
        if (lines & TIOCM_RI) s |= MS_RING_ON;
        if (lines & TIOCM_CD) s |= MS_RLSD_ON;
        *status = s;
        return true;
    }

    bool Counters(LineCounters* counters) override
    {
        serial_icounter_struct c{};
        if (::ioctl(m_fd, TIOCGICOUNT, &c) != 0) return false;
        counters->breaks = static_cast<DWORD>(c.brk);
        counters->frame = static_cast<DWORD>(c.frame);
        counters->overrun = static_cast<DWORD>(c.overrun);
        counters->parity = static_cast<DWORD>(c.parity);
        counters->bufferOverrun = static_cast<DWORD>(c.buf_overrun);
        return true;
    }

    DWORD LastError() const override { return m_lastError; }

private:
    DWORD Fail(int error)
    {
        m_lastError = Win32ErrorFromErrno(error);
        return m_lastError;
    }
    bool Check(int rc)
    {
        if (rc == 0) return true;
        Fail(errno);
        return false;
    }
    // Raises or drops a modem control line (TIOCM_DTR, TIOCM_RTS).
    bool SetControlLine(int line, bool raised) { return Check(::ioctl(m_fd, raised ? TIOCMBIS : TIOCMBIC, &line)); }

    int m_fd = -1;
    DWORD m_lastError = ERROR_SUCCESS;
};

}  // namespace

std::unique_ptr<SerialLine> MakeTtySerialLine()
{
    return std::make_unique<TtySerialLine>();
}

DWORD Win32ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case EACCES:
    case EPERM: return ERROR_PRIVILEGE_NOT_HELD;
    case EBUSY: return ERROR_ACCESS_DENIED;  // in use
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOENT:
    case ENODEV:
    case ENXIO: return ERROR_FILE_NOT_FOUND;
    case EINVAL:
    case ENOTTY: return ERROR_INVALID_PARAMETER;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ETIMEDOUT: return ERROR_SEM_TIMEOUT;
    case EIO:
    case EPIPE: return ERROR_DEVICE_NOT_CONNECTED;
    default: return ERROR_GEN_FAILURE;
    }
}
