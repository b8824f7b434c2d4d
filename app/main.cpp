// The application: a Qt program whose own logic runs on the system's message loop.
#include <QApplication>
#include <QMainWindow>
#include <clocale>

#include "platform/message_box.h"
#include "port/port_settings_store.h"
#include "port/profile_port_settings.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "platform/qt_loop_driver.h"
#include "platform/qt_sinks.h"
#include "platform/quit_on_signal.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Qt adopts the desktop's locale for everything; numbers in files, frames and texts must
    // stay in the C locale whatever the user's language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("TSL-USB-KM3");
    QApplication::setOrganizationName("Tessaline Inc.");

    platform::MessageLoop loop(platform::MessageLoop::Time::Real);
    platform::QtLoopDriver driver(loop);
    platform::QtMessageBoxSink messageBoxes;
    platform::ScopedMessageBoxSink installMessageBoxes(&messageBoxes);
    platform::QtWaitCursorSink waitCursor;
    platform::SetWaitCursorSink(&waitCursor);
    platform::QuitOnTerminationSignals();
    platform::CreateLocalAppDataFolder();
    // Port names ("COMn") and extra serial devices are remembered in the settings file.
    SetPortSettingsStore(std::make_shared<ProfilePortSettingsStore>());

    QMainWindow window;
    window.setWindowTitle("TSL-USB-KM3");
    window.resize(1024, 720);
    window.show();

    const int result = QApplication::exec();
    platform::SetWaitCursorSink(nullptr);
    platform::FlushProfile();
    return result;
}
