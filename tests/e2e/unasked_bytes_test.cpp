// The start-up search against ports that send unasked: noise at full speed from another device
// is no sensor, and the sensor on the port after it connects; a sensor that still streams its
// measured values is stopped and connected.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <random>
#include <thread>

#include "tests/e2e/whole_app.h"

namespace {

// A pseudo-terminal whose far end sends random bytes as fast as the line takes them.
struct NoisyTerminal {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    std::string path = master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0 ? ::ptsname(master) : "";
    int slave = path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_NOCTTY);  // the line stays up between opens
    std::atomic<bool> stop{false}, sent{false};
    std::thread sender{[this] {
        std::mt19937 random(41);
        char chunk[4096];
        while (!stop) {
            for (char& c : chunk) c = static_cast<char>(random());
            pollfd p{master, POLLOUT, 0};
            if (::poll(&p, 1, 10) > 0 && ::write(master, chunk, sizeof chunk) > 0) sent = true;
        }
    }};
    ~NoisyTerminal()
    {
        stop = true;
        sender.join();
        ::close(slave);
        ::close(master);
    }
};

struct UnaskedBytes : ::testing::Test, e2e::WholeApp {};

TEST_F(UnaskedBytes, APortThatSendsNoiseIsNoSensorAndTheSearchConnectsTheSensorAfterIt)
{
    NoisyTerminal noise;
    ASSERT_FALSE(noise.path.empty());
    platform::WriteProfileString("SERIALCOMM", "Another device", CString(noise.path.c_str()));  // listed first
    ASSERT_TRUE(StartSensor({"--serial=4141", "--stator-id=4", "--stator-rev=6"}));
    // The connection follows the end of the search over every port.
    EXPECT_TRUE(Connect(1)) << Diagnosis();
    EXPECT_EQ(boxes.Count(), 0u) << Diagnosis();
    EXPECT_TRUE(noise.sent);
}

TEST_F(UnaskedBytes, ASensorThatStillStreamsIsStoppedAndConnected)
{
    ASSERT_TRUE(StartSensor({"--serial=4142", "--stator-id=4", "--stator-rev=6", "--stream-unasked"}));
    EXPECT_TRUE(Connect(1)) << Diagnosis();
    EXPECT_EQ(frame->Com().m_Sensor[0].m_sStatorHeader.nSerialNo, 4142u);
    EXPECT_EQ(boxes.Count(), 0u) << Diagnosis();
}

}  // namespace
