// The sensors of a connection as the pages see them while the further ports of several sensors
// are opened one by one, and the port named when one of them goes away.

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/workflow/workflow_bench.h"

using namespace workflow_test;

namespace {

// What the control page found in the controller at each version check: the sensors it lays
// out (as many as there are active ports) with their serial numbers and ports.
struct SensorListPage : FakeMeasureControlPage {
    explicit SensorListPage(const CComPort& com) : m_com(com) {}
    void CheckSensorVersion(int argument) override
    {
        FakeMeasureControlPage::CheckSensorVersion(argument);
        std::vector<std::pair<DWORD, std::string>> seen;
        for (int s = 0; s < m_com.m_nCountActivePorts && s < kMaxSensorPorts; ++s)
            seen.push_back({m_com.m_Sensor[static_cast<std::size_t>(s)].m_sStatorHeader.nSerialNo,
                            m_com.PortNameOfSensor(s).Left(4).GetString()});
        checks.push_back(seen);
    }
    std::vector<std::vector<std::pair<DWORD, std::string>>> checks;

private:
    const CComPort& m_com;
};

}  // namespace

TEST(SensorList, TheLastVersionCheckOfFourSeparateSensorsSeesAllFourEachOnItsOwnPort)
{
    Bench b;
    SensorListPage page(b.com);
    page.timers.onTimer = b.control.timers.onTimer;
    workflow::WorkflowPeers peers = b.com.Peers();
    peers.measureControl = &page;
    b.com.SetPeers(peers);
    for (int i = 0; i < 4; ++i) b.AddSensor(CString::Formatted("COM%d", 3 + i), AcceptedSensor(1000 + i));
    ASSERT_TRUE(b.SearchUntilAllActive());

    ASSERT_FALSE(page.checks.empty());
    const std::vector<std::pair<DWORD, std::string>> all{{1000, "COM3"}, {1001, "COM4"}, {1002, "COM5"}, {1003, "COM6"}};
    EXPECT_EQ(page.checks.back(), all);
    // Each port's check already counts its own sensor: one more sensor at each of the four.
    ASSERT_GE(page.checks.size(), 4u);
    for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(page.checks[page.checks.size() - 4 + k].size(), k + 1);
}

TEST(SensorList, ALostPortOfAMultiportDeviceIsNamedItselfNotTheFirstPort)
{
    Bench b;
    b.AddDevice(3, sim::MultiportConfigs(4, AcceptedSensor(777)));
    ASSERT_TRUE(b.SearchUntilAllActive());
    ASSERT_EQ(b.com.m_nCountActivePorts, 4);
    b.boxes.Clear();

    b.com.OnFurtherPortNotify(2, workflow::kEventDeviceRemoval, 0);
    ASSERT_EQ(b.boxes.Count(), 1u);
    const CString text = b.boxes.Boxes()[0].text;
    EXPECT_GE(text.Find("777"), 0) << text.GetString();
    EXPECT_GE(text.Find("COM5"), 0) << text.GetString();
    EXPECT_LT(text.Find("COM3"), 0) << text.GetString();
}
