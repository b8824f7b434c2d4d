// The whole application in one process (the real frame, view, pages, views and port library)
// against km3-sensor-sim processes on pseudo-terminals, in real time: a measurement started
// with the control panel's Start button at the fastest rate and stopped with Stop. The
// simulated signal is a ramp that rises with every value set, so every set has its own value: the
// curve store and the measured-value file must hold one unbroken run of them, in order, and
// the same run in both.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <QLabel>

#include <clocale>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/main_frame_views.h"
#include "app/page_table.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_setup_ids.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "platform/qt_loop_driver.h"
#include "port/port_settings_store.h"
#include "port/profile_port_settings.h"
#include "tests/app/app_test_support.h"
#include "tests/sim/sim_process.h"
#include "views/aform_diagram.h"
#include "views/graphic_display_wnd.h"

namespace {

constexpr int kMeasureMs = 3000;

// Runs the application's event loop until condition holds or boundMs have passed.
bool Pump(const std::function<bool()>& condition, int boundMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() >= boundMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void PumpFor(int ms)
{
    Pump([] { return false; }, ms);
}

QAbstractButton* ButtonOf(QWidget& root, int ctrlId)
{
    for (QAbstractButton* button : root.findChildren<QAbstractButton*>())
        if (button->property("ctrlId").toInt() == ctrlId && button->isVisible()) return button;
    return nullptr;
}

// The ramp's values in a column: each set one step on from the one before, the 16-bit counter
// wrapping at most now and then. Returns the number of breaks.
int BreaksInRamp(const std::vector<double>& values, std::string& first)
{
    if (values.size() < 3) return 0;
    const double step = values[1] - values[0];
    int breaks = 0;
    for (std::size_t i = 1; i < values.size(); ++i) {
        const double diff = values[i] - values[i - 1];
        const bool onStep = std::fabs(diff - step) <= std::fabs(step) * 1e-3;
        const bool wrap = std::fabs(diff - (step - 65536.0 * step)) <= std::fabs(step) * 2.0;
        if (!onStep && !wrap) {
            if (breaks++ == 0) {
                std::ostringstream where;
                where << "at " << i << ": " << values[i - 1] << " -> " << values[i] << " (step " << step << ")";
                first = where.str();
            }
        }
    }
    return breaks;
}

// The first value column of the lines of a measured-value file that start with a number.
std::vector<double> FileColumn(const std::string& path, int column)
{
    std::vector<double> values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || !(std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == '-')) continue;
        std::vector<std::string> fields;
        std::string field;
        std::istringstream parts(line);
        while (std::getline(parts, field, ';')) fields.push_back(field);
        if (static_cast<int>(fields.size()) <= column) continue;
        std::string number = fields[static_cast<std::size_t>(column)];
        for (char& c : number)
            if (c == ',') c = '.';
        char* end = nullptr;
        const double value = std::strtod(number.c_str(), &end);
        if (end != number.c_str()) values.push_back(value);
    }
    return values;
}

std::string e2e_head(const std::string& path)
{
    std::ifstream in(path);
    std::string text, line;
    for (int i = 0; i < 30 && std::getline(in, line); ++i) text += line + "\n";
    return text;
}

struct WholeProgram : ::testing::Test {
    app_test::TempProfile profile;
    platform::MessageLoop loop{platform::MessageLoop::Time::Real};
    platform::QtLoopDriver driver{loop};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxScope{&boxes};
    std::unique_ptr<sim::testing::SimProcess> sensor;
    std::unique_ptr<CMainFrame> frame;
    QString valueFolder;

    void StartSensor(std::vector<std::string> args)
    {
        sensor = std::make_unique<sim::testing::SimProcess>(std::move(args));
        const auto paths = sensor->DevicePaths();
        ASSERT_FALSE(paths.empty());
        platform::WriteProfileString("Version", "Version", "2.04");
        for (std::size_t i = 0; i < paths.size(); ++i)
            platform::WriteProfileString("SERIALCOMM", CString::Formatted("Simulator%d", static_cast<int>(i + 1)),
                                         CString(paths[i].c_str()));
        valueFolder = profile.dir.path() + "/values";
        QDir().mkpath(valueFolder);
        platform::WriteProfileString("Documentation", "MeasValuesDir", CString(valueFolder.toStdString().c_str()));
        platform::WriteProfileInt("Documentation", "MeasValuesMode", 2);
        platform::WriteProfileInt("Documentation", "AutoStorage", 1);
        SetPortSettingsStore(std::make_shared<ProfilePortSettingsStore>());
    }

