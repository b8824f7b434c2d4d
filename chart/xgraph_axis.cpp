#include "chart/xgraph_axis.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "chart/chart_point.h"
#include "chart/dcex.h"
#include "chart/recording_device.h"
#include "chart/value_format.h"
#include "chart/xgraph.h"

namespace {

constexpr double kLargeValue = 1000000.0;

}  // namespace

int ClampPointIndex(int index, int count)
{
    if (count <= 0) return -1;
    return std::clamp(index, 0, count - 1);
}

CXGraphAxis::CXGraphAxis()
    : m_dBaseMin(std::numeric_limits<double>::max()), m_dBaseMax(-std::numeric_limits<double>::max()),
      m_dMin(m_dBaseMin), m_dMax(m_dBaseMax)
{
    m_crColor = 0;
    m_bVisible = true;
    m_pGraph = nullptr;
    SetTickFont("Arial", 13, FW_NORMAL);
    SetTitleFont("Arial", 14, FW_BOLD);
}

CXGraphAxis::CXGraphAxis(const CXGraphAxis& other) : CXGraphObject() { CopyFrom(other); }

CXGraphAxis& CXGraphAxis::operator=(const CXGraphAxis& other)
{
    if (this != &other) CopyFrom(other);
    return *this;
}

CXGraphAxis::~CXGraphAxis() = default;

void CXGraphAxis::CopyFrom(const CXGraphAxis& o)
{
    // Of the object fields a copy takes the visible flag, the colour and the owner; the plot
    // rectangle and the time format mode are not copied.
    m_bVisible = o.m_bVisible;
    m_crColor = o.m_crColor;
    m_pGraph = o.m_pGraph;
    m_ColorRanges = o.m_ColorRanges;
    m_ZoomHistory = o.m_ZoomHistory;
    m_ValueLines = o.m_ValueLines;
    m_dBaseMin = o.m_dBaseMin;
    m_dBaseMax = o.m_dBaseMax;
    m_dMin = o.m_dMin;
    m_dMax = o.m_dMax;
    m_dStep = o.m_dStep;
    m_dHeadSpace = o.m_dHeadSpace;
    m_dMarkerSpace = o.m_dMarkerSpace;
    m_dRange = o.m_dRange;
    m_nOriginY = o.m_nOriginY;
    m_nOriginX = o.m_nOriginX;
    m_nLength = o.m_nLength;
    SetTickFont(&o.m_TickFont.logFont());
    SetTitleFont(&o.m_TitleFont.logFont());
    m_nKind = o.m_nKind;
    m_nScale = o.m_nScale;
    m_nPlacement = o.m_nPlacement;
    m_bShowMarkers = o.m_bShowMarkers;
    m_bDateTime = o.m_bDateTime;
    m_bShowGrid = o.m_bShowGrid;
    m_bAutoScale = o.m_bAutoScale;
    m_bAutoScaleHeld = o.m_bAutoScaleHeld;
    m_bUserRange = o.m_bUserRange;
    m_sLabel = o.m_sLabel;
    m_sFormat = o.m_sFormat;
    m_nArrowSize = o.m_nArrowSize;
    m_nMarkerSize = o.m_nMarkerSize;
    m_nTickLength = o.m_nTickLength;
    m_crGridColor = o.m_crGridColor;
    m_nGridStyle = o.m_nGridStyle;
}

CRect CXGraphAxis::PlotRect() const { return m_pGraph ? m_pGraph->m_rcPlot : m_rcPlot; }

// ---------------------------------------------------------------------------------------------
// Range and step

bool CXGraphAxis::SetRange(double min, double max) { return TakeRange(min, max, 0.0, true); }

bool CXGraphAxis::SetCurrentRange(double min, double max, double step) { return TakeRange(min, max, step, false); }

