// Ingest benchmark: the whole application in this process (the real frame, pages, views and
// port library) against a four-port simulated device on pseudo-terminals (or four separate
// simulated sensors), streaming at the fastest rate the set-up page offers. A measurement is
// started with the control panel's Start button, runs for a bounded time and is stopped with
// Stop; then it reports
//   - value sets taken per second, per sensor and in total, and sets lost (the sensors send a
//     ramp that rises by one step per set, so a missing set is a break in the ramp; the curve
//     store counts the sets it could not take; the measured-value file must hold the same run);
//   - the GUI thread's event-loop latency while the values stream: a thread posts a
//     time-stamped event every millisecond, the GUI thread notes how late it handles each one;
//   - CPU time of this process per 1,000 value sets and as a share of one core (the simulated
//     sensors are processes of their own and do not count);
//   - the memory the program holds: the curve store's arrays after one hour at the measured
//     rate beside the store's own limit, and everything else extrapolated per set.
// Run by hand (offscreen on a desktop-sized screen without a display):
//     bench_app_ingest [--seconds=N] [--device=multiport|separate] [--baud=230400|115200]
// Exit code 0 when every target was met, 2 when one was missed, 1 when the run failed.
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <malloc.h>
#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "measurement/measure_control_ids.h"
#include "measurement/measure_setup_ids.h"
#include "bench/latency_probe.h"
#include "bench/bench_application.h"
#include "tests/e2e/whole_app.h"

namespace {

using bench::Clock;
using bench::LatencyProbe;
using bench::Seconds;

struct Options {
    int seconds = 20;
    bool multiport = true;
    int baud = 230400;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> const char* {
            const std::string prefix = std::string(name) + "=";
            return arg.rfind(prefix, 0) == 0 ? argv[i] + prefix.size() : nullptr;
        };
        if (const char* v = value("--seconds")) {
            options.seconds = std::max(1, std::atoi(v));
        } else if (const char* v = value("--device")) {
            const std::string kind = v;
            if (kind != "separate" && kind != "multiport") return false;
            options.multiport = kind == "multiport";
        } else if (const char* v = value("--baud")) {
            options.baud = std::atoi(v);
            if (options.baud != 115200 && options.baud != 230400) return false;
        } else {
            return false;
        }
    }
    return true;
}

long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

std::string LoadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

double Percentile(std::vector<double> sorted, double p)
{
    if (sorted.empty()) return 0.0;
    const auto at = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(at, sorted.size() - 1)];
}

constexpr double kRampSlope = 5000.0;  // counts a second

std::vector<std::string> SensorArgs(unsigned serial)
{
    return {"--serial=" + std::to_string(serial), "--stator-id=5", "--stator-rev=6",
            "--signal-a=ramp:slope=5000", "--signal-b=ramp:slope=5000,base=100"};
}

