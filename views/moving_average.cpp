#include "views/moving_average.h"

#include <algorithm>
#include <cmath>

void CMovingAverage::SetSize(int size)
{
    m_values.assign(static_cast<std::size_t>(std::max(size, 1)), 0.0);
    Reset();
}

void CMovingAverage::AddValue(double value)
{
    const int size = GetSize();
    if (m_count == size) m_sum -= m_values[static_cast<std::size_t>(m_next)];
    else ++m_count;
    m_values[static_cast<std::size_t>(m_next)] = value;
    m_sum += value;
    m_next = (m_next + 1) % size;
    // A running sum drifts; once per turn it is summed again from the ring.
    if (m_next == 0 && m_count == size) {
        m_sum = 0.0;
        for (double v : m_values) m_sum += v;
    }
}

bool CMovingAverage::GetAverage(double& mean) const
{
    if (m_count == 0) {
        mean = 0.0;
        return false;
    }
    mean = m_sum / m_count;
    return true;
}

void CMovingAverage::Reset()
{
    m_next = 0;
    m_count = 0;
    m_sum = 0.0;
}

namespace views {

int AveragingCount(int averagingIndex) { return averagingIndex >= 1 && averagingIndex <= 9 ? 1 << averagingIndex : 1; }

void SmoothingRings::Configure(int mode, const DisplayTables& tables)
{
    auto sizeOf = [&](int c) {
        const DisplayTable* table = tables.Entry(c);
        return table ? AveragingCount(table->averaging) : 1;
    };
    switch (mode) {
    case 0:
    case 3:
        for (int c = 0; c < kChannelCount; ++c) m_rings[static_cast<std::size_t>(c)].SetSize(sizeOf(c));
        break;
    case 1:
        for (CMovingAverage& ring : m_rings) ring.SetSize(1);
        break;
    case 2:
        Reset();
        break;
    case 4: {
        int largest = 1;
        for (int c = 0; c < kChannelCount; ++c) {
            const DisplayTable* table = tables.Entry(c);
            if (table && table->state == kChannelOn) largest = std::max(largest, sizeOf(c));
        }
        for (CMovingAverage& ring : m_rings) ring.SetSize(largest);
        break;
    }
    default:
        break;
    }
}

void SmoothingRings::Reset()
{
    for (CMovingAverage& ring : m_rings) ring.Reset();
}

double SmoothingRings::Smooth(int channel, double value)
{
    // A value that is no number would stay in the running sum; it is shown, not smoothed.
    if (channel < 0 || channel >= kChannelCount || !std::isfinite(value)) return value;
    CMovingAverage& ring = m_rings[static_cast<std::size_t>(channel)];
    ring.AddValue(value);
    double mean = value;
    ring.GetAverage(mean);
    return mean;
}

}  // namespace views
