// HidDevice over a hidraw node.
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "port/hid_device.h"
#include "port/hid_report_descriptor.h"
#include "port/nonblocking_io.h"

namespace {

class HidrawDevice final : public HidDevice {
public:
    ~HidrawDevice() override { Close(); }

    DWORD Open(const CString& path) override
    {
        Close();
        m_fd = ::open(path.GetString(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0) return Fail(errno);
        std::vector<BYTE> descriptor;
        HidParsedDescriptor parsed;
        m_numbered = ReportDescriptor(&descriptor) &&
                     ParseHidReportDescriptor(descriptor.data(), descriptor.size(), &parsed) && parsed.usesReportIds;
        return ERROR_SUCCESS;
    }

    void Close() override
    {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

    bool IsOpen() const override { return m_fd >= 0; }
    int PollFd() const override { return m_fd; }

    bool ReportDescriptor(std::vector<BYTE>* descriptor) override
    {
        int size = 0;
        if (::ioctl(m_fd, HIDIOCGRDESCSIZE, &size) != 0) return Fail(errno), false;
        hidraw_report_descriptor raw{};
        raw.size = static_cast<__u32>(size);
        if (::ioctl(m_fd, HIDIOCGRDESC, &raw) != 0) return Fail(errno), false;
        descriptor->assign(raw.value, raw.value + raw.size);
        return true;
    }

    long ReadReport(BYTE* buffer, DWORD size) override
    {
        if (size == 0) return 0;
        // Without numbered reports the node leaves out the id byte: put the 0 in front.
        BYTE* target = m_numbered ? buffer : buffer + 1;
        const DWORD room = m_numbered ? size : size - 1;
        int error = 0;
        const long n = ReadNonBlocking(m_fd, target, room, &error);
        if (n < 0) return Fail(error), -1;
        if (n == 0 || m_numbered) return n;
        buffer[0] = 0;
        return n + 1;
    }

    // A node that takes nothing now (EAGAIN) is reported as a failure, so the caller learns why
    // the report did not go.
    long WriteReport(const BYTE* report, DWORD size) override
    {
        for (;;) {
            const ssize_t n = ::write(m_fd, report, size);
            if (n >= 0) return n;
            if (errno == EINTR) continue;
            Fail(errno);
            return -1;
        }
    }

    bool GetFeature(BYTE* buffer, DWORD size) override
    {
        if (::ioctl(m_fd, HIDIOCGFEATURE(size), buffer) < 0) return Fail(errno), false;
        return true;
    }

    bool SetFeature(const BYTE* buffer, DWORD size) override
    {
        if (::ioctl(m_fd, HIDIOCSFEATURE(size), buffer) < 0) return Fail(errno), false;
        return true;
    }

    DWORD LastError() const override { return m_lastError; }

private:
    DWORD Fail(int error)
    {
        m_lastError = Win32ErrorFromErrno(error);
        return m_lastError;
    }

    int m_fd = -1;
    bool m_numbered = false;
    DWORD m_lastError = ERROR_SUCCESS;
};

}  // namespace

std::unique_ptr<HidDevice> MakeHidrawDevice()
{
    return std::make_unique<HidrawDevice>();
}
