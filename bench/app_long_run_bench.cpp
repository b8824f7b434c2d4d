// Long-run benchmark: the whole application in this process (the real frame, pages, views and
// chart) against one simulated sensor in process, on virtual time, streaming two channels at
// 5,000 sets a second for 20 minutes (6 million sets per channel) with the values written to a
// measured-value file. The run is carried by the program's own timers; the window is shown
// offscreen and its paints happen as in the program.
//
// It reports the CPU time this process spent per minute of the measurement. The work per set
// and per repaint must not grow with the sets already held: the target is the last minute
// within 10 % of the first.
//
// Run by hand:  bench_app_long_run [--minutes=N]
// Under callgrind (valgrind --tool=callgrind --instr-atstart=no) only the first and the last
// minute are instrumented, each dumped apart, so that their instruction counts can be compared.
// Exit code 0 when the target was met, 2 when it was missed, 1 when the run failed.
#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>

#include <time.h>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/main_frame_views.h"
#include "app/page_table.h"
#include "bench/offscreen_screen.h"
#include "chart/xgraph.h"
#include "documentation/dlg_documentation.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "tests/app/app_test_support.h"
#include "tests/workflow/workflow_bench.h"
#include "views/aform_diagram.h"
#include "views/graphic_display_wnd.h"
#include "workflow/connection_state.h"

namespace {

double ProcessCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

int Fail(const std::string& why)
{
    std::fprintf(stderr, "long-run benchmark failed: %s\n", why.c_str());
    return 1;
}

// A torque and a speed that swing with a little noise, as on a test bench.
sim::SensorConfig TorqueAndSpeedSensor()
{
    sim::SensorConfig config = workflow_test::AcceptedSensor(424242);
    config.identity.statorId = 5;
    config.signalA = {sim::SignalSpec::Kind::Sine, 0.0, 12000.0, 0.0, 3000.0};
    config.signalA.noise = 40.0;
    config.signalB = {sim::SignalSpec::Kind::Sine, 2000.0, 8000.0, 0.0, 7000.0};
    config.signalB.noise = 25.0;
    config.signalB.seed = 7;
    return config;
}

// Chooses the entry with the given datum in a combo of the set-up page, as the user does.
bool ChooseDatum(measurement::MeasureSetupWidget& setup, int comboId, long long datum)
{
    const std::vector<measurement::ComboEntry>& entries = setup.Logic().Controls()[comboId].entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].datum == datum) {
            auto* combo = setup.Item<QComboBox>(comboId);
            combo->setCurrentIndex(static_cast<int>(i));
            Q_EMIT combo->activated(static_cast<int>(i));
            return true;
        }
    return false;
}

struct Options {
    int minutes = 20;
};

