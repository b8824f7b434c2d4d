// Step and range rounding of an axis: the automatic step from the label size, autoscale to
// round values, and the nice steps of numeric and date axes.

#include <cmath>

#include "chart/dcex.h"
#include "chart/recording_device.h"
#include "chart/xgraph.h"
#include "chart/xgraph_axis.h"

namespace {

constexpr double kOleEpoch1970 = 25569.0;  // 1970-01-01 00:00 as an OLE date
// Pixels kept free between neighbouring tick labels.
constexpr double kLabelGap = 6.0;

// The remainder of x by whole steps, with the sign of x.
double RemainderBySteps(double x, double step) { return std::fmod(x, step); }

}  // namespace

void CXGraphAxis::CalcStepFromLabelSize()
{
    CDCEx dc(std::make_shared<chart::MeasuringDevice>());
    const CRect plot = PlotRect();
    double length;
    double labelSize;
    if (m_nKind == xAxis) {
        length = static_cast<int>(plot.right - m_dHeadSpace - m_dMarkerSpace) - plot.left;
        labelSize = GetMaxLabelWidth(&dc);
    } else {
        length = plot.bottom - static_cast<int>(plot.top + m_dHeadSpace + m_dMarkerSpace);
        labelSize = GetMaxLabelHeight(&dc);
    }
    if (length == 0.0) length = 1.0;
    m_dStep = (m_dMax - m_dMin) / length * labelSize;
}

double CXGraphAxis::NiceStep(int count, double min, double max)
{
    double raw = (max - min) / count;
    // Nothing sensible comes from an empty, reversed or broken range: the caller keeps its step.
    if (!(raw > 0.0) || !std::isfinite(raw)) return 0.0;
    int e = 0;
    if (raw >= 1.0) {
        while (raw >= 1.0) {
            raw *= 0.1;
            ++e;
        }
        raw *= 10.0;
        --e;
    } else {
        while (raw < 1.0) {
            raw *= 10.0;
            --e;
        }
    }
    double mantissa;
    if (raw <= 1.0) mantissa = 1.0;
    else if (raw <= 2.0) mantissa = 2.0;
    else if (raw <= 5.0) mantissa = 5.0;
    else mantissa = 10.0;
    const double step = mantissa * std::pow(10.0, e);
    return step == 0.0 ? 0.1 : step;
}

int CXGraphAxis::TickStride(double pixelsPerStep, double labelExtent)
{
    const double pixels = std::fabs(pixelsPerStep);
    if (!std::isfinite(pixels) || pixels <= 0.0 || !(labelExtent > 0.0)) return 1;
    const double needed = labelExtent + kLabelGap;
    for (int decade = 1; decade <= 100000000; decade *= 10)
        for (int factor : {1, 2, 5})
            if (pixels * factor * decade >= needed) return factor * decade;
    return 1000000000;
}

void CXGraphAxis::RoundRange(double& min, double& max, double step)
{
    if (!(step > 0.0) || !std::isfinite(step)) return;
    // A rounded bound is the whole multiple of the step itself, not the remainder's arithmetic,
    // which lands a last bit above or below it depending on the value rounded: a curve that
    // grows within the range keeps the range, and its drawing, exactly as it was.
    const auto onStep = [step](double v) {
        const double k = std::nearbyint(v / step);
        return std::fabs(k) < 1e15 ? k * step : v;
    };
    // A bound that is a multiple of the step already stays where it is. Most steps (0.1, 0.2)
    // are no exact binary fractions, so the remainder of a multiple comes out a last bit off
    // zero, and a bound that the last drawing rounded would move a step further out at every
    // drawing: the axis would grow with each repaint of a chart that is not fed anew.
    const auto isMultiple = [step](double v) {
        const double k = std::nearbyint(v / step);
        return std::fabs(k) < 1e15 && std::fabs(v - k * step) <= 1e-9 * step;
    };
    double r = RemainderBySteps(min - step, step);
    if (isMultiple(min)) min = onStep(min);
    else if (r != 0.0) min = onStep(min - (r + step));
    r = RemainderBySteps(max + step, step);
    if (isMultiple(max)) max = onStep(max);
    else if (r != 0.0) max = onStep(max - (r - step));
}