// Opens the main window and connects `count` ports. A sensor line set to 230400 baud answers
// only at that speed; a pseudo-terminal answers at any, so the probe is told that this is the
// speed the ports worked at last (as after the connection page's baud change), and tries it first.
bool Connect(e2e::WholeApp& app, int count, int baud)
{
    app.frame = std::make_unique<CMainFrame>();
    app.frame->show();
    if (baud == 230400) app.frame->Com().m_nPortMark.fill(baud);
    if (app.frame->Hooks().startUpSearch) app.frame->Hooks().startUpSearch();
    return e2e::Pump([&] {
        return app.frame->m_bSensorConnected && app.frame->Com().m_nCountActivePorts >= count &&
               app.frame->Com().IsSensorReady();
    }, 90'000);
}

// The fastest rate the set-up page offers, chosen as the user does. Returns its text.
std::string ChooseFastestRate(e2e::WholeApp& app)
{
    app.frame->ShowPage(app::kPageMeasureSetup);
    e2e::PumpFor(300);
    QComboBox* rate = e2e::ControlOf<QComboBox>(*app.frame, measurement::IDC_RATE_COMBO);
    if (!rate || rate->count() == 0) return {};
    rate->setCurrentIndex(0);
    Q_EMIT rate->activated(0);
    e2e::PumpFor(300);
    return rate->itemText(0).toStdString();
}

// Runs the application's event loop (blocking, as the program's own does) for ms.
void RunEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// What the run has used so far.
struct Snapshot {
    double wall = 0.0;
    double cpu = 0.0;       // this process
    double probeCpu = 0.0;  // the latency probe's posting thread
    long rss = 0;
    long long heapInUse = 0;  // what the program holds of the allocator's memory
    long long storeBytes = 0;  // the curve store's arrays
    std::vector<int> points;   // per curve
};

Snapshot Take(e2e::WholeApp& app, const LatencyProbe& probe)
{
    Snapshot s;
    s.wall = std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
    s.cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    s.probeCpu = probe.ThreadCpu();
    s.rss = ResidentBytes();
    const struct mallinfo2 heap = mallinfo2();
    s.heapInUse = static_cast<long long>(heap.uordblks + heap.hblkhd);
    for (int c = 0; c < app.Curves().GetCurveCount(); ++c) s.points.push_back(app.Curves().GetPointCount(c));
    s.storeBytes = app.Curves().ArrayBytes();
    return s;
}

// Bytes of one curve's array after `points` points: it starts with room for the default count
// and doubles, up to the hard limit.
long long StoreBytesAfter(long long points)
{
    long long capacity = CDataManager::kDefaultPoints;
    while (capacity < points && capacity < CDataManager::kHardLimitPoints)
        capacity = std::min<long long>(2 * capacity, CDataManager::kHardLimitPoints);
    return capacity * static_cast<long long>(sizeof(ChartPoint));
}

int Fail(const std::string& why, e2e::WholeApp& app)
{
    std::fprintf(stderr, "ingest benchmark failed: %s\n", why.c_str());
    if (app.frame) std::fprintf(stderr, "%s\n", app.Diagnosis().c_str());
    return 1;
}

int Run(const Options& options)
{
    e2e::WholeApp app;
    const int sensors = 4;
    if (options.multiport) {
        auto args = SensorArgs(7000);
        args.insert(args.begin(), "--sensors=4");
        if (!app.StartSensor(args)) return Fail("the simulator gave no device", app);
    } else {
        for (int i = 0; i < sensors; ++i)
            if (!app.StartSensor(SensorArgs(7001 + static_cast<unsigned>(i))))
                return Fail("the simulator gave no device", app);
    }
    std::printf("connecting %d sensors ...\n", sensors);
    if (!Connect(app, sensors, options.baud))
        return Fail("the start-up search did not connect " + std::to_string(sensors) + " ports (" +
                        std::to_string(app.frame ? app.frame->Com().m_nCountActivePorts : 0) + " active)",
                    app);
    const int baud = app.frame->Com().m_nBaudRate;
    std::printf("connected at %d baud; choosing the rate ...\n", baud);
    const std::string rateText = ChooseFastestRate(app);
    if (rateText.empty()) return Fail("no rate offered on the set-up page", app);
    const int rateIndex = app.frame->Fields().measureRateIndex;
    const int decimation = app.frame->Views()->MeasureSettings() ? app.frame->Views()->MeasureSettings()->cDecimation : -1;

    app.frame->ShowPage(app::kPageMeasureControl);
    e2e::PumpFor(300);
    QAbstractButton* start = e2e::ButtonOf(*app.frame, measurement::IDC_MC_START);
    if (!start) return Fail("no Start button on the control panel", app);

    LatencyProbe probe;
    probe.Start();
    RunEventLoopFor(200);

    start->click();
    if (!e2e::Pump([&] { return app.Curves().GetPointCount(0) > 0; }, 10'000))
        return Fail("no value reached the curve store", app);
    // The stream has begun. After a short warm-up (the first paints of the curves, the file's
    // first buffers) the program's own event loop runs on, measured, until Stop.
    const int warmUpMs = 2000;
    RunEventLoopFor(warmUpMs);
    const Snapshot first = Take(app, probe);
    probe.Measure(true);
    std::printf("streaming for %d s (measured after %d s of warm-up) ...\n", options.seconds, warmUpMs / 1000);
    RunEventLoopFor(options.seconds * 1000);
    probe.Measure(false);
    const Snapshot last = Take(app, probe);

    QAbstractButton* stop = e2e::ButtonOf(*app.frame, measurement::IDC_MC_STOP);
    if (!stop) return Fail("no Stop button while measuring", app);
    stop->click();
    app.WaitUntilCurveStill(500, 30'000);
    probe.Stop();

    std::printf("ingest: %d sensors as %s, line %d baud, rate \"%s\" (index %d), display decimation %d\n", sensors,
                options.multiport ? "one four-port multiport device" : "four separate sensors", baud, rateText.c_str(),
                rateIndex, decimation);
    bool targetsMet = true;

    // What was taken, and what was lost: the whole run, from Start to Stop.
    const double seconds = last.wall - first.wall;
    const int curves = static_cast<int>(last.points.size());
    long long windowSets = 0, lost = 0;
    int mostPoints = 0;
    for (int c = 0; c < curves; ++c) {
        const auto i = static_cast<std::size_t>(c);
        const std::vector<double> values = app.CurveValues(c);
        std::string where;
        const int breaks = e2e::BreaksInRamp(values, app.RampCountsPerSet(kRampSlope, c), where);
        const int dropped = app.Curves().GetDroppedCount(c);
        const int taken = last.points[i] - (i < first.points.size() ? first.points[i] : 0);
        std::printf("  curve %d: %zu sets in the run, %.0f sets/s while streaming, %d breaks in the ramp%s%s, %d dropped "
                    "by the store\n",
                    c, values.size(), taken / seconds, breaks, breaks ? " (first " : "", breaks ? (where + ")").c_str() : "",
                    dropped);
        windowSets += taken;
        lost += breaks + dropped;
        mostPoints = std::max(mostPoints, static_cast<int>(values.size()));
    }
    e2e::Pump([&] { return !app.ValueFile().empty() && e2e::FileColumn(app.ValueFile(), 1).size() >= static_cast<std::size_t>(mostPoints); },
              20'000);
    if (!app.ValueFile().empty()) {
        const std::vector<double> file = e2e::FileColumn(app.ValueFile(), 1);
        std::string where;
        const int breaks = e2e::BreaksInRamp(file, app.RampCountsPerSet(kRampSlope), where);
        const int missing = app.Curves().GetPointCount(0) - static_cast<int>(file.size());
        std::printf("  measured-value file: %zu sets in column 1 (%d fewer than curve 0), %d breaks in the ramp%s%s\n",
                    file.size(), missing, breaks, breaks ? " (first " : "", breaks ? (where + ")").c_str() : "");
        lost += breaks + std::abs(missing);
    } else {
        std::printf("  measured-value file: none written\n");
        ++lost;
    }
    const double totalRate = static_cast<double>(windowSets) / seconds;
    std::printf("  taken: %.0f sets/s per sensor, %.0f sets/s in all, %lld lost (target: none lost at 4 x 5,000/s)\n",
                totalRate / curves, totalRate, lost);
    targetsMet = targetsMet && lost == 0 && totalRate >= 19'000.0;

    // The GUI thread's latency while values streamed.
    std::vector<double> delays = probe.Delays();
    std::sort(delays.begin(), delays.end());
    const double p99 = Percentile(delays, 0.99);
    std::printf("  event-loop latency: median %.2f ms, p99 %.2f ms, max %.2f ms over %zu probes (target: p99 < 50 ms)\n",
                Percentile(delays, 0.5), p99, delays.empty() ? 0.0 : delays.back(), delays.size());
    targetsMet = targetsMet && p99 < 50.0;

    // CPU time of this process, the probe's posting thread taken out.
    const double cpu = (last.cpu - first.cpu) - (last.probeCpu - first.probeCpu);
    const double perSet = windowSets ? cpu / static_cast<double>(windowSets) : 0.0;
    // Much of the cost goes with time (repaints, timers), not with sets: the share is judged
    // only where the run took the target's 20,000 sets a second.
    const bool targetRate = totalRate >= 19'000.0;  // 4 x 5,000 with a little room for the clock
    std::printf("  CPU: %.2f s in %.1f s for %lld sets: %.2f ms per 1,000 sets, %.1f %% of one core at %.0f sets/s "
                "(target: < 25 %% at 20,000 sets/s%s)\n",
                cpu, seconds, windowSets, perSet * 1e6, cpu / seconds * 100.0, totalRate,
                targetRate ? "" : "; not judged at this rate");
    targetsMet = targetsMet && windowSets > 0 && (!targetRate || cpu / seconds < 0.25);

    // Memory: what the program holds grew by the curve store's arrays and by everything else.
    // The store's arrays after an hour follow from its own rule (doubling up to its hard
    // limit); everything else is extrapolated per set. Resident memory is shown beside it: it
    // also keeps the arrays the store has outgrown, which the allocator reuses.
    const auto growthPerSet = [&](long long grown) { return windowSets ? static_cast<double>(grown) / static_cast<double>(windowSets) : 0.0; };
    const double heapPerSet = growthPerSet(last.heapInUse - first.heapInUse);
    const double storePerSet = growthPerSet(last.storeBytes - first.storeBytes);
    const double hourSets = totalRate * 3600.0;
    const double perCurveHour = hourSets / curves;
    long long storeHour = 0;
    for (int c = 0; c < curves; ++c) storeHour += StoreBytesAfter(static_cast<long long>(perCurveHour));
    const double storeLimit = static_cast<double>(curves) * CDataManager::kHardLimitPoints * sizeof(ChartPoint);
    const double otherHour = std::max(0.0, (heapPerSet - storePerSet) * hourSets);
    std::printf("  memory while streaming: held %.1f -> %.1f MB (%.2f B per set, %.2f B of it the curve store's arrays), "
                "resident %.1f -> %.1f MB (%.2f B per set)\n",
                first.heapInUse / 1e6, last.heapInUse / 1e6, heapPerSet, storePerSet, first.rss / 1e6, last.rss / 1e6,
                growthPerSet(last.rss - first.rss));
    std::printf("  one hour at this rate: %.1f M sets per curve; the curve store's arrays then %.0f MB, its own limit %d "
                "curves x %d points x %zu B = %.0f MB; everything else +%.0f MB (%.1f %% of that limit; target: the store "
                "within its limit, the rest under 10 %% of it)\n",
                perCurveHour / 1e6, static_cast<double>(storeHour) / 1e6, curves, CDataManager::kHardLimitPoints,
                sizeof(ChartPoint), storeLimit / 1e6, otherHour / 1e6, otherHour / storeLimit * 100.0);
    targetsMet = targetsMet && static_cast<double>(storeHour) <= storeLimit && otherHour < 0.1 * storeLimit;
    std::printf("  load average at the end: %s; targets %s\n", LoadAverage().c_str(), targetsMet ? "met" : "MISSED");
    for (const auto& box : app.boxes.Boxes()) std::printf("  message: %s\n", box.text.GetString());
    return targetsMet ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchApplication application(argc, argv);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: bench_app_ingest [--seconds=N] [--device=separate|multiport] [--baud=230400|115200]\n");
        return 1;
    }
    std::printf("load average at the start: %s\n", LoadAverage().c_str());
    return Run(options);
}
