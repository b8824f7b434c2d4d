#include "measurement/measure_rate_table.h"

#include <array>

namespace measurement {

namespace {

struct RateEntry {
    int code;
    unsigned textId;
    double period;
};

constexpr std::array<RateEntry, kRateCount> kRates{{
    {0, 5169, 0.0002}, {1, 5170, 0.0004}, {2, 5171, 0.0008}, {3, 5172, 0.001},     {4, 5173, 0.002},
    {5, 5174, 0.004},  {6, 5175, 0.005},  {7, 5305, 1.0 / 185}, {8, 5176, 0.01},   {9, 5177, 0.02},
    {10, 5306, 1.0 / 33}, {11, 5178, 0.04}, {12, 5179, 0.05}, {13, 5180, 0.1},     {14, 5181, 1.0},
    {15, 5182, 1.2},   {16, 5183, 3.0},   {17, 5184, 6.0},    {18, 5185, 60.0},    {19, 5186, 3600.0},
}};

bool InTable(int index) { return index >= 0 && index < kRateCount; }

}  // namespace

unsigned GetMeasureRateTextId(int index)
{
    return InTable(index) ? kRates[static_cast<std::size_t>(index)].textId : 0;
}

double GetSamplePeriod(int index)
{
    return InTable(index) ? kRates[static_cast<std::size_t>(index)].period : 1.0;
}

double GetSetPeriod(int index, int reduction)
{
    const bool streamed = InTable(index) && index < kRate10PerSecond;
    return GetSamplePeriod(index) * (streamed && reduction > 1 ? reduction : 1);
}

bool IsMinuteRate(int index) { return index > kRate1PerSecond; }

int XAxisUnitTextIdOfRate(int index)
{
    if (index == kRate1PerHour) return 5192;
    return IsMinuteRate(index) ? 5191 : 5190;
}

double GetXAxisUnitFactor(int unitTextId)
{
    switch (unitTextId) {
    case 5191: return 60.0;
    case 5192: return 3600.0;
    default: return 1.0;
    }
}

int CountInconsistentRateCodes()
{
    int wrong = 0;
    for (int i = 0; i < kRateCount; ++i) wrong += kRates[static_cast<std::size_t>(i)].code != i ? 1 : 0;
    return wrong;
}

}  // namespace measurement
