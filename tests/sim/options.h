#pragma once
// The command line of km3-sensor-sim, turned into sensor configurations.

#include <string>
#include <vector>

#include "tests/sim/engine.h"

namespace sim {

struct ProgramOptions {
    bool help = false;
    std::vector<SensorConfig> sensors;  // one per pseudo-terminal; the first is the master
    std::string dumpBlocksPath;         // where SIGUSR1 and the exit write the blocks; empty: nowhere
};

// Reads the arguments after the program name. On failure returns false with an error text
// that names the option.
bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions& options, std::string& error);

// The text that --help prints.
std::string ProgramUsage();

}  // namespace sim
