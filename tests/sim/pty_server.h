#pragma once
// Serves a simulated device on pseudo-terminals: one per sensor, on a real-time message loop.
// A reader thread hands the host's bytes to the loop; the sensor's deliveries are written to
// the pseudo-terminal from the loop thread. Everything of the operating system stays in this
// file pair.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "tests/sim/engine.h"

namespace sim {

class PtyServer {
public:
    PtyServer();
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates one pseudo-terminal per sensor, in raw mode. Call before any thread starts:
    // it also blocks SIGTERM, SIGINT, SIGUSR1 and SIGUSR2, which Serve then takes from a
    // signal descriptor.
    bool Open(std::size_t count, std::string& error);
    // The device paths the host opens, the master's first.
    const std::vector<std::string>& Paths() const { return m_paths; }
    // Runs the sensors until SIGTERM or SIGINT; returns the exit code. SIGUSR2 puts the test
    // load on or takes it off; with a dump path, SIGUSR1 and the exit write the blocks there.
    int Serve(const std::vector<SensorConfig>& sensors, const std::string& dumpPath = {});

    struct Line;  // one pseudo-terminal (defined in the .cpp)

private:
    std::vector<std::unique_ptr<Line>> m_lines;
    std::vector<std::string> m_paths;
    int m_signalFd = -1;
    int m_wakeFd = -1;
};

}  // namespace sim
