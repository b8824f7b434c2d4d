// The chart window: feeding, layout, zoom, pan, wheel, keys, the hit test with its
// notifications, objects, the cursor, and the back buffer kept over overlay-only changes.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>

#include "chart/chart_hooks.h"

#include "chart/recording_device.h"
#include "chart_test_support.h"

using namespace chart;
using chart_test::Line;
using chart_test::MakeChart;
using chart_test::RecordingParent;
using chart::DrawRecord;
using chart::RecordingDevice;

namespace {

class ChartWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        chart = MakeChart();
        chart->SetNotifyWindow(&parent);
        points = Line();
        chart->SetCurveData(points.data(), 11, 0, 0, 0, true, false, false);
        chart->OnPaint();
        parent.Clear();
    }
    // The client pixel of a curve point.
    CPoint PixelOf(int curve, ChartPoint p)
    {
        CXGraphAxis* x = nullptr;
        CXGraphAxis* y = nullptr;
        chart->GetCurveAxes(curve, x, y);
        return {x->GetPointForValue(p).x, y->GetPointForValue(p).y};
    }
    // The mouse pointer's shape over a point: what a press there would do.
    Qt::CursorShape PointerAt(CPoint p)
    {
        chart->m_ptCursor = p;
        chart->UpdateCursorShape();
        return chart->cursor().shape();
    }
    void Click(CPoint p)
    {
        chart->m_ptCursor = p;
        chart->OnLButtonDown(MK_LBUTTON, p);
        chart->OnLButtonUp(0, p);
        chart->OnPaint();
    }

    RecordingParent parent;
    std::unique_ptr<CXGraph> chart;
    std::vector<ChartPoint> points;
};

}  // namespace

TEST_F(ChartWindow, NewCurvesTakeTheirColourFromTheTable)
{
    for (int i = 1; i < 13; ++i) chart->SetCurveData(points.data(), 11, i, 0, 0, false, false, false);
    EXPECT_EQ(chart->GetCurve(0).GetColor(), chart->GetCurve(12).GetColor());
    EXPECT_EQ(chart->GetCurve(2).GetColor(), chart->GetCurve(4).GetColor());
    EXPECT_EQ(nullptr, chart->SetCurveData(nullptr, 5, 13, 0, 0, false, false, false));
    EXPECT_EQ(nullptr, chart->SetCurveData(points.data(), 0, 13, 0, 0, false, false, false));
    EXPECT_EQ(nullptr, chart->SetCurveData(points.data(), 11, 20, 0, 0, false, false, false));
}

TEST_F(ChartWindow, ReplacingACurveKeepsItsSettings)
{
    chart->SetCurveData(points.data(), 11, 1, 0, 0, false, false, false);
    CXGraphDataSerie& curve = chart->GetCurve(1);
    curve.SetLabel("B");
    curve.SetLineStyle(PS_DOT);
    curve.SetVisible(false);
    const COLORREF color = curve.GetColor();
    const auto other = Line(5, 2.0);
    chart->SetCurveData(other.data(), 5, 1, 0, 0, false, false, false);
    EXPECT_EQ(5, chart->GetCurve(1).GetCount());
    EXPECT_EQ(color, chart->GetCurve(1).GetColor());
    EXPECT_EQ(CString("B"), chart->GetCurve(1).GetLabel());
    EXPECT_EQ(PS_DOT, chart->GetCurve(1).GetLineStyle());
    EXPECT_FALSE(chart->GetCurve(1).GetVisible());
}

