#pragma once
// Helpers of the port tests: pseudo-terminals, a recording owner window, waiting with a
// generous bound that ends as soon as the awaited thing happens, a scratch folder, and the
// process-wide port state reset to a fake machine.

#include <fcntl.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_loop.h"
#include "platform/wnd.h"
#include "port/enumeration.h"
#include "port/port_list.h"
#include "port/port_settings_store.h"
#include "port/uevent.h"

namespace porttest {

constexpr int kGenerousMs = 10000;

// Polls cond until it holds or maxMs have passed (real time).
inline bool WaitUntil(const std::function<bool()>& cond, int maxMs = kGenerousMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A pseudo-terminal: the port opens the slave path, the test plays the device on the master.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;
    Pty()
    {
        char name[128];
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
        path = name;
        termios t;
        ::tcgetattr(master, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master, TCSANOW, &t);
        // The test keeps the slave closed so that the port is its only user; the master stays.
        ::close(slave);
        slave = -1;
    }
    ~Pty() { CloseMaster(); }
    void CloseMaster()
    {
        if (master >= 0) ::close(master);
        master = -1;
    }
    bool Send(const std::string& bytes) const
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    // Reads until count bytes arrived or the bound passed.
    std::string Receive(std::size_t count, int maxMs = kGenerousMs) const
    {
        std::string got;
        const int flags = ::fcntl(master, F_GETFL);
        ::fcntl(master, F_SETFL, flags | O_NONBLOCK);
        WaitUntil(
            [&] {
                char buffer[4096];
                const ssize_t n = ::read(master, buffer, sizeof buffer);
                if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
                return got.size() >= count;
            },
            maxMs);
        ::fcntl(master, F_SETFL, flags);
        return got;
    }
};

// A window that records the data and event messages of a port manager.
class RecordingOwner : public CWnd {
public:
    using CWnd::CWnd;
    static constexpr UINT kData = 2000;
    static constexpr UINT kEvent = 2200;

    std::mutex mutex;
    std::string bytes;
    int dataMessages = 0;
    std::vector<std::pair<WPARAM, LPARAM>> events;
    std::function<void()> onData;

    std::string Bytes()
    {
        std::lock_guard lock(mutex);
        return bytes;
    }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kData) {
            {
                std::lock_guard lock(mutex);
                bytes.append(reinterpret_cast<const char*>(lParam), wParam);
                ++dataMessages;
            }
            if (onData) onData();
        } else if (message == kEvent) {
            std::lock_guard lock(mutex);
            events.emplace_back(wParam, lParam);
        }
        return 0;
    }
};

// A uevent source that reads the datagrams written to the other end of a socket pair.
class SocketUeventSource : public UeventSource {
public:
    explicit SocketUeventSource(int fd) : m_fd(fd) {}
    ~SocketUeventSource() override { ::close(m_fd); }
    int Fd() const override { return m_fd; }
    bool Receive(std::string* datagram) override
    {
        char buffer[4096];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n <= 0) return false;
        datagram->assign(buffer, static_cast<std::size_t>(n));
        return true;
    }

private:
    int m_fd;
};

// A source of canned uevent datagrams in place of the kernel's.
class CannedUevents {
public:
    CannedUevents()
    {
        SetUeventSourceFactory([this] { return Make(); });
    }
    ~CannedUevents()
    {
        SetUeventSourceFactory(nullptr);
        for (int fd : m_writers) ::close(fd);
    }
    // Sends to every source made so far (one per device-change handler).
    void Send(const std::string& datagram)
    {
        std::lock_guard lock(m_mutex);
        for (int fd : m_writers) ::send(fd, datagram.data(), datagram.size(), 0);
    }
    static std::string Datagram(const std::string& action, const std::string& devpath,
                                const std::vector<std::string>& values)
    {
        std::string d = action + "@" + devpath;
        d.push_back('\0');
        for (const auto& v : values) {
            d += v;
            d.push_back('\0');
        }
        return d;
    }

private:
    std::unique_ptr<UeventSource> Make()
    {
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, fds) != 0) return nullptr;
        std::lock_guard lock(m_mutex);
        m_writers.push_back(fds[1]);
        return std::make_unique<SocketUeventSource>(fds[0]);
    }
    std::mutex m_mutex;
    std::vector<int> m_writers;
};

// A scratch folder removed at the end.
struct TempDir {
    std::filesystem::path path;
    TempDir()
    {
        char pattern[] = "/tmp/km3-port-test-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// The port state of the process set to an empty fake machine: no sysfs devices, an empty
// in-memory settings store, an empty port list, lending sockets in a scratch folder.
struct FakeMachine {
    TempDir root;
    std::shared_ptr<MemoryPortSettingsStore> settings = std::make_shared<MemoryPortSettingsStore>();
    FakeMachine()
    {
        std::filesystem::create_directories(root.path / "sys");
        std::filesystem::create_directories(root.path / "run");
        SetEnumerationRoots({(root.path / "sys").string(), "/dev"});
        SetPortSettingsStore(settings);
        ::setenv("XDG_RUNTIME_DIR", (root.path / "run").c_str(), 1);
        ThePortList().Clear();
    }
    ~FakeMachine()
    {
        ThePortList().Clear();
        SetEnumerationRoots({});
        SetPortSettingsStore(nullptr);
    }
    // Lists a pseudo-terminal (or another device path) as an extra serial device and returns
    // the alias it gets.
    CString AddPty(const Pty& pty, const char* description = "Pseudo terminal")
    {
        return AddDevicePath(pty.path, description);
    }
    CString AddDevicePath(const std::string& path, const char* description)
    {
        settings->AddExtraSerialDevice(description, path.c_str());
        RefreshPortList();
        return AssignComAlias(*settings, CString("path:") + path.c_str());
    }
    // A node of its own in the scratch folder that leads to a pseudo-terminal: removing it takes
    // the device away for good, where another program's pseudo-terminal could take over the
    // freed number of the terminal's own node.
    std::string OwnNodeOf(const Pty& pty, const std::string& name)
    {
        const std::filesystem::path node = root.path / name;
        std::filesystem::create_symlink(pty.path, node);
        return node.string();
    }
};

}  // namespace porttest
