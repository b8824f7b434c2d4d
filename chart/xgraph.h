#pragma once
// CXGraph: the chart window. It owns curves, X and Y axes and a list of free chart objects
// (labels and data notations, the cursor read-out label at its head), paints them with a
// legend, zoom rectangle, measuring arrow and cursor, answers mouse and keys, prints, writes
// bitmaps and chart files, and tells its parent window what happened by posted messages
// (wParam as listed, lParam the chart).
//
// Painting keeps two pictures: the back buffer with everything that only changes when data or
// settings change (axes, curves, markers, stored measurements), and the shown picture, that
// back buffer with the overlays (zoom rectangle, live measurement, cursor, objects, hover
// value) drawn on a copy. Overlay-only changes never render the curves again.

#include <QImage>
#include <QWidget>
#include <list>
#include <memory>
#include <vector>

#include "chart/chart_point.h"
#include "chart/chart_texts.h"
#include "chart/curve_layer.h"
#include "chart/dcex.h"
#include "chart/xgraph_axis.h"
#include "chart/xgraph_data_serie.h"
#include "chart/xgraph_label.h"
#include "platform/wnd.h"

class QPrinter;

namespace chart {

// Commands the chart answers (sent as WM_COMMAND to its window, or called directly).
constexpr UINT IDM_SELECT_MODE = 60000;
constexpr UINT IDM_INSERT_LABEL = 60001;
constexpr UINT IDM_ZOOM_MODE = 60002;
constexpr UINT IDM_RESET_ZOOM = 60003;
constexpr UINT IDM_PAN_MODE = 60004;
constexpr UINT IDM_EDIT_OBJECT = 60005;
constexpr UINT IDM_LABEL_PROPERTIES = 60006;
constexpr UINT IDM_PRINT = 60007;
constexpr UINT IDM_LINEAR_TREND = 60009;
constexpr UINT IDM_CUBIC_TREND = 60010;
constexpr UINT IDM_CURSOR_MODE = 60011;
constexpr UINT IDM_PROPERTIES = 60012;
constexpr UINT IDM_UNDO_ZOOM = 60013;
constexpr UINT IDM_MEASURE_MODE = 60014;
constexpr UINT IDM_POINT_MODE = 60015;
constexpr UINT WM_COMMAND = 0x0111;

// Messages posted to the parent window.
constexpr UINT XG_YAXISCLICK = WM_USER + 1;
constexpr UINT XG_XAXISCLICK = WM_USER + 2;
constexpr UINT XG_CURVECLICK = WM_USER + 3;
constexpr UINT XG_YAXISDBLCLICK = WM_USER + 4;
constexpr UINT XG_XAXISDBLCLICK = WM_USER + 5;
constexpr UINT XG_CURVEDBLCLICK = WM_USER + 6;
constexpr UINT XG_GRAPHDBLCLICK = WM_USER + 7;
constexpr UINT XG_RBUTTONUP = WM_USER + 8;
constexpr UINT XG_CURSORMOVED = WM_USER + 9;
constexpr UINT XG_ZOOMCHANGED = WM_USER + 10;
constexpr UINT XG_POINTCHANGED = WM_USER + 11;
constexpr UINT XG_CURVEHOVER = WM_USER + 12;
constexpr UINT XG_PROPERTIES = 60012;

// Mouse modes
constexpr int OP_SELECT = 0;
constexpr int OP_ZOOM = 1;
constexpr int OP_PAN = 3;
constexpr int OP_CURSOR = 4;
constexpr int OP_POINT = 7;
constexpr int OP_MEASURE = 8;

// Options bits
constexpr int OPT_HORZ_CURSOR_LINE = 1;
constexpr int OPT_VERT_CURSOR_LINE = 2;
constexpr int OPT_CURSOR_LABEL = 4;

}  // namespace chart

struct MeasurePoint {
    int curve = -1;
    int index = -1;
};

struct Measurement {
    MeasurePoint start;
    MeasurePoint end;
};

struct LegendEntry {
    CRect rect;
    int curve = -1;  // the curve's index: entries survive curves being appended
};

