#pragma once
// km3-sensor-sim as a child process, for tests that run it on pseudo-terminals in real time.
// Every wait has a bound and ends as soon as what it waits for has happened.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/sim/child_exit.h"

#ifndef KM3_SENSOR_SIM_PATH
#error "KM3_SENSOR_SIM_PATH must name the km3-sensor-sim program"
#endif

extern char** environ;

namespace sim::testing {

class SimProcess {
public:
    // Starts the program with args, its standard output on a pipe; waits are bounded by boundMs.
    // KM3_SIM_STORED_RATE in the environment gives every sensor that rate as the one it keeps
    // from its last set-up, so that a run of the tests shows whether any of them relies on the
    // simulator's own default. KM3_SIM_FACTORY_CONTENTS (zeros or erased) does the same for
    // everything else a sensor keeps that no part of the protocol fixes.
    explicit SimProcess(std::vector<std::string> args, int boundMs = 10'000) : m_boundMs(boundMs)
    {
        if (const char* rate = std::getenv("KM3_SIM_STORED_RATE"); rate != nullptr && *rate != '\0')
            args.insert(args.begin(), std::string("--stored-rate=") + rate);
        if (const char* contents = std::getenv("KM3_SIM_FACTORY_CONTENTS"); contents != nullptr && *contents != '\0')
            args.insert(args.begin(), std::string("--factory-contents=") + contents);
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string program = KM3_SENSOR_SIM_PATH;
        std::vector<char*> argv{program.data()};
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, KM3_SENSOR_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_stdout = out[0];
    }
    // Asks a still running program to end; one that does not end in time is killed.
    ~SimProcess()
    {
        for (int fd : m_ports) ::close(fd);
        if (m_pid > 0 && !m_reaped && Terminate() == -1 && !m_reaped) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_stdout >= 0) ::close(m_stdout);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return m_pid > 0; }

    // Reads standard output until the end (or the first line when firstLineOnly).
    std::string ReadOutput(bool firstLineOnly)
    {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_boundMs);
        while (std::chrono::steady_clock::now() < deadline) {
            if (firstLineOnly && text.find('\n') != std::string::npos) break;
            pollfd p{m_stdout, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(m_stdout, buffer, sizeof buffer);
            if (n <= 0) break;
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }

    // The first line of its output: the pseudo-terminals it serves, one per sensor.
    std::vector<std::string> DevicePaths()
    {
        std::istringstream line(ReadOutput(true));
        std::vector<std::string> paths;
        std::string path;
        while (line >> path) paths.push_back(path);
        return paths;
    }

    // Opens one of its terminals raw; the descriptor is closed with this object.
    int OpenPort(const std::string& path)
    {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0) return fd;
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
        m_ports.push_back(fd);
        return fd;
    }

    // Sends a signal: SIGUSR1 dumps the blocks (--dump-blocks), SIGUSR2 toggles the test load.
    bool Signal(int signo) { return m_pid > 0 && !m_reaped && ::kill(m_pid, signo) == 0; }

    // Exit status after SIGTERM, or -1 when it did not end in time.
    int Terminate()
    {
        ::kill(m_pid, SIGTERM);
        return WaitExit();
    }
    int WaitExit() { return WaitForChildExit(m_pid, m_boundMs, m_reaped); }

private:
    int m_boundMs;
    pid_t m_pid = -1;
    int m_stdout = -1;
    bool m_reaped = false;
    std::vector<int> m_ports;
};

}  // namespace sim::testing
