// Writes the seed corpus of the settings target with the program itself: the settings file a
// frame leaves at its shut-down after a first start, and one after a session that changed the
// language, the window, the bars, the documentation settings, the add-on programs and the port
// names. Run once after a change of the settings' keys, then commit the files:
//
//   QT_QPA_PLATFORM=offscreen build-fuzz/fuzz/app/km3-fuzz-settings-seeds fuzz/app/seeds/fuzz_settings
#include <QApplication>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_settings.h"
#include "app/main_frame.h"
#include "documentation/documentation_settings.h"
#include "measurement/measure_setup_page.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "port/profile_port_settings.h"

namespace fs = std::filesystem;

namespace {

// A session's settings in a fresh folder, copied to the seed folder at its end.
template <class Session>
void WriteSeed(const fs::path& folder, const std::string& name, Session session)
{
    const fs::path root = fs::temp_directory_path() / ("km3-fuzz-settings-seed-" + name);
    fs::remove_all(root);
    fs::create_directories(root);
    ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    ::setenv("XDG_DATA_HOME", root.c_str(), 1);
    app::PrepareSettings();
    {
        CMainFrame frame;
        frame.show();
        platform::MessageLoop::Current().RunUntilIdle();
        session(frame);
        if (!frame.SaveSettings()) std::exit(1);
    }
    fs::copy_file(platform::ProfileFilePath().GetString(), folder / name, fs::copy_options::overwrite_existing);
    fs::remove_all(root);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    platform::MessageLoop loop(platform::MessageLoop::Time::Virtual);
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxScope(&boxes);
    const fs::path folder = argv[1];
    fs::create_directories(folder);

    WriteSeed(folder, "first_start.ini", [](CMainFrame&) {});
    WriteSeed(folder, "session.ini", [](CMainFrame& frame) {
        frame.SwitchLanguage(1);
        frame.setGeometry(40, 30, 900, 640);
        frame.ShowBar(kBarStatusLight, false);
        frame.NavigationTree().topLevelItem(1)->setExpanded(false);
        // The add-on programs as the set-up page takes them; the sensor an earlier run used.
        if (auto* setup = dynamic_cast<measurement::CDlgMeasureAdjust*>(
                frame.RegisteredAs<workflow::IMeasureSetupPage>(kFrameMeasureSetupPage))) {
            setup->SetStartAddProgPath("/usr/bin/logger start");
            setup->SetStopAddProgPath("C:\\Programme\\stop.exe");
        }
        platform::WriteProfileInt(app::kSectionDespiteReset, "LastUsedSerialNo", 123456);
        documentation::CDocumentationSettings documentation;
        documentation.Load();
        documentation.directory = {"/tmp/values", "/tmp/results", "/tmp/diagrams"};
        documentation.prefix = {"Werte", "IO", "Bild"};
        documentation.storageMode = {1, 2, 0};
        documentation.autoStorage = 1;
        documentation.separators = {'\t', '.'};
        documentation.headerText[0] = "Bench 3";
        documentation.Save();
        ProfilePortSettingsStore ports;
        ports.SetAlias("usb:0403:6001:A1B2C3", "COM3");
        ports.SetAlias("path:/devices/platform/serial8250/tty/ttyS0", "COM1");
        platform::WriteProfileString("SERIALCOMM", "Bridge", "/dev/pts/7");
    });
    std::printf("seeds written under %s\n", folder.c_str());
    return 0;
}
