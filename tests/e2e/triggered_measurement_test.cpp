// The whole application in one process against a km3-sensor-sim process, in real time: a
// triggered measurement set up on the set-up page (start when channel A rises over one level,
// stop when it falls under another, a pass/fail condition on channel A) and armed with the
// control panel's Trigger button. The simulated signal is a sine, so the levels are crossed at
// known phases: the recording must hold the arc between the two crossings, and the verdict,
// judged by the arc's peak, must be pass under a wide upper limit and fail under a narrow
// one, in the pass/fail result file and on the status light alike.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
#include "res/string_table.h"
#include "tests/app/app_test_support.h"
#include "tests/e2e/whole_app.h"
#include "views/aform_light.h"
#include "views/display_tables.h"

namespace {

using namespace e2e;
using app_test::FindPage;
using namespace measurement;

// Channel A: a sine of 10,000 counts peak and 2 s period. The sensor's default range shows
// 25,000 counts as 500, so the peak reads 200.
constexpr double kPeriodMs = 2000.0;
constexpr double kPeak = 200.0;
constexpr double kStartLevel = 100.0;  // rising over it starts the recording (sine 0.5)
constexpr double kStopLevel = 50.0;    // falling under it stops it (sine 0.25)

struct TriggeredMeasurement : ::testing::Test, WholeApp {
    QString resultFolder;
    MeasureSetupWidget* setup = nullptr;
    // The levels in the unit the channel is shown in: 1 for the voltage sensor's 500 V, 0.1 for
    // a torque sensor's 50 N·m over the same counts.
    double scale = 1.0;

    TriggeredMeasurement()
    {
        resultFolder = profile.dir.path() + "/results";
        QDir().mkpath(resultFolder);
        platform::WriteProfileString("Documentation", "IoNioDir", CString(resultFolder.toStdString().c_str()));
    }

    void Choose(int comboId, long long datum)
    {
        ASSERT_TRUE(ChooseDatum(*setup, comboId, datum)) << "control " << comboId << " offers no entry " << datum;
    }
    void Type(int editId, const char* text) { ASSERT_TRUE(TypeInto(*setup, editId, text)) << "control " << editId; }

    // The result files of the pass/fail evaluation, oldest first.
    QStringList ResultFiles() const { return QDir(resultFolder).entryList(QDir::Files, QDir::Name); }

    // A result file holds one judged measurement: the condition's lower and upper limit, the
    // value judged, its result and the overall result.
    void ExpectResultFile(const QString& name, double lower, double upper, bool passed)
    {
        const std::string path = (resultFolder + "/" + name).toStdString();
        const std::vector<double> lowers = FileColumn(path, 2);
        ASSERT_EQ(lowers.size(), 1u) << "not one result line\n" << FileHead(path);
        EXPECT_DOUBLE_EQ(lowers[0], lower) << FileHead(path);
        EXPECT_DOUBLE_EQ(FileColumn(path, 3).at(0), upper) << FileHead(path);
        EXPECT_NEAR(FileColumn(path, 4).at(0), kPeak, 1.0) << "the judged value is not the arc's peak\n" << FileHead(path);
        std::ifstream in(path);
        std::string line, last;
        while (std::getline(in, line))
            if (!line.empty() && line != "\r") last = line;
        while (!last.empty() && (last.back() == '\r' || last.back() == '\n')) last.pop_back();
        const std::string verdict = LoadLangString(passed ? 5787 : 5788).GetString();
        const std::string both = ";" + verdict + ";" + verdict;
        ASSERT_GE(last.size(), both.size());
        EXPECT_EQ(last.substr(last.size() - both.size()), both) << "the verdict in the file is not " << verdict << "\n"
                                                                 << FileHead(path);
    }

    CAFormLight& Light() { return *frame->Views()->Light(); }
    QColor LampCentre()
    {
        auto* lamp = Light().Item<QLabel>(CAFormLight::IDC_LAMP);
        if (!lamp) return {};
        const QImage image = lamp->pixmap().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    }

    static bool Armed(MeasureControlWidget& panel) { return panel.Logic().Record().shared.bSecond != 0; }

