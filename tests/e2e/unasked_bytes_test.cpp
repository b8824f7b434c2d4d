// The start-up search against ports that send unasked: noise at full speed from another device
// is no sensor, and the sensor on the port after it connects; a sensor that still streams its
// measured values is reported and the program ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>

#include "res/string_table.h"
#include "tests/e2e/whole_app.h"

namespace {

using namespace e2e;

// A pseudo-terminal whose far end sends random bytes as fast as the line takes them.
class NoisyTerminal {
public:
    NoisyTerminal()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return;
        m_path = ::ptsname(m_master);
        m_slave = ::open(m_path.c_str(), O_RDWR | O_NOCTTY);  // keeps the line up between opens
        termios raw{};
        if (m_slave < 0 || ::tcgetattr(m_slave, &raw) != 0) return;
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slave, TCSANOW, &raw);
        m_sender = std::thread([this] {
            std::mt19937 random(41);
            char chunk[4096];
            while (!m_stop) {
                for (char& c : chunk) c = static_cast<char>(random());
                pollfd p{m_master, POLLOUT, 0};
                if (::poll(&p, 1, 10) > 0 && ::write(m_master, chunk, sizeof chunk) > 0) m_sending = true;
            }
        });
    }
    ~NoisyTerminal()
    {
        m_stop = true;
        if (m_sender.joinable()) m_sender.join();
        if (m_slave >= 0) ::close(m_slave);
        if (m_master >= 0) ::close(m_master);
    }
    NoisyTerminal(const NoisyTerminal&) = delete;
    NoisyTerminal& operator=(const NoisyTerminal&) = delete;

    std::string m_path;
    std::atomic<bool> m_sending{false};

private:
    int m_master = -1;
    int m_slave = -1;
    std::thread m_sender;
    std::atomic<bool> m_stop{false};
};

struct UnaskedBytes : ::testing::Test, WholeApp {
    // Opens the main window and runs the start-up search until done holds or the window closed.
    bool SearchUntil(const std::function<bool()>& done)
    {
        frame = std::make_unique<CMainFrame>();
        frame->show();
        if (frame->Hooks().startUpSearch) frame->Hooks().startUpSearch();
        return Pump([&] { return done() || frame->IsClosed(); }, 60'000) && done();
    }
    int ContinuousModeReports()
    {
        const auto shown = boxes.Boxes();
        return static_cast<int>(std::count_if(shown.begin(), shown.end(),
                                              [](const auto& box) { return box.text == LoadLangString(5677); }));
    }
};

TEST_F(UnaskedBytes, APortThatSendsNoiseIsNoSensorAndTheSearchConnectsTheSensorAfterIt)
{
    NoisyTerminal noise;
    ASSERT_FALSE(noise.m_path.empty());
    platform::WriteProfileString("SERIALCOMM", "Another device", CString(noise.m_path.c_str()));  // listed first
    ASSERT_TRUE(StartSensor({"--serial=4141", "--stator-id=4", "--stator-rev=6"}));
    // The connection follows the end of the search over every port.
    EXPECT_TRUE(SearchUntil([&] { return frame->m_bSensorConnected && frame->Com().IsSensorReady(); })) << Diagnosis();
    EXPECT_EQ(ContinuousModeReports(), 0);
    EXPECT_TRUE(noise.m_sending);
}

TEST_F(UnaskedBytes, ASensorThatStillStreamsIsReportedAndTheProgramEnds)
{
    ASSERT_TRUE(StartSensor({"--serial=4142", "--stator-id=4", "--stator-rev=6", "--stream-unasked"}));
    EXPECT_TRUE(SearchUntil([&] { return frame->IsClosed(); })) << Diagnosis();
    EXPECT_EQ(ContinuousModeReports(), 1);
}

}  // namespace
