#pragma once
// The whole application in this process (the real frame, view, pages, views and port library)
// against km3-sensor-sim processes on pseudo-terminals, in real time. Shared by the end-to-end
// tests and the ingest benchmark; free of any test framework. Every wait has a bound.

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QElapsedTimer>

#include <algorithm>
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
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "platform/qt_loop_driver.h"
#include "port/port_list.h"
#include "port/port_settings_store.h"
#include "port/profile_port_settings.h"
#include "tests/app/app_test_support.h"
#include "tests/sim/sim_process.h"
#include "views/aform_diagram.h"
#include "views/graphic_display_wnd.h"
#include "workflow/connection_state.h"

namespace e2e {

// Runs the application's event loop until condition holds or boundMs have passed.
inline bool Pump(const std::function<bool()>& condition, int boundMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() >= boundMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

inline void PumpFor(int ms)
{
    Pump([] { return false; }, ms);
}

// The visible button that carries ctrlId, or null.
inline QAbstractButton* ButtonOf(QWidget& root, int ctrlId)
{
    for (QAbstractButton* button : root.findChildren<QAbstractButton*>())
        if (button->property("ctrlId").toInt() == ctrlId && button->isVisible()) return button;
    return nullptr;
}

template <class Widget>
Widget* ControlOf(QWidget& root, int ctrlId)
{
    for (Widget* widget : root.findChildren<Widget*>())
        if (widget->property("ctrlId").toInt() == ctrlId) return widget;
    return nullptr;
}

// Chooses the entry with the given datum in a combo of the set-up page, as the user does; false
// when the combo cannot be used or offers no such entry.
inline bool ChooseDatum(measurement::MeasureSetupWidget& setup, int comboId, long long datum)
{
    auto* combo = setup.Item<QComboBox>(comboId);
    const std::vector<measurement::ComboEntry>& entries = setup.Logic().Controls()[comboId].entries;
    const auto entry = std::find_if(entries.begin(), entries.end(), [datum](const auto& e) { return e.datum == datum; });
    if (combo == nullptr || !combo->isVisible() || !combo->isEnabled() || entry == entries.end()) return false;
    combo->setCurrentIndex(static_cast<int>(entry - entries.begin()));
    Q_EMIT combo->activated(combo->currentIndex());
    PumpFor(50);
    return true;
}

// Types the text into an edit of the set-up page; false when the edit cannot be used.
inline bool TypeInto(measurement::MeasureSetupWidget& setup, int editId, const char* text)
{
    auto* edit = setup.Item<QLineEdit>(editId);
    if (edit == nullptr || !edit->isVisible() || !edit->isEnabled()) return false;
    edit->setText(text);
    PumpFor(50);
    return true;
}

// The ramp's values in a column: each set one step of countsPerSet counts on from the one before.
// The sensor's 16-bit counter wraps by 65536 counts, a fall of exactly 65536 / countsPerSet steps,
// whenever the ramp passes it; where that falls in a run depends on how long the connection took.
// Returns the number of breaks; first describes the first one.
inline int BreaksInRamp(const std::vector<double>& values, double countsPerSet, std::string& first)
{
    if (values.size() < 3) return 0;
    // The ramps rise: of the first two differences the larger is the step, the other may be a wrap.
    const double step = std::max(values[1] - values[0], values[2] - values[1]);
    const double wrapDiff = step * (1.0 - 65536.0 / countsPerSet);
    const double tolerance = std::fabs(step) * 1e-3;
    int breaks = 0;
    for (std::size_t i = 1; i < values.size(); ++i) {
        const double diff = values[i] - values[i - 1];
        const bool onStep = std::fabs(diff - step) <= tolerance;
        const bool wrap = std::fabs(diff - wrapDiff) <= tolerance;
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

// One column of the lines of a measured-value file that start with a number.
inline std::vector<double> FileColumn(const std::string& path, int column)
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

// The first lines of a file, for messages.
inline std::string FileHead(const std::string& path, int lines = 30)
{
    std::ifstream in(path);
    std::string text, line;
    for (int i = 0; i < lines && std::getline(in, line); ++i) text += line + "\n";
    return text;
}

// The application with its own settings, a value folder with automatic storage, and simulated
// sensors listed in "SERIALCOMM". Message boxes are recorded, never shown.
class WholeApp {
public:
    app_test::TempProfile profile;
    platform::MessageLoop loop{platform::MessageLoop::Time::Real};
    platform::QtLoopDriver driver{loop};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxScope{&boxes};
    std::vector<std::unique_ptr<sim::testing::SimProcess>> sensors;
    std::unique_ptr<CMainFrame> frame;
    QString valueFolder;

    WholeApp()
    {
        // Each run begins as a program that has just started: what an earlier run in this
        // process left in the port list and the connection state (a port alias on a node that a
        // new simulator has taken over since, a sensor still counted as connected) is gone.
        ThePortList().Clear();
        connection_state::ResetAllForTest();
        platform::WriteProfileString("Version", "Version", "2.04");
        valueFolder = profile.dir.path() + "/values";
        QDir().mkpath(valueFolder);
        platform::WriteProfileString("Documentation", "MeasValuesDir", CString(valueFolder.toStdString().c_str()));
        platform::WriteProfileInt("Documentation", "MeasValuesMode", 2);
        platform::WriteProfileInt("Documentation", "AutoStorage", 1);
        SetPortSettingsStore(std::make_shared<ProfilePortSettingsStore>());
    }
    ~WholeApp() { Close(); }
    WholeApp(const WholeApp&) = delete;
    WholeApp& operator=(const WholeApp&) = delete;

    // Starts one km3-sensor-sim process and lists its pseudo-terminals for the start-up search.
    // Returns false when the simulator gave no device.
    bool StartSensor(std::vector<std::string> args)
    {
        sensors.push_back(std::make_unique<sim::testing::SimProcess>(std::move(args)));
        const auto paths = sensors.back()->DevicePaths();
        m_entriesOfSensor.emplace_back();
        for (const auto& path : paths) {
            const CString entry = CString::Formatted("Simulator%d", ++m_devices);
            platform::WriteProfileString("SERIALCOMM", entry, CString(path.c_str()));
            m_entriesOfSensor.back().push_back(entry);
        }
        return !paths.empty();
    }
    sim::testing::SimProcess& Sensor(std::size_t i = 0) { return *sensors.at(i); }

    // Sensor i goes as a pulled plug does: its line hangs up and leaves the port list. A listed
    // node of a dead simulator would lead to whatever terminal the system hands out under that
    // number next, another process's simulator among them, and a search would connect it.
    void UnplugSensor(std::size_t i = 0)
    {
        Sensor(i).Terminate();
        for (const CString& entry : m_entriesOfSensor.at(i)) platform::DeleteProfileEntry("SERIALCOMM", entry);
    }

    // Opens the main window, runs the start-up search and waits until `count` ports are active
    // and the sensors ready, or the program ended.
    bool Connect(int count, int boundMs = 60'000)
    {
        frame = std::make_unique<CMainFrame>();
        frame->show();
        if (frame->Hooks().startUpSearch) frame->Hooks().startUpSearch();
        auto connected = [&] { return frame->m_bSensorConnected && frame->Com().m_nCountActivePorts >= count && frame->Com().IsSensorReady(); };
        return Pump([&] { return connected() || frame->IsClosed(); }, boundMs) && connected();
    }

    // The set-up page as a measurement by hand needs it, chosen as the user does once the page has
    // taken what the sensor keeps: channel A measured and on Y1 over time, no trigger, no limit, the
    // rate with this index (or the fastest it offers); true once the sensor took the rate.
    static constexpr int kFastestRate = -1;
    bool SetUpManualMeasurement(int index)
    {
        frame->ShowPage(app::kPageMeasureSetup);
        PumpFor(200);
        auto& setup = *app_test::FindPage<measurement::MeasureSetupWidget>(*frame);
        Pump([&] { return frame->Com().IsSensorReady() && !setup.Logic().IsTimerArmed(measurement::kTimerRefresh); }, 10'000);
        if (auto* channelA = setup.Item<QAbstractButton>(measurement::kChannelButton[0]); !channelA->isChecked()) channelA->click();
        bool chosen = ChooseDatum(setup, measurement::kAxisCombo[0], measurement::kAxisTime) && ChooseDatum(setup, measurement::kAxisCombo[1], 2) &&
                      ChooseDatum(setup, measurement::IDC_START_SOURCE, 0) && ChooseDatum(setup, measurement::IDC_STOP_SOURCE, 0);
        for (int edit : measurement::kLimitEdit) chosen = chosen && (setup.Item<QLineEdit>(edit)->text().isEmpty() || TypeInto(setup, edit, ""));
        const auto& offered = setup.Logic().Controls()[measurement::IDC_RATE_COMBO].entries;
        const long long rate = index != kFastestRate || offered.empty() ? index : offered.front().datum;
        return chosen && ChooseDatum(setup, measurement::IDC_RATE_COMBO, rate) && frame->Fields().measureRateIndex == rate &&
               Pump([&] { return frame->Com().m_nAnswerWatchMs == 0 && !frame->m_bWaitCursorShown; }, 10'000);
    }

    void Close()
    {
        if (frame) {
            frame->RequestClose();
            Pump([&] { return frame->IsClosed(); }, 20'000);
        }
        frame.reset();
        SetPortSettingsStore(nullptr);
    }

    CDataManager& Curves() { return frame->Views()->Diagram()->Display().Data(); }

    // The counts a ramp of slopePerSecond climbs from one set of curve `curve` to the next: the
    // curve's x axis counts the sets in seconds.
    double RampCountsPerSet(double slopePerSecond, int curve = 0)
    {
        if (Curves().GetPointCount(curve) < 2) return 1.0;
        return slopePerSecond * (Curves().GetPoint(curve, 1).x - Curves().GetPoint(curve, 0).x);
    }

    // Curve `curve`'s y values as the store holds them.
    std::vector<double> CurveValues(int curve)
    {
        std::vector<double> values;
        const int n = Curves().GetPointCount(curve);
        for (int i = 0; i < n; ++i) values.push_back(Curves().GetPoint(curve, i).y);
        return values;
    }

    // Waits until curve 0 has stopped growing for quietMs; returns its point count.
    int WaitUntilCurveStill(int quietMs = 300, int boundMs = 20'000)
    {
        int points = -1;
        QElapsedTimer still;
        still.start();
        Pump([&] {
            const int now = Curves().GetPointCount(0);
            if (now != points) still.start();
            points = now;
            return still.elapsed() >= quietMs;
        }, boundMs);
        return points;
    }

    // The first file in the value folder, or empty.
    std::string ValueFile() const
    {
        const QStringList files = QDir(valueFolder).entryList(QDir::Files);
        return files.isEmpty() ? std::string() : (valueFolder + "/" + files.first()).toStdString();
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
        text << "\nstatus: " << frame->StatusPane(0).text().toStdString();
        return text.str();
    }

private:
    int m_devices = 0;
    std::vector<std::vector<CString>> m_entriesOfSensor;  // the port list entries of each sensor
};

}  // namespace e2e