    // Arms the trigger on the control panel and waits for the recording to start and stop
    // by itself, and for the end of the measurement (the verdict on the light when judged).
    void MeasureOneTriggeredCycle(bool judged = true)
    {
        frame->ShowPage(app::kPageMeasureControl);
        PumpFor(200);
        auto* panel = FindPage<MeasureControlWidget>(*frame);
        ASSERT_NE(panel, nullptr);
        QAbstractButton* trigger = ButtonOf(*frame, IDC_MC_TRIGGER);
        ASSERT_NE(trigger, nullptr) << "no Trigger button on the control panel";
        ASSERT_TRUE(trigger->isEnabled());
        trigger->click();
        ASSERT_TRUE(Pump([&] { return Armed(*panel); }, 5'000))
            << "the trigger was not armed; " << Diagnosis() << "\nwait cursor " << int(frame->m_bWaitCursorShown)
            << ", flow " << frame->Com().GetZMCOMConfgFlow();
        EXPECT_EQ(Light().GetLight(), -1) << "the light is not neutral while the trigger waits";
        // Start and stop come within one period of the sine after the stream has begun.
        ASSERT_TRUE(Pump([&] { return !Armed(*panel) && !panel->Logic().IsRunning(); }, 20'000))
            << "the triggered measurement did not end by itself; " << Diagnosis();
        if (judged) {
            ASSERT_TRUE(Pump([&] { return Light().GetLight() != -1; }, 10'000)) << "no verdict on the light; " << Diagnosis();
        }
        PumpFor(300);
    }

    // The recorded curve must be the sine's arc from the rising crossing of the start level
    // to the falling crossing of the stop level: nothing before, nothing after.
    void ExpectArcBetweenCrossings()
    {
        const std::vector<double> curve = CurveValues(0);
        ASSERT_GT(curve.size(), 10u) << Diagnosis();
        const double period = Curves().GetPoint(0, 1).x - Curves().GetPoint(0, 0).x;
        ASSERT_GT(period, 0.0);
        // The first value is the one that crossed the start level, the last the one that
        // crossed the stop level (each within one set's change of its level); in between the
        // signal is above the stop level throughout.
        const double start = kStartLevel * scale, stop = kStopLevel * scale;
        const double step = 2.0 * std::numbers::pi * period * 1000.0 / kPeriodMs * kPeak * scale;  // largest change per set
        EXPECT_GE(curve.front(), start) << Diagnosis();
        EXPECT_LT(curve.front(), start + step) << "the recording began late";
        EXPECT_LE(curve.back(), stop) << "the recording went past the stop level: " << curve.back();
        EXPECT_GT(curve.back(), stop - step) << "the recording ended late";
        for (std::size_t i = 1; i + 1 < curve.size(); ++i)
            ASSERT_GT(curve[i], stop) << "value " << i << " of " << curve.size() << " lies outside the arc";
        const double peak = *std::max_element(curve.begin(), curve.end());
        EXPECT_NEAR(peak, kPeak * scale, scale);
        // The arc from sine 0.5 rising to sine 0.25 falling lasts (pi - asin 0.25 - asin 0.5) / 2pi periods.
        const double arcMs = (std::numbers::pi - std::asin(0.25) - std::asin(0.5)) / (2.0 * std::numbers::pi) * kPeriodMs;
        EXPECT_NEAR((curve.size() - 1) * period * 1000.0, arcMs, 3.0 * period * 1000.0);

        // The measured-value file holds the same arc, set for set.
        Pump([&] { return !ValueFile().empty() && FileColumn(ValueFile(), 1).size() >= curve.size(); }, 10'000);
        const std::vector<double> file = FileColumn(ValueFile(), 1);
        ASSERT_EQ(file.size(), curve.size()) << FileHead(ValueFile());
        EXPECT_NEAR(file.front(), curve.front(), 0.01 * scale);
        EXPECT_NEAR(file.back(), curve.back(), 0.01 * scale);
    }

    // Connects a simulator whose channel A is the sine, and sets up on the set-up page, as the
    // user does: channel A measured at 200 sets a second, start when it rises over the start
    // level, stop when it falls under the stop level (both in the channel's unit, as typed).
    void ConnectAndSetUpTriggers(std::vector<std::string> sensorArgs, const char* startLevel, const char* stopLevel)
    {
        sensorArgs.push_back("--signal-a=sine:amp=10000,period=2000");
        ASSERT_TRUE(StartSensor(std::move(sensorArgs)));
        ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor";
        frame->ShowPage(app::kPageMeasureSetup);
        PumpFor(300);
        setup = FindPage<MeasureSetupWidget>(*frame);
        ASSERT_NE(setup, nullptr);
        auto* channelA = setup->Item<QAbstractButton>(kChannelButton[0]);
        ASSERT_NE(channelA, nullptr);
        if (!channelA->isChecked()) channelA->click();
        PumpFor(300);
        Choose(kAxisCombo[0], kAxisTime);
        Choose(kAxisCombo[1], 2);  // channel A on Y1
        Choose(IDC_RATE_COMBO, 6);  // 200 value sets a second
        Choose(IDC_START_SOURCE, 1);  // channel A
        Choose(IDC_START_DIRECTION, 0);  // "Over run"
        Type(IDC_START_VALUE, startLevel);
        Choose(IDC_STOP_SOURCE, 1);
        Choose(IDC_STOP_DIRECTION, 1);  // "Under run"
        Type(IDC_STOP_VALUE, stopLevel);
    }
};

TEST_F(TriggeredMeasurement, TheArcBetweenTheTriggerLevelsIsRecordedAndJudgedPassThenFail)
{
    ConnectAndSetUpTriggers({"--serial=6101", "--stator-id=5", "--stator-rev=6", "--hmb-usb=0"}, "100", "50");
    ASSERT_FALSE(HasFatalFailure());
    // Pass/fail: channel A between -1 and 250; its peak of 200 passes.
    Choose(kConditionCombo[0], 0);
    Type(kLimitEdit[0], "-1");
    Type(kLimitEdit[1], "250");
    // Condition 2 keeps channel B, its limit typed and emptied again: no condition, in the file neither.
    Choose(kConditionCombo[1], 1);
    for (const char* text : {"0,5", ""}) Type(kLimitEdit[3], text);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(setup->Logic().GetIoNioInputs().conditions, 1) << "condition 1 alone is not what the page judges by";

    MeasureOneTriggeredCycle();
    ASSERT_FALSE(HasFatalFailure());
    ExpectArcBetweenCrossings();
    EXPECT_EQ(Light().GetLight(), 0) << "a peak of 200 within -1..250 did not pass";
    EXPECT_GT(LampCentre().green(), 2 * LampCentre().red()) << "the lamp is not green";
    EXPECT_TRUE(Light().isVisible()) << "the status light is not shown";
    QStringList results = ResultFiles();
    ASSERT_EQ(results.size(), 1) << "no pass/fail result file after the first measurement";
    ExpectResultFile(results.first(), -1.0, 250.0, true);

    // The same measurement under an upper limit of 150: the peak fails it.
    frame->ShowPage(app::kPageMeasureSetup);
    PumpFor(300);
    Type(kLimitEdit[1], "150");
    MeasureOneTriggeredCycle();
    ASSERT_FALSE(HasFatalFailure());
    ExpectArcBetweenCrossings();
    EXPECT_EQ(Light().GetLight(), 2) << "a peak of 200 above 150 did not fail";
    EXPECT_GT(LampCentre().red(), 2 * LampCentre().green()) << "the lamp is not red";
    results = ResultFiles();
    ASSERT_EQ(results.size(), 2);
    ExpectResultFile(results.last(), -1.0, 150.0, false);
    EXPECT_TRUE(boxes.Boxes().empty()) << Diagnosis();
}

// The same arc on a torque channel of 50 N·m, shown in N·m: the hysteresis is the share of the
// range that the unit gives (1 % of 50 N·m), so a start level of 10 N·m arms and fires.
TEST_F(TriggeredMeasurement, OnATorqueChannelInNewtonMetresTheArcIsRecorded)
{
    scale = 0.1;
    ConnectAndSetUpTriggers({"--serial=6103", "--stator-id=5", "--stator-rev=6", "--type-class=D", "--range-a=5000"}, "10", "5");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(std::string(frame->DisplayTable(0)->SelectedUnitText().GetString()), "N·m");

    MeasureOneTriggeredCycle(false);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_NEAR(frame->Fields().triggers.startHysteresis, 0.5, 1e-9);
    ExpectArcBetweenCrossings();
    EXPECT_TRUE(boxes.Boxes().empty()) << Diagnosis();
}

}  // namespace
