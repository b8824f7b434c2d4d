// The control panel in the real main frame, offscreen, on a virtual-time loop with a simulated
// sensor in process: a stream measurement started and stopped with the panel's buttons whose
// values reach the channel views and the diagram's curve store, and the pass/fail verdict of
// the set-up page's limits on the status light.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <cmath>
#include <memory>

#include "app/main_frame.h"
#include "app/main_frame_views.h"
#include "app/page_table.h"
#include "measurement/channel_scaling_widget.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_rate_table.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "tests/app/app_test_support.h"
#include "tests/measurement/control_bench.h"
#include "tests/measurement/frame_fixture.h"
#include "views/aform_diagram.h"
#include "views/aform_light.h"
#include "workflow/connection_state.h"

using namespace measurement;

namespace {

using measurement_test::FindPage;

struct PanelInFrame : measurement_test::ConnectedFrame {
    int VerdictLightFor(const char* upper);
};

}  // namespace

TEST_F(PanelInFrame, StreamMeasurementFromThePanelReachesTheViewsAndTheCurveStore)
{
    // The frame hands the panel to the controller, the views and the documentation.
    EXPECT_EQ(frame->Com().Peers().measureControl, static_cast<workflow::IMeasureControlPage*>(&panel->Logic()));
    EXPECT_EQ(frame->Com().m_pMeasureCtrlSettings, panel->Logic().Settings());

    frame->Fields().measureRateIndex = 6;  // 200 value sets a second: streamed
    Click(IDC_MC_START);
    EXPECT_TRUE(Running());
    loop.RunFor(1000);
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
    // The stop's wait cursor ended with the measurement: the next Start is taken.
    EXPECT_FALSE(frame->m_bWaitCursorShown);
    Click(IDC_MC_START);
    EXPECT_TRUE(Running());
    Click(IDC_MC_STOP);
    loop.RunFor(2000);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// With the sensor connected the panel names the rate the set-up page chose and the range end
// of each channel in the unit of its measurand, in the language shown.
TEST_F(PanelInFrame, TheInfoFieldsShowTheChosenRateAndTheRangeOfTheConnectedSensor)
{
    frame->show();
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    const PageControls& controls = panel->Logic().Controls();
    EXPECT_EQ(controls.Text(IDC_MC_RATE), LoadLangString(kTextRate) + ": " + LoadLangString(GetMeasureRateTextId(frame->Fields().measureRateIndex)));
    // The simulated sensor measures voltage ('A'): 500 and 1000 full scale.
    EXPECT_EQ(controls.Text(IDC_MC_RANGE), "500,00 V B. 1000,00 V");
    frame->SwitchLanguage(1000);
    loop.RunFor(500);
    EXPECT_EQ(controls.Text(IDC_MC_RANGE), "500.00 V B. 1000.00 V");
    EXPECT_EQ(controls.Text(IDC_MC_RATE).Find("n.a."), -1);
}

// The user watches channel A with condition 1 of the set-up page, between 0 and an upper
// limit, and measures: the status light shows the verdict at the end.
int PanelInFrame::VerdictLightFor(const char* upper)
{
    JudgeChannelABelow(upper);
    CAFormLight& light = *frame->Views()->Light();
    Click(IDC_MC_START);
    EXPECT_TRUE(Running());
    EXPECT_EQ(light.GetLight(), -1);  // neutral while measuring
    loop.RunFor(800);
    Click(IDC_MC_STOP);
    loop.RunFor(2000);
    EXPECT_TRUE(panel->Logic().HasVerdict());
    EXPECT_TRUE(boxes.Boxes().empty());
    return light.GetLight();
}

TEST_F(PanelInFrame, AValueAboveTheUpperLimitFailsOnTheStatusLight)
{
    // The ramp starts at 500 counts, far above an upper limit of 1.
    EXPECT_EQ(VerdictLightFor("1"), 2);
}

TEST_F(PanelInFrame, AValueWithinTheLimitsPassesOnTheStatusLight)
{
    EXPECT_EQ(VerdictLightFor("1000000"), 0);
}

TEST_F(PanelInFrame, ASingleShotReadingReachesTheOpenScalingPage)
{
    auto* setup = FindPage<MeasureSetupWidget>(*frame);
    ASSERT_NE(setup, nullptr);
    CString reading;
    bool seen = false;
    // The page is modal: it is worked while its own loop runs.
    QTimer::singleShot(0, [&] {
        ChannelScalingWidget* page = FindPage<ChannelScalingWidget>(*frame);
        if (page == nullptr) return;
        seen = true;
        EXPECT_EQ(panel->Logic().Settings()->bRunning, 1);  // held while the page is open
        page->Item<QAbstractButton>(IDC_SCALE_READ)->click();
        loop.RunFor(500);
        reading = page->Logic().Controls().Text(IDC_SCALE_REFERENCE);
        EXPECT_GT(page->Logic().CurrentRawValue(), 0.0);
        page->Item<QAbstractButton>(IDC_SCALE_CANCEL)->click();
    });
    setup->Logic().OnScalingButton(0);
    ASSERT_TRUE(seen);
    EXPECT_FALSE(reading.IsEmpty());
    EXPECT_EQ(panel->Logic().Settings()->bRunning, 0);
    EXPECT_TRUE(boxes.Boxes().empty());
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
