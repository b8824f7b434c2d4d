// km3-sensor-sim: the simulated sensor as a program of its own, for tests that drive the real
// port code against a pseudo-terminal.

#include <cstdio>
#include <string>
#include <vector>

#include "tests/sim/options.h"
#include "tests/sim/pty_server.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    sim::ProgramOptions options;
    std::string error;
    if (!sim::ParseProgramOptions(args, options, error)) {
        std::fprintf(stderr, "km3-sensor-sim: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(sim::ProgramUsage().c_str(), stdout);
        return 0;
    }
    sim::PtyServer server;
    if (!server.Open(options.sensors.size(), error)) {
        std::fprintf(stderr, "km3-sensor-sim: %s\n", error.c_str());
        return 1;
    }
    std::string first;
    for (const std::string& path : server.Paths()) first += (first.empty() ? "" : " ") + path;
    std::printf("%s\n", first.c_str());
    std::fflush(stdout);
    return server.Serve(options.sensors, options.dumpBlocksPath);
}
