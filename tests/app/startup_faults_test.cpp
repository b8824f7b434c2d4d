// Start-up and shut-down against a hostile environment: a settings file of another version, a
// damaged one, a write that fails, and a predecessor that will not end.
#include <gtest/gtest.h>

#include <QFile>
#include <QLockFile>
#include <QElapsedTimer>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <tuple>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/app_settings.h"
#include "app/main_frame.h"
#include "app/restart_lock.h"
#include "app/startup.h"
#include "res/string_table.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "platform/qt_text.h"
#include "tests/app/app_test_support.h"

using app_test::TempProfile;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text)
{
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
    QFile::remove(QString::fromStdString(path));
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

TEST(Settings, AnotherVersionIsResetButDespiteResetStays)
{
    TempProfile profile;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink scope(&boxes);
    platform::WriteProfileString("Version", "Version", "2.03");
    platform::WriteProfileInt("Language", "Language", 1000);
    platform::WriteProfileString("DespiteReset", "LastUsedSerialNo", "815");
    platform::FlushProfile();
    const std::string older = ReadFile(profile.IniPath());

    const app::SettingsStart start = app::PrepareSettings();
    EXPECT_EQ(start.outcome, app::SettingsStart::Outcome::OtherVersion);
    EXPECT_FALSE(platform::ProfileSectionExists("Language"));
    EXPECT_EQ(platform::GetProfileString("DespiteReset", "LastUsedSerialNo"), CString("815"));
    EXPECT_EQ(platform::GetProfileString("Version", "Version"), CString("2.04"));
    // The older file is put aside, and the user told where and of which version it was.
    EXPECT_EQ(ReadFile(profile.IniPath() + ".damaged"), older);
    app::TellOfSettingsSetAside(start, *std::make_unique<CMainFrame>());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.Find("(2.03)"), -1);
    EXPECT_NE(boxes.Boxes()[0].text.Find(start.damagedCopy), -1);
    // The same version again is kept, also behind a byte-order mark, its first section with it.
    platform::WriteProfileInt("Language", "Language", 2000);
    platform::FlushProfile();
    WriteFile(profile.IniPath(), "\xEF\xBB\xBF" + ReadFile(profile.IniPath()));
    EXPECT_EQ(app::PrepareSettings().outcome, app::SettingsStart::Outcome::Kept);
    EXPECT_EQ(platform::GetProfileString("DespiteReset", "LastUsedSerialNo"), CString("815"));
    EXPECT_EQ(platform::GetProfileInt("Language", "Language", 0), 2000);

    // The file a settings reset of an earlier build left has no version, and is whole.
    TempProfile afterReset;
    WriteFile(afterReset.IniPath(), "[DespiteReset]\nLastUsedSerialNo=815\n\n[SystemInfo]\nFirstRun=0\n");
    EXPECT_EQ(app::PrepareSettings().outcome, app::SettingsStart::Outcome::Reset);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(afterReset.IniPath() + ".damaged")));
}

TEST(Settings, ADamagedFileIsPutAsideAndTheProgramStartsWithDefaults)
{
    TempProfile profile;
    const std::string ini = profile.IniPath();
    // Another encoding's zero bytes in every line: no section reads as text.
    std::string damaged;
    for (const char c : std::string("[Version]\nVersion=2.04\n[Language]\nLanguage=1000\n")) damaged += {c, '\0'};
    WriteFile(ini, damaged);

    const app::SettingsStart start = app::PrepareSettings();
    EXPECT_EQ(start.outcome, app::SettingsStart::Outcome::Damaged);
    EXPECT_EQ(ReadFile(ini + ".damaged"), damaged);
    EXPECT_EQ(platform::GetProfileInt("Language", "Language", 0), 0);
    EXPECT_EQ(platform::GetProfileString("Version", "Version"), CString("2.04"));
    ASSERT_TRUE(platform::FlushProfile());
    EXPECT_NE(ReadFile(ini).find("2.04"), std::string::npos);

    // A file the program may not read (as nobody: root reads any) is neither put aside nor written over.
    TempProfile locked;
    WriteFile(locked.IniPath(), "[Version]\nVersion=2.04\n");
    for (QString dir = QFileInfo(QString::fromStdString(locked.IniPath())).path(); dir.startsWith(locked.dir.path()); dir = QFileInfo(dir).path())
        ::chmod(dir.toLocal8Bit().constData(), 0777);
    ::chmod(locked.IniPath().c_str(), 0);
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(!root || ::seteuid(65534) == 0);
    EXPECT_EQ(app::PrepareSettings().outcome, app::SettingsStart::Outcome::CannotRead);
    ASSERT_TRUE(!root || ::seteuid(0) == 0);
    ::chmod(locked.IniPath().c_str(), 0600);
    EXPECT_EQ(ReadFile(locked.IniPath()), "[Version]\nVersion=2.04\n");
}

