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
#include <fcntl.h>
#include <sys/stat.h>

#include <QApplication>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_settings.h"
#include "app/main_frame.h"
#include "app/page_table.h"
#include "workflow/workflow_peers.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "res/string_table.h"

namespace {

std::string MakeFile()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/km3-fuzz-settings-XXXXXX";
    const char* root = ::mkdtemp(pattern.data());
    if (!root) std::abort();
    const std::string folder = std::string(root) + "/Tessaline Inc.";
    ::mkdir(folder.c_str(), 0700);
    ::setenv("XDG_CONFIG_HOME", root, 1);
    ::setenv("XDG_DATA_HOME", root, 1);
    return folder + "/TSL-USB-KM3.ini";
}

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size, long stamp)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !ok) return false;
    const timespec times[2] = {{stamp, 0}, {stamp, 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

platform::RecordingMessageBoxSink g_boxes;

}  // namespace

// Fontconfig keeps what it learns of each font until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: Qt's clean-up at exit expects an orderly end that libFuzzer's exit
    // does not give.
    new QApplication(*argc, *argv);
    static platform::MessageLoop loop(platform::MessageLoop::Time::Virtual);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string file = MakeFile();
    static const std::string variant = "@Variant(";
    if (std::search(data, data + size, variant.begin(), variant.end()) != data + size) return -1;
    static long run = 0;
    if (!WriteFile(file, data, size, 1'000'000'000 + ++run)) std::abort();
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
    SetLanguage(0);
    return 0;
}
