#pragma once
// The simulated torque sensor connected through the controller and streaming into the views,
// and a pixel count of the pictures the views paint.

#include <QImage>

#include "tests/views/views_test_support.h"
#include "tests/workflow/workflow_bench.h"
#include "views/display_update.h"

namespace views_test {

// The controller's frame for these tests: the new-values entry and the display tables are the
// views' own, everything else is the workflow tests' fake.
class ViewsWorkflowFrame : public workflow_test::FakeFrame {
public:
    ViewsWorkflowFrame(CWnd& window, TestFrame& views, views::ChannelRefresher& refresher)
        : FakeFrame(window), m_views(views), m_refresher(refresher)
    {
    }
    void RefreshChannelViews(int reason) override { m_refresher.RefreshChannelViews(reason); }
    workflow::DisplayChannelEntry* DisplayEntry(int channel) override { return m_views.tables.Entry(channel); }
    workflow::DisplaySlotRecord* DisplaySlot(int slot) override { return m_views.tables.Slot(slot); }

private:
    TestFrame& m_views;
    views::ChannelRefresher& m_refresher;
};

inline sim::SensorConfig TorqueSensor()
{
    sim::SensorConfig config = workflow_test::AcceptedSensor();
    config.identity.rotorTypeClass = 'D';
    config.signalA = {sim::SignalSpec::Kind::Sine, 0.0, 20000.0};
    config.signalB = {sim::SignalSpec::Kind::Ramp, 0.0, 0.0, 4000.0};
    return config;
}

// A connected torque sensor streaming into the views.
struct StreamBench : workflow_test::Bench {
    StreamBench()
    {
        connected = ConnectSensor(TorqueSensor());
        views.com = &com;
        WirePeers(viewsFrame);
        views::UpdateDisplayValues(views.tables, com, 0, 1, &com.m_Sensor[0], 1000);
        views.tables.Entry(0)->divisor = 25000;
        com.COM_CalcScaleFactors(0);
        viewsFrame.rateIndex = 6;  // 200 sets a second
        com.COM_SetMeasureRate();
        views.setup.channelShown = {true, true, false, false, false, false};
        views.setup.samplePeriod = 0.005;
        views.settings.bRunning = 1;
    }
    void Measure(std::int64_t ms)
    {
        com.COM_StartMeasure(-1, false);
        loop.RunFor(ms);
    }
    bool connected = false;
    TestFrame views;
    views::ChannelRefresher refresher{views, loop};
    ViewsWorkflowFrame viewsFrame{window, views, refresher};
};

inline int CountPixels(const QImage& image, COLORREF colour)
{
    const QRgb wanted = qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF) ? 1 : 0;
    return n;
}

}  // namespace views_test