int Run(const Options& options)
{
    app_test::TempProfile profile;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxScope{&boxes};
    workflow_test::SimPortFactory ports;
    ResetConnectionState();
    connection_state::ResetAllForTest();
    sim::MultiportDevice sensor(sim::MultiportConfigs(2, TorqueAndSpeedSensor()), loop);
    ports.Add("COM3", "Tessaline USB sensor interface Port", &sensor.Port(0));
    ports.Add("COM4", "Tessaline USB sensor interface Port", &sensor.Port(1));

    // Virtual time moves the program's own timers; Qt's events (the paints above all) are
    // handled between the steps, as the program's event loop does.
    const auto run = [&](int ms) {
        for (int t = 0; t < ms; t += 10) {
            loop.RunFor(10);
            QCoreApplication::processEvents();
        }
    };

    auto frame = std::make_unique<CMainFrame>(&ports);
    frame->showMaximized();
    loop.RunUntilIdle();
    // The line runs at 230400 baud, which carries two channels at the fastest rate.
    frame->Com().m_nPortMark.fill(230400);
    frame->Com().COM_SearchComPorts(0);
    if (!loop.RunUntil([&] { return frame->m_bSensorConnected && frame->Com().GetZMCOMConfgFlow() != ZM_START_INIT && frame->Com().m_nCountActivePorts >= 2; }, 20000))
        return Fail("the sensor was not connected");
    run(1000);

    // Both channels measured, at 5,000 sets a second.
    auto* setup = app_test::FindPage<measurement::MeasureSetupWidget>(*frame);
    if (!setup) return Fail("no set-up page");
    frame->ShowPage(app::kPageMeasureSetup);
    run(500);
    for (int c = 0; c < 4; ++c) {
        auto* channel = setup->Item<QAbstractButton>(measurement::kChannelButton[c]);
        std::printf("channel %d: %s %s\n", c, channel ? (channel->isChecked() ? "on" : "off") : "none", channel && channel->isVisible() ? "visible" : "hidden");
    }
    std::printf("rates offered:");
    for (const auto& entry : setup->Logic().Controls()[measurement::IDC_RATE_COMBO].entries) std::printf(" %lld", entry.datum);
    std::printf("\n");
    if (!ChooseDatum(*setup, measurement::IDC_RATE_COMBO, 0)) return Fail("5,000 sets a second not offered");
    run(1500);

    // Every set into a measured-value file.
    auto* documentation = app_test::FindPage<documentation::CDlgDocumentation>(*frame);
    if (!documentation) return Fail("no documentation page");
    documentation::CDocumentationSettings& settings = documentation->Settings();
    settings.directory[documentation::kMeasValues] = CString(profile.dir.path().toStdString().c_str());
    settings.storageMode[documentation::kMeasValues] = documentation::kStorageConstant;
    settings.autoStorage = 1;

    auto* panel = app_test::FindPage<measurement::MeasureControlWidget>(*frame);
    if (!panel) return Fail("no control panel");
    frame->ShowPage(app::kPageMeasureControl);
    run(500);
    auto* start = panel->Item<QAbstractButton>(measurement::IDC_MC_START);
    if (!start || !start->isEnabled()) return Fail("Start is not enabled");
    start->click();
    run(100);
    if (panel->Logic().Settings()->bRunning != 1) return Fail("the measurement did not start");

    CGraphicDisplayWnd& display = frame->Views()->Diagram()->Display();
    CDataManager& curves = display.Data();
    std::printf("chart %d x %d\n", display.Graph().width(), display.Graph().height());
    std::printf("minute  CPU s  sets in curve 0  repaints\n");
    std::vector<double> cpu;
    for (int minute = 1; minute <= options.minutes; ++minute) {
        const double before = ProcessCpuSeconds();
        const int pointsBefore = curves.GetPointCount(0);
        const int repaintsBefore = display.RepaintCount();
        const bool profiled = minute == 1 || minute == options.minutes;
        if (profiled) CALLGRIND_START_INSTRUMENTATION;
        run(60'000);
        cpu.push_back(ProcessCpuSeconds() - before);
        if (profiled) {
            CALLGRIND_DUMP_STATS_AT(minute == 1 ? "first minute" : "last minute");
            CALLGRIND_STOP_INSTRUMENTATION;
        }
        std::printf("%6d  %5.2f  %15d  %8d\n", minute, cpu.back(), curves.GetPointCount(0) - pointsBefore,
                    display.RepaintCount() - repaintsBefore);
        if (panel->Logic().Settings()->bRunning != 1) return Fail("the measurement ended by itself");
    }
    auto* stop = panel->Item<QAbstractButton>(measurement::IDC_MC_STOP);
    if (stop) stop->click();
    run(2000);
    for (const auto& box : boxes.Boxes()) std::printf("  message: %s\n", box.text.GetString());

    const double first = cpu.front();
    const double last = cpu.back();
    const bool met = last <= 1.10 * first;
    std::printf("first minute %.2f s, last minute %.2f s of CPU: %+.1f %% (target: within 10 %%); target %s\n", first, last,
                (last / first - 1.0) * 100.0, met ? "met" : "MISSED");
    frame->Com().m_pPortMan.reset();
    for (auto& port : frame->Com().m_pPortManOfPort) port.reset();
    frame.reset();
    return met ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir screenFolder;
    bench::UseDesktopSizedOffscreenScreen(screenFolder);
    QApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--minutes=", 0) == 0) options.minutes = std::max(2, std::atoi(arg.c_str() + 10));
        else {
            std::fprintf(stderr, "usage: bench_app_long_run [--minutes=N]\n");
            return 1;
        }
    }
    return Run(options);
}
