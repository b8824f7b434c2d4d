#pragma once
// CXGraphAxis: one axis of the chart. It holds a base range (set by the program) and a shown
// range (changed by zoom, pan, wheel and autoscale), the tick step and label format, its look,
// and the colour ranges and value lines drawn across the plot. It maps values to client pixels
// and back, measures its labels for the layout and draws itself.

#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/xgraph_object.h"

struct ChartPoint;

// A band across the plot between two values; 288 bytes in chart files.
struct ColorRange {
    double from = 0.0;
    double to = 0.0;
    COLORREF color = 0;
    COLORREF color2 = 0;
    int fillStyle = 6;  // 0..5 hatch styles, 6 solid
    char text[260] = {};
};

// A line across the plot at one value; 88 bytes in chart files (the text is not stored).
struct AxisValueLine {
    double value = 0.0;
    COLORREF color = 0;
    bool enabled = true;
    bool showValue = true;
    int penStyle = PS_SOLID;
    int penWidth = 1;
    LOGFONT font{};
    CString text;
};

// The mapping of one axis from values to client pixels, taken once and then applied to many
// values: the same arithmetic as CXGraphAxis::GetPointForValue, without looking up the plot
// rectangle and the scale for every value.
class AxisMapping {
public:
    int Map(double v) const
    {
        const double offset = m_linear ? (v - m_min) * m_factor : m_length * (std::log10(v) - m_logMin) / m_span;
        return ToPixel(m_origin + m_direction * offset);
    }
    // True when a larger value never maps to a smaller pixel (a linear X axis of positive length).
    bool Ascending() const { return m_linear && m_direction > 0.0 && m_factor > 0.0 && std::isfinite(m_factor); }
    // On an ascending mapping: a value below which every value maps left of the pixel; it stays
    // a little short of the exact edge, so that no rounding puts a value beyond it.
    double ValueBefore(int pixel) const
    {
        const double perPixel = 1.0 / m_factor;
        const double edge = m_min + (pixel - m_origin) * perPixel;
        return edge - 1e-9 * (std::fabs(edge) + std::fabs(m_min) + perPixel);
    }
    bool operator==(const AxisMapping& o) const
    {
        return m_linear == o.m_linear && m_origin == o.m_origin && m_direction == o.m_direction && m_min == o.m_min &&
               m_factor == o.m_factor && m_length == o.m_length && m_logMin == o.m_logMin && m_span == o.m_span;
    }
    // Out-of-range pixels all land at the limit, a value that is not a number at its negative.
    static int ToPixel(double v)
    {
        if (std::isnan(v)) return static_cast<int>(-kPixelLimit);
        return static_cast<int>(std::clamp(v, -kPixelLimit, kPixelLimit));
    }

private:
    friend class CXGraphAxis;
    static constexpr double kPixelLimit = 16777216.0;
    bool m_linear = true;
    double m_origin = 0.0;     // plot left (X axis) or bottom (Y axis)
    double m_direction = 1.0;  // +1 rightwards, -1 upwards
    double m_min = 0.0;
    double m_factor = 1.0;     // linear: pixels per value unit
    double m_length = 1.0;     // logarithmic: pixels of the axis
    double m_logMin = 0.0;
    double m_span = 1.0;       // logarithmic: decades shown
};

struct AxisZoomEntry {
    double min = 0.0;
    double max = 0.0;
    // Whether the user had chosen that range, and the base range when it was left: a range
    // the chart only fitted to its data is shown as the data stand now when the zoom is undone.
    bool userRange = false;
    bool scalingHeld = false;  // a pan or the cursor held the automatic scaling
    double baseMin = 0.0;
    double baseMax = 0.0;
};

class CXGraphAxis : public CXGraphObject {
public:
    enum EAxisKind { xAxis = 0, yAxis = 1 };

    CXGraphAxis();
    CXGraphAxis(const CXGraphAxis& other);
    CXGraphAxis& operator=(const CXGraphAxis& other);
    CXGraphAxis(CXGraphAxis&& other) noexcept = default;
    CXGraphAxis& operator=(CXGraphAxis&& other) noexcept = default;
    ~CXGraphAxis() override;

