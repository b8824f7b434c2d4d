#pragma once
// The blocks of a simulated device as text, for tests that check from outside the program what
// a sensor holds: written by km3-sensor-sim on SIGUSR1 and at exit (--dump-blocks).
//
// One line per sensor and per block, sensors counted from 1:
//   sensor 1 calibration-state 3
//   sensor 1 value-requests 17       the value requests ('A') it has had
//   sensor 1 block 82 42<...>        frame bytes 6 to 37 in hex: code byte, content, check words
// Lines starting with '#' are comments.

#include <string>

namespace sim {

class SimDevice;

std::string BlockDumpText(const SimDevice& device);

// Writes the text to a temporary file beside path and renames it, so that a reader sees the
// old dump or the new one, never part of one. False with an error text on failure.
bool WriteBlockDump(const std::string& path, const std::string& text, std::string& error);

}  // namespace sim
