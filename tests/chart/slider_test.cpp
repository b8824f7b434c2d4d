// The range slider and the click-to-position slider.
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart/nice_slider.h"
#include "chart/range_slider.h"
#include "chart/range_slider_model.h"
#include "platform/dialog.h"
#include "platform/message_loop.h"
#include "platform/sys_color.h"

using namespace chart;

namespace {

// A window that records the messages the sliders send and post to it.
class RecordingWindow : public CDialog {
public:
    RecordingWindow() : CDialog(1) {}
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Message> received;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.push_back({message, wParam, lParam});
        return 0;
    }
};

struct ModelWithLog {
    RangeSliderModel model;
    std::vector<int> changes;
    ModelWithLog()
    {
        model.onChange = [this](int which) { changes.push_back(which); };
    }
};

}  // namespace

TEST(RangeSliderModel, TotalRangeIsOrderedAndClampsTheInterval)
{
    ModelWithLog s;
    s.model.SetTotalRange(10, 0);
    s.model.SetInterval(2, 5);
    EXPECT_EQ(s.model.Layout(240, 20, true).leftArrow.left, 42);  // 2 of 0 to 10
    EXPECT_EQ(s.model.Max(), 10.0);
    s.model.SetInterval(2, 8);
    s.changes.clear();
    s.model.SetTotalRange(0, 5);
    EXPECT_EQ(s.model.Right(), 5.0);
    EXPECT_EQ(s.changes, std::vector<int>{kRangeRightChanged});
}

TEST(RangeSliderModel, AnIntervalBelowTheRangeMovesBothBounds)
{
    ModelWithLog s;
    s.model.SetTotalRange(10, 20);
    EXPECT_EQ(s.model.Left(), 10.0);
    EXPECT_EQ(s.model.Right(), 10.0);
    EXPECT_EQ(s.changes, (std::vector<int>{kRangeLeftChanged, kRangeRightChanged}));
}

TEST(RangeSliderModel, InvertingTwiceInARowChangesTheValuesOnce)
{
    RangeSliderModel m;
    m.SetTotalRange(0, 10);
    m.SetInterval(2, 4);
    EXPECT_TRUE(m.SetInverted(true));
    EXPECT_FALSE(m.SetInverted(true));
    EXPECT_EQ(m.Left(), -4.0);
    double left = 0, right = 0;
    m.GetInterval(left, right);
    EXPECT_EQ(left, 2.0);
    EXPECT_EQ(right, 4.0);
    m.SetInterval(5, 7);
    EXPECT_EQ(m.Left(), -7.0);
    m.GetInterval(left, right);
    EXPECT_EQ(left, 5.0);
}

TEST(RangeSliderModel, VisibleBandIsOrderedInsideTheRangeAndShownOnlyOnceSet)
{
    RangeSliderModel m;
    m.SetTotalRange(0, 100);
    m.SetInterval(0, 100);
    m.SetShowVisibleRange(true);
    EXPECT_FALSE(m.Layout(200, 20, false).showBand);
    m.SetVisibleBand(150, 40);
    EXPECT_EQ(m.VisibleRight(), 100.0);
    const RangeSliderGeometry g = m.Layout(200, 20, false);
    ASSERT_TRUE(g.showBand);
    // a = 15, L = 170: 40 % of the track, after the left thumb.
    EXPECT_EQ(g.band.left, 68 + 15);
    EXPECT_EQ(g.band.right, 170 + 15);
}

TEST(RangeSliderModel, LayoutPlacesThumbsAndInterval)
{
    RangeSliderModel m;
    m.SetTotalRange(0, 10);
    m.SetInterval(2, 5);
    const RangeSliderGeometry g = m.Layout(240, 20, true);
    EXPECT_EQ(g.arrowWidth, 15);
    EXPECT_EQ(g.trackLength, 210);
    EXPECT_EQ(g.leftArrow.left, 42);
    EXPECT_EQ(g.rightArrow.left, 105 + 15);
    EXPECT_EQ(g.interval.left, 42 + 15 + 1);
    EXPECT_EQ(g.focus.top, 4);

    ASSERT_TRUE(m.SetVertical(true));
    const RangeSliderGeometry v = m.Layout(20, 240, false);
    EXPECT_EQ(v.leftArrow.top, 42);
    EXPECT_EQ(v.leftArrow.right, 20);
}