    const char* GetRuntimeClass() const override { return "CXGraphAxis"; }
    // The axis record of chart files; it has no common object block.
    void Serialize(CArchive& ar) override;
    void Draw(CDCEx* dc) override;
    void DrawLog(CDCEx* dc);
    void DrawColorRanges(CDCEx* dc);
    void DrawValueLines(CDCEx* dc);
    int DrawCurveMarkers(CDCEx* dc, bool draw);
    void DrawCurveMarker(CDCEx* dc, int x, int y, int number, int size, COLORREF color, bool useSymbol);
    static void DrawArrow(CDCEx* dc, int x, int y, int direction, int size);

    // Range and step
    bool SetRange(double min, double max);
    bool SetCurrentRange(double min, double max, double step = 0.0);
    void ResetZoom();
    void GetRangeAndStep(double& min, double& max, double& step) const;
    void CalcStepFromLabelSize();
    void AutoScale(CDCEx* dc);
    static double NiceStep(int count, double min, double max);
    static void RoundRange(double& min, double& max, double step);
    static double NiceStepTime(int count, double min, double max);
    static void RoundRangeTime(double& min, double& max, double step);
    // Every how many steps a tick is drawn, so that neighbouring labels of labelExtent pixels
    // along the axis stay apart: 1, 2, 5, 10, 20, 50, ... steps of pixelsPerStep pixels.
    static int TickStride(double pixelsPerStep, double labelExtent);

    // Formats
    void SetDecimalPlaces(unsigned int places);
    void SetDisplayFormat(const CString& format) { m_sFormat = format; }
    const CString& GetDisplayFormat() const { return m_sFormat; }
    void SetLabel(const CString& label) { m_sLabel = label; }
    const CString& GetLabel() const { return m_sLabel; }
    // The tick label of a value: the display format, or a date text on a date axis.
    CString FormatTickLabel(double value, bool dateForm) const;
    CString FormatTickLabel(double value) const { return FormatTickLabel(value, m_bDateTime); }

    // Mapping between values and client pixels
    AxisMapping GetMapping() const;
    void GetPointForValue(POINT* out, const ChartPoint* value) const;
    CPoint GetPointForValue(const ChartPoint& value) const;
    double GetValueForPos(int pos) const;
    // The point of curve n next to x: may be one past the last point (see ClampPointIndex).
    void FindPointIndex(int& index, double x, int curve) const;

    // Layout measures
    int GetMaxLabelWidth(CDCEx* dc);
    int GetMaxLabelHeight(CDCEx* dc);
    CSize GetTitleSize(CDCEx* dc);

    // Fonts
    void SetTickFont(const LOGFONT* lf);
    void SetTickFont(const char* face, int height, int weight);
    void SetTitleFont(const LOGFONT* lf);
    void SetTitleFont(const char* face, int height, int weight);

    // Decorations
    void SetValueLine(int index, double value, COLORREF color, int penStyle);
    void DeleteValueLine(int index);
    AxisValueLine& GetValueLine(int index) { return m_ValueLines.at(static_cast<std::size_t>(index)); }
    int GetValueLineCount() const { return static_cast<int>(m_ValueLines.size()); }

