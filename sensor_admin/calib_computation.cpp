#include "sensor_admin/calib_computation.h"

#include <cmath>

namespace sensor_admin {

namespace {

constexpr int kEndBit[2] = {kCalibErrorEndA, kCalibErrorEndB};
constexpr int kControlBit[2] = {kCalibErrorControlA, kCalibErrorControlB};
constexpr int kGainBit[2] = {kCalibErrorGainA, kCalibErrorGainB};

bool InFactorRange(double factor) { return std::isfinite(factor) && factor > 0.0 && factor < 2.0; }

// Factors just below 2.0 round up to 65536, which 16 bits cannot hold.
DWORD FactorCode(double factor)
{
    const long code = std::lround(factor * kFactorOne);
    return static_cast<DWORD>(code > 65535 ? 65535 : code);
}

}  // namespace

bool ComputeUserCalibration(const std::array<CalibChannelInput, 2>& input, bool firstSwitch, bool secondSwitch,
                            int& errorMask, std::array<CalibChannelResult, 2>& result)
{
    errorMask = 0;
    bool failed = false;
    int computed = 0;
    std::array<CalibChannelResult, 2> out{};
    for (int c = 0; c < 2; ++c) {
        const CalibChannelInput& in = input[static_cast<std::size_t>(c)];
        CalibChannelResult& r = out[static_cast<std::size_t>(c)];
        r.offset = in.keptOffset;
        r.gainCode = in.keptGainCode;
        r.controlCode = in.keptControlCode;
        if (!in.calibrated) continue;

        const bool finite = std::isfinite(in.zeroRaw) && std::isfinite(in.scaleRaw) && std::isfinite(in.reference) &&
                            (!in.controlRead || std::isfinite(in.controlRaw));
        const double span = in.scaleRaw - in.zeroRaw;
        if (!finite || !(span > kMinimumLoadShare * in.reference)) {
            errorMask |= kEndBit[c];
            if (!finite) errorMask |= kGainBit[c];
            // An unloaded channel may keep what it has; unreadable numbers never pass.
            if (!finite || !firstSwitch) failed = true;
            continue;
        }

        bool channelFailed = false;
        const double gain = in.reference / span;
        const double offset = std::round(kFactorOne - in.zeroRaw);
        if (!InFactorRange(gain) || std::fabs(offset) > 32767.0) {
            errorMask |= kGainBit[c];
            channelFailed = true;
        }
        DWORD controlCode = in.keptControlCode;
        if (in.controlRead) {
            const double factor = (in.controlRaw - in.zeroRaw) / span;
            if (InFactorRange(factor))
                controlCode = FactorCode(factor);
            else {
                errorMask |= kControlBit[c];
                if (!secondSwitch) channelFailed = true;
            }
        }
        if (channelFailed) {
            failed = true;
            continue;
        }
        r.gainCode = FactorCode(gain);
        r.offset = static_cast<LONG>(offset);
        r.controlCode = controlCode;
        r.computed = true;
        ++computed;
    }
    if (failed || computed == 0) return false;
    result = out;
    return true;
}

}  // namespace sensor_admin