TEST(RangeSliderModel, AnEmptyRangeOrNoTrackPaintsAtTheStartAndIgnoresMouseAndKeys)
{
    ModelWithLog s;
    s.model.SetTotalRange(3, 3);
    const RangeSliderGeometry g = s.model.Layout(200, 20, false);
    EXPECT_EQ(g.leftArrow.left, 0);
    EXPECT_EQ(g.rightArrow.left, 15);
    s.changes.clear();
    EXPECT_TRUE(s.model.Key(RangeSliderKey::Increase, false));
    EXPECT_TRUE(s.changes.empty());

    ModelWithLog narrow;
    narrow.model.SetTotalRange(0, 10);
    narrow.model.SetInterval(2, 8);
    narrow.model.Layout(20, 20, false);  // two thumbs of 15 do not fit in 20 pixels
    ASSERT_LE(narrow.model.TrackLength(), 0);
    narrow.changes.clear();
    narrow.model.Key(RangeSliderKey::Increase, false);
    if (narrow.model.Press(2, 10, 20, 20)) narrow.model.Move(30, 10);
    EXPECT_TRUE(narrow.changes.empty());
    EXPECT_EQ(narrow.model.Left(), 2.0);
    EXPECT_EQ(narrow.model.Right(), 8.0);
    EXPECT_TRUE(std::isfinite(narrow.model.Left()));
}

TEST(RangeSliderModel, DraggingTheBarAgainstTheLowerEndKeepsTheWidth)
{
    ModelWithLog s;
    s.model.SetTotalRange(0, 100);
    s.model.SetInterval(40, 60);
    const RangeSliderGeometry g = s.model.Layout(240, 20, false);
    const int barX = (g.leftArrow.right + g.rightArrow.left) / 2;
    ASSERT_TRUE(s.model.Press(barX, 10, 240, 20));
    EXPECT_EQ(s.model.DragPart(), 2);
    s.model.Move(barX - 500, 10);
    EXPECT_EQ(s.model.Left(), 0.0);
    EXPECT_DOUBLE_EQ(s.model.Right(), 20.0);
    EXPECT_EQ(s.changes.back(), kRangeBothMoved);
    EXPECT_TRUE(s.model.Release());
}

TEST(RangeSliderModel, DraggingAThumbStopsAtTheOtherAndAtTheEnds)
{
    ModelWithLog s;
    s.model.SetTotalRange(0, 100);
    s.model.SetInterval(40, 60);
    const RangeSliderGeometry g = s.model.Layout(240, 20, false);
    ASSERT_TRUE(s.model.Press(g.leftArrow.left + 2, 10, 240, 20));
    EXPECT_EQ(s.model.DragPart(), 0);
    s.model.Move(230, 10);
    EXPECT_EQ(s.model.Left(), 60.0);
    s.model.Move(-100, 10);
    EXPECT_EQ(s.model.Left(), 0.0);
    EXPECT_EQ(s.changes.back(), kRangeLeftChanged);
    s.model.Release();

    const RangeSliderGeometry h = s.model.Layout(240, 20, false);
    ASSERT_TRUE(s.model.Press(h.rightArrow.left + 2, 10, 240, 20));
    s.model.Move(1000, 10);
    EXPECT_EQ(s.model.Right(), 100.0);
}

