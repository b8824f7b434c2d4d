// The new-values entry: decimation of what the views show, the bounded repaint rate, no value
// set lost on the way to the curve store and the evaluation; the smoothing rings.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/views/views_test_support.h"
#include "views/channel_view_logic.h"

using namespace views_test;

namespace {

// Counts the repaints of a view.
struct CountingDisplay : views::IChannelDisplay {
    void ShowValues() override { ++shows; }
    int shows = 0;
};

struct CountingSink : views::ISampleSink {
    void AddValueSet(const views::ValueSet& set) override { values.push_back(set.value[0]); }
    void RepaintSamples() override { ++repaints; }
    std::vector<double> values;
    int repaints = 0;
};

struct RefreshBench {
    RefreshBench()
    {
        frame.com = &com;
        for (int c = 0; c < 4; ++c) MakeTorqueChannel(*frame.tables.Entry(c), com, c);
        refresher.AttachDisplay(&display);
        refresher.AttachSampleSink(&sink);
        refresher.SetEvaluation(&evaluation);
    }
    // `perMs` value sets each millisecond for `ms` milliseconds, counted down as the stream
    // parser does with the given decimation.
    void Stream(int perMs, int ms, int decimation)
    {
        for (int t = 0; t < ms; ++t) {
            for (int i = 0; i < perMs; ++i) {
                for (int c = 0; c < 4; ++c) com.m_aiValue[static_cast<std::size_t>(c)] = next + c;
                ++next;
                --com.m_nDisplayCountdown;
                refresher.RefreshChannelViews(0);
                if (com.m_nDisplayCountdown <= 0) com.m_nDisplayCountdown = decimation;
            }
            loop.RunFor(1);
        }
    }
    CComPort com;
    TestFrame frame;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    views::ChannelRefresher refresher{frame, loop};
    CountingDisplay display;
    CountingSink sink;
    CountingEvaluation evaluation;
    LONG next = 0;
};

}  // namespace

TEST(Refresh, DecimationThinsWhatIsShownButNoSetIsLostAndRepaintsStayBounded)
{
    RefreshBench b;
    b.frame.settings.cDecimation = 1;
    b.com.m_nDisplayCountdown = 7;
    b.Stream(20, 1000, 7);  // 20,000 sets in one second, every seventh shown
    EXPECT_EQ(20000, static_cast<int>(b.sink.values.size()));
    EXPECT_EQ(20000, static_cast<int>(b.evaluation.sets.size()));
    for (std::size_t i = 1; i < b.sink.values.size(); ++i) ASSERT_NEAR(b.sink.values[i] - b.sink.values[i - 1], 0.0002, 1e-12) << i;
    EXPECT_EQ(2857, b.refresher.ShownSetCount());
    EXPECT_LE(b.refresher.RepaintCount(), 25);
    EXPECT_GE(b.refresher.RepaintCount(), 20);
    EXPECT_EQ(b.refresher.RepaintCount(), b.display.shows);
    EXPECT_EQ(b.refresher.RepaintCount(), b.sink.repaints);
    // The shown value is the last one not decimated away; minimum and maximum saw every set.
    views::ChannelViewLogic view(0, b.frame, b.refresher);
    b.frame.tables.Entry(0)->decimals = 4;
    SetLanguage(1000);
    EXPECT_EQ(CString("3.9996"), view.ValueText());
    EXPECT_EQ(CString("3.9998"), view.MaximumText());
    EXPECT_EQ(CString("0.0000"), view.MinimumText());
    SetLanguage(0);
}

TEST(Refresh, WithoutDecimationEverySetIsShownAndTheEndOfTheMeasurementStopsIt)
{
    RefreshBench b;
    b.frame.settings.cDecimation = 0;
    b.com.m_nDisplayCountdown = 10;
    b.Stream(5, 200, 10);
    EXPECT_EQ(1000, b.refresher.ShownSetCount());
    EXPECT_LE(b.refresher.RepaintCount(), 5);
    b.frame.ended = true;
    b.Stream(5, 10, 10);
    EXPECT_EQ(1000, static_cast<int>(b.sink.values.size()));
    // A single shot outside a measurement is shown but belongs to no curve.
    b.com.m_nCountActivePorts = 1;
    b.com.m_sValueAnswer.nValueA = 50000;
    b.refresher.RefreshChannelViews(1);
    EXPECT_EQ(1000, static_cast<int>(b.sink.values.size()));
    EXPECT_DOUBLE_EQ(10.0, b.refresher.ShownValueOf(0));
    // The polls of a slow measurement are value sets of the measurement.
    b.frame.settings.bRunning = 1;
    b.refresher.RefreshChannelViews(1);
    EXPECT_EQ(1001, static_cast<int>(b.sink.values.size()));
    EXPECT_DOUBLE_EQ(10.0, b.sink.values.back());
}

TEST(Smoothing, RingsHoldTheLastValuesAndFollowTheModes)
{
    CMovingAverage ring(4);
    double mean = 1.0;
    EXPECT_FALSE(ring.GetAverage(mean));
    EXPECT_EQ(0.0, mean);
    for (int v = 1; v <= 6; ++v) ring.AddValue(v);
    EXPECT_EQ(4, ring.GetCount());
    ASSERT_TRUE(ring.GetAverage(mean));
    EXPECT_DOUBLE_EQ(4.5, mean);

    RefreshBench b;
    b.frame.tables.Entry(0)->averaging = 3;  // 8 values
    b.frame.tables.Entry(1)->averaging = 12; // not an averaging index: 1 value
    b.refresher.ConfigureMovingAverages(0);
    EXPECT_EQ(8, b.refresher.Rings().Ring(0).GetSize());
    EXPECT_EQ(1, b.refresher.Rings().Ring(1).GetSize());
    for (LONG v : {0, 800}) {
        b.com.m_aiValue[0] = v;
        b.refresher.RefreshChannelViews(0);
    }
    // The view shows the smoothed value, the curve the measured one.
    EXPECT_NEAR(0.08, b.refresher.ShownValueOf(0), 1e-12);
    EXPECT_NEAR(0.16, b.sink.values.back(), 1e-12);
    // A measurement starts (mode 0): its minimum and maximum start afresh.
    EXPECT_NEAR(0.08, b.refresher.ShownMaximumOf(0), 1e-12);  // of the smoothed values
    b.refresher.ConfigureMovingAverages(0);
    EXPECT_TRUE(std::isnan(b.refresher.ShownMaximumOf(0)));
    EXPECT_TRUE(b.refresher.Values(0).firstValue);
    b.refresher.ConfigureMovingAverages(2);
    EXPECT_EQ(0, b.refresher.Rings().Ring(0).GetCount());
    EXPECT_EQ(8, b.refresher.Rings().Ring(0).GetSize());
    b.refresher.ConfigureMovingAverages(4);
    for (int c = 0; c < views::kChannelCount; ++c) EXPECT_EQ(8, b.refresher.Rings().Ring(c).GetSize());
    b.refresher.ConfigureMovingAverages(1);
    for (int c = 0; c < views::kChannelCount; ++c) EXPECT_EQ(1, b.refresher.Rings().Ring(c).GetSize());
}
