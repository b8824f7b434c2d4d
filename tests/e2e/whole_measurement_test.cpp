// The whole application in one process (the real frame, view, pages, views and port library)
// against km3-sensor-sim processes on pseudo-terminals, in real time: a measurement started
// with the control panel's Start button at the fastest rate and stopped with Stop. The
// simulated signal is a ramp that rises with every value set, so every set has its own value: the
// curve store and the measured-value file must hold one unbroken run of them, in order, and
// the same run in both. The same with a sensor killed, and one falling silent, in mid-measurement,
// and a sensor unplugged after its measurement has ended.
#include <gtest/gtest.h>

#include <QApplication>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "controls/xlist_ctrl.h"
#include "documentation/documentation_texts.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_setup_ids.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "sensor_admin/port_list_model.h"
#include "platform/qt_text.h"
#include "platform/quit_on_signal.h"
#include "port/port_list.h"
#include "res/string_table.h"
#include "tests/documentation/file_size_limit.h"
#include "tests/e2e/whole_app.h"
#include "views/aform_light.h"
#include "workflow/workflow_texts.h"

namespace {

using namespace e2e;

constexpr int kMeasureMs = 3000;
constexpr double kRampSlope = 5000.0;  // counts a second, as the sensors below are told

struct WholeProgram : ::testing::Test, WholeApp {
    void StartSensor(std::vector<std::string> args) { ASSERT_TRUE(WholeApp::StartSensor(std::move(args))); }

    // The controller's port rows and the port list, for a failed search.
    std::string PortTable()
    {
        std::ostringstream text;
        for (const auto& rec : frame->Com().m_PortRec)
            if (!rec.m_strPortName.IsEmpty())
                text << "\nrow " << rec.m_strPortName.GetString() << " state " << rec.m_nState;
        for (int i = 0; i < ThePortList().GetSize(); ++i) {
            CString name;
            bool present = false;
            ThePortList().EntryAt(i, &name, &present, nullptr);
            text << "\nlisted " << name.GetString() << (present ? "" : " (absent)");
        }
        text << "\nflow " << frame->Com().GetZMCOMConfgFlow() << ", active ports " << frame->Com().m_nCountActivePorts;
        return text.str();
    }

    static constexpr int k200PerSecond = 6;