TEST(RangeSliderModel, KeysStepByOnePixelAndShiftMovesOnlyTheRightBound)
{
    ModelWithLog s;
    s.model.SetTotalRange(0, 210);
    s.model.SetInterval(10, 20);
    s.model.Layout(240, 20, false);  // one pixel is one unit
    s.model.Key(RangeSliderKey::Increase, false);
    EXPECT_DOUBLE_EQ(s.model.Left(), 11.0);
    EXPECT_DOUBLE_EQ(s.model.Right(), 21.0);
    EXPECT_EQ(s.changes.back(), kRangeBothMoved);
    s.model.Key(RangeSliderKey::Decrease, true);
    EXPECT_DOUBLE_EQ(s.model.Left(), 11.0);
    EXPECT_DOUBLE_EQ(s.model.Right(), 20.0);
    EXPECT_EQ(s.changes.back(), kRangeLeftChanged);

    // At the end nothing moves, but the change is still announced.
    s.model.SetInterval(200, 210);
    s.changes.clear();
    s.model.Key(RangeSliderKey::Increase, false);
    EXPECT_DOUBLE_EQ(s.model.Right(), 210.0);
    EXPECT_EQ(s.changes, std::vector<int>{kRangeBothMoved});
}

class SliderWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(400, 200);
        window.show();
    }
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    RecordingWindow window;
};

TEST_F(SliderWidgetTest, RangeSliderSendsItsRegisteredMessageWhileDragging)
{
    auto* slider = new CRangeSlider(&window);
    slider->Create(0, 10, 10, 250, 30, &window, 100);
    slider->SetTotalRange(0, 210);
    slider->SetInterval(50, 100);
    window.received.clear();
    const RangeSliderGeometry g = slider->LastGeometry();
    const QPoint bar((g.leftArrow.right + g.rightArrow.left) / 2, 10);
    QTest::mousePress(slider, Qt::LeftButton, {}, bar);
    QTest::mouseMove(slider, bar + QPoint(10, 0));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, bar + QPoint(10, 0));
    ASSERT_FALSE(window.received.empty());
    EXPECT_EQ(window.received.back().message, CRangeSlider::ChangedMessage());
    EXPECT_EQ(window.received.back().wParam, 2u);
    EXPECT_GE(CRangeSlider::ChangedMessage(), 0xC000u);
    double left = 0, right = 0;
    slider->GetInterval(left, right);
    EXPECT_NEAR(right - left, 50.0, 1e-9);
    EXPECT_GT(left, 50.0);
    EXPECT_FALSE(slider->Model().IsDragging());

    window.received.clear();
    QTest::keyClick(slider, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_TRUE(window.received.empty());
    QTest::keyClick(slider, Qt::Key_Left);
    ASSERT_EQ(window.received.size(), 1u);
}

TEST_F(SliderWidgetTest, RangeSliderPrefersItsNotifyWindow)
{
    RecordingWindow other;
    auto* slider = new CRangeSlider(&window);
    slider->SetNotifyWindow(&other);
    slider->SetTotalRange(5, 10);
    EXPECT_TRUE(window.received.empty());
    EXPECT_EQ(other.received.size(), 2u);
}

TEST(NiceSliderPosition, ClicksMapOntoTheRangeAndStayInsideIt)
{
    // A channel from 10 to 210 for 0 to 100; the last two far beyond it while the button is held.
    for (const auto& [at, expected] : {std::pair{210, 100}, {10, 0}, {110, 50}, {5000, 100}, {-5000, 0}}) {
        int pos = -1;
        ASSERT_TRUE(NiceSliderPositionAt(0, 100, 10, 210, at, pos)) << at;
        EXPECT_EQ(pos, expected) << at;
    }
    int pos = -1;
    EXPECT_FALSE(NiceSliderPositionAt(0, 100, 10, 10, 10, pos));
}

