#include "tests/sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/message_loop.h"
#include "platform/wnd.h"
#include "tests/sim/block_dump.h"
#include "tests/sim/device.h"

namespace sim {

// One pseudo-terminal. The master is written by the loop thread and read (and, after a
// hang-up, closed) by the reader thread; `gone` tells the reader to close it.
struct PtyServer::Line {
    int master = -1;
    int slaveKeeper = -1;  // keeps the line up while the host has it closed
    std::atomic<bool> gone{false};
    Bytes unsent;  // what the host was not ready to take yet (loop thread only)
};

namespace {

std::string Errno(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// Writes what it can without blocking, keeping the rest for the next turn, so that a host
// that stops reading never blocks the sensor (nor its handling of SIGTERM). A line that backs
// up beyond 1 MiB loses its oldest bytes, as an overrun receiver would.
void Send(PtyServer::Line& line)
{
    while (!line.unsent.empty()) {
        const ssize_t n = ::write(line.master, line.unsent.data(), line.unsent.size());
        if (n <= 0) break;
        line.unsent.erase(line.unsent.begin(), line.unsent.begin() + n);
    }
    constexpr std::size_t kLimit = 1 << 20;
    if (line.unsent.size() > kLimit) line.unsent.erase(line.unsent.begin(), line.unsent.end() - kLimit);
}

// Retries lines with unsent bytes every 10 ms while there are any.
class Flusher : public CWnd {
public:
    Flusher(platform::MessageLoop& loop, std::vector<PtyServer::Line*> lines) : CWnd(loop), m_lines(std::move(lines)) {}
    void Kick()
    {
        if (!IsTimerArmed(1)) SetTimer(1, 10);
    }

protected:
    void OnTimer(UINT_PTR) override
    {
        bool pending = false;
        for (auto* line : m_lines) {
            if (line->gone) continue;
            Send(*line);
            pending = pending || !line->unsent.empty();
        }
        if (!pending) KillTimer(1);
    }

private:
    std::vector<PtyServer::Line*> m_lines;
};

}  // namespace

PtyServer::PtyServer() = default;

PtyServer::~PtyServer()
{
    for (auto& line : m_lines) {
        if (line->master >= 0) ::close(line->master);
        if (line->slaveKeeper >= 0) ::close(line->slaveKeeper);
    }
    if (m_signalFd >= 0) ::close(m_signalFd);
    if (m_wakeFd >= 0) ::close(m_wakeFd);
}

bool PtyServer::Open(std::size_t count, std::string& error)
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGUSR1);
    sigaddset(&stopSignals, SIGUSR2);
    if (pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr) != 0) {
        error = "cannot block SIGTERM";
        return false;
    }
    m_signalFd = ::signalfd(-1, &stopSignals, SFD_CLOEXEC);
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_signalFd < 0 || m_wakeFd < 0) {
        error = Errno("signalfd/eventfd");
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        auto line = std::make_unique<Line>();
        line->master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (line->master < 0 || ::grantpt(line->master) != 0 || ::unlockpt(line->master) != 0) {
            error = Errno("posix_openpt");
            return false;
        }
        char name[256] = {};
        if (::ptsname_r(line->master, name, sizeof name) != 0) {
            error = Errno("ptsname_r");
            return false;
        }
        line->slaveKeeper = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (line->slaveKeeper < 0) {
            error = Errno(name);
            return false;
        }
        // Raw: no echo, no line editing, no translation of CR/LF or of any other byte.
        termios tio{};
        if (::tcgetattr(line->slaveKeeper, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(line->slaveKeeper, TCSANOW, &tio);
        }
        ::fcntl(line->master, F_SETFL, ::fcntl(line->master, F_GETFL) | O_NONBLOCK);
        m_paths.emplace_back(name);
        m_lines.push_back(std::move(line));
    }
    return true;
}

int PtyServer::Serve(const std::vector<SensorConfig>& sensors, const std::string& dumpPath)
{
    platform::MessageLoop loop(platform::MessageLoop::Time::Real);
    platform::DeliverySource fromReader(loop);
    SimDevice device(sensors, loop);
    std::vector<Line*> lines;
    for (auto& line : m_lines) lines.push_back(line.get());
    Flusher flusher(loop, lines);
    bool quit = false;
    bool loadOn = false;
    auto dump = [&] {
        if (dumpPath.empty()) return;
        std::string error;
        if (!WriteBlockDump(dumpPath, BlockDumpText(device), error)) std::fprintf(stderr, "km3-sensor-sim: %s\n", error.c_str());
    };

    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        Line& line = *m_lines[i];
        device.Port(static_cast<int>(i)).SetDeliveryCallback([&line, &flusher](const CString& bytes) {
            if (line.gone) return;
            line.unsent.insert(line.unsent.end(), bytes.bytes(), bytes.bytes() + bytes.GetLength());
            Send(line);
            if (!line.unsent.empty()) flusher.Kick();
        });
        device.Port(static_cast<int>(i)).SetHangupCallback([this, &line] {
            line.gone = true;
            const std::uint64_t one = 1;
            [[maybe_unused]] auto n = ::write(m_wakeFd, &one, sizeof one);
        });
    }

    std::thread reader([&] {
        std::vector<pollfd> fds;
        std::vector<Line*> polled;
        for (;;) {
            fds.clear();
            polled.clear();
            fds.push_back({m_signalFd, POLLIN, 0});
            fds.push_back({m_wakeFd, POLLIN, 0});
            for (auto& line : m_lines) {
                if (line->gone && line->master >= 0) {
                    // The sensor has disappeared: the host's side sees the line hang up.
                    ::close(line->master);
                    ::close(line->slaveKeeper);
                    line->master = line->slaveKeeper = -1;
                }
                if (line->master < 0) continue;
                fds.push_back({line->master, POLLIN, 0});
                polled.push_back(line.get());
            }
            if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) break;
            if (fds[0].revents & POLLIN) {
                signalfd_siginfo info{};
                [[maybe_unused]] auto n = ::read(m_signalFd, &info, sizeof info);
                if (info.ssi_signo == SIGUSR1) {
                    fromReader.HandOver(dump);
                    continue;
                }
                if (info.ssi_signo == SIGUSR2) {
                    fromReader.HandOver([&device, &loadOn] {
                        loadOn = !loadOn;
                        for (int i = 0; i < device.PortCount(); ++i) device.Port(i).SetLoad(loadOn);
                    });
                    continue;
                }
                fromReader.HandOver([&quit] { quit = true; });
                return;
            }
            if (fds[1].revents & POLLIN) {
                std::uint64_t count = 0;
                [[maybe_unused]] auto n = ::read(m_wakeFd, &count, sizeof count);
            }
            for (std::size_t i = 0; i < polled.size(); ++i) {
                if (!(fds[i + 2].revents & POLLIN)) continue;
                std::uint8_t buffer[4096];
                const ssize_t n = ::read(polled[i]->master, buffer, sizeof buffer);
                if (n <= 0) continue;
                const int index = static_cast<int>(std::find_if(m_lines.begin(), m_lines.end(),
                                                                [&](const auto& l) { return l.get() == polled[i]; }) -
                                                   m_lines.begin());
                CString bytes(buffer, static_cast<int>(n));
                fromReader.HandOver([&device, index, bytes] { device.Port(index).Write(bytes); });
            }
        }
        fromReader.HandOver([&quit] { quit = true; });
    });

    while (!loop.RunUntil([&] { return quit; }, 3'600'000)) {
    }
    reader.join();
    fromReader.Withdraw();
    dump();
    return 0;
}

}  // namespace sim
