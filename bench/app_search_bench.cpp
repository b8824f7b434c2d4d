// Search benchmark: the whole application in this process against simulated sensors on
// pseudo-terminals. It runs the start-up search until the sensor is connected and the program
// at rest, then the connection page's Search the same way, once with the sensor alone and once
// with three silent ports probed ahead of it, and reports for each how long the GUI thread's
// event loop stood still: the longest gap, how many gaps were longer than 50 ms and their sum.
// Run by hand (offscreen without a display):
//     bench_app_search [--runs=N]
// Target: no gap longer than 50 ms. Exit code 0 when met, 2 when missed, 1 when a run failed.
#include <QAbstractButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/bench_application.h"
#include "bench/latency_probe.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "sensor_admin/sensor_admin_pages.h"
#include "tests/app/app_test_support.h"
#include "tests/e2e/whole_app.h"

namespace {

constexpr double kStallMs = 50.0;

struct Stalls {
    double longestMs = 0.0;
    int count = 0;      // gaps longer than kStallMs
    double sumMs = 0.0;  // their lengths together
    double tookMs = 0.0;
};

// A gap shows as a run of probe events handled late, the first of them the latest: each run
// above the threshold is one stall as long as its first delay.
Stalls Summarise(const std::vector<double>& delays, double tookMs)
{
    Stalls stalls;
    stalls.tookMs = tookMs;
    bool inStall = false;
    for (double delay : delays) {
        stalls.longestMs = std::max(stalls.longestMs, delay);
        if (delay > kStallMs && !inStall) {
            ++stalls.count;
            stalls.sumMs += delay;
        }
        inStall = delay > kStallMs;
    }
    return stalls;
}

// Runs start() and the event loop until done() holds; false when it did not within the bound.
template <class Start, class Done>
bool Measure(bench::LatencyProbe& probe, Start start, Done done, Stalls& stalls)
{
    double tookMs = 0.0;
    const bool ended = probe.MeasureWhile(start, [&] { return e2e::Pump(done, 60'000); }, tookMs);
    stalls = Summarise(probe.Delays(), tookMs);
    return ended;
}

void Print(const char* what, const Stalls& s)
{
    std::printf("    %-17s %6.0f ms to connected and at rest; longest gap %6.1f ms, %2d gaps over %.0f ms, %6.0f ms "
                "in them\n",
                what, s.tookMs, s.longestMs, s.count, kStallMs, s.sumMs);
}

// One run: the start-up search, then the connection page's Search. Returns the longest gap of
// both, or a negative value when a search did not connect the sensor.
double RunOnce(int silentPorts)
{
    e2e::WholeApp app;
    for (int i = 0; i < silentPorts; ++i)
        if (!app.StartSensor({"--stall=*:-1"})) return -1.0;
    if (!app.StartSensor({"--serial=7302", "--stator-id=5", "--stator-rev=6"})) return -1.0;

    app.frame = std::make_unique<CMainFrame>();
    app.frame->show();
    e2e::PumpFor(500);  // the window is built and painted before the search is measured
    CComPort& com = app.frame->Com();
    auto ready = [&] {
        return app.frame->m_bSensorConnected && com.m_nCountActivePorts >= 1 && com.IsSensorReady() &&
               com.m_pfnReplyHandler == nullptr && !app.frame->m_bWaitCursorShown;
    };
    bench::LatencyProbe probe;
    probe.Start();
    Stalls startUp, search;
    bool ok = Measure(probe, [&] { app.frame->Hooks().startUpSearch(); }, ready, startUp);
    if (ok) {
        app.frame->ShowPage(app::kPageConnection);
        e2e::PumpFor(300);
        auto* page = app_test::FindPage<sensor_admin::SensorConnectionForm>(*app.frame);
        QAbstractButton* button = page ? e2e::ButtonOf(*page, sensor_admin::IDC_CONN_SEARCH) : nullptr;
        bool left = false;  // the search has closed the port it searches again
        ok = button && Measure(
                           probe, [&] { button->click(); },
                           [&] {
                               left = left || !com.IsSensorReady() || com.m_nCountActivePorts < 1;
                               return left && ready() && !app.frame->SensorAdmin()->connection.IsBusy();
                           },
                           search);
    }
    probe.Stop();
    Print("start-up search:", startUp);
    if (ok) Print("Search:", search);
    for (const auto& box : app.boxes.Boxes()) std::printf("    message: %s\n", box.text.GetString());
    if (!ok) return -1.0;
    return std::max(startUp.longestMs, search.longestMs);
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchApplication application(argc, argv);
    int runs = 3;
    if (!bench::ParseNumberOptions(argc, argv, {{"--runs", runs, 1}})) {
        std::fprintf(stderr, "usage: bench_app_search [--runs=N]\n");
        return 1;
    }
    double worst[2] = {0.0, 0.0};
    for (int c = 0; c < 2; ++c) {
        const int silent = c == 0 ? 0 : 3;
        std::printf("%s:\n", silent == 0 ? "one sensor" : "three silent ports ahead of the sensor");
        for (int run = 0; run < runs; ++run) {
            std::printf("  run %d\n", run + 1);
            const double longest = RunOnce(silent);
            if (longest < 0.0) {
                std::fprintf(stderr, "the search did not connect the sensor\n");
                return 1;
            }
            worst[c] = std::max(worst[c], longest);
        }
    }
    const bool met = worst[0] <= kStallMs && worst[1] <= kStallMs;
    std::printf("longest event-loop gap during a search: one sensor %.1f ms, three silent ports ahead %.1f ms (target "
                "at most %.0f): %s\n",
                worst[0], worst[1], kStallMs, met ? "met" : "MISSED");
    return met ? 0 : 2;
}
