// The whole application in one process (the real frame, view, pages, views and port library)
// against km3-sensor-sim processes on pseudo-terminals, in real time: a measurement started
// with the control panel's Start button at the fastest rate and stopped with Stop. The
// simulated signal is a ramp that rises with every value set, so every set has its own value: the
// curve store and the measured-value file must hold one unbroken run of them, in order, and
// the same run in both.
#include <gtest/gtest.h>

#include "measurement/measure_control_ids.h"
#include "measurement/measure_setup_ids.h"
#include "tests/e2e/whole_app.h"

namespace {

using namespace e2e;

constexpr int kMeasureMs = 3000;

struct WholeProgram : ::testing::Test, WholeApp {
    void StartSensor(std::vector<std::string> args) { ASSERT_TRUE(WholeApp::StartSensor(std::move(args))); }
};

TEST_F(WholeProgram, EveryValueSetOfAFullRateMeasurementIsInTheCurveStoreAndTheFileInOrder)
{
    StartSensor({"--serial=6001", "--stator-id=5", "--stator-rev=6", "--signal-a=ramp:slope=5000",
                 "--signal-b=ramp:slope=5000,base=100"});
    ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor";

    // The fastest rate the set-up page offers for this line, chosen as the user does.
    frame->ShowPage(app::kPageMeasureSetup);
    PumpFor(200);
    QComboBox* rate = nullptr;
    for (QComboBox* combo : frame->findChildren<QComboBox*>())
        if (combo->property("ctrlId").toInt() == measurement::IDC_RATE_COMBO) rate = combo;
    ASSERT_NE(rate, nullptr) << "no rate box on the set-up page";
    ASSERT_GT(rate->count(), 0);
    rate->setCurrentIndex(0);
    emit rate->activated(0);
    PumpFor(200);
    ASSERT_LE(frame->Fields().measureRateIndex, 2) << rate->itemText(0).toStdString();
    // Every set into the diagram, not one per display refresh.
    ASSERT_NE(frame->Views()->MeasureSettings(), nullptr);
    frame->Views()->MeasureSettings()->cDecimation = 0;
    if (frame->Com().m_pMeasureCtrlSettings) frame->Com().m_pMeasureCtrlSettings->cDecimation = 0;
    frame->ShowPage(app::kPageMeasureControl);
    PumpFor(200);
    QAbstractButton* start = ButtonOf(*frame, measurement::IDC_MC_START);
    ASSERT_NE(start, nullptr) << "no Start button on the control panel";
    start->click();
    ASSERT_TRUE(Pump([&] { return Curves().GetPointCount(0) > 0; }, 10'000)) << "no value reached the curve store";
    PumpFor(kMeasureMs);
    QAbstractButton* stop = ButtonOf(*frame, measurement::IDC_MC_STOP);
    ASSERT_NE(stop, nullptr) << "no Stop button while measuring";
    stop->click();
    // The stream ends: the store stops growing.
    const int points = WaitUntilCurveStill();

    // 2,500 sets a second for the three seconds (the fastest rate this line offers for one
    // sensor), none dropped, none lost, none invented: one unbroken ramp.
    EXPECT_GT(points, kMeasureMs);  // generous: a loaded machine may start the stream late
    EXPECT_EQ(Curves().GetDroppedCount(0), 0);
    const std::vector<double> curve = CurveValues(0);
    std::string where;
    EXPECT_EQ(BreaksInRamp(curve, where), 0) << "curve " << where;
    // The x axis counts the sets: the last one lies (count - 1) sample periods after the first.
    const double period = Curves().GetPoint(0, 1).x - Curves().GetPoint(0, 0).x;
    EXPECT_NEAR((Curves().GetPoint(0, points - 1).x - Curves().GetPoint(0, 0).x) / period, points - 1, 0.5);

    // The measured-value file holds the same run, written behind.
    Pump([&] { return !ValueFile().empty() && FileColumn(ValueFile(), 1).size() >= curve.size(); }, 10'000);
    const std::vector<double> file = FileColumn(ValueFile(), 1);
    ASSERT_FALSE(file.empty()) << "no value set reached the measured-value file\n" << FileHead(ValueFile());
    // The header names the set-up's rate and the measured channels with their units.
    const std::string head = FileHead(ValueFile());
    const auto rateAt = head.find("Messrate;");
    ASSERT_TRUE(rateAt != std::string::npos && rateAt + 9 < head.size()) << head;
    EXPECT_TRUE(head[rateAt + 9] != '\r' && head[rateAt + 9] != '\n') << "no measure rate in the header\n" << head;
    EXPECT_NE(head.find(";A ["), std::string::npos) << "no channel A column with its unit\n" << head;
    EXPECT_EQ(BreaksInRamp(file, where), 0) << "file " << where;
    ASSERT_EQ(file.size(), curve.size());
    EXPECT_NEAR(file.front(), curve.front(), std::fabs(curve[1] - curve[0]));
    EXPECT_NEAR(file.back(), curve.back(), std::fabs(curve[1] - curve[0]));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(WholeProgram, ASensorKilledInMidMeasurementIsReportedAndWhatCameBeforeIsKept)
{
    StartSensor({"--serial=6002", "--stator-id=5", "--stator-rev=6", "--signal-a=ramp:slope=5000"});
    ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor";
    frame->ShowPage(app::kPageMeasureControl);
    PumpFor(200);
    QAbstractButton* start = ButtonOf(*frame, measurement::IDC_MC_START);
    ASSERT_NE(start, nullptr);
    start->click();
    ASSERT_TRUE(Pump([&] { return Curves().GetPointCount(0) > 100; }, 10'000)) << Diagnosis();
    Sensor().Terminate();  // the line hangs up
    // The program notices: the sensor is no longer connected, and the user is told.
    ASSERT_TRUE(Pump([&] { return !frame->m_bSensorConnected; }, 10'000))
        << "the lost sensor went unnoticed; " << Diagnosis()
        << ", flow " << frame->Com().GetZMCOMConfgFlow() << ", active ports " << frame->Com().m_nCountActivePorts;
    PumpFor(500);
    EXPECT_FALSE(frame->IsClosed());
    const int points = Curves().GetPointCount(0);
    EXPECT_GT(points, 100);
    const std::vector<double> curve = CurveValues(0);
    std::string where;
    EXPECT_EQ(BreaksInRamp(curve, where), 0) << "curve " << where;
    EXPECT_FALSE(boxes.Boxes().empty()) << "the user was not told that the sensor went away";
}

}  // namespace