    bool Connect(int sensors)
    {
        frame = std::make_unique<CMainFrame>();
        frame->show();
        if (frame->Hooks().startUpSearch) frame->Hooks().startUpSearch();
        return Pump([&] { return frame->m_bSensorConnected && frame->Com().m_nCountActivePorts >= sensors &&
                                 frame->Com().IsSensorReady(); },
                    60'000);
    }

    void TearDown() override
    {
        if (frame) {
            frame->RequestClose();
            Pump([&] { return frame->IsClosed(); }, 20'000);
        }
        frame.reset();
        SetPortSettingsStore(nullptr);
    }

    // What the program shows when a run goes wrong: the curves' extent and any message.
    std::string Diagnosis()
    {
        std::ostringstream text;
        text << "curves " << Curves().GetCurveCount();
        const int n = Curves().GetPointCount(0);
        if (n > 1)
            text << ", x from " << Curves().GetPoint(0, 0).x << " to " << Curves().GetPoint(0, n - 1).x << ", y from "
                 << Curves().GetPoint(0, 0).y << " to " << Curves().GetPoint(0, n - 1).y;
        for (const auto& box : boxes.Boxes()) text << "\nmessage: " << box.text.GetString();
        return text.str();
    }

    CDataManager& Curves() { return frame->Views()->Diagram()->Display().Data(); }

    std::string ValueFile() const
    {
        const QStringList files = QDir(valueFolder).entryList(QDir::Files);
        return files.isEmpty() ? std::string() : (valueFolder + "/" + files.first()).toStdString();
    }
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
    int points = -1;
    QElapsedTimer still;
    ASSERT_TRUE(Pump([&] {
        const int now = Curves().GetPointCount(0);
        if (now != points) still.start();
        points = now;
        return still.elapsed() >= 300;
    }, 20'000)) << Diagnosis();

    // 2,500 sets a second for the three seconds (the fastest rate this line offers for one
    // sensor), none dropped, none lost, none invented: one unbroken ramp.
    EXPECT_GT(points, kMeasureMs);  // generous: a loaded machine may start the stream late
    EXPECT_EQ(Curves().GetDroppedCount(0), 0);
    std::vector<double> curve;
    for (int i = 0; i < points; ++i) curve.push_back(Curves().GetPoint(0, i).y);
    std::string where;
    EXPECT_EQ(BreaksInRamp(curve, where), 0) << "curve " << where;
    // The x axis counts the sets: the last one lies (count - 1) sample periods after the first.
    const double period = Curves().GetPoint(0, 1).x - Curves().GetPoint(0, 0).x;
    EXPECT_NEAR((Curves().GetPoint(0, points - 1).x - Curves().GetPoint(0, 0).x) / period, points - 1, 0.5);

    // The measured-value file holds the same run, written behind.
    Pump([&] { return !ValueFile().empty() && FileColumn(ValueFile(), 1).size() >= curve.size(); }, 10'000);
    const std::vector<double> file = FileColumn(ValueFile(), 1);
    ASSERT_FALSE(file.empty()) << "no value set reached the measured-value file\n" << e2e_head(ValueFile());
    // The header names the set-up's rate and the measured channels with their units.
    const std::string head = e2e_head(ValueFile());
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
    sensor->Terminate();  // the line hangs up
    // The program notices: the sensor is no longer connected, and the user is told.
    ASSERT_TRUE(Pump([&] { return !frame->m_bSensorConnected; }, 10'000))
        << "the lost sensor went unnoticed; " << Diagnosis() << "\nstatus: " << frame->StatusPane(0).text().toStdString()
        << ", flow " << frame->Com().GetZMCOMConfgFlow() << ", active ports " << frame->Com().m_nCountActivePorts;
    PumpFor(500);
    EXPECT_FALSE(frame->IsClosed());
    const int points = Curves().GetPointCount(0);
    EXPECT_GT(points, 100);
    std::vector<double> curve;
    for (int i = 0; i < points; ++i) curve.push_back(Curves().GetPoint(0, i).y);
    std::string where;
    EXPECT_EQ(BreaksInRamp(curve, where), 0) << "curve " << where;
    EXPECT_FALSE(boxes.Boxes().empty()) << "the user was not told that the sensor went away";
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("TSL-USB-KM3");
    QApplication::setOrganizationName("Tessaline Inc.");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
