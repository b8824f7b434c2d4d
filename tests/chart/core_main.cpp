// Chart core tests need a GUI application for fonts and widgets (offscreen) and a message loop
// on virtual time for the chart's posted notifications.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/message_loop.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::MessageLoop loop(platform::MessageLoop::Time::Virtual);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