TEST(Settings, ADamagedLineCostsOnlyItsSectionAndTheUserIsToldOnceWhichFileWasPutAside)
{
    TempProfile profile;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink scope(&boxes);
    const std::string ini = profile.IniPath();
    const std::string damaged = "[Version]\nVersion=2.04\n\n[Documentation]\nMeasValuesDir=/tmp/values\n\n[AllViewState";
    WriteFile(ini, damaged);
    for (const auto outcome : {app::SettingsStart::Outcome::PartlyDamaged, app::SettingsStart::Outcome::Kept}) {
        const app::SettingsStart start = app::PrepareSettings();  // the next start finds the file clean
        EXPECT_EQ(start.outcome, outcome);
        EXPECT_EQ(platform::GetProfileString("Documentation", "MeasValuesDir"), CString("/tmp/values"));
        CMainFrame frame;
        app::TellOfSettingsSetAside(start, frame);
    }
    EXPECT_EQ(ReadFile(ini + ".damaged"), damaged);
    ASSERT_EQ(boxes.Count(), 1u);
    const CString told = boxes.Boxes()[0].text;  // names the copy and the line its damage began in
    EXPECT_NE(told.Find(platform::FromQString(QString::fromStdString(ini + ".damaged"))), -1) << told.GetString();
    EXPECT_NE(told.Find("7)"), -1) << told.GetString();
}

