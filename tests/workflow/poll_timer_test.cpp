// The poll timer over the timer device, and the stopwatch.

#include <gtest/gtest.h>

#include "platform/message_loop.h"
#include "workflow/poll_timer.h"

namespace {

class FakeDevice : public MultimediaTimerDevice {
public:
    bool GetDevCaps(UINT& periodMin, UINT& periodMax) override
    {
        periodMin = 1;
        periodMax = 1000000;
        return capsWork;
    }
    bool BeginPeriod(UINT resolution) override
    {
        begun.push_back(resolution);
        return true;
    }
    void EndPeriod(UINT resolution) override { ended.push_back(resolution); }
    UINT SetEvent(UINT, UINT, MultimediaTimerCallback, std::uintptr_t, UINT) override { return ++events; }
    void KillEvent(UINT id) override { killed.push_back(id); }
    bool capsWork = true;
    UINT events = 0;
    std::vector<UINT> begun, ended, killed;
};

int g_ticks = 0;
std::uintptr_t g_user = 0;
void CountTick(UINT, UINT, std::uintptr_t user, std::uintptr_t, std::uintptr_t)
{
    ++g_ticks;
    g_user = user;
}

}  // namespace

TEST(PollTimer, ResolutionZeroTakesTheSmallestPeriodAndIsGivenBack)
{
    FakeDevice device;
    {
        CMultimediaTimer timer(0, device);
        EXPECT_EQ(timer.m_nResolution, 1u);
        EXPECT_EQ(timer.m_bPeriodSet, 1);
    }
    EXPECT_EQ(device.ended, (std::vector<UINT>{1}));

    device.capsWork = false;
    CMultimediaTimer without(0, device);
    EXPECT_EQ(without.m_nResolution, 0u);
    EXPECT_EQ(without.m_bPeriodSet, 0);
    EXPECT_EQ(device.begun.size(), 1u);
}

TEST(PollTimer, ASecondStartKeepsTheFirstTimerAndStopWithoutTimerDoesNothing)
{
    FakeDevice device;
    CMultimediaTimer timer(0, device);
    timer.Stop();
    EXPECT_TRUE(device.killed.empty());
    EXPECT_TRUE(timer.Start(100, CountTick, 1));
    EXPECT_FALSE(timer.Start(50, CountTick, 1));
    EXPECT_EQ(timer.m_nTimerId, 1u);
    timer.Stop();
    EXPECT_EQ(device.killed, (std::vector<UINT>{1}));
    EXPECT_EQ(timer.m_nTimerId, 0u);
}

TEST(PollTimer, TicksArriveOnTheLoopAtTheirPeriod)
{
    platform::MessageLoop loop(platform::MessageLoop::Time::Virtual);
    g_ticks = 0;
    CMultimediaTimer timer(0);
    ASSERT_TRUE(timer.Start(25, CountTick, 77));
    loop.RunFor(100);
    EXPECT_EQ(g_ticks, 4);
    EXPECT_EQ(g_user, 77u);
    timer.Stop();
    loop.RunFor(100);
    EXPECT_EQ(g_ticks, 4);
}
