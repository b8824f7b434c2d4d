#include "port/uevent.h"

#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace {

class NetlinkUeventSource final : public UeventSource {
public:
    NetlinkUeventSource()
    {
        m_fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
        if (m_fd < 0) return;
        sockaddr_nl address{};
        address.nl_family = AF_NETLINK;
        address.nl_groups = 1;  // the kernel's own events
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~NetlinkUeventSource() override
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    int Fd() const override { return m_fd; }
    bool Receive(std::string* datagram) override
    {
        if (m_fd < 0) return false;
        char buffer[8192];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        datagram->assign(buffer, static_cast<std::size_t>(n));
        return true;
    }

private:
    int m_fd = -1;
};

std::mutex g_factoryMutex;
UeventSourceFactory g_factory;

}  // namespace

bool ParseUevent(const char* data, std::size_t size, Uevent* out)
{
    *out = Uevent{};
    std::size_t pos = 0;
    bool first = true;
    while (pos < size) {
        const char* start = data + pos;
        const std::size_t length = strnlen(start, size - pos);
        const std::string field(start, length);
        pos += length + 1;
        if (first) {
            const auto at = field.find('@');
            if (at == std::string::npos || at == 0) return false;
            out->action = field.substr(0, at);
            out->devpath = field.substr(at + 1);
            first = false;
            continue;
        }
        const auto equals = field.find('=');
        if (equals != std::string::npos) out->values[field.substr(0, equals)] = field.substr(equals + 1);
    }
    return !first;
}

bool DeviceEventFromUevent(const Uevent& event, const std::string& devRoot, WPARAM* code, DeviceBroadcast* header)
{
    const std::string action = event.Value("ACTION").empty() ? event.action : event.Value("ACTION");
    if (action == "add")
        *code = DBT_DEVICEARRIVAL;
    else if (action == "remove")
        *code = DBT_DEVICEREMOVECOMPLETE;
    else
        return false;
    const std::string subsystem = event.Value("SUBSYSTEM");
    header->devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    if (subsystem == "tty" || subsystem == "hidraw") {
        const std::string node = event.Value("DEVNAME");
        if (node.empty()) return false;
        // DEVNAME may be relative ("ttyUSB0") or carry a folder ("bus/...").
        header->name = CString(devRoot + "/" + node);
        return true;
    }
    if (subsystem == "usb" && event.Value("DEVTYPE") == "usb_interface") {
        header->name = CString(event.Value("DEVPATH").empty() ? event.devpath : event.Value("DEVPATH"));
        return true;
    }
    return false;
}

std::unique_ptr<UeventSource> MakeNetlinkUeventSource()
{
    return std::make_unique<NetlinkUeventSource>();
}

void SetUeventSourceFactory(UeventSourceFactory factory)
{
    std::lock_guard lock(g_factoryMutex);
    g_factory = std::move(factory);
}

std::unique_ptr<UeventSource> MakeUeventSource()
{
    {
        std::lock_guard lock(g_factoryMutex);
        if (g_factory) return g_factory();
    }
    return MakeNetlinkUeventSource();
}