    // The control panel's Start and Stop, clicked as the user does.
    void Start()
    {
        frame->ShowPage(app::kPageMeasureControl);
        PumpFor(200);
        QAbstractButton* start = ButtonOf(*frame, measurement::IDC_MC_START);
        ASSERT_NE(start, nullptr) << "no Start button on the control panel; " << Diagnosis();
        // As the user does, once it is enabled: it waits while the set-up is written, say.
        ASSERT_TRUE(Pump([&] { return start->isEnabled(); }, 10'000)) << "Start stayed disabled; " << Diagnosis();
        clickedAt.start();
        start->click();
    }
    QElapsedTimer clickedAt;

    measurement::MeasureControlWidget& Panel()
    {
        if (auto* panel = app_test::FindPage<measurement::MeasureControlWidget>(*frame)) return *panel;
        throw std::logic_error("no control panel");
    }
    void Stop()
    {
        QAbstractButton* stop = ButtonOf(*frame, measurement::IDC_MC_STOP);
        ASSERT_NE(stop, nullptr) << "no Stop button while measuring";
        stop->click();
    }

    // The measured-value file holds the same unbroken run as the curve, no set more or less.
    void ExpectFileHoldsCurve(const std::vector<double>& curve, double rampSlope = kRampSlope)
    {
        ASSERT_GT(curve.size(), 2u);
        Pump([&] { return !ValueFile().empty() && FileColumn(ValueFile(), 1).size() >= curve.size(); }, 10'000);
        const std::vector<double> file = FileColumn(ValueFile(), 1);
        ASSERT_FALSE(file.empty()) << "no value set reached the measured-value file\n" << FileHead(ValueFile());
        ExpectColumnHoldsCurve(file, curve, rampSlope);
    }
    void ExpectColumnHoldsCurve(const std::vector<double>& column, const std::vector<double>& curve, double rampSlope)
    {
        std::string where;
        EXPECT_EQ(BreaksInRamp(column, RampCountsPerSet(rampSlope), where), 0) << "file " << where;
        ASSERT_EQ(column.size(), curve.size());
        EXPECT_NEAR(column.front(), curve.front(), std::fabs(curve[1] - curve[0]));
        EXPECT_NEAR(column.back(), curve.back(), std::fabs(curve[1] - curve[0]));
    }
};

TEST_F(WholeProgram, EveryValueSetOfAFullRateMeasurementIsInTheCurveStoreAndTheFileInOrder)
{
    StartSensor({"--serial=6001", "--stator-id=5", "--stator-rev=6", "--signal-a=ramp:slope=5000",
                 "--signal-b=ramp:slope=5000,base=100"});
    ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor";

    ASSERT_TRUE(SetUpManualMeasurement(kFastestRate));
    ASSERT_LE(frame->Fields().measureRateIndex, 2);
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
    EXPECT_EQ(BreaksInRamp(curve, RampCountsPerSet(kRampSlope), where), 0) << "curve " << where;
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
    EXPECT_EQ(BreaksInRamp(file, RampCountsPerSet(kRampSlope), where), 0) << "file " << where;
    ASSERT_EQ(file.size(), curve.size());
    EXPECT_NEAR(file.front(), curve.front(), std::fabs(curve[1] - curve[0]));
    EXPECT_NEAR(file.back(), curve.back(), std::fabs(curve[1] - curve[0]));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(WholeProgram, ASensorKilledInMidMeasurementIsReportedWhatCameBeforeIsKeptAndOneUnpluggedAfterItIsOnlyToldGone)
{
    StartSensor({"--serial=6002", "--stator-id=5", "--stator-rev=6", "--signal-a=ramp:slope=5000"});
    ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor";
    ASSERT_TRUE(SetUpManualMeasurement(k200PerSecond));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Pump([&] { return Curves().GetPointCount(0) > 100; }, 10'000)) << Diagnosis();
    UnplugSensor();  // the line hangs up and leaves the port list
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
    EXPECT_EQ(BreaksInRamp(curve, RampCountsPerSet(kRampSlope), where), 0) << "curve " << where;
    // The message names the sensor by its serial number and its port.
    ASSERT_FALSE(boxes.Boxes().empty()) << "the user was not told that the sensor went away";
    const std::string message = boxes.Boxes().back().text.GetString();
    EXPECT_NE(message.find("6002"), std::string::npos) << message;
    EXPECT_NE(message.find("COM"), std::string::npos) << message;

    // What came before is written: the same unbroken run as the curve.
    ExpectFileHoldsCurve(curve);

    // The sensor comes back on a new line; the user searches on the connection page and
    // measures again, now judged: channel A below a wide limit passes.
    const std::size_t boxesBefore = boxes.Boxes().size();
    StartSensor({"--serial=6002", "--stator-id=5", "--stator-rev=6", "--signal-a=ramp:slope=5000"});
    frame->ShowPage(app::kPageConnection);
    PumpFor(200);
    QAbstractButton* search = ButtonOf(*frame, sensor_admin::IDC_CONN_SEARCH);
    ASSERT_NE(search, nullptr) << "no Search button on the connection page";
    search->click();
    ASSERT_TRUE(Pump([&] { return frame->m_bSensorConnected && frame->Com().m_nCountActivePorts >= 1 &&
                                  frame->Com().IsSensorReady(); }, 60'000))
        << "the sensor that came back was not connected again; " << Diagnosis() << PortTable();
    frame->ShowPage(app::kPageMeasureSetup);
    PumpFor(300);
    auto& setup = *app_test::FindPage<measurement::MeasureSetupWidget>(*frame);
    ASSERT_TRUE(SetUpManualMeasurement(k200PerSecond));
    ASSERT_TRUE(ChooseDatum(setup, measurement::kConditionCombo[0], 0) && TypeInto(setup, measurement::kLimitEdit[1], "1000000"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Pump([&] { return Curves().GetPointCount(0) > 100; }, 10'000)) << Diagnosis();
    ASSERT_NO_FATAL_FAILURE(Stop());
    WaitUntilCurveStill();
    EXPECT_EQ(BreaksInRamp(CurveValues(0), RampCountsPerSet(kRampSlope), where), 0) << "curve after reconnecting " << where;
    EXPECT_EQ(boxes.Boxes().size(), boxesBefore) << Diagnosis();
    const CAFormLight& light = *frame->Views()->Light();
    ASSERT_TRUE(Pump([&] { return light.GetLight() == 0; }, 10'000)) << "the run was not judged; " << Diagnosis();

    // Unplugged with its measurement ended, it cuts nothing short: it is told gone, the light keeps
    // the run's verdict, and its port leaves the connection page's list as it leaves the port list.
    const int row = frame->Com().m_nPortRecOfSensor[0];
    const CString name = frame->Com().m_PortRec.at(static_cast<std::size_t>(row)).m_strPortName;
    const CXListCtrl& ports = app_test::FindPage<sensor_admin::SensorConnectionForm>(*frame)->List();
    const CString shown = ports.GetItemText(row, sensor_admin::kColumnPort);
    UnplugSensor(1);
    ASSERT_TRUE(Pump([&] { return !frame->m_bSensorConnected && boxes.Boxes().size() > boxesBefore; }, 10'000));
    PumpFor(300);
    const CString gone = CString::Formatted(LoadLangString(workflow::kTextSensorLost).GetString(), 6002u, name.GetString());
    EXPECT_STREQ(boxes.Boxes().back().text.GetString(), gone.GetString());
    EXPECT_EQ(light.GetLight(), 0);
    for (int r = 0; r < ports.GetItemCount(); ++r) EXPECT_STRNE(ports.GetItemText(r, sensor_admin::kColumnPort).GetString(), shown.GetString());
}

// Two seconds of silence in mid-measurement outlast the stream's receive time-out twice: the
// measurement ends as a protocol error, with what came before kept and written. The sensor stays
// connected; what it sent during the silence arrives after the end and is no part of the
// measurement. Once it talks again, the next measurement runs.
TEST_F(WholeProgram, ASensorThatFallsSilentForTwoSecondsEndsTheMeasurementWithWhatCameBeforeKept)
{
    constexpr int kRecordsBeforeStall = 600;
    // The sensor's counter wraps every 1.3 s of this ramp, in every run, whenever the connection
    // came: every run crosses the wrap.
    constexpr double kSlope = 50000.0;
    // Behind the RS-485 interface: stator type 5 without the HMB-USB bit.
    StartSensor({"--serial=6003", "--stator-id=5", "--stator-rev=6", "--hmb-usb=0", "--signal-a=ramp:slope=50000",
                 "--stall=r" + std::to_string(kRecordsBeforeStall) + ":2000"});
    ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor";
    ASSERT_TRUE(SetUpManualMeasurement(k200PerSecond));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Pump([&] { return Curves().GetPointCount(0) > 0; }, 10'000)) << Diagnosis();
    // The measurement ends by itself, the program stays up.
    ASSERT_NE(frame->Com().m_pMeasureCtrlSettings, nullptr);
    ASSERT_TRUE(Pump([&] { return frame->Com().m_pMeasureCtrlSettings->bRunning == 0; }, 20'000))
        << "the silence went unnoticed; " << Diagnosis();
    // The held-back bytes arrive when the silence ends; they are no part of the measurement.
    PumpFor(3000);
    EXPECT_FALSE(frame->IsClosed());
    const std::vector<double> curve = CurveValues(0);
    std::string where;
    EXPECT_EQ(BreaksInRamp(curve, RampCountsPerSet(kSlope), where), 0) << "curve " << where;
    // Every set before the silence (the simulator holds back the whole write that reaches the
    // stall's record, so the last few may wait with it), none after it.
    EXPECT_LE(static_cast<int>(curve.size()), kRecordsBeforeStall) << Diagnosis();
    EXPECT_GE(static_cast<int>(curve.size()), kRecordsBeforeStall - 10) << Diagnosis();
    ExpectFileHoldsCurve(curve, kSlope);
    // The user sees the protocol error on the panel's state indicator and, for a sensor behind
    // the RS-485 interface, is told once what to do.
    QAbstractButton* state = ControlOf<QAbstractButton>(*frame, measurement::IDC_MC_STATE_LED);
    ASSERT_NE(state, nullptr);
    EXPECT_NE(state->text().toStdString().find("#"), std::string::npos) << state->text().toStdString();
    EXPECT_EQ(boxes.Boxes().size(), 1u) << Diagnosis();

    // The sensor is still connected, and measures again.
    EXPECT_TRUE(frame->m_bSensorConnected);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Pump([&] { return Curves().GetPointCount(0) > 100; }, 10'000)) << Diagnosis();
    ASSERT_NO_FATAL_FAILURE(Stop());
    WaitUntilCurveStill();
    EXPECT_EQ(BreaksInRamp(CurveValues(0), RampCountsPerSet(kSlope), where), 0) << "curve of the next measurement " << where;
    EXPECT_EQ(boxes.Boxes().size(), 1u) << Diagnosis();
}

// At 50 per minute the program asks the sensor for each value set, one every 1.2 s, and every
// answer reaches the diagram. Behind the RS-485 interface each tick also checks that the last
// answer came. What is counted are the value requests the sensor had and the points they brought,
// never a window of wall-clock time: on a loaded machine a tick may come late, but never early,
// and its value still has to arrive. At 10 per second, with the window's thread busy for 130 ms
// (a repaint, a dialog) every 610 ms, at every phase of the ticks, every request is answered,
// 40 ms late, and the measurement runs on.
TEST_F(WholeProgram, APolledMeasurementAt50PerMinuteDrawsEveryPollAndOneAt10PerSecondRunsOnWhileTheWindowIsBusy)
{
    const std::string dump = (profile.dir.path() + "/sensor-blocks.txt").toStdString();
    StartSensor({"--serial=6004", "--stator-id=5", "--stator-rev=6", "--hmb-usb=0", "--latency=40", "--signal-a=ramp:slope=50",
                 "--dump-blocks=" + dump});
    const auto requests = [&] {  // the value requests the sensor has had, as it tells on SIGUSR1
        std::remove(dump.c_str());
        int n = -1;
        if (Sensor().Signal(SIGUSR1) && Pump([&] { return std::filesystem::exists(dump); }, 10'000))
            std::sscanf(FileHead(dump, 3).c_str(), "%*[^\n]\n%*[^\n]\nsensor 1 value-requests %d", &n);
        // Without a count the differences below would hold whatever the program did.
        EXPECT_GE(n, 0) << "the sensor told no count of its value requests";
        return n;
    };
    ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor; " << Diagnosis() << PortTable();
    ASSERT_TRUE(SetUpManualMeasurement(15));  // 50 a minute
    int before = requests();
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(frame->Com().m_nPollIntervalMs, 1200u);

    // The start asks for the first value set at once, then each tick for the next: the fifth
    // answers the fourth tick, which comes no sooner than 4 × 1.2 s after Start.
    constexpr int kPoints = 5;
    ASSERT_TRUE(Pump([&] { return Curves().GetPointCount(0) >= kPoints; }, 30'000)) << Diagnosis();
    EXPECT_GE(clickedAt.elapsed(), (kPoints - 1) * 1200 - 10) << Diagnosis();
    Stop();
    const int points = WaitUntilCurveStill();
    // Every request's value set is in the diagram, the start's and each tick's; the stop may cut
    // off the answer to the last one.
    const int asked = requests() - before;
    EXPECT_GE(asked, kPoints);
    EXPECT_GE(points, asked - 1) << Diagnosis();
    EXPECT_LE(points, asked) << Diagnosis();

    ASSERT_TRUE(SetUpManualMeasurement(13));
    before = requests();
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(frame->Com().m_nPollIntervalMs, 100u);
    ASSERT_TRUE(Pump([&] { return Curves().GetPointCount(0) > 0; }, 10'000)) << Diagnosis();
    for (int busy = 0; busy < 10; ++busy) {
        PumpFor(480);
        std::this_thread::sleep_for(std::chrono::milliseconds(130));
    }
    EXPECT_EQ(frame->Com().m_pMeasureCtrlSettings->bRunning, 1) << Diagnosis();
    Stop();
    EXPECT_GE(WaitUntilCurveStill(), requests() - before - 1) << Diagnosis();
    EXPECT_TRUE(boxes.Boxes().empty()) << Diagnosis();
}

// The values folder fills up in mid-measurement at the fastest rate, the user is told while the
// measurement goes on, and the program is ended while it is full, by the window's close and by
// SIGTERM. Every set is then in the value file or in a recovery file of the same form in the
// data folder, and the user is told where: at the close, or at the next start after SIGTERM.
TEST_F(WholeProgram, SetsAFullDiskRefusesAtTheEndAreSavedInTheDataFolderAndTheUserIsToldWhere)
{
    StartSensor({"--serial=6005", "--stator-id=5", "--stator-rev=6", "--signal-a=ramp:slope=5000"});
    const QString dataFolder = profile.dir.path() + "/data/Tessaline Inc./TSL-USB-KM3";
    std::string recovery;
    const auto toldWhere = [&] {  // the box that names the last recovery file
        for (const auto& box : boxes.Boxes())
            if (!recovery.empty() && box.text.Find(CString(recovery.c_str())) >= 0) return box.text;
        return CString();
    };
    for (const bool bySignal : {false, true}) {
        frame.reset();
        ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor";
        EXPECT_TRUE(toldWhere().IsEmpty()) << "told a second time at the start";
        ASSERT_TRUE(SetUpManualMeasurement(kFastestRate));  // 5000 value sets a second
        ASSERT_NO_FATAL_FAILURE(Start());
        // Two seconds of sets in the file leave the recovery and settings files room under the limit.
        ASSERT_TRUE(Pump([&] { return !ValueFile().empty() && FileColumn(ValueFile(), 1).size() >= 10000; }, 20'000));
        {
            documentation_test::FileSizeLimit full(std::filesystem::file_size(ValueFile()));
            PumpFor(1500);  // a retry after the first refusal's back-off
            // The user learns of it while measuring.
            const CString refused = documentation::FileFaultText(
                documentation::kTextFileNotWritten, CString(ValueFile().c_str()), LoadLangString(documentation::kTextReasonDiskFull));
            EXPECT_TRUE(boxes.Count() > 0 && boxes.Boxes().front().text == refused) << Diagnosis();
            if (bySignal) {  // SIGTERM ends the event loop as the program runs it
                ASSERT_TRUE(platform::QuitOnTerminationSignals());
                std::raise(SIGTERM);
                QApplication::exec();
            } else {
                frame->close();
            }
            ASSERT_TRUE(Pump([&] { return frame->IsClosed(); }, 20'000));
        }
        const QStringList recovered = QDir(dataFolder).entryList({"*.csv"}, QDir::Files, QDir::Name);
        ASSERT_EQ(recovered.size(), bySignal ? 2 : 1);
        recovery = (dataFolder + "/" + recovered.last()).toStdString();
        std::vector<double> column = FileColumn(ValueFile(), 1);
        const std::vector<double> rest = FileColumn(recovery, 1);
        EXPECT_GT(rest.size(), 100u);
        column.insert(column.end(), rest.begin(), rest.end());
        ExpectColumnHoldsCurve(column, CurveValues(0), kRampSlope);
        const std::string head = FileHead(ValueFile(), 10);
        EXPECT_EQ(FileHead(recovery, 10).substr(0, head.find("Zeit [s]") + 8), head.substr(0, head.find("Zeit [s]") + 8));
        EXPECT_EQ(toldWhere().IsEmpty(), bySignal) << Diagnosis();
        boxes.Clear();
    }
    frame.reset();
    frame = std::make_unique<CMainFrame>();
    frame->show();
    ASSERT_TRUE(Pump([&] { return !toldWhere().IsEmpty(); }, 10'000)) << Diagnosis();
    EXPECT_EQ(toldWhere().Find(LoadLangString(documentation::kTextSetsRecoveredAtLastEnd)), 0);
}

}  // namespace
