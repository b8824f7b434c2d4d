#include "platform/message_loop.h"
#include "platform/wnd.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::DeliverySource;
using platform::MessageLoop;

// Records what reached it, with the virtual time of arrival.
class RecordingWnd : public CWnd {
public:
    struct Event {
        std::string kind;
        UINT_PTR id;
        std::int64_t atMs;
    };
    std::vector<Event> events;
    std::function<void(UINT_PTR)> onTimer;

protected:
    void OnTimer(UINT_PTR id) override
    {
        events.push_back({"timer", id, loop().NowMs()});
        if (onTimer) onTimer(id);
    }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        events.push_back({"msg", message, loop().NowMs()});
        return static_cast<LRESULT>(wParam) + 1;
    }
};

class VirtualLoopTest : public ::testing::Test {
protected:
    MessageLoop loop{MessageLoop::Time::Virtual};
    std::int64_t start = loop.NowMs();
    std::int64_t Elapsed() const { return loop.NowMs() - start; }
};

TEST_F(VirtualLoopTest, TimerRepeatsUntilKilled)
{
    RecordingWnd w;
    w.SetTimer(7, 100);
    loop.RunFor(350);
    ASSERT_EQ(3u, w.events.size());
    EXPECT_EQ(start + 100, w.events[0].atMs);
    EXPECT_EQ(start + 300, w.events[2].atMs);
    EXPECT_TRUE(w.KillTimer(7));
    EXPECT_FALSE(w.KillTimer(7));  // killing twice is harmless
    loop.RunFor(1000);
    EXPECT_EQ(3u, w.events.size());
    EXPECT_EQ(1350, Elapsed());
}

TEST_F(VirtualLoopTest, RearmingReplacesTheTimer)
{
    RecordingWnd w;
    w.SetTimer(1, 100);
    loop.RunFor(60);
    w.SetTimer(1, 100);  // deadline moves to 160
    loop.RunFor(60);
    EXPECT_TRUE(w.events.empty());
    loop.RunFor(40);
    ASSERT_EQ(1u, w.events.size());
    EXPECT_EQ(start + 160, w.events[0].atMs);
}

TEST_F(VirtualLoopTest, IdZeroIsAValidTimer)
{
    RecordingWnd w;
    EXPECT_TRUE(w.SetTimer(0, 20));
    EXPECT_TRUE(w.IsTimerArmed(0));
    loop.RunFor(20);
    ASSERT_EQ(1u, w.events.size());
    EXPECT_EQ(0u, w.events[0].id);
}

TEST_F(VirtualLoopTest, TimersArePerWindow)
{
    RecordingWnd a, b;
    a.SetTimer(5, 50);
    b.SetTimer(5, 80);
    a.KillTimer(5);
    loop.RunFor(100);
    EXPECT_TRUE(a.events.empty());
    EXPECT_EQ(1u, b.events.size());
}

TEST_F(VirtualLoopTest, LateLoopFiresADueTimerOnce)
{
    RecordingWnd w;
    w.SetTimer(3, 10);
    w.onTimer = [&](UINT_PTR) { loop.Sleep(95); };  // a handler that blocks the loop
    loop.RunFor(12);
    // One firing at 10, which slept to 105; the timer had been due nine times since but
    // fires once, then on its period again.
    ASSERT_EQ(1u, w.events.size());
    w.onTimer = nullptr;
    loop.RunUntilIdle();
    ASSERT_EQ(2u, w.events.size());
    EXPECT_EQ(start + 105, w.events[1].atMs);
    loop.RunFor(5);
    EXPECT_EQ(2u, w.events.size());
}

TEST_F(VirtualLoopTest, EqualDeadlinesFireInArmingOrder)
{
    RecordingWnd w;
    w.SetTimer(9, 40);
    w.SetTimer(2, 40);
    w.SetTimer(5, 40);
    loop.RunFor(40);
    ASSERT_EQ(3u, w.events.size());
    EXPECT_EQ(9u, w.events[0].id);
    EXPECT_EQ(2u, w.events[1].id);
    EXPECT_EQ(5u, w.events[2].id);
}