// A logarithmic axis keeps its range above zero and has no step; a linear one widens an empty
// range, takes a usable step as given and otherwise finds one (zero, negative or broken means
// automatic). With asBase the range is also the one a reset of the zoom returns to.
bool CXGraphAxis::TakeRange(double min, double max, double step, bool asBase)
{
    // Bounds that are not numbers, or a span beyond the doubles, would leave nothing to draw.
    if (!std::isfinite(min) || !std::isfinite(max) || min > max) return false;
    if (m_nScale == 0) {
        if (min == max) {
            min *= 0.1;
            max *= 10.0;
        }
        m_dStep = 0.0;
        m_dMin = min < 1e-16 ? 1e-16 : min;
        m_dMax = max < 1e-15 ? 1e-15 : max;
        if (asBase) {
            m_dBaseMin = m_dMin;
            m_dBaseMax = m_dMax;
        }
        if ((std::fabs(m_dMin) > kLargeValue || std::fabs(m_dMax) > kLargeValue) && !m_bDateTime) m_sFormat = "%5.2e";
        return true;
    }
    if (min == max) {
        min -= 1.0;
        max += 1.0;
    }
    if (!std::isfinite(max - min)) return false;
    if ((std::fabs(min) > kLargeValue || std::fabs(max) > kLargeValue) && !m_bDateTime) m_sFormat = "%5.2e";
    m_dMin = min;
    m_dMax = max;
    if (asBase) {
        m_dBaseMin = min;
        m_dBaseMax = max;
    }
    if (step > 0.0 && std::isfinite(step)) m_dStep = step;
    else if (m_pGraph && m_pGraph->isVisible()) CalcStepFromLabelSize();
    else m_dStep = (max - min) / 10.0;
    return true;
}

bool CXGraphAxis::FitRange(double min, double max)
{
    if (!std::isfinite(min) || !std::isfinite(max)) return false;
    if (!m_bUserRange) {
        ResumeAutoScale();
        return SetRange(min, max);
    }
    const double shownMin = m_dMin, shownMax = m_dMax, step = m_dStep;
    if (!SetRange(min, max)) return false;
    m_dMin = shownMin;
    m_dMax = shownMax;
    m_dStep = step;
    return true;
}

void CXGraphAxis::ResetZoom()
{
    m_bUserRange = false;
    m_dMin = m_dBaseMin;
    m_dMax = m_dBaseMax;
    m_dStep = (m_dBaseMax - m_dBaseMin) / 10.0;
    // Back to the range the chart showed before the zoom: an axis that scales itself rounds the
    // base range at its next drawing; one whose autoscale a pan or the cursor switched off gets
    // the same round range and step now, not the bare extent of the data.
    if (!m_bAutoScale && m_dBaseMin <= m_dBaseMax) {
        CDCEx dc(std::make_shared<chart::MeasuringDevice>());
        AutoScale(&dc);
    }
}

void CXGraphAxis::GetRangeAndStep(double& min, double& max, double& step) const
{
    min = m_dMin;
    max = m_dMax;
    step = m_dStep;
}

// ---------------------------------------------------------------------------------------------
// Formats

void CXGraphAxis::SetDecimalPlaces(unsigned int places)
{
    switch (places) {
    case 0: m_sFormat = "%5.0f"; break;
    case 1: m_sFormat = "%5.1f"; break;
    case 2: m_sFormat = "%5.2f"; break;
    case 3: m_sFormat = "%5.3f"; break;
    default: m_sFormat = "%5.2f"; break;
    }
}

CString CXGraphAxis::FormatTickLabel(double value, bool dateForm) const
{
    if (dateForm) return chart::FormatOleDate(value, m_sFormat);
    return chart::FormatDouble(m_sFormat, value);
}

// ---------------------------------------------------------------------------------------------
// Mapping

AxisMapping CXGraphAxis::GetMapping() const
{
    const CRect plot = PlotRect();
    AxisMapping m;
    m.m_linear = m_nScale != 0;
    m.m_origin = m_nKind == xAxis ? plot.left : plot.bottom;
    m.m_direction = m_nKind == xAxis ? 1.0 : -1.0;
    m.m_min = m_dMin;
    m.m_length = m_nLength;
    if (m.m_linear) {
        m_dRange = m_dMax - m_dMin;
        m.m_factor = m.m_length / m_dRange;
    } else {
        m.m_logMin = std::log10(m_dMin);
        m.m_span = std::log10(m_dMax) - m.m_logMin;
    }
    return m;
}

void CXGraphAxis::GetPointForValue(POINT* out, const ChartPoint* p) const
{
    if (!out || !p) return;
    const AxisMapping mapping = GetMapping();
    // A logarithmic axis writes both coordinates, a linear one only its own.
    if (m_nScale == 0) *out = POINT{0, 0};
    if (m_nKind == xAxis) out->x = mapping.Map(p->x);
    else out->y = mapping.Map(p->y);
}

CPoint CXGraphAxis::GetPointForValue(const ChartPoint& value) const
{
    CPoint p;
    GetPointForValue(&p, &value);
    return p;
}

double CXGraphAxis::GetValueForPos(int pos) const
{
    const CRect plot = PlotRect();
    const double length = m_nLength;
    const double offset = m_nKind == xAxis ? static_cast<double>(pos - plot.left) : -static_cast<double>(pos - plot.bottom);
    if (m_nScale != 0) {
        m_dRange = m_dMax - m_dMin;
        return offset / (length / m_dRange) + m_dMin;
    }
    return std::pow(10.0, std::log10(m_dMin) + (offset / length) * (std::log10(m_dMax) - std::log10(m_dMin)));
}

