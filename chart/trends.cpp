// Derived curves of a series: the linear and the cubic trend that the chart's commands add.
// Every result is a new array the caller owns.

#include <cmath>

#include "chart/xgraph_data_serie.h"

namespace {

// Extra points beyond the series are limited so that a typing error cannot exhaust memory.
constexpr int kMaxExtraPoints = 10000000;

// x of the extra points continues by the first step of the series.
void ContinueByFirstStep(const ChartPoint* in, int n, ChartPoint* out, int total)
{
    for (int j = 0; j < total; ++j) out[j].x = j < n ? in[j].x : out[j - 1].x + (in[1].x - in[0].x);
}

}  // namespace

ChartPoint* CXGraphDataSerie::Trend(int extraPoints, double (*value)(int k, double a, double b), double a, double b) const
{
    const int total = m_nCount + extraPoints;
    auto* out = new ChartPoint[static_cast<std::size_t>(total)];
    ContinueByFirstStep(m_pPoints, m_nCount, out, total);
    for (int j = 0; j < total; ++j) out[j].y = value(j + 1, a, b);
    return out;
}

ChartPoint* CXGraphDataSerie::GetLinearTrend(int extraPoints) const
{
    // A line needs two points: the slope's denominator and the x step are zero otherwise.
    if (!m_pPoints || m_nCount < 2) return nullptr;
    extraPoints = std::clamp(extraPoints, 0, kMaxExtraPoints);
    const double n = m_nCount;
    double sy = 0, sky = 0, sk = 0, skk = 0;
    for (int i = 0; i < m_nCount; ++i) {
        const double k = i + 1;
        sy += m_pPoints[i].y;
        sky += k * m_pPoints[i].y;
        sk += k;
        skk += k * k;
    }
    const double b = (n * sky - sk * sy) / (n * skk - sk * sk);
    const double a = (sy - b * sk) / n;
    return Trend(extraPoints, [](int k, double a0, double b0) { return k * b0 + a0; }, a, b);
}

ChartPoint* CXGraphDataSerie::GetCubicTrend(int extraPoints) const
{
    if (!m_pPoints || m_nCount < 2) return nullptr;
    extraPoints = std::clamp(extraPoints, 0, kMaxExtraPoints);
    double num = 0, den = 0;
    for (int i = 0; i < m_nCount; ++i) {
        const double k = i + 1;
        num += std::pow(k, 3.0) * m_pPoints[i].y;
        den += std::pow(k, 6.0);
    }
    const double b = num / den;
    return Trend(extraPoints, [](int k, double, double b0) { return std::pow(static_cast<double>(k), 3.0) * b0; }, 0.0, b);
}
