// Long-run benchmark: the whole application in this process (the real frame, pages, views and
// chart) against a simulated device of two sensors in process, on virtual time, streaming two
// channels at 5,000 sets a second for 20 minutes (6 million sets per channel) with the values
// written to a measured-value file. The run is carried by the program's own timers; the window
// is shown maximized offscreen and its paints happen as in the program.
//
// It reports the CPU time this process spent per minute of the measurement, and that of the
// first minute of a next measurement started right after. The work per set and per repaint
// must not grow with the sets already held: the target is the last minute within 10 % of the
// first (the mean of the two first minutes, which evens out a change of the machine's load).
// It also reports the heap in use at the end of every minute, which leaves out the curve store
// (its arrays are mapped apart): what the program keeps beside the curves must not grow with
// the sets either, the target being the heap at the end within 0.5 MB of that in mid-run.
//
// Run by hand:  bench_app_long_run [--minutes=N]
// Under callgrind (valgrind --tool=callgrind --instr-atstart=no) only the first, the last and
// the repeated first minute are instrumented, each dumped apart, so that their instruction
// counts can be compared.
// Exit code 0 when both targets were met, 2 when one was missed, 1 when the run failed.
#include <QAbstractButton>
#include <QCoreApplication>

#include <malloc.h>
#include <sys/resource.h>
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
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/main_frame_views.h"
#include "app/page_table.h"
#include "bench/bench_application.h"
#include "chart/xgraph.h"
#include "documentation/dlg_documentation.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "tests/app/app_test_support.h"
#include "tests/e2e/whole_app.h"
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

// The part of it spent in the kernel (page faults, file writes).
double SystemCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_stime.tv_sec) + static_cast<double>(usage.ru_stime.tv_usec) * 1e-6;
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

struct Options {
    int minutes = 20;
};

// What one minute of the measurement cost.
struct Minute {
    double cpu = 0.0;     // seconds of this process
    double kernel = 0.0;  // of it in the kernel
    int sets = 0;         // value sets of curve 0
    int repaints = 0;     // of the diagram
    int wholeDraws = 0;   // paints that drew the curves whole
    double heapMb = 0.0;  // heap in use at its end, the curve store's mapped arrays left out
};

double HeapInUseMb()
{
    return static_cast<double>(mallinfo2().uordblks) / 1e6;
}