void CXGraphAxis::FindPointIndex(int& index, double x, int curveIndex) const
{
    index = 0;
    if (!m_pGraph || curveIndex < 0 || curveIndex >= m_pGraph->GetCurveCount()) return;
    const CXGraphDataSerie& curve = m_pGraph->GetCurve(curveIndex);
    const int count = curve.GetCount();
    const ChartPoint* points = curve.GetPoints();
    if (count < 2 || !points) return;
    const double d = std::fabs(points[1].x - points[0].x);
    if (!(d > 0.0) || !std::isfinite(d)) return;
    // The first guess assumes evenly spaced points; the walk corrects it.
    double guess = (x - points[0].x) / d;
    if (std::isnan(guess)) guess = 0.0;
    guess = std::clamp(guess, 0.0, static_cast<double>(count - 1));
    int i = static_cast<int>(guess);
    if (points[i].x <= x) {
        while (i < count && points[i].x <= x) ++i;
    } else {
        while (i > 0 && x < points[i].x) --i;
    }
    index = i;
}

// ---------------------------------------------------------------------------------------------
// Layout measures

int CXGraphAxis::GetMaxLabelWidth(CDCEx* dc)
{
    CFontSelector font(&m_TickFont, dc, false);
    const int a = static_cast<int>(GetMultiLineTextExtent(dc, FormatTickLabel(m_dMin)).cx * 1.4);
    const int b = static_cast<int>(GetMultiLineTextExtent(dc, FormatTickLabel(m_dMax)).cx * 1.4);
    return std::max(a, b) + m_nTickLength;
}

int CXGraphAxis::GetMaxLabelHeight(CDCEx* dc)
{
    CFontSelector font(&m_TickFont, dc, false);
    return GetMultiLineTextExtent(dc, FormatTickLabel(m_dBaseMin)).cy + m_nTickLength;
}

CSize CXGraphAxis::GetTitleSize(CDCEx* dc)
{
    CFontSelector font(&m_TitleFont, dc, false);
    return GetMultiLineTextExtent(dc, m_sLabel);
}

// ---------------------------------------------------------------------------------------------
// Fonts

namespace {

void ReplaceFont(CFont& font, const LOGFONT* lf)
{
    font.DeleteObject();
    font.CreateFontIndirect(lf);
}

// An axis font from face, height and weight, smoothed, neither italic nor underlined.
void ReplaceFont(CFont& font, const char* face, int height, int weight)
{
    font.DeleteObject();
    font.CreateFont(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_CHARACTER_PRECIS,
                    ANTIALIASED_QUALITY, 0, face);
}

}  // namespace

void CXGraphAxis::SetTickFont(const LOGFONT* lf) { ReplaceFont(m_TickFont, lf); }

void CXGraphAxis::SetTickFont(const char* face, int height, int weight) { ReplaceFont(m_TickFont, face, height, weight); }

void CXGraphAxis::SetTitleFont(const LOGFONT* lf) { ReplaceFont(m_TitleFont, lf); }

void CXGraphAxis::SetTitleFont(const char* face, int height, int weight) { ReplaceFont(m_TitleFont, face, height, weight); }

// ---------------------------------------------------------------------------------------------
// Decorations

void CXGraphAxis::SetValueLine(int index, double value, COLORREF color, int penStyle)
{
    if (index < 0 || index > static_cast<int>(m_ValueLines.size())) return;
    AxisValueLine line;
    line.value = value;
    line.color = color;
    line.enabled = true;
    line.showValue = true;
    line.penStyle = penStyle;
    line.penWidth = 1;
    line.font = m_TickFont.logFont();
    if (m_nKind == xAxis) {
        // Vertical lines carry their texts upwards.
        line.font.lfEscapement = 900;
        line.font.lfOrientation = 900;
        line.font.lfClipPrecision = CLIP_LH_ANGLES;
    }
    if (index == static_cast<int>(m_ValueLines.size())) m_ValueLines.push_back(line);
    else m_ValueLines[static_cast<std::size_t>(index)] = line;
    if (m_pGraph) m_pGraph->Invalidate(true);
}

void CXGraphAxis::DeleteValueLine(int index)
{
    if (index < 0 || index >= static_cast<int>(m_ValueLines.size())) return;
    m_ValueLines.erase(m_ValueLines.begin() + index);
}

// ---------------------------------------------------------------------------------------------
// Archive

