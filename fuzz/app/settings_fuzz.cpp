// Starts the program's frame on arbitrary settings files: the file is the user's to edit by
// hand, and a crash or a full disk may cut it. Whatever it holds, the start must read it or set
// it aside, without crashing or reading out of bounds: the damaged-file check and the version
// reset, the frame's settings (language, log switch, add-on program parts, last serial number),
// the window placement and the navigation tree, the docking bars' state (hex text handed to
// Qt), the documentation settings, and the measurement set-up page's reads when it is shown
// and checks the sensor.
//
// Values in Qt's variant notation ("@Variant(") are left out, as in the profile target: Qt
// deserialises them before any of our code runs.
//
// Each input replaces the file with a time stamp from a counter (the settings take a file of
// the same size and time as unchanged) and is read anew, then a frame is built on it as the
// program's start builds it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/app_settings.h"
#include "app/main_frame.h"
#include "app/page_table.h"
#include "fuzz/support/offscreen_application.h"
#include "fuzz/support/settings_file.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "res/string_table.h"
#include "workflow/workflow_peers.h"

namespace {

platform::RecordingMessageBoxSink g_boxes;

}  // namespace

// AddressSanitizer keeps the stack of every allocation and release in a store that is never
// freed, one record per different stack. Its fast unwinder follows frame pointers, which Qt and
// the system libraries do not keep: the register it takes for the caller's frame often points
// at an object on the stack, whose second word (a heap address) it records as the next return
// address. Every new heap address so made a new record, and the target grew by some 0.3 MB per
// input until it met libFuzzer's memory limit. Two frames (the allocating function and its
// caller, both read from real frames) keep the store as small as the set of call sites. A
// finding is replayed with whole stacks:
// ASAN_OPTIONS=malloc_context_size=30:fast_unwind_on_malloc=0 fuzz_settings <input>.
extern "C" const char* __asan_default_options() { return "malloc_context_size=2"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz_support::StartOffscreenApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string file = fuzz_support::MakeSettingsFile("settings");
    if (fuzz_support::HoldsQtVariant(data, size)) return -1;
    fuzz_support::ReplaceSettingsFile(file, data, size);
    platform::FlushProfile();
    platform::ScopedMessageBoxSink boxes(&g_boxes);
    g_boxes.Clear();

    app::PrepareSettings();
    {
        CMainFrame frame;
        platform::MessageLoop::Current().RunUntilIdle();
        frame.ShowPage(app::kPageMeasureSetup);
        if (auto* setup = frame.RegisteredAs<workflow::IMeasureSetupPage>(kFrameMeasureSetupPage)) setup->CheckSameSensor();
        platform::MessageLoop::Current().RunUntilIdle();
    }
    // What the window system queued for the frame's windows, and what was left for deletion,
    // goes as in the program's event loop; kept, it would add up over the inputs.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetLanguage(0);
    return 0;
}
