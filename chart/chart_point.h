#pragma once
// A point of a curve: two doubles, 16 bytes, stored as they stand in chart files.

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
};
static_assert(sizeof(ChartPoint) == 16, "curve points are 16 bytes");
