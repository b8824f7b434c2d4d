// Feeds arbitrary settings files to the profile: the INI file under $XDG_CONFIG_HOME is the
// user's to edit, copy between machines or damage, and the program reads it at every start.
// Whatever it holds, reading the sections the program uses (their entries as numbers and as
// texts, the port names and extra serial devices) must
// neither crash nor read out of bounds. (Writing is left out: the file is saved with a sync to
// disk, which would make the target too slow to find anything in CI's time.)
//
// The program reads its profile with its GUI application running, and the file's variant values
// may name GUI types (an icon, a pixmap) whose reading needs it: the target makes one too,
// offscreen, or every such value would abort the run for a reason the program never meets.
//
// Each input replaces the file, with a time stamp from a counter (the settings take a file of
// the same size and time as unchanged), and FlushProfile, which has nothing to write, reads it
// anew. One folder for the whole run keeps the allocations of one input balanced: a fresh
// settings object per input would make libFuzzer run a leak check after every input.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QGuiApplication>

#include "platform/profile.h"
#include "port/profile_port_settings.h"

namespace {

const char* const kSections[] = {"Settings", "Version", "DespiteReset", "Language", "COM Einstellungen",
                                 "COMAliases", "COMAliasOwners", "SERIALCOMM", "Documentation",
                                 "AllViewState\\Configs\\WindowPos"};

std::string MakeFile()
{
    char pattern[] = "/tmp/km3-fuzz-profile-XXXXXX";
    const char* root = ::mkdtemp(pattern);
    if (!root) std::abort();
    const std::string folder = std::string(root) + "/Tessaline Inc.";
    ::mkdir(folder.c_str(), 0700);
    ::setenv("XDG_CONFIG_HOME", root, 1);
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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt warns about every damaged variant value; only its fatal messages belong in a report.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg || type == QtCriticalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string file = MakeFile();
    static long run = 0;
    if (!WriteFile(file, data, size, 1'000'000'000 + ++run)) std::abort();
    platform::FlushProfile();

    for (const char* section : kSections) {
        for (const CString& entry : platform::GetProfileEntries(section)) {
            platform::GetProfileInt(section, entry, -1);
            platform::GetProfileString(section, entry);
        }
        platform::ProfileSectionExists(section);
    }
    ProfilePortSettingsStore store;
    for (const auto& [description, path] : store.ExtraSerialDevices()) store.AliasOf(path);
    store.IdentityOfAlias("COM1");
    return 0;
}
