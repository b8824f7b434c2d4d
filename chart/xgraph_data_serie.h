#pragma once
// CXGraphDataSerie: one curve of the chart: its points, how it is drawn (line or dots, pen,
// markers, area fill), which axes it is plotted against, the pixel segments of its last
// drawing for hit tests, and its trend operations.

#include <vector>

#include "chart/chart_point.h"
#include "chart/column_path.h"
#include "chart/xgraph_object.h"

struct CurveSegment {
    int x1, y1, x2, y2;
};

// What one walk over a curve's points found: the extent of x and y, and whether x never falls.
struct CurvePointSummary {
    const ChartPoint* points = nullptr;  // the array walked
    int walked = 0;                      // points walked so far
    double xMin = 0.0, xMax = 0.0, yMin = 0.0, yMax = 0.0;  // over the finite values only
    bool anyX = false, anyY = false;                       // whether there were any
    bool xAscending = true;
};

// What decides a curve's pixels besides its path: the pen's colour as drawn, width and style,
// dots or a line, and whether an area is filled under it.
struct CurveLook {
    COLORREF color = 0;
    int width = 0;
    int style = 0;
    int type = 0;
    bool filled = false;
    bool operator==(const CurveLook&) const = default;
    // How far beyond its points the curve's pixels reach across.
    int Reach() const { return 2 * width + 2; }
};

class CXGraphDataSerie : public CXGraphObject {
public:
    CXGraphDataSerie();
    CXGraphDataSerie(const CXGraphDataSerie& other);
    CXGraphDataSerie& operator=(const CXGraphDataSerie& other);
    CXGraphDataSerie(CXGraphDataSerie&& other) noexcept;
    CXGraphDataSerie& operator=(CXGraphDataSerie&& other) noexcept;
    ~CXGraphDataSerie() override;

    const char* GetRuntimeClass() const override { return "CXGraphDataSerie"; }
    void Serialize(CArchive& ar) override;
    void Draw(CDCEx* dc) override;
    void DrawMarkers(CDCEx* dc);
    // Draw in two steps: the pixel path of the curve in the chart's plot (the segments of the
    // hit test made anew), false when it draws nothing; then the path from point `from` on in
    // the look GetLook gave, the area under it filled only when it is drawn whole.
    bool BuildPath(std::vector<POINT>& path);
    void DrawPath(CDCEx* dc, const std::vector<POINT>& path, std::size_t from, const CurveLook& look);
    CurveLook GetLook(bool mono) const;

    void AddSegment(int x1, int y1, int x2, int y2) { m_Segments.push_back({x1, y1, x2, y2}); }
    static bool IsNearSegment(int x1, int y1, int x2, int y2, int px, int py, int width);

    double GetY(int index) const;
    int GetCount() const { return m_nCount; }
    const ChartPoint* GetPoints() const { return m_pPoints; }

    // Points: owned (a private copy, freed with the curve) or borrowed from the caller.
    void SetPoints(const ChartPoint* points, int count, bool copy);
    // Writes y of point index when it exists.
    bool SetPointY(int index, double y);
    // The extent and order of the points. A lent array stays unchanged while the curve uses it,
    // so when the same array comes back longer only the new points are walked.
    const CurvePointSummary& GetPointSummary() const;
    bool IsXAscending() const { return GetPointSummary().xAscending; }

    // Trends; new arrays the caller owns, null with fewer than two points.
    ChartPoint* GetLinearTrend(int extraPoints) const;
    ChartPoint* GetCubicTrend(int extraPoints) const;

    // Plain accessors
    void SetLineStyle(int style) { m_nLineStyle = style; }
    int GetLineStyle() const { return m_nLineStyle; }
    void SetLineWidth(int width) { m_nLineWidth = width; }
    int GetLineWidth() const { return m_nLineWidth; }
    void SetMarker(int marker) { m_nMarker = marker; }
    int GetMarker() const { return m_nMarker; }
    void SetMarkerSize(int size) { m_nMarkerSize = size; }
    int GetMarkerSize() const { return m_nMarkerSize; }
    void SetMarkerType(int type) { m_nMarkerType = type; }
    int GetMarkerType() const { return m_nMarkerType; }
    void SetShowMarker(bool show) { m_bShowMarker = show; }
    bool GetShowMarker() const { return m_bShowMarker; }
    void SetLabel(const CString& label) { m_sLabel = label; }
    CString GetLabel() const { return m_sLabel; }
    void SetType(int type) { m_nType = type; }
    int GetType() const { return m_nType; }
    void SetFillArea(bool fill) { m_bFillArea = fill; }
    bool GetFillArea() const { return m_bFillArea; }
    void SetFillStyle(int style) { m_nFillStyle = style; }
    int GetFillStyle() const { return m_nFillStyle; }
    void SetFillTransparent(bool transparent) { m_bFillTransparent = transparent; }
    bool GetFillTransparent() const { return m_bFillTransparent; }
    // The curve index to fill up to, -1 for the bottom of the plot.
    void SetFillCurve(int curve) { m_nFillCurve = static_cast<short>(curve); }
    int GetFillCurve() const { return m_nFillCurve; }

    ChartPoint* m_pPoints = nullptr;
    int m_nCount = 0;
    // An index range that chart files carry; nothing draws by it.
    int m_nFirstIndex = 0;
    int m_nLastIndex = 0;
    int m_nXAxis = 0;
    int m_nYAxis = 0;
    int m_nIndex = 0;
    int m_nLineWidth = 1;
    int m_nFillStyle = 6;
    int m_nMarkerType = 0;
    int m_nMarker = 0;
    int m_nMarkerSize = 10;
    int m_nLineStyle = PS_SOLID;
    bool m_bAutoDelete = false;
    bool m_bShowMarker = false;
    bool m_bFillArea = false;
    bool m_bFillTransparent = true;
    COLORREF m_crFillColor = RGB(255, 255, 255);
    CString m_sLabel = " ";
    int m_nType = 0;
    short m_nFillCurve = 1;
    std::vector<CurveSegment> m_Segments;

private:
    // What walks and draws of the points found; forgotten whenever the points change otherwise
    // than by a lent array growing.
    mutable CurvePointSummary m_Summary;
    mutable chart::ColumnPathCache m_Columns;

    void ForgetSummary()
    {
        m_Summary = CurvePointSummary();
        m_Columns = chart::ColumnPathCache();
    }
    // The curve the area is filled up to (null: the bottom of the plot); fill is cleared when
    // that curve cannot be filled to.
    const CXGraphDataSerie* FillTarget(bool& fill) const;
    void ReleasePoints();
    void CopyPointsFrom(const CXGraphDataSerie& other);
    void CopySettingsFrom(const CXGraphDataSerie& other);
    ChartPoint* Trend(int extraPoints, double (*value)(int k, double a, double b), double a, double b) const;
};
