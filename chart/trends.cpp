// Derived curves of a series: linear, cubic and polynomial trends and five moving averages.
// Every result is a new array the caller owns.

#include <cmath>

#include "chart/xgraph_data_serie.h"

namespace {

constexpr double kPi = 3.14159265358979;
// Extra points beyond the series are limited so that a typing error cannot exhaust memory.
constexpr int kMaxExtraPoints = 10000000;

// x of the extra points continues by the first step of the series.
void ContinueByFirstStep(const ChartPoint* in, int n, ChartPoint* out, int total)
{
    for (int j = 0; j < total; ++j) out[j].x = j < n ? in[j].x : out[j - 1].x + (in[1].x - in[0].x);
}

}  // namespace

double TriangularWeight(double a, double b, double c)
{
    if (a == 0.0) return 0.0;
    return (1.0 - std::fabs((b - a / 2.0) / (a / 2.0))) * c;
}

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

ChartPoint* CXGraphDataSerie::GetPolynomialTrend(int coefficients, int extraPoints)
{
    if (!m_pPoints || m_nCount < 2) return nullptr;
    if (coefficients < 1 || coefficients > CPolynomialSolver::kMaxCoefficients) return nullptr;
    extraPoints = std::clamp(extraPoints, 0, kMaxExtraPoints);
    if (!m_Solver.Fit(m_nCount, coefficients, m_pPoints)) return nullptr;
    const int total = m_nCount + extraPoints;
    auto* out = new ChartPoint[static_cast<std::size_t>(total)];
    for (int j = 0; j < total; ++j) {
        out[j].x = j < m_nCount ? m_pPoints[j].x : 2.0 * out[j - 1].x - out[j - 2].x;
        out[j].y = m_Solver.Evaluate(out[j].x);
    }
    return out;
}

template <typename Weight>
ChartPoint* CXGraphDataSerie::WindowedAverage(int window, Weight weight) const
{
    if (!m_pPoints || m_nCount <= 0 || window < 1) return nullptr;
    auto* out = new ChartPoint[static_cast<std::size_t>(m_nCount)];
    out[0] = m_pPoints[0];
    for (int i = 1; i < m_nCount; ++i) {
        const int w = std::min(i, window);
        double sum = 0.0;
        double weights = 0.0;
        for (int k = 1; k <= w; ++k) {
            const double g = weight(w, k);
            sum += g * m_pPoints[i - k + 1].y;
            weights += g;
        }
        out[i].x = m_pPoints[i].x;
        out[i].y = sum / weights;
    }
    return out;
}

ChartPoint* CXGraphDataSerie::GetSimpleAverage(int window) const
{
    return WindowedAverage(window, [](int, int) { return 1.0; });
}

ChartPoint* CXGraphDataSerie::GetLinearAverage(int window) const
{
    return WindowedAverage(window, [](int w, int k) { return static_cast<double>(w - k + 1); });
}

ChartPoint* CXGraphDataSerie::GetTriangularAverage(int window) const
{
    return WindowedAverage(window, [](int w, int k) { return TriangularWeight(w + 1, k, w); });
}

ChartPoint* CXGraphDataSerie::GetSineAverage(int window) const
{
    const double step = kPi / (static_cast<double>(window) + 1.0);
    return WindowedAverage(window, [step](int w, int k) { return std::sin((w - k + 1) * step); });
}

ChartPoint* CXGraphDataSerie::GetExponentialAverage(int window) const
{
    if (!m_pPoints || m_nCount <= 0 || window < 1) return nullptr;
    const double alpha = 2.0 / (static_cast<double>(window) + 1.0);
    auto* out = new ChartPoint[static_cast<std::size_t>(m_nCount)];
    out[0] = m_pPoints[0];
    for (int i = 1; i < m_nCount; ++i) {
        out[i].x = m_pPoints[i].x;
        out[i].y = alpha * m_pPoints[i].y + (1.0 - alpha) * out[i - 1].y;
    }
    return out;
}
