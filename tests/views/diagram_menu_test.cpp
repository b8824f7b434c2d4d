// The diagram's context menu with a measurement of the simulated sensor in the chart: each mode
// chosen changes what the mouse does, a trend becomes a curve, the chart prints on a PDF page.

#include <gtest/gtest.h>

#include <QFile>
#include <QMouseEvent>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "chart/chart_hooks.h"
#include "chart/chart_page.h"
#include "chart/xgraph.h"
#include "tests/views/stream_bench.h"
#include "views/aform_diagram.h"

namespace {

// One second of a sine on channel A and a ramp on B; the menu answers with the entry named.
struct MenuBench : views_test::StreamBench {
    MenuBench()
    {
        diagram.resize(720, 480);
        diagram.show();
        diagram.LoadChannelSetup();
        diagram.StartGraph(true);
        Measure(1000);
        com.COM_StopMeasure();
        diagram.RepaintSamples();
        graph.OnPaint();
        hooks.popupMenu = [this](QWidget*, QPoint, const std::vector<chart::MenuItem>& items) {
            for (const chart::MenuItem& item : items)
                if (item.text == wanted && item.enabled) return item.command;
            return 0;
        };
    }
    ~MenuBench() { hooks = saved; }
    // A right click at the point (the plot's top left corner, where no curve runs), then the entry.
    void Choose(const char* entry, QPoint at = {70, 10})
    {
        wanted = entry;
        QTest::mouseClick(&graph, Qt::RightButton, {}, at);
        loop.RunUntilIdle();
    }
    QPoint PixelOf(int index)
    {
        const ChartPoint p{graph.GetCurve(0).GetX(index), graph.GetCurve(0).GetY(index)};
        return {graph.GetXAxis(0).GetPointForValue(p).x, graph.GetYAxis(0).GetPointForValue(p).y};
    }
    // Pressed, moved (the window painting after each move) and released.
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(&graph, Qt::LeftButton, {}, from);
        for (QPoint p : {from, to}) {
            QMouseEvent move(QEvent::MouseMove, p, graph.mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&graph, &move);
            graph.OnPaint();
        }
        QTest::mouseRelease(&graph, Qt::LeftButton, {}, to);
        loop.RunUntilIdle();
    }

    chart::Hooks& hooks = chart::GetHooks();
    const chart::Hooks saved = hooks;
    CAFormDiagram diagram{views, refresher};
    CXGraph& graph = diagram.Display().Graph();
    CString wanted;
};

}  // namespace

TEST(DiagramMenu, EachModeChangesWhatTheMouseDoesATrendBecomesACurveAndTheChartPrints)
{
    MenuBench b;
    ASSERT_TRUE(b.connected);
    ASSERT_EQ(b.graph.GetCurveCount(), 2);
    const CXGraphAxis& x = b.graph.GetXAxis(0);
    const double min = x.m_dMin, width = x.m_dMax - x.m_dMin;
    b.Choose("Zoomen");
    b.Drag({200, 100}, {450, 300});
    EXPECT_GT(x.m_dMin, min);
    EXPECT_LT(x.m_dMax - x.m_dMin, 0.85 * width);
    b.Choose("Zoom zurücksetzen");
    b.Choose("Verschieben");
    const double moved = x.GetValueForPos(400) - x.GetValueForPos(300);
    b.Drag({300, 200}, {400, 200});
    EXPECT_NEAR(x.m_dMin, min - moved, 1e-9);
    b.Choose("Cursor");
    b.Drag(b.PixelOf(50), b.PixelOf(50));
    EXPECT_EQ(b.graph.GetObjects().size(), 2u);  // the read-out and the notation pinned
    b.Choose("Messen");
    b.Drag(b.PixelOf(40), b.PixelOf(120));
    ASSERT_EQ(b.graph.GetMeasurements().size(), 1u);
    EXPECT_NEAR(b.graph.GetMeasurements()[0].end.index, 120, 2);
    b.Choose("Auswählen");
    b.Choose("Linearer Trend");  // no curve under the click: not offered
    b.Choose("Kubischer Trend", b.PixelOf(100));
    ASSERT_EQ(b.graph.GetCurveCount(), 3);
    EXPECT_EQ(b.graph.GetCurve(2).m_sLabel, CString("A cubic trend"));
    b.Choose("Eigenschaften");
    EXPECT_FALSE(b.diagram.Display().ChartPage().isHidden());

    // Printed and printed from the preview: one page of the printer's size holding the chart.
    QTemporaryDir dir;
    QString pdf;
    b.hooks.printerPresent = [] { return false; };
    b.hooks.printDialog = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    b.hooks.printPreview = [&](QWidget*, QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
        return b.hooks.printDialog(printer) && (paint(printer), true);
    };
    const QSizeF page = QPrinter().pageLayout().fullRect(QPageLayout::Point).size();
    for (const char* entry : {"Drucken...", "Druckvorschau..."}) {
        // The range shown is printed and kept, after a zoom that was reset or that was panned.
        const bool print = QString(entry).startsWith("Drucken");
        b.Choose("Zoomen");
        b.Drag({200, 100}, {450, 300});
        b.Choose(print ? "Zoom zurücksetzen" : "Verschieben");
        if (!print) b.Drag({300, 200}, {380, 200});
        const double shownMin = x.m_dMin, shownMax = x.m_dMax;
        pdf = dir.filePath(QString(entry).remove('.'));
        b.Choose(entry);
        EXPECT_DOUBLE_EQ(x.m_dMin, shownMin) << entry;
        EXPECT_DOUBLE_EQ(x.m_dMax, shownMax) << entry;
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << entry;
        const QString text = QString::fromLatin1(file.readAll());
        EXPECT_EQ(text.count(QRegularExpression(R"(/Type /Page\b(?!s))")), 1);
        EXPECT_TRUE(text.contains(QString("/MediaBox [0 0 %1.000000 %2.000000]").arg(page.width()).arg(page.height())));
        EXPECT_GT(file.size(), 10000);  // a page with only a fill takes under 2000 bytes
    }
    // No printer is said before the print dialog, not before the preview; a file that cannot
    // be written too.
    pdf = dir.filePath("missing/x.pdf");
    b.Choose("Drucken...");
    ASSERT_EQ(b.boxes.Count(), 3u);
    EXPECT_NE(b.boxes.Boxes()[0].text.Find("kein Drucker"), -1);
    EXPECT_NE(b.boxes.Boxes()[2].text.Find("missing/x.pdf"), -1);
}
