#pragma once
// The measured signal of one channel, as a function of time, so that value answers and stream
// records taken at the same instant agree and a run replays identically.

#include <cstdint>
#include <string>

namespace sim {

struct SignalSpec {
    enum class Kind { Constant, Ramp, Sine, Steps };
    Kind kind = Kind::Constant;
    double base = 0.0;        // counts
    double amplitude = 0.0;   // Sine: peak; Steps: height of one step
    double slopePerS = 0.0;   // Ramp: counts per second
    double periodMs = 1000.0; // Sine: period; Steps: duration of one step
    int stepCount = 5;        // Steps: the staircase climbs this many steps, then starts again
    double noise = 0.0;       // peak of uniform noise added on top, counts
    std::uint32_t seed = 1;   // noise is a pure function of seed and time

    // The 16-bit count at tUs microseconds after the sensor started. A ramp wraps around like
    // a 16-bit counter; everything else is clamped to -32768..32767.
    std::int16_t At(std::int64_t tUs) const;
};

// "sine:base=0,amp=1000,period=500,noise=3" and the like; kinds constant, ramp, sine, steps;
// keys base, amp, slope, period, steps, noise, seed. Returns false and an error text on
// anything it cannot read.
bool ParseSignalSpec(const std::string& text, SignalSpec& spec, std::string& error);

}  // namespace sim