TEST_F(ChartWindow, ZoomNeedsFifteenPixelsAndUndoWalksBack)
{
    chart->OnZoomMode();
    const CRect plot = chart->GetPlotRect();
    const double min0 = chart->GetXAxis(0).m_dMin;
    chart->m_rcZoom = CRect(plot.left + 10, plot.top + 10, plot.left + 24, plot.top + 110);
    chart->ApplyZoom();
    EXPECT_EQ(0, chart->GetZoomDepth());
    EXPECT_TRUE(parent.Take(XG_ZOOMCHANGED).empty());
    chart->m_rcZoom = CRect(plot.left + 10, plot.top + 10, plot.left + 200, plot.top + 200);
    chart->ApplyZoom();
    chart->OnPaint();
    const double min1 = chart->GetXAxis(0).m_dMin;
    chart->m_rcZoom = CRect(plot.left + 10, plot.top + 10, plot.left + 25, plot.top + 25);
    chart->ApplyZoom();
    EXPECT_EQ(2, chart->GetZoomDepth());
    EXPECT_EQ(2u, parent.Take(XG_ZOOMCHANGED).size());
    chart->OnUndoZoom();
    EXPECT_EQ(min1, chart->GetXAxis(0).m_dMin);
    chart->OnUndoZoom();
    EXPECT_EQ(min0, chart->GetXAxis(0).m_dMin);
    EXPECT_EQ(0, chart->GetZoomDepth());
}

TEST_F(ChartWindow, WheelMovesXAxesOrWithShiftYAxesByATenth)
{
    CXGraphAxis& x = chart->GetXAxis(0);
    CXGraphAxis& y = chart->GetYAxis(0);
    const double xMin = x.m_dMin, xWidth = x.m_dMax - x.m_dMin, yMin = y.m_dMin;
    chart->OnMouseWheel(0, 120, CPoint());
    chart->OnPaint();  // the range the wheel moved to is kept, not rounded to the scale again
    EXPECT_DOUBLE_EQ(xMin + xWidth / 10, x.m_dMin);
    EXPECT_EQ(yMin, y.m_dMin);
    chart->OnMouseWheel(MK_SHIFT, -1, CPoint());
    EXPECT_LT(y.m_dMin, yMin);
}

TEST_F(ChartWindow, KeypadPlusNarrowsEveryAxisByATenthOnEachSide)
{
    CXGraphAxis& y = chart->GetYAxis(0);
    y.SetCurrentRange(0, 10, 0);
    chart->OnKeyUp(VK_ADD);
    EXPECT_DOUBLE_EQ(1.0, y.m_dMin);
    EXPECT_DOUBLE_EQ(9.0, y.m_dMax);
    chart->OnKeyUp(VK_HOME);
    EXPECT_EQ(y.m_dBaseMin, y.m_dMin);
}

TEST_F(ChartWindow, AlternatePlacementsResolveOneLeftOneRight)
{
    auto two = MakeChart();
    two->SetCurveData(points.data(), 11, 0, 0, 0, true, false, false);
    two->SetCurveData(points.data(), 11, 1, 0, 1, true, false, false);
    two->OnPaint();
    EXPECT_EQ(0, two->GetYAxis(0).GetPlacement());
    EXPECT_EQ(1, two->GetYAxis(1).GetPlacement());
    EXPECT_LT(two->GetYAxis(0).m_nOriginX, two->GetYAxis(1).m_nOriginX);
    two->Invalidate();
    two->OnPaint();
    EXPECT_EQ(1, two->GetYAxis(1).GetPlacement());
}

TEST_F(ChartWindow, LegendKeepsNumbersOfHiddenCurvesAndItsSide)
{
    chart->SetCurveData(points.data(), 11, 1, 0, 0, false, false, false);
    chart->SetCurveData(points.data(), 11, 2, 0, 0, false, false, false);
    chart->ShowCurve(1, false);
    chart->OnPaint();
    ASSERT_EQ(2u, chart->GetLegendEntries().size());
    EXPECT_EQ(2, chart->GetLegendEntries()[1].curve);
    const int rightLegendPlotLeft = chart->GetPlotRect().left;
    chart->SetLegendPosition(0);
    chart->Invalidate();
    chart->OnPaint();
    EXPECT_GT(chart->GetPlotRect().left, rightLegendPlotLeft);
    EXPECT_GT(chart->GetPlotRect().left, chart->GetLegendEntries()[0].rect.right);
}

TEST_F(ChartWindow, LegendEntriesSurviveAppendedCurves)
{
    const CRect row = chart->GetLegendEntries()[0].rect;
    for (int i = 1; i < 40; ++i) chart->SetCurveData(points.data(), 11, i, 0, 0, false, false, false);
    chart->m_ptCursor = CPoint(row.left + 2, row.top + 2);
    chart->SelectAtCursor(false, false);
    EXPECT_TRUE(chart->GetCurve(0).m_bSelected);
}