class CXGraph : public QWidget {
public:
    explicit CXGraph(QWidget* parent = nullptr);
    ~CXGraph() override;

    // The window that receives the chart's posted messages, and the chart's own window, which
    // takes the commands (WM_COMMAND with the command id in wParam).
    void SetNotifyWindow(CWnd* parent) { m_pNotifyWnd = parent; }
    CWnd& Wnd();
    bool OnCommand(UINT id);

    // Feeding and structure
    CXGraphDataSerie* SetCurveData(const ChartPoint* points, int count, int curve, int xAxis, int yAxis, bool fitAxes,
                                   bool copy, bool fitToData);
    void FitAxesToCurve(int xAxis, int yAxis, int curve);
    void GetCurveExtent(const CXGraphDataSerie& curve, double& xMin, double& xMax, double& yMin, double& yMax) const;
    bool DeleteCurve(int n);
    bool DeleteXAxis(int n);
    bool DeleteYAxis(int n);
    CXGraphDataSerie& GetCurve(int n) { return m_Curves.at(static_cast<std::size_t>(n)); }
    CXGraphAxis& GetXAxis(int n) { return m_XAxes.at(static_cast<std::size_t>(n)); }
    CXGraphAxis& GetYAxis(int n) { return m_YAxes.at(static_cast<std::size_t>(n)); }
    int GetCurveCount() const { return static_cast<int>(m_Curves.size()); }
    int GetXAxisCount() const { return static_cast<int>(m_XAxes.size()); }
    int GetYAxisCount() const { return static_cast<int>(m_YAxes.size()); }
    int GetCurveIndex(const CXGraphDataSerie* curve) const;
    int GetAxisIndex(const CXGraphAxis* axis) const;
    void SetDecimalPlaces(int axis, int places, int which);
    CXGraphLabel* CreateLabel(int left, int top, int right, int bottom, const CString& text);
    CXGraphLabel* InsertLabel(const CString& text);
    void InsertDataNotation(int curve, int index);
    // The text of a notation pinned to a point, as that point is now; empty when the curve does
    // not have it.
    CString NotationText(int curve, int index);
    // The point of a curve that a measurement or notation names, null when the curve does not
    // have it.
    const ChartPoint* MeasuredPoint(const MeasurePoint& point);
    int GetZoomDepth() const;
    // Every axis that a pan, the cursor or the wheel stopped scaling scales itself again.
    void ResumeAutoScale();
    // The axes of a curve, when both exist.
    bool GetCurveAxes(int curve, CXGraphAxis*& xAxis, CXGraphAxis*& yAxis);
    const std::list<CXGraphObject*>& GetObjects() const { return m_Objects; }
    const std::vector<Measurement>& GetMeasurements() const { return m_Measurements; }
    const std::vector<LegendEntry>& GetLegendEntries() const { return m_LegendEntries; }

    // Properties
    void SetBackColor(COLORREF c) { m_crBackColor = c; }
    COLORREF GetBackColor() const { return m_crBackColor; }
    void SetOuterColor(COLORREF c) { m_crOuterColor = c; }
    COLORREF GetOuterColor() const { return m_crOuterColor; }
    void SetInnerColor(COLORREF c) { m_crInnerColor = c; }
    COLORREF GetInnerColor() const { return m_crInnerColor; }
    void SetShowLegend(bool show) { m_bShowLegend = show; }
    bool GetShowLegend() const { return m_bShowLegend; }
    void SetDoubleBuffer(bool on) { m_bDoubleBuffer = on; }
    bool GetDoubleBuffer() const { return m_bDoubleBuffer; }
    void SetLegendPosition(int align) { m_nLegendAlign = align; }
    int GetLegendPosition() const { return m_nLegendAlign; }
    void SetSnap(bool snap) { m_bSnapCursor = snap; }
    bool GetSnap() const { return m_bSnapCursor; }
    void SetSnapRange(int range) { m_nSnapRange = range; }
    int GetSnapRange() const { return m_nSnapRange; }
    int GetOperation() const { return m_nOperation; }
    // The curve the trend commands take: the one under the last click, else the one the user
    // had selected (clicked, its legend row, the property sheet) before a right click elsewhere,
    // else the only curve shown; -1 when none of these is.
    int GetTrendCurve() const;
    const CRect& GetPlotRect() const { return m_rcPlot; }

