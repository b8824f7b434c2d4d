#include "platform/qt_loop_driver.h"
#include "platform/wnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <thread>

namespace {

using namespace platform;

class QuitAfter : public CWnd {
public:
    using CWnd::CWnd;
    int timers = 0;
    bool handedOver = false;

protected:
    void OnTimer(UINT_PTR id) override
    {
        ++timers;
        if (timers == 3) {
            KillTimer(id);
            QCoreApplication::quit();
        }
    }
};

TEST(QtLoopDriver, QtRunsTimersAndHandOvers)
{
    MessageLoop loop(MessageLoop::Time::Real);
    QtLoopDriver driver(loop);
    QuitAfter window(loop);
    DeliverySource source(loop);
    std::thread worker([&] { source.HandOver([&] { window.handedOver = true; }); });
    window.SetTimer(4, 15);
    QTimer guard;  // a broken driver must not hang the test run
    guard.singleShot(20000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(0, QCoreApplication::exec());
    worker.join();
    EXPECT_EQ(3, window.timers);
    EXPECT_TRUE(window.handedOver);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