TEST_F(ChartWindow, ClickOnACurvePostsItsIndex)
{
    const CPoint p = PixelOf(0, {5.5, 5.5});
    Click(p);
    const auto clicks = parent.Take(XG_CURVECLICK);
    ASSERT_EQ(1u, clicks.size());
    EXPECT_EQ(0u, clicks[0].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(chart.get()), clicks[0].lParam);
    EXPECT_TRUE(chart->GetCurve(0).m_bSelected);
}

TEST_F(ChartWindow, DoubleClicksPostWhatTheyHit)
{
    chart->m_ptCursor = CPoint(chart->GetPlotRect().right - 5, chart->GetPlotRect().top + 5);
    chart->OnLButtonDblClk(0, chart->m_ptCursor);
    EXPECT_EQ(1u, parent.Take(XG_GRAPHDBLCLICK).size());
    parent.Clear();
    chart->m_ptCursor = PixelOf(0, {5.5, 5.5});
    chart->OnLButtonDblClk(0, chart->m_ptCursor);
    EXPECT_EQ(1u, parent.Take(XG_CURVEDBLCLICK).size());
}

TEST_F(ChartWindow, PaintingIntoAContextKeepsTheWindowsLayout)
{
    const CRect plot = chart->GetPlotRect();
    auto device = std::make_shared<RecordingDevice>(1000, 800);
    CDC dc(device);
    chart->PaintToDC(&dc);
    EXPECT_EQ(plot, chart->GetPlotRect());
    const auto fills = device->Of(DrawRecord::Op::FillRect);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(CRect(0, 0, 400, 300), fills[0].rect);
}

TEST_F(ChartWindow, SelectedAxisGetsValueLinesAndRightClickDeletesThem)
{
    CXGraphAxis& y = chart->GetYAxis(0);
    Click(CPoint(y.m_nOriginX, chart->GetPlotRect().top + 100));
    ASSERT_TRUE(y.m_bSelected);
    EXPECT_EQ(1u, parent.Take(XG_YAXISCLICK).size());
    const CPoint inPlot(chart->GetPlotRect().left + 50, chart->GetPlotRect().top + 80);
    Click(inPlot);
    ASSERT_EQ(1, y.GetValueLineCount());
    EXPECT_EQ(0u, y.GetValueLine(0).color);
    EXPECT_NEAR(y.GetValueForPos(inPlot.y), y.GetValueLine(0).value, 1e-9);
    chart->m_ptCursor = inPlot;
    chart->OnRButtonDown(MK_RBUTTON, inPlot);
    chart->OnRButtonUp(0, inPlot);
    EXPECT_EQ(0, y.GetValueLineCount());
}

TEST_F(ChartWindow, DeleteRemovesTrackedObjectsButNeverTheCursorLabel)
{
    CXGraphLabel* label = chart->CreateLabel(20, 20, 80, 60, "x");
    chart->OnPaint();
    Click(CPoint(40, 40));
    ASSERT_TRUE(label->m_bTracking);
    chart->OnLButtonDown(MK_LBUTTON, CPoint(40, 40));
    chart->OnLButtonUp(0, CPoint(40, 40));
    ASSERT_EQ(Qt::SizeAllCursor, PointerAt(CPoint(40, 40)));
    EXPECT_TRUE(chart->DeleteSelectedObject());
    EXPECT_EQ(1u, chart->GetObjects().size());
    EXPECT_EQ(Qt::ArrowCursor, PointerAt(CPoint(40, 40)));

    // The cursor's read-out shows at the plot's top left; pressed there it is tracked as well.
    chart->OnCursorMode();
    const CPoint readOut(chart->GetPlotRect().left + 20, chart->GetPlotRect().top + 20);
    chart->OnMouseMove(0, readOut);
    chart->OnPaint();
    Click(readOut);
    chart->OnLButtonDown(MK_LBUTTON, readOut);
    chart->OnLButtonUp(0, readOut);
    ASSERT_EQ(Qt::SizeAllCursor, PointerAt(readOut));
    const std::size_t objects = chart->GetObjects().size();
    EXPECT_FALSE(chart->DeleteSelectedObject());
    EXPECT_EQ(objects, chart->GetObjects().size());
}

