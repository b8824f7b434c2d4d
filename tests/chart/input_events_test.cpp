// The chart window driven by Qt's own event sequences, as a user's hand produces them: a double
// click (press, release, double click, release), a held key (auto-repeated releases before the
// real one) and a horizontal wheel turn.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include "chart_test_support.h"

using namespace chart;
using chart_test::Line;
using chart_test::MakeChart;
using chart_test::RecordingParent;

namespace {

class InputEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        chart = MakeChart();
        chart->SetNotifyWindow(&parent);
        points = Line();
        chart->SetCurveData(points.data(), 11, 0, 0, 0, true, false, false);
        chart->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(chart.get()));
        chart->OnPaint();
        parent.Clear();
    }
    QPoint PixelOf(ChartPoint p)
    {
        return {chart->GetXAxis(0).GetPointForValue(p).x, chart->GetYAxis(0).GetPointForValue(p).y};
    }
    void DoubleClick(QPoint p)
    {
        QTest::mousePress(chart.get(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseRelease(chart.get(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseDClick(chart.get(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseRelease(chart.get(), Qt::LeftButton, Qt::NoModifier, p);
        chart->OnPaint();
    }
    void Send(QEvent& event) { QCoreApplication::sendEvent(chart.get(), &event); }

    RecordingParent parent;
    std::unique_ptr<CXGraph> chart;
    std::vector<ChartPoint> points;
};

}  // namespace

TEST_F(InputEvents, TheReleaseAfterADoubleClickDoesNothing)
{
    {
        SCOPED_TRACE("select mode: one click, then the double click, nothing after it");
        DoubleClick(PixelOf({5.5, 5.5}));
        parent.loop().RunUntilIdle();
        std::vector<UINT> curveMessages;
        for (const auto& m : parent.messages) {
            if (m.message == XG_CURVECLICK || m.message == XG_CURVEDBLCLICK) curveMessages.push_back(m.message);
        }
        EXPECT_EQ((std::vector<UINT>{XG_CURVECLICK, XG_CURVEDBLCLICK}), curveMessages);
        EXPECT_FALSE(chart->m_bLButtonDown);
    }
    {
        SCOPED_TRACE("cursor mode: one notation");
        chart->OnCursorMode();
        chart->OnPaint();
        const QPoint p = PixelOf({4, 4});
        QMouseEvent move(QEvent::MouseMove, p, chart->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        Send(move);
        DoubleClick(p);
        EXPECT_EQ(2u, chart->GetObjects().size());
    }
    {
        SCOPED_TRACE("measure mode: one measurement");
        chart->OnMeasureMode();
        chart->OnPaint();
        DoubleClick(PixelOf({6, 6}));
        EXPECT_EQ(1u, chart->GetMeasurements().size());
    }
}

TEST_F(InputEvents, AHeldArrowKeyPansOneStepAtTheRealRelease)
{
    CXGraphAxis& x = chart->GetXAxis(0);
    x.SetCurrentRange(0, 10, 0);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    Send(press);
    for (int i = 0; i < 5; ++i) {
        QKeyEvent repeatedRelease(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, QString(), true);
        QKeyEvent repeatedPress(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier, QString(), true);
        Send(repeatedRelease);
        Send(repeatedPress);
    }
    EXPECT_DOUBLE_EQ(0.0, x.m_dMin);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
    Send(release);
    EXPECT_DOUBLE_EQ(1.0, x.m_dMin);
    EXPECT_DOUBLE_EQ(11.0, x.m_dMax);
}

TEST_F(InputEvents, OnlyTheVerticalWheelMovesTheAxes)
{
    CXGraphAxis& x = chart->GetXAxis(0);
    const double min = x.m_dMin;
    const double width = x.m_dMax - x.m_dMin;
    const QPointF at(100, 100);
    QWheelEvent horizontal(at, chart->mapToGlobal(at), QPoint(), QPoint(120, 0), Qt::NoButton, Qt::NoModifier,
                           Qt::NoScrollPhase, false);
    Send(horizontal);
    EXPECT_EQ(min, x.m_dMin);
    QWheelEvent vertical(at, chart->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
    Send(vertical);
    EXPECT_DOUBLE_EQ(min - width / 10, x.m_dMin);
}
