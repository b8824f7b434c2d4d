#include "platform/qt_sinks.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>

namespace {

int OpenBoxes()
{
    int open = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(widget) && widget->isVisible()) ++open;
    return open;
}

}  // namespace

// A fault that repeats while its notice is open (each measurement into an unwritable folder)
// raises that notice instead of stacking another; a different fault gets its own, and once the
// user has closed a notice the fault is told again.
TEST(QtNotice, ARepeatedNoticeRaisesItsOpenBoxAndANewOneOpensOnceItIsClosed)
{
    platform::QtMessageBoxSink sink;
    sink.Notify("folder not writable", "km3", platform::MB_ICONWARNING);
    sink.Notify("folder not writable", "km3", platform::MB_ICONWARNING);
    sink.Notify("disk full", "km3", platform::MB_ICONWARNING);
    QApplication::processEvents();
    EXPECT_EQ(OpenBoxes(), 2);

    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(widget)) widget->close();
    QApplication::processEvents();
    sink.Notify("folder not writable", "km3", platform::MB_ICONWARNING);
    QApplication::processEvents();
    EXPECT_EQ(OpenBoxes(), 1);
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(widget)) widget->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // closed boxes delete themselves
}
