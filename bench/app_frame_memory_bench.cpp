// The main frame built, shown with the measurement set-up page and destroyed again and again, as
// the program's start and end (and the settings fuzz target) do, keeps no memory: the heap in use
// after some warm-up rounds is compared with the heap after the last round.
//
//   bench_app_frame_memory [--frames=N]   (200 by default)
//
// Exit code 0 when the heap grew by at most 4 KB per frame (caches of Qt and fontconfig that fill
// up), 2 otherwise. Run it without sanitizers: AddressSanitizer keeps allocation stacks of its own
// (docs/fuzzing.md).
#include <QApplication>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app_settings.h"
#include "app/main_frame.h"
#include "app/page_table.h"
#include "app/startup.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "tests/app/app_test_support.h"

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

    auto buildAndDestroy = [&] {
        app::PrepareSettings();
        {
            CMainFrame frame;
            frame.show();
            frame.ShowPage(app::kPageMeasureSetup);
            loop.RunUntilIdle();
        }
        boxes.Clear();
        // What the window system queued for the frame, and what was left for deletion, goes as
        // in the program's event loop.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    auto heapInUse = [] {
        const struct mallinfo2 info = mallinfo2();
        return static_cast<double>(info.uordblks + info.hblkhd);
    };
    for (int i = 0; i < 10; ++i) buildAndDestroy();
    const double before = heapInUse();
    for (int i = 0; i < frames; ++i) buildAndDestroy();
    const double perFrame = (heapInUse() - before) / frames;
    std::printf("heap in use per frame over %d frames: %+.2f KB (limit 4 KB)\n", frames, perFrame / 1024);
    return perFrame <= 4096.0 ? 0 : 2;
}
