#include "views/channel_values.h"

#include <algorithm>
#include <cmath>

namespace views {

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
}

void ChannelValues::Add(double value)
{
    if (!std::isfinite(value)) return;
    base = value;
    hasValue = true;
    minBase = std::min(minBase, value);
    maxBase = std::max(maxBase, value);
}

void ChannelValues::ResetMinMax()
{
    minBase = std::numeric_limits<double>::infinity();
    maxBase = -std::numeric_limits<double>::infinity();
    if (hasValue) minBase = maxBase = base;
}

void ChannelValues::ResetMinimum() { minBase = hasValue ? base : std::numeric_limits<double>::infinity(); }

void ChannelValues::ResetMaximum() { maxBase = hasValue ? base : -std::numeric_limits<double>::infinity(); }

void ChannelValues::Tare()
{
    if (!hasValue) return;
    tare = base;
    tared = true;
}

void ChannelValues::ClearTare()
{
    tare = 0.0;
    tared = false;
}

void ChannelValues::Reset() { *this = ChannelValues{}; }

void ChannelValues::ForgetMeasured()
{
    const ChannelValues kept = *this;
    *this = ChannelValues{};
    tare = kept.tare;
    tared = kept.tared;
}

double ShownValue(double base, const ChannelValues& values, const ChannelScale& scale)
{
    if (!scale.usable || !std::isfinite(base)) return kNaN;
    const double shown = (base - values.tare) * scale.factor;
    return std::isfinite(shown) ? shown : kNaN;
}

double ShownMinimum(const ChannelValues& values, const ChannelScale& scale)
{
    if (!values.hasValue) return kNaN;
    const double a = ShownValue(values.minBase, values, scale);
    const double b = ShownValue(values.maxBase, values, scale);
    return scale.factor < 0 ? b : a;
}

double ShownMaximum(const ChannelValues& values, const ChannelScale& scale)
{
    if (!values.hasValue) return kNaN;
    const double a = ShownValue(values.minBase, values, scale);
    const double b = ShownValue(values.maxBase, values, scale);
    return scale.factor < 0 ? a : b;
}

}  // namespace views
