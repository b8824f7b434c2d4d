#pragma once
// The simulated sensor for the tests: a peer that answers like the real sensors, in-process on
// the message loop (SimulatedSensor, MultiportDevice with their SimPorts) or as the program
// km3-sensor-sim on a pseudo-terminal. See tests/sim/README.md.

#include "tests/sim/device.h"    // SimPort, SimulatedSensor, MultiportDevice
#include "tests/sim/engine.h"    // SensorConfig, SensorEngine
#include "tests/sim/faults.h"    // FaultPlan and its rules
#include "tests/sim/identity.h"  // SensorIdentity, BlockStore
#include "tests/sim/signal.h"    // SignalSpec
#include "tests/sim/wire.h"      // framing helpers
