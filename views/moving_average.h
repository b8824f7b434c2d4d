#pragma once
// CMovingAverage: a ring of the last N values with a running mean; and the frame's smoothing
// rings, one per channel, sized by ConfigureMovingAverages.

#include <array>
#include <vector>

#include "views/display_tables.h"

class CMovingAverage {
public:
    explicit CMovingAverage(int size = 1) { SetSize(size); }

    // A new size empties the ring; sizes below 1 count as 1.
    void SetSize(int size);
    int GetSize() const { return static_cast<int>(m_values.size()); }
    // Stores a value, replacing the oldest once the ring is full.
    void AddValue(double value);
    // The mean of the values held; false and 0.0 when empty.
    bool GetAverage(double& mean) const;
    int GetCount() const { return m_count; }
    void Reset();

private:
    std::vector<double> m_values;
    int m_next = 0;
    int m_count = 0;
    double m_sum = 0.0;
};

namespace views {

// The number of values an averaging index stands for: 2^n for n = 1 to 9, else 1.
int AveragingCount(int averagingIndex);

// One smoothing ring per channel. Modes of Configure:
//   0  a measurement starts: each ring sized by its channel's averaging index, empty;
//   1  no smoothing: every ring of size 1;
//   2  the signal jumped (control switch): every ring emptied, sizes kept;
//   3  the averaging settings changed: rings re-sized from the tables, empty;
//   4  every ring emptied and sized to the largest averaging of the on channels, so that
//      channels shown side by side settle together.
class SmoothingRings {
public:
    void Configure(int mode, const DisplayTables& tables);
    void Reset();
    // Adds the value and returns the mean of the channel's ring (the value itself when the
    // channel is out of range).
    double Smooth(int channel, double value);
    const CMovingAverage& Ring(int channel) const { return m_rings.at(static_cast<std::size_t>(channel)); }

private:
    std::array<CMovingAverage, kChannelCount> m_rings;
};

}  // namespace views