TEST_F(VirtualLoopTest, SleepInsideAHandlerDefersDueTimers)
{
    RecordingWnd w;
    w.SetTimer(1, 50);
    w.SetTimer(2, 200);
    w.onTimer = [&](UINT_PTR id) {
        if (id == 1) {
            w.KillTimer(1);
            loop.Sleep(500);  // timer 2 becomes due meanwhile but cannot interrupt
            w.events.push_back({"slept", 0, loop.NowMs()});
        }
    };
    loop.RunFor(600);
    ASSERT_EQ(3u, w.events.size());
    EXPECT_EQ("timer", w.events[0].kind);
    EXPECT_EQ("slept", w.events[1].kind);
    EXPECT_EQ(start + 550, w.events[1].atMs);
    EXPECT_EQ(2u, w.events[2].id);
    EXPECT_EQ(start + 550, w.events[2].atMs);
}

TEST_F(VirtualLoopTest, PostedMessagesPrecedeTimersAndDeadWindowsDrop)
{
    RecordingWnd w;
    w.SetTimer(1, 10);
    loop.RunFor(10 - 1);
    loop.Sleep(1);
    w.PostMessage(WM_USER + 1);
    w.PostMessage(WM_USER + 2);
    loop.RunUntilIdle();
    ASSERT_EQ(3u, w.events.size());
    EXPECT_EQ(WM_USER + 1, w.events[0].id);
    EXPECT_EQ(WM_USER + 2, w.events[1].id);
    EXPECT_EQ("timer", w.events[2].kind);

    auto gone = std::make_unique<RecordingWnd>();
    gone->PostMessage(WM_USER);
    gone.reset();
    EXPECT_EQ(0, loop.RunUntilIdle());
}

TEST_F(VirtualLoopTest, SendMessageRunsAtOnce)
{
    RecordingWnd w;
    EXPECT_EQ(42, w.SendMessage(WM_USER + 5, 41));
    ASSERT_EQ(1u, w.events.size());
}

TEST_F(VirtualLoopTest, HandOversComeFirstInOrderPerSource)
{
    RecordingWnd w;
    w.SetTimer(1, 10);
    loop.RunFor(10 - 1);
    loop.Sleep(1);
    w.PostMessage(WM_USER);
    DeliverySource a(loop), b(loop);
    std::vector<std::string> order;
    std::thread producerA([&] {
        for (int i = 0; i < 100; ++i) a.HandOver([&order, i] { order.push_back("a" + std::to_string(i)); });
    });
    std::thread producerB([&] {
        for (int i = 0; i < 100; ++i) b.HandOver([&order, i] { order.push_back("b" + std::to_string(i)); });
    });
    producerA.join();
    producerB.join();
    loop.RunUntilIdle();
    ASSERT_EQ(200u, order.size());
    int nextA = 0, nextB = 0;
    for (const auto& item : order) {
        if (item[0] == 'a') EXPECT_EQ("a" + std::to_string(nextA++), item);
        else EXPECT_EQ("b" + std::to_string(nextB++), item);
    }
    ASSERT_EQ(2u, w.events.size());  // the posted message and the timer came after all of it
    EXPECT_EQ("msg", w.events[0].kind);
    // Bytes that came after a timer fell due wait for that timer only, not for a later message.
    w.events.clear();
    loop.Sleep(20);
    a.HandOver([&w] { w.events.push_back({"bytes", 0, 0}); });
    w.PostMessage(WM_USER);
    loop.RunUntilIdle();
    ASSERT_EQ(3u, w.events.size());
    EXPECT_EQ("bytes", w.events[1].kind);
}

