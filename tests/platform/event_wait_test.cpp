#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/wait.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using platform::Event;
using platform::Waitable;
using platform::WaitForMultipleObjects;
using platform::WaitForSingleObject;

TEST(Event, ManualResetStaysSignalledUntilReset)
{
    Event e(Event::Mode::Manual);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(e, 0));
    e.Set();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(e, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(e, 0));
    e.Reset();
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(e, 0));
}

TEST(Event, AutoResetIsConsumedByOneWait)
{
    Event e(Event::Mode::Auto);
    e.Set();
    e.Set();  // setting a signalled event does not count twice
    EXPECT_TRUE(e.IsSignalled());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(e, 0));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(e, 0));
}

TEST(Event, InitiallySignalled)
{
    Event e(Event::Mode::Auto, true);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(e, 0));
}

TEST(WaitForMultiple, LowestSignalledIndexWins)
{
    Event a(Event::Mode::Manual), b(Event::Mode::Auto), c(Event::Mode::Auto);
    b.Set();
    c.Set();
    EXPECT_EQ(WAIT_OBJECT_0 + 1, WaitForMultipleObjects({a, b, c}, 0));
    // b was consumed, c was not touched.
    EXPECT_EQ(WAIT_OBJECT_0 + 2, WaitForMultipleObjects({a, b, c}, 0));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForMultipleObjects({a, b, c}, 0));
    a.Set();
    c.Set();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects({a, b, c}, 0));
    EXPECT_TRUE(c.IsSignalled());  // a lower index won: c stays signalled
}

TEST(WaitForMultiple, TimesOutAfterRoughlyTheTime)
{
    Event e;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WAIT_TIMEOUT, WaitForMultipleObjects({e}, 30));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

TEST(WaitForMultiple, WakesOnAnotherThreadsSet)
{
    Event quit, request(Event::Mode::Auto);
    std::thread setter([&] { request.Set(); });
    EXPECT_EQ(WAIT_OBJECT_0 + 1, WaitForMultipleObjects({quit, request}, 10000));
    setter.join();
}

TEST(WaitForMultiple, DescriptorsWaitBesideEvents)
{
    int pipeFds[2];
    ASSERT_EQ(0, ::pipe(pipeFds));
    Event stop;
    const Waitable items[] = {stop, Waitable::Readable(pipeFds[0])};
    EXPECT_EQ(WAIT_TIMEOUT, WaitForMultipleObjects(items, 0));
    ASSERT_EQ(1, ::write(pipeFds[1], "x", 1));
    EXPECT_EQ(WAIT_OBJECT_0 + 1, WaitForMultipleObjects(items, 1000));
    EXPECT_NE(0, items[1].revents);
    ::close(pipeFds[1]);  // hang-up still wakes the waiter
    char c;
    ASSERT_EQ(1, ::read(pipeFds[0], &c, 1));
    EXPECT_EQ(WAIT_OBJECT_0 + 1, WaitForMultipleObjects(items, 1000));
    ::close(pipeFds[0]);
}

TEST(WaitForMultiple, OnlyOneOfTwoWaitersTakesAnAutoResetEvent)
{
    Event e(Event::Mode::Auto);
    std::atomic<int> woken{0};
    auto waiter = [&] {
        if (WaitForSingleObject(e, 300) == WAIT_OBJECT_0) ++woken;
    };
    std::thread t1(waiter), t2(waiter);
    e.Set();
    t1.join();
    t2.join();
    EXPECT_EQ(1, woken.load());
}

TEST(WaitForMultiple, EmptyListFails)
{
    EXPECT_EQ(WAIT_FAILED, WaitForMultipleObjects(std::span<const Waitable>(), 0));
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads)
{
    platform::CriticalSection section;
    platform::CriticalSectionLock outer(section);
    {
        platform::CriticalSectionLock inner(section);  // the owner enters again
    }
    bool otherGotIt = true;
    std::thread other([&] { otherGotIt = section.TryLock(); });
    other.join();
    EXPECT_FALSE(otherGotIt);
}

}  // namespace
