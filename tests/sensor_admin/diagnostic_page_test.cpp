// The diagnostic page: grouping of a multiport device, the status request, the state name.

#include <gtest/gtest.h>

#include "tests/sensor_admin/admin_bench.h"

using namespace sensor_admin;
using namespace sensor_admin_test;
using workflow_test::AcceptedSensor;

TEST(DiagnosticPage, GroupsTheFourPortsOfAMultiportDeviceWithItsMaster)
{
    AdminBench b;
    b.AddDevice(3, sim::MultiportConfigs(4, AcceptedSensor(777)));
    b.AddSensor("COM9", AcceptedSensor(999));
    b.com.COM_SearchComPorts(0);
    ASSERT_TRUE(b.RunUntilConnected());
    b.loop.RunFor(3000);

    const CDlgDiagnostic& page = b.pages.diagnostic;
    ASSERT_EQ(page.Rows().size(), 5u);
    int masters = 0, slaves = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const DiagnosticRow& row = page.Rows()[i];
        EXPECT_EQ(row.serial, 777u);
        EXPECT_EQ(row.position, static_cast<int>(i) + 1);
        EXPECT_EQ(row.count, 4);
        EXPECT_EQ(row.group, 0);
        masters += row.role == CMasterSlaveDetector::kRoleMaster;
        slaves += row.role == CMasterSlaveDetector::kRoleSlave;
    }
    EXPECT_EQ(masters, 1);
    EXPECT_EQ(slaves, 3);
    EXPECT_EQ(page.Rows()[0].role, CMasterSlaveDetector::kRoleMaster);
    EXPECT_EQ(page.Rows()[4].group, -1);  // the separate sensor belongs to no device
    EXPECT_EQ(page.Rows()[4].serial, 999u);
    EXPECT_EQ(b.com.m_bStartupStatus, 0);
}

TEST(DiagnosticPage, AStatusRequestByHandIsAnsweredAndTheStateIsShownByName)
{
    AdminBench b;
    ASSERT_TRUE(b.ConnectSensor(AcceptedSensor()));
    b.loop.RunFor(300);
    CDlgDiagnostic& page = b.pages.diagnostic;
    page.OnShowPage(true);
    EXPECT_EQ(page.WorkflowStateText(), CString("5  ZM_STOP_MEASURE"));
    const std::size_t before = b.ports.writes.size();
    ASSERT_TRUE(page.OnStatusRequest());
    EXPECT_EQ(page.WorkflowStateText(), CString("14  ZM_GET_STATUS_LONG"));
    b.loop.RunFor(1200);
    EXPECT_EQ(b.CountAfter(before, 'B'), 1);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(page.m_strStatusLine, CString("Statusantwort: Adresse 1, Kalibrierung 2, Stator 4/6, Rotor 1/1"));

    // A sensor that does not answer: the state goes back to rest.
    b.devices[0]->Port(0).Stall(-1);
    ASSERT_TRUE(page.OnStatusRequest());
    b.loop.RunFor(kDiagStatusWaitMs + 600);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(page.m_strStatusLine, CString("Keine Statusantwort."));
}