TEST_F(VirtualLoopTest, BytesThatNeverStopHoldNoTimerOffPastTheBytesQueuedBeforeItFellDue)
{
    RecordingWnd w;
    w.SetTimer(1, 10);
    DeliverySource port(loop);
    // Each handling takes a while, and by then the next bytes have arrived.
    std::function<void()> more = [&] { loop.Sleep(1); port.HandOver(more); };
    port.HandOver(more);
    loop.RunFor(30);
    port.Withdraw();
    ASSERT_FALSE(w.events.empty());
    EXPECT_LE(w.events[0].atMs, start + 11);
}

TEST_F(VirtualLoopTest, WithdrawDropsPendingAndLaterHandOvers)
{
    DeliverySource source(loop), other(loop);
    int delivered = 0, otherDelivered = 0;
    source.HandOver([&] {
        ++delivered;
        source.Withdraw();  // closing from inside its own delivery
    });
    source.HandOver([&] { ++delivered; });
    other.HandOver([&] { ++otherDelivered; });
    loop.RunUntilIdle();
    EXPECT_EQ(1, delivered);
    EXPECT_EQ(1, otherDelivered);
    EXPECT_FALSE(source.HandOver([&] { ++delivered; }));
    loop.RunUntilIdle();
    EXPECT_EQ(1, delivered);
    source.Reopen();
    EXPECT_TRUE(source.HandOver([&] { ++delivered; }));
    loop.RunUntilIdle();
    EXPECT_EQ(2, delivered);
}

TEST_F(VirtualLoopTest, RunUntilStopsEarly)
{
    RecordingWnd w;
    w.SetTimer(1, 30);
    EXPECT_TRUE(loop.RunUntil([&] { return w.events.size() == 2; }, 1000));
    EXPECT_EQ(60, Elapsed());
    EXPECT_FALSE(loop.RunUntil([] { return false; }, 100));
    EXPECT_EQ(160, Elapsed());
}

// The date and time of day of a virtual loop start at the same moment in every run and move
// only with virtual time, by the loop and by Sleep alike.
TEST_F(VirtualLoopTest, TheCalendarStartsFixedAndMovesWithVirtualTime)
{
    const std::int64_t begin = platform::CalendarSeconds();
    EXPECT_EQ(begin, platform::VirtualClock::kCalendarStartUs / 1'000'000);
    loop.RunFor(2500);
    loop.Sleep(500);
    EXPECT_EQ(platform::CalendarSeconds(), begin + 3);
    EXPECT_EQ(loop.CalendarSeconds(), begin + 3);
}

TEST(RegisteredMessages, SameNameSameNumber)
{
    const UINT a = platform::RegisterWindowMessage("Query_COM1");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(a, platform::RegisterWindowMessage("Query_COM1"));
    EXPECT_NE(a, platform::RegisterWindowMessage("Reply_COM1"));
}

TEST(RealTimeLoop, HandOverFromAThreadWakesTheLoop)
{
    MessageLoop loop(MessageLoop::Time::Real);
    DeliverySource source(loop);
    std::atomic<bool> got{false};
    std::thread worker([&] { source.HandOver([&] { got = true; }); });
    EXPECT_TRUE(loop.RunUntil([&] { return got.load(); }, 10000));
    worker.join();
}

TEST(RealTimeLoop, SendMessageFromAWorkerWaitsForTheLoop)
{
    MessageLoop loop(MessageLoop::Time::Real);
    RecordingWnd w;
    std::atomic<LRESULT> result{0};
    std::thread worker([&] { result = w.SendMessage(WM_USER, 9); });
    EXPECT_TRUE(loop.RunUntil([&] { return w.events.size() == 1; }, 10000));
    worker.join();
    EXPECT_EQ(10, result.load());
}

}  // namespace

namespace {

TEST(RealTimeLoop, AnUnboundedRunDoesNotOverflowTheClock)
{
    platform::MessageLoop loop(platform::MessageLoop::Time::Real);
    platform::DeliverySource source(loop);
    bool delivered = false;
    source.HandOver([&] { delivered = true; });
    EXPECT_TRUE(loop.RunUntil([&] { return delivered; }, INT64_MAX));
}

}  // namespace
