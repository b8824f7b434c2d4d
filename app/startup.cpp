#include "app/startup.h"

#include <QApplication>
#include <QStringList>
#include <clocale>

#include "app/app_settings.h"
#include "environment/lang_ui.h"
#include "app/main_frame.h"
#include "app/restart_lock.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "platform/qt_loop_driver.h"
#include "platform/qt_sinks.h"
#include "platform/qt_translations.h"
#include "platform/quit_on_signal.h"
#include "platform/wait_cursor.h"
#include "port/port_settings_store.h"
#include "port/profile_port_settings.h"
#include "res/string_table.h"

namespace app {

namespace {
constexpr UINT kTextProgramTitle = 5680;
constexpr UINT kTextDamagedSettings = 5672;
constexpr UINT kTextPartlyDamagedSettings = 5689;
constexpr UINT kTextOtherVersionSettings = 5690;
constexpr UINT kTextSettingsCannotBeRead = 5691;
constexpr UINT kTextPredecessorHangs = 5674;
}  // namespace

void NameApplicationAndKeepCNumbers()
{
    // Qt adopts the desktop's locale for everything; numbers in files, frames and texts must
    // stay in the C locale whatever the user's language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("TSL-USB-KM3");
    QApplication::setOrganizationName("Tessaline Inc.");
}

void TellOfSettingsSetAside(const SettingsStart& settings, CMainFrame& frame)
{
    CString text;
    if (settings.outcome == SettingsStart::Outcome::Damaged)
        text = LoadLangString(kTextDamagedSettings);
    else if (settings.outcome == SettingsStart::Outcome::PartlyDamaged)
        text.Format(LoadLangString(kTextPartlyDamagedSettings).GetString(), settings.damagedLines.GetString());
    else if (settings.outcome == SettingsStart::Outcome::OtherVersion)
        text.Format(LoadLangString(kTextOtherVersionSettings).GetString(), settings.otherVersion.GetString());
    else if (settings.outcome == SettingsStart::Outcome::CannotRead)
        text = LoadLangString(kTextSettingsCannotBeRead);
    else
        return;
    const CString file = settings.outcome == SettingsStart::Outcome::CannotRead ? platform::ProfileFilePath() : settings.damagedCopy;
    frame.SetStatusMessage(text + " " + file);
    AfxMessageBox(text + "\n" + file, platform::MB_OK | platform::MB_ICONWARNING);
}

int RunApplication(int argc, char** argv, const std::function<void(CMainFrame&)>& afterShow)
{
    QApplication application(argc, argv);
    NameApplicationAndKeepCNumbers();

    platform::MessageLoop loop(platform::MessageLoop::Time::Real);
    platform::QtLoopDriver driver(loop);
    platform::QtMessageBoxSink messageBoxes;
    platform::ScopedMessageBoxSink installMessageBoxes(&messageBoxes);
    platform::QtWaitCursorSink waitCursor;
    platform::SetWaitCursorSink(&waitCursor);
    platform::QuitOnTerminationSignals();

    RestartLock lock;
    const bool restart = QApplication::arguments().contains("--Restart");
    const RestartLock::Result held = lock.Acquire(restart, kRestartWaitMs);
    if (platform::TerminationRequested()) {
        // Told to end while waiting for the predecessor: nothing has been read or set yet.
        platform::SetWaitCursorSink(nullptr);
        return 0;
    }
    if (held == RestartLock::Result::PredecessorHangs) {
        SetLanguage(platform::GetProfileInt(kSectionLanguage, "Language", 0));
        platform::QtTranslations qtTexts;
        qtTexts.Load(CurrentLanguageCode());
        platform::SetMessageBoxCaption(LoadLangString(kTextProgramTitle));
        LangMessageBox(kTextPredecessorHangs, platform::MB_OK | platform::MB_ICONERROR);
        platform::SetWaitCursorSink(nullptr);
        return 1;
    }

    const SettingsStart settings = PrepareSettings();
    // Port names ("COMn") and extra serial devices are remembered in the settings file.
    SetPortSettingsStore(std::make_shared<ProfilePortSettingsStore>());

    int result = 0;
    {
        CMainFrame frame;
        platform::SetMessageBoxCaption(LoadLangString(kTextProgramTitle));
        frame.show();
        TellOfSettingsSetAside(settings, frame);
        // Only a running event loop can be told to quit: a signal that came before it (while
        // the box above was open) ends the program here, by the same road.
        if (!platform::TerminationRequested() && frame.Hooks().startUpSearch) frame.Hooks().startUpSearch();
        if (!platform::TerminationRequested() && afterShow) afterShow(frame);
        if (!platform::TerminationRequested()) result = QApplication::exec();
        // SIGTERM ends the event loop without closing the window: take the close box's road,
        // which may still have a configuration write to finish.
        if (!frame.IsClosed()) {
            frame.RequestClose();
            if (!frame.IsClosed()) result = QApplication::exec();
        }
        if (result == 0) result = frame.ExitCode();
    }
    platform::SetWaitCursorSink(nullptr);
    return result;
}

}  // namespace app