TEST_F(ChartWindow, TrackerDragMovesALabel)
{
    CXGraphLabel* label = chart->CreateLabel(20, 20, 80, 60, "x");
    chart->OnPaint();
    Click(CPoint(40, 40));
    ASSERT_TRUE(label->m_bTracking);
    chart->OnLButtonDown(MK_LBUTTON, CPoint(40, 40));
    chart->OnMouseMove(MK_LBUTTON, CPoint(50, 45));
    chart->OnLButtonUp(0, CPoint(50, 45));
    EXPECT_EQ(CRect(30, 25, 90, 65), label->GetRect());
}

TEST_F(ChartWindow, DoubleClickOnALabelEditsItInPlace)
{
    CXGraphLabel* label = chart->CreateLabel(20, 20, 120, 60, "old");
    label->SetAlignment(1);
    chart->OnPaint();
    chart->m_ptCursor = CPoint(40, 40);
    chart->OnLButtonDblClk(0, chart->m_ptCursor);
    ASSERT_TRUE(label->m_bEditing);
    ASSERT_NE(nullptr, label->GetEditControl());
    EXPECT_TRUE(parent.Take(XG_CURVEDBLCLICK).empty());
    label->GetEditControl()->setPlainText("new\ntext");
    Click(CPoint(300, 250));
    EXPECT_FALSE(label->m_bEditing);
    EXPECT_EQ(CString("new\ntext"), label->GetText());
}

TEST_F(ChartWindow, CursorModeClickPinsANotationToTheSnappedPoint)
{
    chart->OnCursorMode();
    chart->OnPaint();
    const CPoint p = PixelOf(0, {4, 4});
    chart->OnMouseMove(0, CPoint(p.x, p.y + 3));
    EXPECT_EQ(1u, parent.Take(XG_CURSORMOVED).size());
    EXPECT_EQ(0, chart->m_nMeasureCurveStart);
    chart->OnLButtonDown(MK_LBUTTON, chart->m_ptCursor);
    chart->OnLButtonUp(0, chart->m_ptCursor);
    ASSERT_EQ(2u, chart->GetObjects().size());
    auto* notation = dynamic_cast<CXGraphDataNotation*>(chart->GetObjects().back());
    ASSERT_NE(nullptr, notation);
    EXPECT_EQ(0, notation->m_nCurve);
    EXPECT_GE(notation->m_nIndex, 3);
    EXPECT_LE(notation->m_nIndex, 5);
    // The read-out of the cursor stays on the screen.
    auto device = std::make_shared<RecordingDevice>(400, 300);
    CDC dc(device);
    chart->PaintToDC(&dc);
    const auto texts = device->Of(DrawRecord::Op::DrawText);
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const DrawRecord& r) { return r.text.Find("X[01]") >= 0; }));
}

TEST_F(ChartWindow, CursorAtTheEndOfACurveReadsItsLastPoint)
{
    // Beyond the last point's x the search answers one past the end: the cursor still snaps to
    // the last point and a click pins the notation to it.
    chart->OnCursorMode();
    chart->OnPaint();
    const CPoint last = PixelOf(0, {10, 10});
    const CPoint beyond(chart->GetPlotRect().right - 1, last.y + 2);
    ASSERT_GT(beyond.x, last.x);
    chart->OnMouseMove(0, beyond);
    EXPECT_EQ(0, chart->m_nMeasureCurveStart);
    EXPECT_EQ(10.0, chart->m_dCursorY);
    chart->OnLButtonDown(MK_LBUTTON, beyond);
    chart->OnLButtonUp(0, beyond);
    auto* notation = dynamic_cast<CXGraphDataNotation*>(chart->GetObjects().back());
    ASSERT_NE(nullptr, notation);
    EXPECT_EQ(10, notation->m_nIndex);
    EXPECT_EQ(CString("[11] : 10.000 ,10.000 "), notation->m_sText);
}

