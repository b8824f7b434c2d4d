#include "platform/event.h"
#include "platform/thread.h"
#include "platform/wait.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

TEST(Thread, RunsTheBodyAndKeepsItsExitCode)
{
    platform::Thread t;
    EXPECT_TRUE(t.Start([] { return DWORD{42}; }));
    t.Join();
    EXPECT_TRUE(t.HasEnded());
    EXPECT_EQ(42u, t.ExitCode());
}

TEST(Thread, StartingTwiceFails)
{
    platform::Event go;
    platform::Thread t;
    EXPECT_TRUE(t.Start([&] { return platform::WaitForSingleObject(go, 10000); }));
    EXPECT_FALSE(t.Start([] { return DWORD{0}; }));
    go.Set();
    t.Join();
}

TEST(Thread, SuspendHoldsTheBodyAtItsSafePoint)
{
    platform::Thread t;
    platform::Event atGate, passed;
    std::atomic<bool> release{false};
    t.Suspend();
    ASSERT_TRUE(t.Start([&] {
        atGate.Set();
        t.WaitWhileSuspended();
        passed.Set();
        return DWORD{0};
    }));
    ASSERT_EQ(WAIT_OBJECT_0, platform::WaitForSingleObject(atGate, 10000));
    EXPECT_EQ(WAIT_TIMEOUT, platform::WaitForSingleObject(passed, 50));
    EXPECT_EQ(1u, t.Resume());
    EXPECT_EQ(WAIT_OBJECT_0, platform::WaitForSingleObject(passed, 10000));
    t.Join();
}

TEST(Thread, DestroyingASuspendedThreadReleasesAndJoinsIt)
{
    std::atomic<bool> done{false};
    {
        platform::Thread t;
        t.Suspend();
        t.Suspend();
        ASSERT_TRUE(t.Start([&] {
            t.WaitWhileSuspended();
            done = true;
            return DWORD{0};
        }));
    }
    EXPECT_TRUE(done.load());
}

}  // namespace
