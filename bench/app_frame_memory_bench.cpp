// The main frame built and destroyed again and again keeps no memory: each round reads the
// settings, builds the frame, shows it with the measurement set-up page, runs its loop and
// destroys it, as the program's start and end (and the settings fuzz target) do. The heap in
// use after the warm-up rounds is compared with the heap after the last round.
//
//   bench_app_frame_memory [--frames=N]   (200 by default)
//
// Prints the heap in use and the resident size per frame; exit code 0 when the heap grew by at
// most 4 KB per frame (caches of Qt and fontconfig that fill up), 2 otherwise. Run it in a
// build without sanitizers: under AddressSanitizer the resident size grows by some 100 KB per
// frame in the sanitizer's own store of allocation stacks, not in the program (docs/fuzzing.md).
#include <QApplication>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "app/app_settings.h"
#include "app/main_frame.h"
#include "app/page_table.h"
#include "app/startup.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "tests/app/app_test_support.h"

namespace {

constexpr int kWarmUpFrames = 10;
constexpr double kFlatBytesPerFrame = 4096.0;

double HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

double ResidentBytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * 4096.0;
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 200;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--frames=", 9) == 0) frames = std::max(1, std::atoi(argv[i] + 9));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    app::NameApplicationAndKeepCNumbers();
    app_test::TempProfile profile;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxScope{&boxes};

    auto buildFrame = [&] {
        app::PrepareSettings();
        CMainFrame frame;
        frame.show();
        loop.RunUntilIdle();
        frame.ShowPage(app::kPageMeasureSetup);
        loop.RunUntilIdle();
        boxes.Clear();
    };
    // Between two frames Qt handles what the window system queued for the last one, as the
    // program's event loop does, and deletes what was left for deletion.
    auto buildAndDestroy = [&] {
        buildFrame();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    for (int i = 0; i < kWarmUpFrames; ++i) buildAndDestroy();
    const double heapBefore = HeapInUse();
    const double residentBefore = ResidentBytes();
    for (int i = 0; i < frames; ++i) buildAndDestroy();
    const double heapPerFrame = (HeapInUse() - heapBefore) / frames;
    const double residentPerFrame = (ResidentBytes() - residentBefore) / frames;

    std::printf("frames built and destroyed: %d (after %d warm-up)\n", frames, kWarmUpFrames);
    std::printf("heap in use per frame:      %+.2f KB (limit %.0f KB)\n", heapPerFrame / 1024, kFlatBytesPerFrame / 1024);
    std::printf("resident size per frame:    %+.2f KB\n", residentPerFrame / 1024);
    return heapPerFrame <= kFlatBytesPerFrame ? 0 : 2;
}