TEST_F(ChartWindow, PointModeDragMovesThePointAndPosts)
{
    chart->OnPointMode();
    chart->OnPaint();
    const CPoint p = PixelOf(0, {5, 5});
    // A click snaps to the point, the pointer offers to move it, a drag away from the line moves it.
    Click(p);
    EXPECT_EQ(Qt::SizeVerCursor, PointerAt(p));
    chart->m_ptCursor = p;
    chart->OnLButtonDown(MK_LBUTTON, p);
    chart->OnMouseMove(MK_LBUTTON, CPoint(p.x, p.y));
    chart->OnMouseMove(MK_LBUTTON, CPoint(p.x, p.y - 40));
    EXPECT_FALSE(parent.Take(XG_POINTCHANGED).empty());
    int moved = 0;
    for (int i = 0; i < 11; ++i) moved += chart->GetCurve(0).GetY(i) > i + 1.0;
    EXPECT_EQ(1, moved);
}

TEST_F(ChartWindow, OverlayChangesKeepTheBackBuffer)
{
    chart->OnZoomMode();
    chart->OnPaint();
    const QImage plain = chart->grab().toImage();
    const int renders = chart->GetBackBufferRenderCount();
    const CRect plot = chart->GetPlotRect();
    chart->OnLButtonDown(MK_LBUTTON, CPoint(plot.left + 5, plot.top + 5));
    for (int i = 0; i < 10; ++i) {
        chart->OnMouseMove(MK_LBUTTON, CPoint(plot.left + 20 + i, plot.top + 30));
        chart->OnPaint();
    }
    EXPECT_EQ(renders, chart->GetBackBufferRenderCount());
    EXPECT_NE(plain, chart->grab().toImage());
    // Without an overlay the picture shows the back buffer again, nothing of the rectangle left.
    chart->OnSelectMode();
    chart->OnPaint();
    EXPECT_EQ(plain, chart->grab().toImage());
    chart->OnCursorMode();
    chart->OnPaint();
    const int cursorRenders = chart->GetBackBufferRenderCount();
    for (int i = 0; i < 10; ++i) {
        chart->OnMouseMove(0, CPoint(plot.left + 20 + i, plot.top + 30));
        chart->OnPaint();
    }
    EXPECT_EQ(cursorRenders, chart->GetBackBufferRenderCount());
    chart->Invalidate();
    chart->OnPaint();
    EXPECT_EQ(cursorRenders + 1, chart->GetBackBufferRenderCount());
}

TEST_F(ChartWindow, LabelConnectorRunsFromTheMiddlePointAndNeverFromAnEmptyCurve)
{
    CXGraphLabel* label = chart->CreateLabel(20, 20, 80, 60, "x");
    label->SetCurve(0);
    const CPoint centre(50, 40);
    const auto connectors = [&]() {
        auto device = std::make_shared<chart::RecordingDevice>(chart->width(), chart->height());
        CDC dc(device);
        chart->PaintToDC(&dc);
        std::vector<chart::DrawRecord> out;
        for (const chart::DrawRecord& r : device->Of(chart::DrawRecord::Op::Line)) {
            if (r.rect.right == centre.x && r.rect.bottom == centre.y) out.push_back(r);
        }
        return out;
    };
    const auto lines = connectors();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(PixelOf(0, {5, 5}).x, lines[0].rect.left);
    chart->GetCurve(0).SetPoints(points.data(), 0, false);
    EXPECT_TRUE(connectors().empty());
    label->SetCurve(3);
    EXPECT_TRUE(connectors().empty());
}

