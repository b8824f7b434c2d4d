#include "tests/sim/signal.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <sstream>

namespace sim {
namespace {

// A well-mixed 16-bit hash (splitmix-style), so neighbouring samples get unrelated noise.
std::uint16_t Mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint16_t>((x ^ (x >> 31)) >> 48);
}

bool ReadNumber(const std::string& text, double& out)
{
    if (text.empty()) return false;
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    in >> out;
    return !in.fail() && in.eof();
}

}  // namespace

std::int16_t SignalSpec::At(std::int64_t tUs) const
{
    const double tMs = static_cast<double>(tUs) / 1000.0;
    double v = base;
    switch (kind) {
    case Kind::Constant:
        break;
    case Kind::Ramp:
        // One rounding only: with a whole slope the product is exact, so the samples of a stream
        // that fall on half a count all round up. Divided twice, some rounded down, and the
        // stream's ramp lost a count at one record and gained it back at a later one.
        v += slopePerS * static_cast<double>(tUs) / 1'000'000.0;
        break;
    case Kind::Sine:
        if (periodMs > 0) v += amplitude * std::sin(2.0 * std::numbers::pi * tMs / periodMs);
        break;
    case Kind::Steps:
        if (periodMs > 0 && stepCount > 0)
            v += amplitude * static_cast<double>(static_cast<std::int64_t>(tMs / periodMs) % stepCount);
        break;
    }
    if (noise > 0) {
        const double unit = Mix((static_cast<std::uint64_t>(seed) << 40) ^ static_cast<std::uint64_t>(tUs)) /
                            static_cast<double>(0xFFFF);  // 0..1
        v += noise * (2.0 * unit - 1.0);
    }
    const double rounded = std::floor(v + 0.5);
    if (kind == Kind::Ramp) {
        const double wrapped = std::fmod(rounded, 65536.0);
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(
            static_cast<std::int64_t>(wrapped < 0 ? wrapped + 65536.0 : wrapped)));
    }
    if (rounded > 32767.0) return 32767;
    if (rounded < -32768.0) return -32768;
    return static_cast<std::int16_t>(rounded);
}

bool ParseSignalSpec(const std::string& text, SignalSpec& spec, std::string& error)
{
    SignalSpec result;
    const auto colon = text.find(':');
    const std::string kind = text.substr(0, colon);
    if (kind == "constant") result.kind = SignalSpec::Kind::Constant;
    else if (kind == "ramp") result.kind = SignalSpec::Kind::Ramp;
    else if (kind == "sine") result.kind = SignalSpec::Kind::Sine;
    else if (kind == "steps") result.kind = SignalSpec::Kind::Steps;
    else {
        error = "unknown signal kind '" + kind + "' (constant, ramp, sine or steps)";
        return false;
    }
    std::string rest = colon == std::string::npos ? "" : text.substr(colon + 1);
    std::istringstream items(rest);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (item.empty()) continue;
        const auto eq = item.find('=');
        const std::string key = item.substr(0, eq);
        double value = 0;
        if (eq == std::string::npos || !ReadNumber(item.substr(eq + 1), value)) {
            error = "signal setting '" + item + "' is not key=number";
            return false;
        }
        if (key == "base") result.base = value;
        else if (key == "amp") result.amplitude = value;
        else if (key == "slope") result.slopePerS = value;
        else if (key == "period") result.periodMs = value;
        else if (key == "steps") result.stepCount = static_cast<int>(value);
        else if (key == "noise") result.noise = value;
        else if (key == "seed") result.seed = static_cast<std::uint32_t>(value);
        else {
            error = "unknown signal setting '" + key + "'";
            return false;
        }
    }
    spec = result;
    return true;
}

}  // namespace sim