    // Plain accessors
    void SetAutoScale(bool on)
    {
        m_bAutoScale = on;
        m_bAutoScaleHeld = false;
    }
    // A pan, the cursor or the wheel moves the shown range by hand: an axis that scaled itself
    // stops doing so until its chart draws new data (ResumeAutoScale). An axis whose scaling
    // the user switched off stays as it is.
    void HoldAutoScale()
    {
        m_bAutoScaleHeld = m_bAutoScaleHeld || m_bAutoScale;
        m_bAutoScale = false;
    }
    void ResumeAutoScale()
    {
        if (m_bAutoScaleHeld) m_bAutoScale = true;
        m_bAutoScaleHeld = false;
    }
    // Automatic scaling as the user set it: on unless the user switched it off (a pan or the
    // cursor only holds it).
    bool GetAutoScaleSetting() const { return m_bAutoScale || m_bAutoScaleHeld; }
    // The shown range is the user's (a zoom, pan, wheel or key, a slider, a manual range):
    // data fitted to the axis then moves only its base range, until the user gives the range
    // back (reset, or an undo of the zoom that took it).
    void HoldUserRange() { m_bUserRange = true; }
    void ReleaseUserRange() { m_bUserRange = false; }
    bool IsUserRange() const { return m_bUserRange; }
    // The range of the data drawn on the axis: the base range, and the shown range as well
    // unless the user holds it. A range the program fits is scaled automatically again when
    // only a pan or the cursor had held the scaling.
    bool FitRange(double min, double max);
    void SetShowMarkers(bool on) { m_bShowMarkers = on; }
    bool GetShowMarkers() const { return m_bShowMarkers; }
    void SetPlacement(int placement) { m_nPlacement = placement; }
    int GetPlacement() const { return m_nPlacement; }
    void SetShowGrid(bool on) { m_bShowGrid = on; }
    bool GetShowGrid() const { return m_bShowGrid; }
    void SetDateTime(bool on) { m_bDateTime = on; }
    bool GetDateTime() const { return m_bDateTime; }
    void SetLogarithmic(bool on) { m_nScale = on ? 0 : 1; }
    void SetGridColor(COLORREF color) { m_crGridColor = color; }
    COLORREF GetGridColor() const { return m_crGridColor; }
    void SetGridStyle(int style) { m_nGridStyle = style; }
    int GetGridStyle() const { return m_nGridStyle; }
    void SetArrowSize(int size) { m_nArrowSize = size; }
    int GetArrowSize() const { return m_nArrowSize; }
    void SetTickLength(int length) { m_nTickLength = length; }
    int GetTickLength() const { return m_nTickLength; }
    void SetMarkerSize(int size) { m_nMarkerSize = size; }
    int GetMarkerSize() const { return m_nMarkerSize; }

    // Colour ranges reach an axis only from a chart file: no step of the program makes one.
    std::vector<ColorRange> m_ColorRanges;
    std::vector<AxisZoomEntry> m_ZoomHistory;
    std::vector<AxisValueLine> m_ValueLines;
    double m_dBaseMin;
    double m_dBaseMax;
    double m_dMin;
    double m_dMax;
    double m_dStep = 0.1;
    double m_dHeadSpace = 0.0;
    double m_dMarkerSpace = 0.0;
    mutable double m_dRange = 1.0;
    int m_nOriginY = 0;
    int m_nOriginX = 0;
    int m_nLength = 1;
    CRect m_rcPlot;
    CFont m_TickFont;
    CFont m_TitleFont;
    int m_nKind = xAxis;
    int m_nScale = 1;
    int m_nPlacement = 2;
    bool m_bShowMarkers = true;
    bool m_bDateTime = false;
    bool m_bShowGrid = true;
    bool m_bAutoScale = true;
    bool m_bAutoScaleHeld = false;  // switched off by a pan, the cursor or the wheel, not by the user
    bool m_bUserRange = false;      // the shown range is the user's (HoldUserRange)
    CString m_sLabel = " ";
    CString m_sFormat = "%5.3f";
    int m_nArrowSize = 5;
    int m_nMarkerSize = 10;
    int m_nTickLength = 5;
    COLORREF m_crGridColor = RGB(150, 150, 150);
    int m_nGridStyle = PS_DOT;

private:
    void CopyFrom(const CXGraphAxis& other);
    bool TakeRange(double min, double max, double step, bool asBase);
    // The plot rectangle of the owning chart, or the axis's own copy without one.
    CRect PlotRect() const;
    CSize ScaleAndMeasureHead(CDCEx* dc);
    void DrawAcrossPlot(CDCEx* dc);
    void DrawTitle(CDCEx* dc, CSize title, int farEnd);
    void DrawAxisLine(CDCEx* dc, int farEnd);
    void DrawTicks(CDCEx* dc, double pixelsPerStep, int farEnd);
    double LabelExtentAlongAxis(CDCEx* dc, double lastStep);
    int FirstStrideTick(int stride) const;
    void DrawTick(CDCEx* dc, double value, double pos, bool label, bool transparentGrid, bool dateForm);
    int CurveIndexBase() const;
};

// Indexes from FindPointIndex lie in 0..count; this brings them to a point that exists
// (-1 for a curve without points).
int ClampPointIndex(int index, int count);
