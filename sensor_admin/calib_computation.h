#pragma once
// The computation of a user calibration from the readings of its three phases.
//
// Per channel the zero reading Z, the scale reading S (under the reference load) and the
// control reading C (control signal on, unloaded) are raw counts around 32768; the reference
// value R is the count the channel is to show under the reference load. Then
//   gain           = R / (S - Z)               (gain-control code = gain * 32768)
//   offset         = 32768 - Z                 (moves the zero reading to the middle)
//   control factor = (C - Z) / (S - Z)         (control code = factor * 32768)
// Error bits: 0x10 (A) / 0x20 (B) when S does not exceed Z by 0.4 of R, or a reading is not a
// finite number; 0x04 / 0x08 when the control factor lies outside 0.0 to 2.0; 0x01 / 0x02 when
// the gain lies outside 0.0 to 2.0 or the offset cannot be stored.
//
// The first switch lets a channel that was not loaded (its end-value error alone) keep its
// present calibration; the second lets a channel keep its present control code when its
// control factor is out of range. Readings that are not finite are never let through, and a
// computation in which no channel was computed fails.

#include <array>

#include "platform/win_types.h"

namespace sensor_admin {

constexpr int kCalibErrorGainA = 0x01;
constexpr int kCalibErrorGainB = 0x02;
constexpr int kCalibErrorControlA = 0x04;
constexpr int kCalibErrorControlB = 0x08;
constexpr int kCalibErrorEndA = 0x10;
constexpr int kCalibErrorEndB = 0x20;
constexpr double kMinimumLoadShare = 0.4;
constexpr double kFactorOne = 32768.0;

struct CalibChannelInput {
    double zeroRaw = 0.0, scaleRaw = 0.0, controlRaw = 0.0;
    bool controlRead = false;  // a control reading exists and is to be used
    double reference = 0.0;
    // False for a channel the sensor does not measure on (channel B of a one-channel sensor or
    // a digital input): it keeps its calibration and adds no error.
    bool calibrated = true;
    // The calibration in force, kept where a switch lets a channel keep it.
    LONG keptOffset = 0;
    DWORD keptGainCode = 32768, keptControlCode = 32768;
};

struct CalibChannelResult {
    LONG offset = 0;
    DWORD gainCode = 0, controlCode = 0;
    bool computed = false;  // false: the kept calibration stays
};

// Returns success; errorMask receives every error found, whether a switch let it pass or not.
bool ComputeUserCalibration(const std::array<CalibChannelInput, 2>& input, bool firstSwitch, bool secondSwitch,
                            int& errorMask, std::array<CalibChannelResult, 2>& result);

}  // namespace sensor_admin