int Run(const Options& options)
{
    app_test::TempProfile profile;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxScope{&boxes};
    workflow_test::SimPortFactory ports;
    ResetConnectionState();
    connection_state::ResetAllForTest();
    // Two sensors of one device, channel A of each: 5,000 sets a second of two channels.
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
    // The line runs at 230400 baud, which carries the fastest rate.
    frame->Com().m_nPortMark.fill(230400);
    frame->Com().COM_SearchComPorts(0);
    if (!loop.RunUntil([&] {
            return frame->m_bSensorConnected && frame->Com().GetZMCOMConfgFlow() != ZM_START_INIT &&
                   frame->Com().m_nCountActivePorts >= 2;
        }, 20000))
        return Fail("the device was not connected");
    run(1000);

    auto* setup = app_test::FindPage<measurement::MeasureSetupWidget>(*frame);
    if (!setup) return Fail("no set-up page");
    frame->ShowPage(app::kPageMeasureSetup);
    run(500);
    if (!e2e::ChooseDatum(*setup, measurement::IDC_RATE_COMBO, 0)) return Fail("5,000 sets a second not offered");
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
    const auto click = [&](int id) {
        auto* button = panel->Item<QAbstractButton>(id);
        if (!button || !button->isEnabled()) return false;
        button->click();
        run(100);
        return true;
    };
    if (!click(measurement::IDC_MC_START) || panel->Logic().Settings()->bRunning != 1)
        return Fail("the measurement did not start");

    CGraphicDisplayWnd& display = frame->Views()->Diagram()->Display();
    CDataManager& curves = display.Data();
    if (curves.GetCurveCount() != 2) return Fail("the diagram shows " + std::to_string(curves.GetCurveCount()) + " curves");
    std::printf("diagram %d x %d pixels, 2 curves with room for %d points each\n", display.Graph().width(),
                display.Graph().height(), curves.GetCapacity(0));
    const chart::CurveLayer& layer = display.Graph().GetCurveLayer();
    const auto measure = [&](const char* profiledAs) {
        Minute m;
        const double cpu = ProcessCpuSeconds();
        const double kernel = SystemCpuSeconds();
        const int sets = curves.GetPointCount(0);
        const int repaints = display.RepaintCount();
        const int whole = layer.WholeDraws();
        if (profiledAs) CALLGRIND_START_INSTRUMENTATION;
        run(60'000);
        if (profiledAs) {
            CALLGRIND_DUMP_STATS_AT(profiledAs);
            CALLGRIND_STOP_INSTRUMENTATION;
        }
        m.cpu = ProcessCpuSeconds() - cpu;
        m.kernel = SystemCpuSeconds() - kernel;
        m.sets = curves.GetPointCount(0) - sets;
        m.repaints = display.RepaintCount() - repaints;
        m.wholeDraws = layer.WholeDraws() - whole;
        m.heapMb = HeapInUseMb();
        return m;
    };
    const auto show = [](const char* name, const Minute& m) {
        std::printf("%8s  %5.2f  (%4.2f)  %7d  %8d  %11d  %7.2f\n", name, m.cpu, m.kernel, m.sets, m.repaints, m.wholeDraws,
                    m.heapMb);
    };

    std::printf("  minute  CPU s  (kernel)  sets  repaints  curves drawn whole  heap MB\n");
    std::vector<Minute> minutes;
    for (int minute = 1; minute <= options.minutes; ++minute) {
        const char* profiledAs = minute == 1 ? "first minute" : minute == options.minutes ? "last minute" : nullptr;
        minutes.push_back(measure(profiledAs));
        show(std::to_string(minute).c_str(), minutes.back());
        if (panel->Logic().Settings()->bRunning != 1) return Fail("the measurement ended by itself");
    }
    if (!click(measurement::IDC_MC_STOP)) return Fail("Stop is not enabled");
    run(2000);
    const std::string file =
        profile.dir.path().toStdString() + "/" + settings.prefix[documentation::kMeasValues].GetString() + ".csv";
    std::error_code error;
    std::printf("measured-value file: %.1f MB\n", static_cast<double>(std::filesystem::file_size(file, error)) / 1e6);

    // The first minute once more, of the next measurement, right after the last: the machine's
    // load changes over a run, and the two first minutes around the last one even it out.
    if (!click(measurement::IDC_MC_START) || panel->Logic().Settings()->bRunning != 1)
        return Fail("the next measurement did not start");
    const Minute again = measure("first minute again");
    show("1 again", again);
    click(measurement::IDC_MC_STOP);
    run(2000);
    for (const auto& box : boxes.Boxes()) std::printf("  message: %s\n", box.text.GetString());

    const double first = (minutes.front().cpu + again.cpu) / 2.0;
    const double last = minutes.back().cpu;
    const bool met = last <= 1.10 * first;
    std::printf("first minute %.2f s (the two), last minute %.2f s of CPU: %+.1f %% (target: within 10 %%); target %s\n",
                first, last, (last / first - 1.0) * 100.0, met ? "met" : "MISSED");
    const double midHeap = minutes[minutes.size() / 2 - 1].heapMb;
    const double endHeap = minutes.back().heapMb;
    const bool flat = endHeap - midHeap <= 0.5;
    std::printf("heap %.2f MB after minute %zu, %.2f MB after the last: %+.2f MB (target: at most +0.5 MB); target %s\n",
                midHeap, minutes.size() / 2, endHeap, endHeap - midHeap, flat ? "met" : "MISSED");
    frame->Com().m_pPortMan.reset();
    for (auto& port : frame->Com().m_pPortManOfPort) port.reset();
    frame.reset();
    return met && flat ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchApplication application(argc, argv);
    Options options;
    if (!bench::ParseNumberOptions(argc, argv, {{"--minutes", options.minutes, 2}})) {
        std::fprintf(stderr, "usage: bench_app_long_run [--minutes=N] (N at least 2)\n");
        return 1;
    }
    return Run(options);
}
