// A multiport device in the real main frame: once all its ports are active the set-up page and
// the control panel take what each of its sensors keeps, the rate list is that of the device,
// the device's encoder counts as a connected sensor for the angle channel, a stream start the
// sensor refuses ends at rest, and the power of a torque and a speed sensor is shown in the unit
// its row chooses.

#include <gtest/gtest.h>

#include <QAbstractButton>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "app/main_frame.h"
#include "app/main_frame_views.h"
#include "app/page_table.h"
#include "chart/xgraph.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_rate_table.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "tests/measurement/frame_fixture.h"
#include "views/aform_channel.h"
#include "views/aform_diagram.h"
#include "workflow/connection_state.h"

using namespace measurement;

namespace {

// A torque sensor and an encoder (counting the angle with mode 7, the speed with 3) of one
// device; base is the sensors' common configuration.
std::vector<sim::SensorConfig> TorqueAndEncoder(sim::SensorConfig base, std::uint8_t encoderMode, std::uint8_t rotorType = 1)
{
    std::vector<sim::SensorConfig> configs = sim::MultiportConfigs(2, base);
    configs[0].identity.rotorTypeClass = 'D';
    configs[1].identity.rotorTypeClass = 'Y';
    configs[1].identity.statorId = 9;
    configs[1].identity.encoderMode = encoderMode;
    configs[1].identity.rotorId = rotorType;
    return configs;
}

sim::SensorConfig StreamingBase()
{
    sim::SensorConfig base = workflow_test::AcceptedSensor(782);
    base.identity.statorId = 5;
    return base;
}

// A torque sensor and an angle encoder of one device, both streaming. The torque sensor keeps
// its channel on Y2 and out of the diagram, the encoder its channel on Y1 and in the diagram.
struct TorqueAndAngleDevice : measurement_test::ConnectedFrame {
    std::unique_ptr<sim::SimDevice> MakeDevice() override
    {
        std::vector<sim::SensorConfig> configs = TorqueAndEncoder(StreamingBase(), 7);
        measurement_test::KeepBlockBits(configs[0], 0x83, 12, 0x40);  // display: on Y2, not shown
        measurement_test::KeepBlockBits(configs[1], 0x83, 12, 0x28);  // display: on Y1, shown
        return std::make_unique<sim::MultiportDevice>(configs, loop);
    }
    MeasureSetupWidget& SetupPage() { return *measurement_test::FindPage<MeasureSetupWidget>(*frame); }
    int Writes(const char* port, BYTE letter) const
    {
        int count = 0;
        for (const workflow_test::WrittenFrame& w : ports.writes) count += w.port == port && w.Letter() == letter ? 1 : 0;
        return count;
    }
};

// The panel's sensor boxes and the set-up page's axes show what each sensor keeps.
TEST_F(TorqueAndAngleDevice, ThePagesFollowWhatEachSensorKeeps)
{
    frame->show();
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    const PageControls& c = panel->Logic().Controls();
    EXPECT_TRUE(c.IsShown(IDC_MC_SENSOR_GROUP));
    EXPECT_FALSE(c.IsChecked(kSensorCheck[0]));
    EXPECT_TRUE(c.IsChecked(kSensorCheck[1]));
    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(500);
    const PageControls& s = SetupPage().Logic().Controls();
    EXPECT_EQ(s.SelectedDatum(kAxisCombo[0]), kAxisTime);
    EXPECT_EQ(s.SelectedDatum(kAxisCombo[1]), 3);  // sensor 2
    EXPECT_EQ(s.SelectedDatum(kAxisCombo[2]), 2);  // sensor 1
    EXPECT_TRUE(measurement_test::PlaceholderTexts(*frame).empty());
}

TEST_F(TorqueAndAngleDevice, TheRateListIsTheDevicesAndEndsAtTwentyASecond)
{
    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(300);
    const std::vector<ComboEntry>& rates = SetupPage().Logic().Controls()[IDC_RATE_COMBO].entries;
    ASSERT_FALSE(rates.empty());
    EXPECT_LE(rates.front().datum, 1);
    EXPECT_EQ(rates.back().datum, kRate20PerSecond);
}

TEST_F(TorqueAndAngleDevice, TheEncoderIsTheConnectedSensorWhoseAngleIsSetToZero)
{
    EXPECT_TRUE(IsFirstSensorConnected());
    EXPECT_FALSE(IsSecondSensorConnected());
    ASSERT_TRUE(IsFirstSensorSelected());
    panel->Logic().OnAngleZero();
    EXPECT_EQ(Writes("COM4", 'M'), 1);
    EXPECT_EQ(Writes("COM3", 'M'), 0);
    loop.RunFor(1500);
    EXPECT_EQ(frame->Com().GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// A torque sensor and an angle encoder of a device that is polled.
struct PolledTorqueAndAngleDevice : TorqueAndAngleDevice {
    std::unique_ptr<sim::SimDevice> MakeDevice() override
    {
        return std::make_unique<sim::MultiportDevice>(TorqueAndEncoder(workflow_test::AcceptedSensor(783), 7), loop);
    }
};

// With "zero the angle at the start" ticked, the first poll of the measurement sets the
// encoder's angle to zero; the poll goes on.
TEST_F(PolledTorqueAndAngleDevice, TheFirstPollZeroesTheAngleWhenTheStartAsksForIt)
{
    frame->show();
    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(300);
    ASSERT_TRUE(measurement_test::ChooseDatum(SetupPage(), IDC_RATE_COMBO, 13));
    loop.RunFor(1500);
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    Click(kAngleZeroOption[0]);
    Click(IDC_MC_START);
    ASSERT_TRUE(Running());
    loop.RunFor(500);
    EXPECT_EQ(Writes("COM4", 'M'), 1);
    const int points = frame->Views()->Diagram()->GetMaxChannelSetting();
    loop.RunFor(1000);
    EXPECT_TRUE(Running());
    EXPECT_GE(frame->Views()->Diagram()->GetMaxChannelSetting(), points + 8);
    Click(IDC_MC_STOP);
    loop.RunFor(1000);
    EXPECT_EQ(Writes("COM4", 'M'), 1);
}

// A torque sensor and an encoder of one device whose encoder counts the speed: the set-up page
// offers to compute the power.
struct TorqueAndSpeedDevice : TorqueAndAngleDevice {
    virtual BYTE RotorType() const { return 1; }
    std::unique_ptr<sim::SimDevice> MakeDevice() override
    {
        return std::make_unique<sim::MultiportDevice>(TorqueAndEncoder(StreamingBase(), 3, RotorType()), loop);
    }
};

// The power the user switches on at the set-up page can be shown from the control panel; off,
// its box goes.
TEST_F(TorqueAndSpeedDevice, ThePanelsPowerBoxFollowsThePowerOfTheSetUp)
{
    frame->show();
    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(300);
    auto* power = SetupPage().Item<QAbstractButton>(kPowerButton[0]);
    ASSERT_TRUE(power->isVisible());
    // Switched to English here, the page keeps its power button, and the panel speaks English.
    frame->SwitchLanguage(1000);
    ASSERT_TRUE(power->isVisible());
    power->click();
    loop.RunFor(300);
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    const PageControls& c = panel->Logic().Controls();
    EXPECT_STREQ(c.Text(IDC_MC_TRIGGER).GetString(), LoadLangString(kTextTriggerOn).GetString());
    frame->SwitchLanguage(0);
    EXPECT_TRUE(c.IsShown(kPowerShowCheck[0]));
    EXPECT_TRUE(c.IsChecked(kPowerShowCheck[0]));
    EXPECT_FALSE(c.IsShown(kPowerShowCheck[1]));
    const bool shownBefore = frame->m_channelViewVisible[4] != 0;
    EXPECT_TRUE(shownBefore);  // the ticked box's power view is there
    Click(kPowerShowCheck[0]);
    loop.RunFor(300);
    EXPECT_NE(frame->m_channelViewVisible[4] != 0, shownBefore);
    EXPECT_FALSE(c.IsChecked(kPowerShowCheck[0]));

    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(300);
    power->click();
    loop.RunFor(300);
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    EXPECT_FALSE(c.IsShown(kPowerShowCheck[0]));
    EXPECT_FALSE(c.IsChecked(kPowerShowCheck[0]));
}

// The same device on a rotor that needs the angle: the panel names the encoder's sensor and
// neither starts nor arms the trigger until the user sets the encoder to the angle on the
// set-up page.
struct SpeedEncoderOnAngleRotor : TorqueAndSpeedDevice {
    BYTE RotorType() const override { return kRotorTypeAngleEncoder; }
};

TEST_F(SpeedEncoderOnAngleRotor, StartAndTriggerWaitUntilTheEncoderCountsTheAngle)
{
    frame->show();
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    const PageControls& c = panel->Logic().Controls();
    EXPECT_TRUE(c.IsShown(IDC_MC_ENCODER_WARNING));
    EXPECT_GE(c.Text(IDC_MC_ENCODER_WARNING).Find("2"), 0);
    const int starts = Writes("COM3", 'Z');
    Click(IDC_MC_START);
    loop.RunFor(500);
    EXPECT_FALSE(Running());
    Click(IDC_MC_TRIGGER);
    loop.RunFor(500);
    EXPECT_EQ(panel->Logic().Settings()->bSecond, 0);
    EXPECT_EQ(Writes("COM3", 'Z'), starts);

    // The encoder's mode is a detail of the set-up page, open while no power is computed.
    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(300);
    auto open = [this](int id) { SetupPage().Item<QAbstractButton>(id)->isVisible() ? SetupPage().Item<QAbstractButton>(id)->click() : ADD_FAILURE() << id; };
    open(IDC_EXPAND);
    open(kAngleSelector[0]);
    loop.RunFor(16000);
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    EXPECT_FALSE(c.IsShown(IDC_MC_ENCODER_WARNING));
    Click(IDC_MC_START);
    loop.RunFor(500);
    EXPECT_TRUE(Running());
    Click(IDC_MC_STOP);
    loop.RunFor(1000);

    // And the way back to the speed, after which the power can be computed again.
    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(300);
    open(IDC_EXPAND);
    open(kTorqueSelector[0]);
    loop.RunFor(16000);
    EXPECT_TRUE(SetupPage().Item<QWidget>(kPowerButton[0])->isVisible());
    // Its encoder unplugged now is noticed on the encoder's own line and told.
    const std::size_t told = boxes.Count() + 1;
    sensor->Port(1).HangUp();
    EXPECT_TRUE(loop.RunUntil([&] { return !panel->Logic().IsSensorConnected() && boxes.Count() == told; }, 5000));
}

// A stream start the sensor refuses with a code of its own is noticed by the receive time-out
// from the start, as a silent sensor is: the measurement ends as a protocol error, at rest, and
// the next start runs.
void ExpectRefusedStartEndsAtRest(measurement_test::ConnectedFrame& t, MeasureSetupWidget& setup)
{
    t.frame->show();
    t.frame->ShowPage(app::kPageMeasureSetup);
    t.loop.RunFor(300);
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, 6));  // 200 sets a second, streamed
    t.loop.RunFor(1000);
    t.frame->ShowPage(app::kPageMeasureControl);
    t.loop.RunFor(500);
    t.sensor->Port(0).Refuse({'Z', -1, 5, 1});
    t.Click(IDC_MC_START);
    const std::int64_t start = t.loop.NowMs();
    ASSERT_TRUE(t.loop.RunUntil([&t] { return !t.Running(); }, 5000));
    EXPECT_LE(t.loop.NowMs() - start, 2 * static_cast<std::int64_t>(kStreamStartTimeoutMs) + 20);
    EXPECT_EQ(t.frame->Com().GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(t.panel->Logic().Controls().Text(IDC_MC_STATE_LED).Find("#"), 1);

    t.loop.RunFor(2000);
    t.Click(IDC_MC_START);
    t.loop.RunFor(1000);
    EXPECT_TRUE(t.Running());
    EXPECT_GT(t.frame->Com().m_nRecordCount, 150);
    t.Click(IDC_MC_STOP);
    t.loop.RunFor(1000);
}

TEST_F(TorqueAndAngleDevice, AStartTheSensorRefusesEndsAtRestAsAProtocolError)
{
    ExpectRefusedStartEndsAtRest(*this, SetupPage());
}

// One sensor that streams its two channels.
struct StreamingSensor : measurement_test::ConnectedFrame {
    sim::SensorConfig SensorConfig() const override
    {
        sim::SensorConfig config = control_test::RampSensor(1000.0, 500.0);
        config.identity.statorId = 5;
        return config;
    }
};

TEST_F(StreamingSensor, AStartTheSensorRefusesEndsAtRestAsAProtocolError)
{
    ExpectRefusedStartEndsAtRest(*this, *measurement_test::FindPage<MeasureSetupWidget>(*frame));
}

// The same device holding 2.5 N·m and turning at 250 1/min; the torque sensor keeps watts as
// the power unit.
struct LoadedTorqueAndSpeedDevice : TorqueAndSpeedDevice {
    std::unique_ptr<sim::SimDevice> MakeDevice() override
    {
        std::vector<sim::SensorConfig> configs = TorqueAndEncoder(StreamingBase(), 3, RotorType());
        for (sim::SensorConfig& config : configs) config.signalA = {sim::SignalSpec::Kind::Constant, 12500.0};
        measurement_test::KeepBlockBits(configs[0], 0x83, 12, 0x02, 0x07);
        return std::make_unique<sim::MultiportDevice>(configs, loop);
    }
};

// The power of the pair is switched on with its button: its row offers the power units, starts
// in the one the sensor keeps, and the unit chosen there names and scales the value in the
// channel view, the diagram's curve and the measured-value file's column.
TEST_F(LoadedTorqueAndSpeedDevice, ThePowerRowsUnitReachesTheViewTheDiagramAndTheFile)
{
    frame->show();
    const std::string file = StoreMeasuredValues();
    MeasureSetupWidget& setup = SetupPage();
    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(500);
    auto* power = setup.Item<QAbstractButton>(kPowerButton[0]);
    ASSERT_TRUE(power->isVisible());
    EXPECT_EQ(power->text(), platform::ToQString(LoadLangString(5033) + " 1"));
    power->click();
    loop.RunFor(500);
    const PageControls& c = setup.Logic().Controls();
    for (int id : {kDecimalsCombo[4], kUnitCombo[4], kAveragingCombo[4], kSignCombo[4], IDC_EXPAND})
        EXPECT_TRUE(setup.Item<QWidget>(id)->isVisible() && setup.Item<QWidget>(id)->isEnabled()) << id;
    std::vector<CString> units;
    for (int k = 0; k < c.Count(kUnitCombo[4]); ++k) units.push_back(c.EntryText(kUnitCombo[4], k));
    EXPECT_EQ(units, (std::vector<CString>{"MW", "kW", "W", LoadLangString(5108)}));
    EXPECT_EQ(c.SelectedDatum(kUnitCombo[4]), 2);
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, kUnitCombo[4], 1));
    loop.RunFor(500);

    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    Click(IDC_MC_START);
    loop.RunFor(1500);
    Click(IDC_MC_STOP);
    loop.RunFor(2000);

