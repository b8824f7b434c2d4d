// The control panel in the real main frame, offscreen, on a virtual-time loop with a simulated
// sensor in process: a stream measurement started and stopped with the panel's buttons whose
// values reach the channel views and the diagram's curve store, and the pass/fail verdict of
// the set-up page's limits on the status light.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <cmath>
#include <memory>

#include "app/main_frame.h"
#include "app/main_frame_views.h"
#include "app/page_table.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
#include "platform/message_box.h"
#include "tests/app/app_test_support.h"
#include "tests/measurement/control_bench.h"
#include "views/aform_diagram.h"
#include "views/aform_light.h"
#include "workflow/connection_state.h"

using namespace measurement;

namespace {

// The pages have no meta-object of their own, so findChild cannot tell them from other widgets.
template <class T>
T* FindPage(QWidget& root)
{
    for (QWidget* widget : root.findChildren<QWidget*>())
        if (auto* page = dynamic_cast<T*>(widget)) return page;
    return nullptr;
}

struct PanelInFrame : ::testing::Test {
    app_test::TempProfile profile;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxScope{&boxes};
    workflow_test::SimPortFactory ports;
    std::unique_ptr<sim::SimDevice> sensor;
    std::unique_ptr<CMainFrame> frame;
    MeasureControlWidget* panel = nullptr;

    void SetUp() override
    {
        ResetConnectionState();
        connection_state::ResetAllForTest();
        // Channel A climbs 1000 counts a second from 500.
        sensor = std::make_unique<sim::SimulatedSensor>(control_test::RampSensor(1000.0, 500.0), loop);
        ports.Add("COM3", "Tessaline USB sensor interface Port", &sensor->Port(0));
        frame = std::make_unique<CMainFrame>(&ports);
        loop.RunUntilIdle();
        panel = FindPage<MeasureControlWidget>(*frame);
        ASSERT_NE(panel, nullptr);
        frame->Com().COM_SearchComPorts(0);
        ASSERT_TRUE(loop.RunUntil([this] { return frame->m_bSensorConnected && frame->Com().GetZMCOMConfgFlow() != ZM_START_INIT; }, 20000));
        loop.RunFor(500);
    }
    void TearDown() override
    {
        if (frame) {
            frame->Com().m_pPortMan.reset();
            for (auto& port : frame->Com().m_pPortManOfPort) port.reset();
        }
        frame.reset();
    }
    void Click(int id)
    {
        auto* button = panel->Item<QAbstractButton>(id);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled()) << "control " << id;
        button->click();
    }
    bool Running() const { return panel->Logic().Settings()->bRunning == 1; }
};

}  // namespace

TEST_F(PanelInFrame, StreamMeasurementFromThePanelReachesTheViewsAndTheCurveStore)
{
    // The frame hands the panel to the controller, the views and the documentation.
    EXPECT_EQ(frame->Com().Peers().measureControl, static_cast<workflow::IMeasureControlPage*>(&panel->Logic()));
    EXPECT_EQ(frame->Com().m_pMeasureCtrlSettings, panel->Logic().Settings());

    frame->Fields().measureRateIndex = 6;
    Click(IDC_MC_START);
    EXPECT_TRUE(Running());
    for (int i = 0; i < 10; ++i) {
        loop.RunFor(100);
        fprintf(stderr, "DBG flow %d running %d points %d ended %d boxes %zu stopReason %d\n", frame->Com().GetZMCOMConfgFlow(), Running(), frame->Views()->Diagram()->GetMaxChannelSetting(), frame->Fields().measurementEnded, boxes.Boxes().size(), frame->Fields().stopReason);
    }
    EXPECT_EQ(frame->Com().GetZMCOMConfgFlow(), ZM_START_MEASURE_SOSM);
    EXPECT_FALSE(panel->Item<QAbstractButton>(IDC_MC_START)->isEnabled());
    app::ViewsWiring& views = *frame->Views();
    const double shown = views.Refresher().ShownValueOf(0);
    EXPECT_TRUE(std::isfinite(shown));
    EXPECT_GT(shown, 0.0);
    EXPECT_GT(views.Diagram()->GetMaxChannelSetting(), 50);

    Click(IDC_MC_STOP);
    EXPECT_FALSE(Running());
    loop.RunFor(2000);
    EXPECT_TRUE(panel->Item<QAbstractButton>(IDC_MC_START)->isEnabled());
    EXPECT_FALSE(panel->Item<QAbstractButton>(IDC_MC_STOP)->isEnabled());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(PanelInFrame, PassFailVerdictOfTheSetupLimitsOnTheStatusLight)
{
    auto* setup = FindPage<MeasureSetupWidget>(*frame);
    ASSERT_NE(setup, nullptr);
    // The user sets condition 1 on channel A, between 0 and an upper limit.
    // Channel A measured, then watched by condition 1 between 0 and an upper limit.
    frame->ShowPage(app::kPageMeasureSetup);
    if (!setup->Item<QAbstractButton>(kChannelButton[0])->isChecked()) setup->Item<QAbstractButton>(kChannelButton[0])->click();
    loop.RunFor(500);
    auto* channel = setup->Item<QComboBox>(kConditionCombo[0]);
    fprintf(stderr, "DBG entries %zu rowA %d rows %d\n", setup->Logic().Controls()[kConditionCombo[0]].entries.size(), setup->Logic().Setup().channel[0].active, frame->Com().m_nCountActivePorts);
    ASSERT_NE(channel, nullptr);
    int row = -1;
    for (int i = 0; i < channel->count(); ++i)
        if (setup->Logic().Controls()[kConditionCombo[0]].entries[static_cast<std::size_t>(i)].datum == 0) row = i;
    ASSERT_GE(row, 0);
    channel->setCurrentIndex(row);
    Q_EMIT channel->activated(row);
    CAFormLight& light = *frame->Views()->Light();

    const struct {
        const char* upper;
        int light;
    } cases[] = {{"1", 2}, {"1000000", 0}};
    for (const auto& c : cases) {
        setup->Item<QLineEdit>(kLimitEdit[0])->setText("0");
        setup->Item<QLineEdit>(kLimitEdit[1])->setText(c.upper);
        ASSERT_EQ(setup->Logic().IoNioConditions(), 1);
        // The configuration write of the channel change ends first.
        ASSERT_TRUE(loop.RunUntil([this] { return frame->Com().GetZMCOMConfgFlow() == ZM_STOP_MEASURE && !frame->m_bWaitCursorShown; }, 5000));
        fprintf(stderr, "DBG before start light %d flow %d startEnabled %d logic %d\n", light.GetLight(), frame->Com().GetZMCOMConfgFlow(), panel->Item<QAbstractButton>(IDC_MC_START)->isEnabled(), panel->Logic().Controls().IsEnabled(IDC_MC_START));
        Click(IDC_MC_START);
        fprintf(stderr, "DBG after start light %d running %d boxes %zu wait %d\n", light.GetLight(), Running(), boxes.Boxes().size(), frame->m_bWaitCursorShown);
        EXPECT_EQ(light.GetLight(), -1);  // neutral while measuring
        loop.RunFor(800);
        Click(IDC_MC_STOP);
        loop.RunFor(2000);
        ASSERT_TRUE(panel->Logic().HasVerdict()) << c.upper;
        EXPECT_EQ(light.GetLight(), c.light) << c.upper;
    }
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