// The settings a session leaves, cut or damaged in one place: the sections that read cleanly
// are kept, the damaged one is named, and a version cut off or damaged is written again.
TEST(Settings, ACutOrDamagedFileKeepsEverySectionThatReadsCleanly)
{
    std::string whole;
    {
        TempProfile profile;
        app::PrepareSettings();
        platform::WriteProfileString("Documentation", "MeasValuesDir", "/tmp/values");
        CMainFrame frame;
        frame.SwitchLanguage(1000);
        frame.close();
        whole = ReadFile(profile.IniPath());
    }
    SetLanguage(0);
    const std::size_t version = whole.find("[Version]");
    ASSERT_EQ(whole.rfind('['), version) << "the version is the last section the program writes";
    const auto at = [&](const char* text) { return whole.find(text); };
    const auto replaced = [&](const char* text, const char* by) { return std::string(whole).replace(at(text), strlen(text), by); };
    const auto line = [&](const char* text) { return std::count(whole.begin(), whole.begin() + at(text), '\n') + 1; };
    // The file, the sections whose settings are gone, the line the message names.
    const std::tuple<std::string, std::string, long> cases[] = {
        {whole.substr(0, version - 5), "SystemInfo", line("[SystemInfo]")},
        {whole.substr(0, at("[Language]") + 4), "Language SystemInfo", line("[Language]")},
        {whole.substr(0, at("MeasValuesDir") + 3), "Documentation Language SystemInfo", line("[Documentation]")},
        {replaced("[Version]", "[Vresion]"), "", line("[Version]")},
        {replaced("[Version]", "[Version"), "", line("[Version]")},
        {replaced("MeasValuesDir=", "MeasValuesDir=\""), "Documentation", line("[Documentation]")},
        {replaced("Language=1000", "Language=10\x01\x02" "00"), "Language", line("[Language]")},
    };
    for (const auto& [bytes, lost, named] : cases) {
        TempProfile profile;
        WriteFile(profile.IniPath(), bytes);
        const app::SettingsStart start = app::PrepareSettings();
        EXPECT_EQ(start.outcome, app::SettingsStart::Outcome::PartlyDamaged) << bytes;
        EXPECT_EQ(ReadFile(profile.IniPath() + ".damaged"), bytes);
        EXPECT_EQ(start.damagedLines, CString::Formatted("%ld", named)) << bytes;
        EXPECT_TRUE(ReadFile(profile.IniPath()).ends_with("\n[Version]\nVersion=2.04\n")) << bytes;
        for (const auto& [section, entry] : {std::pair{"AllViewState\\Configs\\WindowPos", "Width"},
                                             {"Documentation", "MeasValuesDir"}, {"Language", "Language"}, {"SystemInfo", "FirstRun"}})
            EXPECT_EQ(platform::GetProfileString(section, entry).IsEmpty(), lost.find(section) != std::string::npos) << section << " in " << bytes;
    }
    // Only the version's lines missing: nothing was lost, nothing is said, the version is back.
    TempProfile noVersion;
    WriteFile(noVersion.IniPath(), whole.substr(0, version));
    EXPECT_EQ(app::PrepareSettings().outcome, app::SettingsStart::Outcome::Kept);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(noVersion.IniPath() + ".damaged")));
    EXPECT_EQ(ReadFile(noVersion.IniPath()), whole);
}

TEST(Settings, AFailedWriteKeepsTheOldFileWholeAndTellsTheUser)
{
    TempProfile profile;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink scope(&boxes);
    app::PrepareSettings();
    platform::WriteProfileInt("Language", "Language", 1000);
    ASSERT_TRUE(platform::FlushProfile());
    const std::string before = ReadFile(profile.IniPath());

    CMainFrame frame;
    // A full disk: no file may grow beyond a few bytes while the settings are written.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tiny);
    frame.SwitchLanguage(3000);
    frame.close();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    SetLanguage(0);

    EXPECT_TRUE(frame.IsClosed());
    EXPECT_EQ(ReadFile(profile.IniPath()), before);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.Find("TSL-USB-KM3.ini"), -1);
}

TEST(RestartLock, ARestartWaitsForItsPredecessorOnlySoLong)
{
    TempProfile profile;
    QLockFile predecessor(platform::ToQString(app::RestartLock::LockFilePath()));
    ASSERT_TRUE(predecessor.tryLock(0));

    app::RestartLock second;
    EXPECT_EQ(second.Acquire(false, 0), app::RestartLock::Result::NotHeld);  // a plain second start runs
    QElapsedTimer waited;
    waited.start();
    app::RestartLock restarted;
    EXPECT_EQ(restarted.Acquire(true, 300), app::RestartLock::Result::PredecessorHangs);
    EXPECT_GE(waited.elapsed(), 250);
    EXPECT_LT(waited.elapsed(), 5000);

    predecessor.unlock();
    EXPECT_EQ(restarted.Acquire(true, 300), app::RestartLock::Result::Held);
}

TEST(RestartLock, APredecessorThatDiedLeavesNoLockBehind)
{
    TempProfile profile;
    const QString path = platform::ToQString(app::RestartLock::LockFilePath());
    const pid_t child = fork();
    if (child == 0) {
        QLockFile lock(path);
        _exit(lock.tryLock(0) ? 0 : 1);  // ends without releasing it
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(QFile::exists(path));

    QElapsedTimer waited;
    waited.start();
    app::RestartLock restarted;
    EXPECT_EQ(restarted.Acquire(true, 10000), app::RestartLock::Result::Held);
    EXPECT_LT(waited.elapsed(), 5000);
}