namespace {

constexpr std::size_t kColorRangeBytes = 288;
constexpr std::size_t kValueLineBytes = 88;

void StoreColorRange(CArchive& ar, const ColorRange& r)
{
    ar << r.from << r.to << r.color << r.color2 << static_cast<std::int32_t>(r.fillStyle);
    ar.Write(r.text, sizeof r.text);
}

ColorRange LoadColorRange(CArchive& ar)
{
    ColorRange r;
    std::int32_t fill;
    ar >> r.from >> r.to >> r.color >> r.color2 >> fill;
    r.fillStyle = fill;
    ar.Read(r.text, sizeof r.text);
    r.text[sizeof r.text - 1] = '\0';
    return r;
}

void StoreValueLine(CArchive& ar, const AxisValueLine& l)
{
    ar << l.value << l.color << l.enabled << l.showValue << static_cast<WORD>(0) << static_cast<std::int32_t>(l.penStyle)
       << static_cast<std::int32_t>(l.penWidth) << l.font << static_cast<std::uint32_t>(0);
}

AxisValueLine LoadValueLine(CArchive& ar)
{
    AxisValueLine l;
    WORD padding;
    std::int32_t style, width;
    std::uint32_t reserved;
    ar >> l.value >> l.color >> l.enabled >> l.showValue >> padding >> style >> width >> l.font >> reserved;
    l.penStyle = style;
    l.penWidth = width;
    return l;
}

}  // namespace

void CXGraphAxis::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_bAutoScale << m_bVisible << m_bShowGrid << m_sFormat << m_sLabel;
        ar << m_dBaseMax << m_dBaseMin << m_dMax << m_dMin << m_dStep;
        ar << static_cast<std::int32_t>(m_nOriginY) << static_cast<std::int32_t>(m_nOriginX)
           << static_cast<std::int32_t>(m_nKind) << static_cast<std::int32_t>(m_nArrowSize)
           << static_cast<std::int32_t>(m_nTickLength);
        ar << m_crColor << m_crGridColor << static_cast<std::int32_t>(m_nGridStyle);
        ar << m_dHeadSpace << m_bDateTime << m_dMarkerSpace << m_dRange;
        ar << static_cast<std::int32_t>(m_nLength) << static_cast<std::int32_t>(m_nMarkerSize)
           << static_cast<std::int32_t>(m_nPlacement) << m_bShowMarkers;
        ar << static_cast<std::uint32_t>(m_ColorRanges.size());
        for (const ColorRange& r : m_ColorRanges) StoreColorRange(ar, r);
        ar << static_cast<std::uint32_t>(m_ValueLines.size());
        for (const AxisValueLine& l : m_ValueLines) StoreValueLine(ar, l);
        ar << m_TickFont.logFont() << m_TitleFont.logFont();
        return;
    }
    std::int32_t originY, originX, kind, arrow, tick, gridStyle, length, markerSize, placement;
    ar >> m_bAutoScale >> m_bVisible >> m_bShowGrid >> m_sFormat >> m_sLabel;
    m_bAutoScaleHeld = false;  // a loaded axis scales as its file says
    m_bUserRange = false;
    ar >> m_dBaseMax >> m_dBaseMin >> m_dMax >> m_dMin >> m_dStep;
    ar >> originY >> originX >> kind >> arrow >> tick;
    ar >> m_crColor >> m_crGridColor >> gridStyle;
    ar >> m_dHeadSpace >> m_bDateTime >> m_dMarkerSpace >> m_dRange;
    ar >> length >> markerSize >> placement >> m_bShowMarkers;
    m_nOriginY = originY;
    m_nOriginX = originX;
    m_nKind = kind;
    m_nArrowSize = arrow;
    m_nTickLength = tick;
    m_nGridStyle = gridStyle;
    m_nLength = length;
    m_nMarkerSize = markerSize;
    m_nPlacement = placement;
    std::uint32_t ranges;
    ar >> ranges;
    // A count is believed only as far as the file still holds records for it.
    if (ranges > ar.Remaining() / kColorRangeBytes) throw CArchiveException("chart file counts more colour ranges than it holds");
    for (std::uint32_t i = 0; i < ranges; ++i) m_ColorRanges.push_back(LoadColorRange(ar));
    std::uint32_t lines;
    ar >> lines;
    if (lines > ar.Remaining() / kValueLineBytes) throw CArchiveException("chart file counts more value lines than it holds");
    for (std::uint32_t i = 0; i < lines; ++i) m_ValueLines.push_back(LoadValueLine(ar));
    LOGFONT tickFont, titleFont;
    ar >> tickFont >> titleFont;
    SetTickFont(&tickFont);
    SetTitleFont(&titleFont);
}