TEST_F(SliderWidgetTest, NiceSliderJumpsAndReportsThroughHScroll)
{
    auto* slider = new CNiceSliderCtrl(Qt::Horizontal, &window);
    slider->setGeometry(10, 10, 300, 30);
    slider->SetRange(0, 100);
    slider->show();
    const QRect channel = slider->GetChannelRect();
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(channel.right() + 40, 15));
    EXPECT_EQ(slider->GetPos(), 100);
    loop.RunUntilIdle();
    ASSERT_EQ(window.received.size(), 2u);
    EXPECT_EQ(window.received[0].message, WM_HSCROLL);
    EXPECT_EQ(window.received[0].wParam, (100u << 16) | TB_THUMBTRACK);
    EXPECT_EQ(window.received[1].wParam, (100u << 16) | TB_THUMBPOSITION);
    EXPECT_EQ(window.received[1].lParam, static_cast<LPARAM>(slider->GetSafeHwnd()));
}

TEST_F(SliderWidgetTest, NiceSliderClickOnTheCurrentPositionPostsNothing)
{
    auto* slider = new CNiceSliderCtrl(Qt::Horizontal, &window);
    slider->setGeometry(10, 10, 300, 30);
    slider->SetRange(0, 100);
    slider->SetPos(0);
    slider->show();
    const QRect channel = slider->GetChannelRect();
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(channel.left(), 15));
    loop.RunUntilIdle();
    EXPECT_TRUE(window.received.empty());
}

// A vertical slider reports through WM_HSCROLL, shows its thumb where the mouse put it and
// moves it with the arrow keys the way they point.
TEST_F(SliderWidgetTest, VerticalNiceSliderReportsThroughHScrollToItsNotifyWindow)
{
    struct ThumbProbe : CNiceSliderCtrl {  // where the style draws the thumb
        using CNiceSliderCtrl::CNiceSliderCtrl;
        int ThumbY() const
        {
            QStyleOptionSlider option;
            initStyleOption(&option);
            return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this).center().y();
        }
    };
    RecordingWindow receiver;
    auto* slider = new ThumbProbe(Qt::Vertical, &window);
    slider->SetColor(&receiver);
    slider->setGeometry(10, 10, 30, 300);
    slider->SetRange(0, 10);
    slider->show();
    const QRect channel = slider->GetChannelRect();
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(15, channel.center().y()));
    QTest::mouseMove(slider, QPoint(15, channel.bottom() + 100));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(15, channel.bottom() + 100));
    loop.RunUntilIdle();
    EXPECT_TRUE(window.received.empty());
    ASSERT_FALSE(receiver.received.empty());
    EXPECT_EQ(receiver.received.back().message, WM_HSCROLL);
    EXPECT_EQ(receiver.received.back().wParam & 0xFFFF, TB_THUMBPOSITION);
    EXPECT_EQ(slider->GetPos(), 10);
    EXPECT_GT(slider->ThumbY(), channel.center().y());
    QTest::keyClick(slider, Qt::Key_Up);
    EXPECT_EQ(slider->GetPos(), 9);
}

TEST_F(SliderWidgetTest, RangeSliderPaintsThumbsIntervalAndBandOffScreen)
{
    auto* slider = new CRangeSlider(&window);
    slider->Create(0, 10, 10, 250, 30, &window, 100);
    slider->SetTotalRange(0, 100);
    slider->SetInterval(20, 80);
    slider->SetVisibleBand(40, 60);
    slider->SetShowVisibleRange(true);
    slider->grab();  // paints it
    const QImage& picture = slider->LastPicture();
    ASSERT_EQ(picture.size(), QSize(240, 20));
    const RangeSliderGeometry& g = slider->LastGeometry();
    auto colourAt = [&](int x, int y) {
        const QColor c = picture.pixelColor(x, y);
        return RGB(c.red(), c.green(), c.blue());
    };
    EXPECT_EQ(colourAt(g.interval.left + 2, 10), RGB(255, 255, 255));
    EXPECT_EQ(colourAt(g.band.left + 2, 10), RGB(255, 255, 150));
    EXPECT_EQ(colourAt(g.leftArrow.left + 3, 3), platform::GetSysColor(platform::COLOR_BTNFACE));
    EXPECT_EQ(colourAt(g.leftArrow.left, 10), RGB(0, 0, 0));
}
