// Serial-line benchmark: the whole application in this process against a simulated sensor that
// hands its answers on in small pieces, as a USB-serial adapter or an Ethernet module does. It
// stores the settings from the sensor information page and switches the stored user calibration
// on from the calibration page (a calibration block write, the sensor's restart and the reading
// of its blocks), and reports for each the GUI thread's longest event-loop gap while it ran.
// Run by hand (offscreen without a display):
//     bench_app_split_answers [--piece=BYTES] [--pause=MS] [--runs=N]
// Targets with 2-byte pieces: the store under 100 ms, the calibration write under 150 ms.
// Exit code 0 when both were met, 2 when one was missed, 1 when the run failed.
#include <QAbstractButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_application.h"
#include "bench/latency_probe.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "tests/app/app_test_support.h"
#include "tests/e2e/whole_app.h"

namespace {

struct Options {
    int piece = 2;
    int pauseMs = 10;
    int runs = 3;
};

// Runs the operation, waits until done() holds, and returns the longest gap (ms) of the event
// loop meanwhile; negative when it did not end within the bound.
template <class Start, class Done>
double LongestGap(bench::LatencyProbe& probe, Start start, Done done, double& tookMs)
{
    return probe.MeasureWhile(start, [&] { return e2e::Pump(done, 20'000); }, tookMs) ? probe.LongestDelay() : -1.0;
}

int Run(const Options& options)
{
    e2e::WholeApp app;
    const std::string pieces = "--pieces=" + std::to_string(options.piece) + ":" + std::to_string(options.pauseMs);
    if (!app.StartSensor({"--serial=7301", "--stator-id=5", "--stator-rev=6", "--hmb-usb=0", pieces})) {
        std::fprintf(stderr, "no simulated sensor\n");
        return 1;
    }
    if (!app.Connect(1, 60'000)) {
        std::fprintf(stderr, "the sensor did not connect\n");
        return 1;
    }
    CComPort& com = app.frame->Com();
    auto atRest = [&] { return com.m_pfnReplyHandler == nullptr && !app.frame->m_bWaitCursorShown; };
    e2e::Pump(atRest, 10'000);
    bench::LatencyProbe probe;
    probe.Start();

    app.frame->ShowPage(app::kPageInformation);
    e2e::PumpFor(300);
    auto* information = app_test::FindPage<sensor_admin::SensorInformationForm>(*app.frame);
    app.frame->ShowPage(app::kPageCalibration);
    e2e::PumpFor(300);
    auto* calibration = app_test::FindPage<sensor_admin::SensorCalibrationForm>(*app.frame);
    if (!information || !calibration) {
        std::fprintf(stderr, "the pages are missing\n");
        return 1;
    }

    std::printf("answers in pieces of %d bytes, %d ms apart; %d runs\n", options.piece, options.pauseMs, options.runs);
    double worstStore = 0.0, worstCalibration = 0.0;
    bool failed = false;
    for (int run = 0; run < options.runs && !failed; ++run) {
        app.frame->ShowPage(app::kPageInformation);
        e2e::PumpFor(200);
        const CString stored = LoadLangString(sensor_admin::kTextSettingsStored);
        double storeMs = 0.0;
        const double storeGap = LongestGap(
            probe, [&] { e2e::ButtonOf(*information, sensor_admin::IDC_INFO_STORE)->click(); },
            [&] { return information->GetDlgItemText(sensor_admin::IDC_INFO_STATUS) == stored; }, storeMs);

        // Switched off again first (not measured), then switched on: the write, the restart and
        // the reading of the sensor's blocks.
        app.frame->ShowPage(app::kPageCalibration);
        e2e::PumpFor(200);
        auto calibrationState = [&] { return com.m_Sensor[0].m_sIdent[kIdentCalibration]; };
        auto click = [&](int id) {
            QAbstractButton* button = e2e::ButtonOf(*calibration, id);
            return e2e::Pump([&] { return button && button->isEnabled(); }, 10'000) && (button->click(), true);
        };
        if (calibrationState() == 3 && (!click(sensor_admin::IDC_CAL_DEACTIVATE) ||
                                        !e2e::Pump([&] { return calibrationState() == 2 && atRest(); }, 20'000))) {
            failed = true;
            break;
        }
        double calibrationMs = 0.0;
        QAbstractButton* activate = e2e::ButtonOf(*calibration, sensor_admin::IDC_CAL_ACTIVATE);
        e2e::Pump([&] { return activate && activate->isEnabled(); }, 10'000);
        const double calibrationGap = LongestGap(
            probe, [&] { activate->click(); }, [&] { return calibrationState() == 3 && atRest(); }, calibrationMs);
        std::printf("  run %d: store of the settings %.0f ms, longest gap %.1f ms; calibration write %.0f ms, longest "
                    "gap %.1f ms\n",
                    run + 1, storeMs, storeGap, calibrationMs, calibrationGap);
        failed = storeGap < 0.0 || calibrationGap < 0.0;
        worstStore = std::max(worstStore, storeGap);
        worstCalibration = std::max(worstCalibration, calibrationGap);
    }
    probe.Stop();
    for (const auto& box : app.boxes.Boxes()) std::printf("  message: %s\n", box.text.GetString());
    if (failed) {
        std::fprintf(stderr, "an operation did not end; flow %d\n", com.GetZMCOMConfgFlow());
        return 1;
    }
    const bool met = worstStore < 100.0 && worstCalibration < 150.0;
    std::printf("longest event-loop gap: store of the settings %.1f ms (target under 100), calibration write %.1f ms "
                "(target under 150): targets %s\n",
                worstStore, worstCalibration, met ? "met" : "MISSED");
    return met ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchApplication application(argc, argv);
    Options options;
    if (!bench::ParseNumberOptions(argc, argv,
                                   {{"--piece", options.piece, 1}, {"--pause", options.pauseMs, 0}, {"--runs", options.runs, 1}})) {
        std::fprintf(stderr, "usage: bench_app_split_answers [--piece=BYTES] [--pause=MS] [--runs=N]\n");
        return 1;
    }
    return Run(options);
}