double CXGraphAxis::NiceStepTime(int count, double min, double max)
{
    static const double kSteps[] = {0,        1,        2,         5,         10,        15,        20,
                                    30,       60,       120,       300,       600,       900,       1800,
                                    3600,     7200,     14400,     28800,     36000,     43200,     86400,
                                    172800,   345600,   604800,    1209600,   2419200,   4838400,   7257600,
                                    15724800, 31449600, 62899200,  157248000, 314496000, 628992000, 1572480000,
                                    -1};
    const double raw = count > 0 ? (max - min) * 86400.0 / count : 0.0;
    double step = raw;
    for (std::size_t i = 1; kSteps[i] >= 0; ++i) {
        if (kSteps[i - 1] < raw && raw <= kSteps[i]) {
            step = kSteps[i];
            break;
        }
    }
    return step / 86400.0;
}

void CXGraphAxis::RoundRangeTime(double& min, double& max, double step)
{
    const double s = std::trunc(step * 86400.0);
    if (!(s > 0.0) || s > 2147483647.0) return;
    const auto seconds = [](double date, double& out) {
        const double t = std::trunc((date - kOleEpoch1970) * 86400.0);
        // Whole seconds in 32 bits: dates outside 1902..2038 are left as they are.
        if (!std::isfinite(t) || t < -2147483648.0 || t > 2147483647.0) return false;
        out = t;
        return true;
    };
    double t;
    if (seconds(min, t) && std::fmod(t, s) != 0.0) min = kOleEpoch1970 + std::floor(t / s) * s / 86400.0;
    if (seconds(max, t) && std::fmod(t, s) != 0.0) max = kOleEpoch1970 + (std::floor(t / s) + 1.0) * s / 86400.0;
}

void CXGraphAxis::AutoScale(CDCEx* dc)
{
    if (m_nScale == 0) {
        if (!(m_dMin > 0.0) || !std::isfinite(m_dMin)) m_dMin = 1e-16;
        if (!(m_dMax > 0.0) || !std::isfinite(m_dMax)) m_dMax = 1e-15;
        bool found = false;
        for (double d = 1e-16; d < m_dMin && !found && std::isfinite(d); d *= 10.0) {
            for (double v = d; v < 10.0 * d; v += d) {
                if (m_dMin <= v) {
                    m_dMin = v - d;
                    found = true;
                    break;
                }
            }
        }
        found = false;
        for (double d = 1e-16; d < m_dMax && !found && std::isfinite(d); d *= 10.0) {
            for (double v = d; v < 10.0 * d; v += d) {
                if (m_dMax <= v) {
                    m_dMax = v;
                    found = true;
                    break;
                }
            }
        }
        m_dMin = std::pow(10.0, std::floor(std::log10(m_dMin)));
        m_dMax = std::pow(10.0, std::ceil(std::log10(m_dMax)));
        return;
    }
    const CRect plot = PlotRect();
    int count;
    if (m_nKind == yAxis) {
        m_dHeadSpace = 2.0 * m_nArrowSize;
        m_dMarkerSpace = DrawCurveMarkers(dc, false);
        const int height = GetMaxLabelHeight(dc);
        const double pixels = plot.bottom - static_cast<int>(plot.top + m_dHeadSpace + m_dMarkerSpace);
        count = height > 0 ? static_cast<int>(pixels / height) : 2;
    } else {
        m_dHeadSpace = 4.0 * m_nArrowSize;
        m_dMarkerSpace = DrawCurveMarkers(dc, false);
        const int width = GetMaxLabelWidth(dc);
        const double pixels = static_cast<int>(plot.right - m_dHeadSpace - m_dMarkerSpace) - plot.left;
        count = width > 0 ? static_cast<int>(pixels / width) : 2;
    }
    count = std::max(count, 2);
    if (!m_bDateTime) {
        const double step = NiceStep(count, m_dMin, m_dMax);
        if (step > 0.0) {
            m_dStep = step;
            RoundRange(m_dMin, m_dMax, step);
        }
    } else {
        const double step = NiceStepTime(count, m_dMin, m_dMax);
        if (step > 0.0) {
            m_dStep = step;
            RoundRangeTime(m_dMin, m_dMax, step);
        }
    }
}