    // Painting. Invalidate renders everything again at the next paint; the overlay variant
    // only redraws the overlays over the kept back buffer.
    void Invalidate(bool erase = true);
    void InvalidateOverlay();
    void OnPaint();
    void PaintToDC(CDC* dc);
    int GetBackBufferRenderCount() const { return m_nBaseRenders; }
    const chart::CurveLayer& GetCurveLayer() const { return m_CurveLayer; }

    // Mode commands
    void OnSelectMode();
    void OnZoomMode();
    void OnResetZoom();
    void OnPanMode();
    void OnCursorMode();
    void OnUndoZoom();
    void OnMeasureMode();
    void OnPointMode();
    void OnInsertLabel();
    void OnEditObject();
    void OnLinearTrend();
    void OnCubicTrend();
    void OnProperties();

    // Mouse and keys, in client pixels (Qt's events arrive here too).
    void OnMouseMove(UINT flags, CPoint point);
    bool OnMouseWheel(UINT flags, int delta, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnKeyUp(UINT key);
    // The Delete key's removal of the selected, tracked object (never the cursor label).
    bool DeleteSelectedObject();
    void UpdateCursorShape();

    // Hit test and selection
    bool SelectAtCursor(bool doubleClick, bool testOnly);
    bool SelectCurve(int n);
    bool SelectXAxis(int n);
    bool SelectYAxis(int n);
    void ShowCurve(int n, bool visible);
    void AddLinearTrend(int curve);
    void AddCubicTrend(int curve);
    void DrawCursor(CDCEx* dc);
    void DrawCursorLabel(CDCEx* dc);

    // Printing and pictures
    void OnPrint();
    void PrintGraph(CDC* dc);
    void PrintGraphRect(CDC* dc, int left, int top, int right, int bottom);
    // A DIB (header, one colour entry, 32-bit rows bottom-up) of what the window shows now;
    // empty when there is nothing to show.
    std::vector<BYTE> GetBitmap();
    bool SaveBitmap(const CString& fileName);

    // Chart files
    bool Save(const CString& fileName, UINT flags);
    bool Load(const CString& fileName);
    // Storing writes the flags given; loading reads everything into a staging copy first and
    // changes the chart only when the whole file was read (throws CArchiveException).
    void Serialize(CArchive& ar, UINT flags);
    void ResetAll();

    // Layout and zoom helpers (also used by tests)
    void ApplyZoom();
    void DoPan(int x, int y);
    void SnapMeasurePoint(CPoint& point);
    void DrawMeasurements(CDCEx* dc);
    // The legend's rows and box, measured before anything is drawn; the box's side is taken
    // from inner.
    struct LegendLayout {
        std::vector<std::pair<int, CString>> rows;  // curve index and text
        CRect box;
        int rowHeight = 0;
    };
    LegendLayout LayoutLegend(CDCEx* dc, CRect& inner);
    void DrawLegend(CDCEx* dc, const LegendLayout& legend);
    void DrawZoomRect(CDCEx* dc);

    // Members, as the chart's parts share them.
    COLORREF m_crBackColor;
    COLORREF m_crOuterColor;
    COLORREF m_crInnerColor;
    bool m_bDoubleBuffer = true;
    bool m_bShowLegend = true;
    bool m_bDirectDraw = false;
    int m_nLegendAlign = 1;
    bool m_bSnapCursor = true;
    int m_nSnapRange = 10;
    int m_nOptions = 7;
    CDCEx* m_pPrintDC = nullptr;
    CDCEx* m_pTargetDC = nullptr;
    CRectTracker* m_pActiveObject = nullptr;
    CRect m_rcPlot;
    CRect m_rcMeasure;
    CRect m_rcPrint;
    CPoint m_ptPanAnchor;
    int m_nOperation = chart::OP_SELECT;
    int m_nMeasureCurveStart = -1;
    int m_nMeasureCurveEnd = 0;
    int m_nMarginLeft = 5;
    int m_nMarginTop = 5;
    int m_nMarginRight = 5;
    int m_nMarginBottom = 5;
    int m_nAxisSpacing = 5;
    int m_nCursorCurve = -1;
    CRect m_rcZoom;
    std::unique_ptr<QImage> m_pPicture;
    CPoint m_ptMouseDown;
    CPoint m_ptHit{-1, -1};
    CPoint m_ptMouseUp;
    CPoint m_ptCursor;
    bool m_bLButtonDown = false;
    bool m_bRButtonDown = false;
    bool m_bHoverHit = false;
    double m_dHoverValue = 0.0;
    bool m_bShowHoverValue = false;
    int m_nSelectedCurve = -1;
    int m_nSelectionBeforeRButton = -1;  // the curve selected when the right button went up
    CXGraphLabel m_CursorLabel;
    MeasurePoint m_MeasureStart;
    MeasurePoint m_MeasureEnd;
    std::vector<Measurement> m_Measurements;
    std::vector<LegendEntry> m_LegendEntries;
    std::vector<CXGraphDataSerie> m_Curves;
    std::vector<CXGraphAxis> m_XAxes;
    std::vector<CXGraphAxis> m_YAxes;
    std::list<CXGraphObject*> m_Objects;
    CXGraphObject* m_pSelectedObject = nullptr;
    double m_dCursorX = 0.0;
    double m_dCursorY = 0.0;
    int m_nCursorPoint = -1;  // the point of m_nMeasureCurveStart the cursor snapped to

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    class ChartWnd;
    enum class Stage { Base, Overlay, All };

    void Notify(UINT message, WPARAM wParam);
    void Paint(CDCEx* dc, const CRect& drawing, Stage stage);
    // fillOnce: the background's areas are filled piece by piece, each pixel once.
    void PaintBase(CDCEx* dc, const CRect& drawing, bool fillOnce);
    void PaintOverlay(CDCEx* dc);
    // Whether PaintOverlay draws anything at all.
    bool HasOverlay() const;
    void RenderScreen();
    void HideCursorLabel() { m_CursorLabel.SetVisible(false); }
    void DrawHoverValue(CDCEx* dc);
    // Draws straight onto the shown picture, as mouse moves did on the window.
    void DrawDirect(void (CXGraph::*draw)(CDCEx*));
    // The measurement being dragged, from the pressed point to the cursor.
    void DrawLiveMeasure(CDCEx* dc);
    void DrawPrint(CDCEx* dc, const CRect& area);
    void AddTrend(int curve, ChartPoint* points, chart::ChartText kind);
    // The one curve shown that is selected, -1 when none or several are.
    int SelectedCurveIndex() const;
    int FindCurvePoint(int curve, double x);
    // The point of a curve that a pixel picks and the pixel it snaps to: on a curve whose x never
    // falls the point at the pixel's x, at the pixel's x and the point's height (the distance is
    // the height between them); on a curve drawn over a channel the point nearest on screen.
    struct PickedPoint {
        int index = -1;
        CPoint pixel;
        double distance = 0.0;
    };
    PickedPoint PickCurvePoint(int curve, CPoint at);
    // The arrow between two pixels with the differences of the measured points.
    void DrawMeasureArrow(CDCEx* dc, int x1, int y1, int x2, int y2, const Measurement& measured);

    std::unique_ptr<ChartWnd> m_pWnd;
    CWnd* m_pNotifyWnd = nullptr;
    QImage m_backBuffer;
    // The picture's own pixels while it shows the back buffer itself, kept for the next overlay.
    QImage m_sparePicture;
    bool m_bBaseDirty = true;
    int m_nBaseRenders = 0;
    chart::CurveLayer m_CurveLayer;

    // Value-line drags and the snapped point of the hit test.
    int m_nDragValueLineY = -1;
    int m_nDragValueLineX = -1;
    int m_nSnappedCurve = -1;
    int m_nSnappedPoint = -1;
};