    app::ViewsWiring& views = *frame->Views();
    // 2.5 N·m at 250 1/min.
    const double kilowatts = views.Refresher().ShownValueOf(0) * views.Refresher().ShownValueOf(1) * 2.0 * 3.14159265358979 / 60.0 / 1000.0;
    EXPECT_NEAR(kilowatts, 0.06545, 1e-4);
    EXPECT_NEAR(views.Refresher().ShownValueOf(4), kilowatts, 1e-4);
    EXPECT_EQ(views.ChannelView(4)->Logic().UnitText(), "kW");
    CGraphicDisplayWnd& display = views.Diagram()->Display();
    const int curve = display.ChartCurveOfChannel(4);
    ASSERT_GE(curve, 0);
    EXPECT_NE(display.Graph().GetCurve(curve).GetLabel().Find("[kW]"), -1) << display.Graph().GetCurve(curve).GetLabel().GetString();
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("P1 [kW]"), std::string::npos) << text.substr(0, 600);
    const std::vector<std::vector<double>> rows = measurement_test::ValueRows(file);
    ASSERT_FALSE(rows.empty());
    EXPECT_NEAR(rows.back().back(), kilowatts, 1e-3);

    // Closed and started again: power 1 alone is computed, in kW on Y5 as the user left it.
    frame->close();
    ASSERT_TRUE(loop.RunUntil([this] { return frame->IsClosed(); }, 30000));
    Restart();
    frame->show();
    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(500);
    const PageControls& again = SetupPage().Logic().Controls();
    EXPECT_TRUE(again.IsChecked(kPowerButton[0]) && !again.IsShown(kUnitCombo[5]) && again.IsShown(kAxisCombo[5]));
    EXPECT_EQ(again.SelectedDatum(kUnitCombo[4]), 1);
    EXPECT_EQ(again.SelectedDatum(kAxisCombo[5]), 6);
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    EXPECT_TRUE(panel->Logic().Controls().IsChecked(kPowerShowCheck[0]) && frame->m_channelViewVisible[4]);
}

}  // namespace
