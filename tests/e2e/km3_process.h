#pragma once
// The km3 program as a child process in a home of its own (settings, data and runtime folders
// under a temporary folder), offscreen. Every wait has a bound and ends as soon as what it
// waits for has happened.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/sim/child_exit.h"

#ifndef KM3_PROGRAM_PATH
#error "KM3_PROGRAM_PATH must name the km3 program"
#endif

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline int CountOf(const std::string& text, const std::string& what)
{
    int count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
    return count;
}

// Polls condition every 20 ms until it holds or boundMs have passed.
inline bool WaitFor(const std::function<bool()>& condition, int boundMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class Km3Home {
public:
    Km3Home()
    {
        char pattern[] = "/tmp/km3-e2e-XXXXXX";
        m_root = ::mkdtemp(pattern);
        fs::create_directories(ConfigFolder());
    }
    ~Km3Home()
    {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    fs::path Root() const { return m_root; }
    fs::path ConfigFolder() const { return m_root / "config" / "Tessaline Inc."; }
    fs::path IniPath() const { return ConfigFolder() / "TSL-USB-KM3.ini"; }
    fs::path DataFolder() const { return m_root / "data" / "Tessaline Inc." / "TSL-USB-KM3"; }
    fs::path SensorLog(unsigned serial) const { return DataFolder() / ("Sensor_" + std::to_string(serial) + ".log"); }

    // A settings file of the present version with the per-sensor log on and the given devices
    // in "SERIALCOMM".
    void WriteSettings(const std::vector<std::string>& devicePaths) const
    {
        std::ofstream ini(IniPath());
        ini << "[Version]\nVersion=2.04\n\n[Settings]\nWriteLogFile=0\n\n[SERIALCOMM]\n";
        for (std::size_t i = 0; i < devicePaths.size(); ++i) ini << "Simulator" << i + 1 << '=' << devicePaths[i] << '\n';
    }

private:
    fs::path m_root;
};

class Km3Process {
public:
    explicit Km3Process(const Km3Home& home, int boundMs = 30'000) : m_boundMs(boundMs)
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("XDG_", 0) == 0 || entry.rfind("QT_QPA_PLATFORM=", 0) == 0) continue;
            env.push_back(entry);
        }
        env.push_back("XDG_CONFIG_HOME=" + (home.Root() / "config").string());
        env.push_back("XDG_DATA_HOME=" + (home.Root() / "data").string());
        env.push_back("XDG_RUNTIME_DIR=" + home.Root().string());
        env.push_back("QT_QPA_PLATFORM=offscreen");
        std::vector<char*> envp;
        for (auto& entry : env) envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::string program = KM3_PROGRAM_PATH;
        char* argv[] = {program.data(), nullptr};
        if (posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) m_pid = -1;
    }
    ~Km3Process()
    {
        if (m_pid > 0 && !m_reaped) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    Km3Process(const Km3Process&) = delete;
    Km3Process& operator=(const Km3Process&) = delete;

    bool Started() const { return m_pid > 0; }
    bool Running() const { return m_pid > 0 && !m_reaped && ::waitpid(m_pid, nullptr, WNOHANG) == 0; }

    // Exit status after SIGTERM; -1 when it did not end in time or ended by a signal.
    int Terminate()
    {
        ::kill(m_pid, SIGTERM);
        return sim::testing::WaitForChildExit(m_pid, m_boundMs, m_reaped);
    }

private:
    int m_boundMs;
    pid_t m_pid = -1;
    bool m_reaped = false;
};

}  // namespace e2e