TEST_F(ChartWindow, RightClickOnALabelOpensItsMenuElsewhereThePostedMessage)
{
    CXGraphLabel* label = chart->CreateLabel(20, 20, 80, 60, "x");
    chart->OnPaint();
    Hooks& hooks = GetHooks();
    const Hooks saved = hooks;
    std::vector<int> offered;
    CXGraphLabel* edited = nullptr;
    hooks.popupMenu = [&](QWidget*, QPoint, const std::vector<MenuItem>& items) {
        for (const MenuItem& item : items) offered.push_back(item.command);
        return static_cast<int>(IDM_LABEL_PROPERTIES);
    };
    hooks.labelProperties = [&](CXGraphLabel& l) { edited = &l; };
    chart->m_ptCursor = CPoint(40, 40);
    chart->OnLButtonDown(MK_LBUTTON, CPoint(40, 40));
    chart->OnRButtonDown(MK_RBUTTON, CPoint(40, 40));
    chart->OnRButtonUp(0, CPoint(40, 40));
    EXPECT_EQ(std::vector<int>{static_cast<int>(IDM_LABEL_PROPERTIES)}, offered);
    EXPECT_EQ(label, edited);
    EXPECT_TRUE(parent.Take(XG_RBUTTONUP).empty());
    chart->m_ptCursor = CPoint(300, 250);
    chart->OnRButtonUp(0, CPoint(300, 250));
    EXPECT_EQ(1u, parent.Take(XG_RBUTTONUP).size());
    hooks = saved;
}

TEST_F(ChartWindow, ResetAllForgetsSelectedAndActiveObjects)
{
    chart->CreateLabel(20, 20, 80, 60, "x");
    chart->OnPaint();
    Click(CPoint(40, 40));
    chart->OnLButtonDown(MK_LBUTTON, CPoint(40, 40));
    chart->OnLButtonUp(0, CPoint(40, 40));
    ASSERT_EQ(Qt::SizeAllCursor, PointerAt(CPoint(40, 40)));
    chart->ResetAll();
    EXPECT_EQ(Qt::ArrowCursor, PointerAt(CPoint(40, 40)));
    EXPECT_FALSE(chart->DeleteSelectedObject());
    EXPECT_EQ(1u, chart->GetObjects().size());
}

TEST_F(ChartWindow, MeasureModeStoresSnappedMeasurements)
{
    const auto half = Line(11, 0.5);
    chart->SetCurveData(half.data(), 11, 1, 0, 0, false, false, false);
    chart->OnMeasureMode();
    chart->OnPaint();
    const CPoint a = PixelOf(0, {2, 2});
    // The drag ends on the other curve: the end stays on the curve the drag started on.
    const CPoint b = PixelOf(1, {8, 4});
    chart->OnLButtonDown(MK_LBUTTON, CPoint(a.x, a.y + 4));
    chart->OnMouseMove(MK_LBUTTON, CPoint(b.x, b.y - 4));
    chart->OnLButtonUp(0, CPoint(b.x, b.y - 4));
    ASSERT_EQ(1u, chart->GetMeasurements().size());
    EXPECT_EQ(0, chart->GetMeasurements()[0].start.curve);
    EXPECT_EQ(0, chart->GetMeasurements()[0].end.curve);
    EXPECT_EQ(2, chart->GetMeasurements()[0].start.index);
    EXPECT_EQ(8, chart->GetMeasurements()[0].end.index);
}

TEST_F(ChartWindow, CommandsArriveThroughTheChartsWindow)
{
    chart->Wnd().SendMessage(WM_COMMAND, IDM_PAN_MODE, 0);
    EXPECT_EQ(OP_PAN, chart->GetOperation());
    chart->Wnd().SendMessage(WM_COMMAND, IDM_PROPERTIES, 0);
    EXPECT_EQ(1u, parent.Take(XG_PROPERTIES).size());
    chart->Wnd().SendMessage(WM_COMMAND, IDM_INSERT_LABEL, 0);
    EXPECT_EQ(2u, chart->GetObjects().size());
}

TEST_F(ChartWindow, WidgetEventsReachTheHandlers)
{
    chart->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chart.get()));
    chart->OnPaint();
    const CPoint p = PixelOf(0, {5.5, 5.5});
    QTest::mouseClick(chart.get(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
    parent.loop().RunUntilIdle();
    EXPECT_EQ(1u, parent.Take(XG_CURVECLICK).size());
    chart->GetYAxis(0).SetCurrentRange(0, 10, 0);
    QTest::keyClick(chart.get(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_DOUBLE_EQ(1.0, chart->GetYAxis(0).m_dMin);
}
