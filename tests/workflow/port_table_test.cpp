// The port table: search, connect request, activation of sensor ports, and the faults mended
// around them (rows outside the table, managers that leak or linger, opens that fail, forked
// probe chains).

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"

using namespace workflow_test;

TEST(Search, OnlyEntriesThatBeginWithComAndADigitTakeARow)
{
    Bench b;
    b.ports.AddPlainEntry("LPT1 printer");
    b.ports.AddPlainEntry("COMX virtual");
    b.AddSensor("COM3", AcceptedSensor());
    b.com.m_bDelayedSearch = 0;
    b.com.COM_SearchComPorts(0);
    EXPECT_EQ(b.com.m_nPortRecCount, 1);
    EXPECT_EQ(b.com.m_PortRec[0].m_strPortName, CString("COM3 Tessaline USB sensor interface Port"));
    EXPECT_TRUE(b.com.m_PortRec[1].m_strPortName.IsEmpty());
    EXPECT_EQ(b.startUp.searchPorts, 1);
}

TEST(Search, WithUsbPortsOnlyAnOtherPortLeavesAnEmptyRowAndTheCounterAdvances)
{
    Bench b;
    b.startUp.usbOnly = true;
    b.AddSensor("COM2", AcceptedSensor(), "Communications Port");
    b.AddSensor("COM3", AcceptedSensor());
    b.com.COM_SearchComPorts(0);
    EXPECT_EQ(b.com.m_nPortRecCount, 2);
    EXPECT_TRUE(b.com.m_PortRec[0].m_strPortName.IsEmpty());
    EXPECT_EQ(b.com.m_PortRec[1].m_nState, kPortStateFound);
    ASSERT_TRUE(b.RunUntilConnected());
    EXPECT_EQ(b.ports.Count('B'), 2);
    for (const WrittenFrame& frame : b.ports.writes) EXPECT_EQ(frame.port, CString("COM3"));
}

TEST(Search, ADelayedSearchIsOnlyScheduled)
{
    Bench b;
    b.AddSensor("COM3", AcceptedSensor());
    b.com.m_bDelayedSearch = 1;
    b.com.COM_SearchComPorts(0);
    EXPECT_EQ(b.com.m_bDelayedSearch, 0);
    EXPECT_EQ(b.control.timers.armed.back(), (std::pair<UINT_PTR, UINT>{workflow::kCtrlPageTimerSearch, 2500}));
    EXPECT_EQ(b.startUp.searchPorts, -1);
}

TEST(Search, ASecondConnectRequestDuringTheFirstSearchIsIgnored)
{
    Bench b;
    b.AddSensor("COM3", AcceptedSensor());
    b.com.COM_SearchComPorts(0);
    const int updates = b.connection.listUpdates;
    b.com.COM_ConnectSensor(0, 0);
    b.com.COM_ConnectSensor(0, 3);
    EXPECT_EQ(b.connection.listUpdates, updates);
    ASSERT_TRUE(b.RunUntilConnected());
    EXPECT_EQ(b.ports.Count('B'), 2);
}

TEST(Search, ANewSearchReleasesTheManagerItReplaces)
{
    Bench b;
    b.AddSensor("COM3", AcceptedSensor());
    b.com.COM_SearchComPorts(0);
    ASSERT_TRUE(b.RunUntilConnected());
    EXPECT_EQ(b.ports.livePorts, 1);
    b.com.m_strKnownPortName = "something else";
    b.com.m_bSearchBusy = 0;
    b.com.COM_ConnectSensor(0, 0);  // a new search
    EXPECT_EQ(b.ports.livePorts, 1);
    b.loop.RunFor(3000);
    EXPECT_EQ(b.ports.livePorts, 1);
}

TEST(Connect, ARuleThatFindsNoRowOpensNothingAndReadsNoRowOutsideTheTable)
{
    OpenBench b;
    b.com.m_bSearchBusy = 0;
    b.com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    b.com.m_nSensorPortCount = 0;
    b.com.m_strOpenPortName = "COM9 gone";
    b.com.m_strKnownPortName = "COM8 gone too";
    b.com.m_nLastPortRec = -1;
    b.com.m_PortRec[0].m_strPortName = "COM3 Tessaline USB sensor interface Port";
    b.com.m_PortRec[0].m_nState = kPortStateAvailable;
    const std::size_t writes = b.ports.writes.size();
    b.com.COM_ConnectSensor(0, 3);
    EXPECT_EQ(b.com.m_nSelectedPortRec, -1);
    EXPECT_EQ(b.ports.writes.size(), writes);
    EXPECT_EQ(b.com.m_PortRec[0].m_nState, kPortStateAvailable);
}

TEST(Connect, ThePortUsedLastIsConnectedAgain)
{
    OpenBench b;
    b.AddSensor("COM4", AcceptedSensor(2));
    b.com.m_bSearchBusy = 0;
    b.com.m_nSensorPortCount = 2;
    for (int row = 0; row < 2; ++row) {
        CPortRecord& rec = b.com.m_PortRec[static_cast<std::size_t>(row)];
        rec.m_strPortName = row == 0 ? "COM3 Tessaline USB sensor interface Port" : "COM4 Tessaline USB sensor interface Port";
        rec.m_nState = kPortStateAvailable;
        rec.m_nBaudRate = 115200;
        rec.m_Sensor.m_sStatorHeader.nSerialNo = static_cast<DWORD>(row + 1);
    }
    b.com.m_PortRec[2].m_strPortName.Empty();  // end of the table as a search leaves it
    b.com.m_pPortMan->SetOffLine();
    b.com.m_strPortState = "OffLine";
    b.com.m_strLastPortName = "COM4 Tessaline USB sensor interface Port";
    b.com.COM_ConnectSensor(0, 3);
    EXPECT_EQ(b.com.m_nSelectedPortRec, 1);
    EXPECT_EQ(b.com.m_PortRec[1].m_nState, kPortStateActive);
    EXPECT_EQ(b.ports.writes.back().port, CString("COM4"));
    EXPECT_EQ(b.ports.writes.back().Letter(), 'B');
    EXPECT_TRUE(b.com.m_strLastPortName.IsEmpty());
    EXPECT_EQ(b.connection.GetItemCount(), 2);
}

TEST(Connect, SensorsOfOneDeviceWithoutASerialNumberStopTheApplication)
{
    OpenBench b;
    b.com.m_bSearchBusy = 0;
    b.com.m_nSensorPortCount = 2;
    for (int row = 0; row < 2; ++row) {
        b.com.m_PortRec[static_cast<std::size_t>(row)].m_strPortName = CString::Formatted("COM%d x", 3 + row);
        b.com.m_PortRec[static_cast<std::size_t>(row)].m_nState = kPortStateAvailable;
    }
    EXPECT_FALSE(b.com.COM_CheckSameDeviceSerial());
    ASSERT_EQ(b.boxes.Count(), 1u);
    EXPECT_EQ(b.boxes.Boxes()[0].text.Left(21), CString("TSL-USB-KM3 hat mehr "));
    EXPECT_EQ(b.com.m_bCloseWithoutSaving, 1);
    EXPECT_TRUE(b.frame.pagesHidden);
    EXPECT_EQ(b.loop.TimerRemainingMs(b.window.GetSafeHwnd(), kTimerClose), 1000);

    b.com.m_PortRec[0].m_Sensor.m_sStatorHeader.nSerialNo = 5;
    b.com.m_PortRec[1].m_Sensor.m_sStatorHeader.nSerialNo = 5;
    EXPECT_TRUE(b.com.COM_CheckSameDeviceSerial());
    b.com.m_PortRec[1].m_Sensor.m_sStatorHeader.nSerialNo = 6;
    EXPECT_FALSE(b.com.COM_CheckSameDeviceSerial());
    EXPECT_EQ(b.boxes.Count(), 1u);
}

namespace {

// The row's port activated, the loop run until it has opened or given up: -1 when the row
// cannot be activated, else whether the port opened; openedAfterMs says when it was decided.
int Activate(OpenBench& b, int row, std::int64_t* openedAfterMs = nullptr)
{
    int opened = -1;
    const std::int64_t before = b.loop.NowMs();
    if (!b.com.COM_ActivatePort(row, [&](bool open) {
            opened = open ? 1 : 0;
            if (openedAfterMs) *openedAfterMs = b.loop.NowMs() - before;
        }))
        return -1;
    EXPECT_EQ(b.loop.NowMs(), before) << "the pauses are the loop's";
    b.loop.RunUntil([&] { return opened >= 0; }, 1000);
    return opened;
}

}  // namespace

TEST(Activation, OnlyTheSensorBaudRatesAreTakenFromARow)
{
    OpenBench b;
    b.com.m_nBaudRate = 230400;
    b.com.m_PortRec[0].m_strPortName = "COM3 Tessaline USB sensor interface Port";
    b.com.m_PortRec[0].m_nBaudRate = 9600;
    EXPECT_EQ(Activate(b, 0), 1);
    EXPECT_EQ(b.com.m_nBaudRate, 230400);
    b.com.m_PortRec[0].m_nBaudRate = 115200;
    EXPECT_EQ(Activate(b, 0), 1);
    EXPECT_EQ(b.com.m_nBaudRate, 115200);
    auto* port = dynamic_cast<SimSensorPort*>(b.com.m_pPortMan.get());
    EXPECT_EQ(port->Settings().baudRate, 115200);
    EXPECT_EQ(port->Settings().dataBits, 8);
    EXPECT_EQ(Activate(b, -1), -1);
    EXPECT_EQ(Activate(b, kPortTableRows), -1);
}

TEST(Activation, APortThatDoesNotOpenIsTriedTwiceAndReported)
{
    OpenBench b;
    b.ports.Port("COM3").opens = false;
    b.com.m_PortRec[0].m_strPortName = "COM3 Tessaline USB sensor interface Port";
    std::int64_t openedAfterMs = 0;
    EXPECT_EQ(Activate(b, 0, &openedAfterMs), 0);
    // Off-line 100 ms, the first open, 250 + 100 ms, the second open, 250 ms: all on the loop.
    EXPECT_EQ(openedAfterMs, 700);
    EXPECT_EQ(b.com.COM_PrepareSensorSetup(0, b.com.m_PortRec[0].m_strPortName, 0, kPortStateAvailable),
              kPortStateNotOpenable);
    EXPECT_EQ(b.com.COM_PrepareSensorSetup(0, "x", 0, kPortStateNotSupported), kPortStateNotSupported);
}

TEST(Activation, TheKnownPortTakesTheStoredRecordWithoutAStatusRequest)
{
    OpenBench b;
    const CString name = "COM3 Tessaline USB sensor interface Port";
    b.com.m_strKnownPortName = name;
    b.com.m_nSelectedPortRec = 0;
    b.com.m_PortRec[0].m_Sensor.m_sStatorHeader.nSerialNo = 99;
    b.ports.writes.clear();
    EXPECT_EQ(b.com.COM_PrepareSensorSetup(0, name, 0, kPortStateAvailable), kPortStateActive);
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_EQ(b.com.m_Sensor[0].m_sStatorHeader.nSerialNo, 99u);
    EXPECT_EQ(b.control.versionChecks, (std::vector<int>{0}));
    EXPECT_EQ(b.frame.displayUpdates.back(), (std::pair<int, int>{0, 1}));
}

namespace {

void ThreeListedRows(Bench& b, const char* status1)
{
    for (int row = 0; row < 3; ++row) {
        b.AddSensor(CString::Formatted("COM%d", 3 + row), AcceptedSensor(static_cast<std::uint32_t>(row + 1)));
        CPortRecord& rec = b.com.m_PortRec[static_cast<std::size_t>(row)];
        rec.m_strPortName = CString::Formatted("COM%d Tessaline USB sensor interface Port", 3 + row);
        rec.m_nBaudRate = 115200;
        rec.m_Sensor.m_sStatorHeader.nSerialNo = static_cast<DWORD>(row + 1);
        b.connection.FillPortList(row, row == 1 ? 0 : kPortStateActive, 0, 0xFFFFFF, "x");
    }
    b.connection.SetItemText(1, 6, status1);
    b.com.m_nPortRecCount = 3;
}

}  // namespace

TEST(Activation, FurtherPortsMarkedActiveOpenOnTheirOwnMessagesAndAvailableRowsStayAvailable)
{
    Bench b;
    ThreeListedRows(b, "verfügbar");
    b.com.m_nAutoActivateRow = -1;
    b.com.m_nCurSensor = 0;
    b.com.m_nLastActivatedRow = -1;
    b.com.m_nCountActivePorts = 0;
    b.window.SetTimer(kTimerFurtherPort, 10);
    b.loop.RunFor(20);
    b.loop.RunFor(100);
    EXPECT_EQ(b.com.m_nCountActivePorts, 2);
    EXPECT_EQ(b.ports.createdDataMessages, (std::vector<UINT>{2101, 2102}));
    EXPECT_EQ(b.com.m_PortRec[0].m_nState, kPortStateActive);
    EXPECT_EQ(b.com.m_PortRec[1].m_nState, kPortStateAvailable);
    EXPECT_EQ(b.com.m_PortRec[2].m_nState, kPortStateActive);
    EXPECT_EQ(dynamic_cast<SimSensorPort*>(b.com.m_pPortManOfPort[1].get())->OpenName().Left(4), CString("COM5"));
    EXPECT_EQ(b.com.m_Sensor[1].m_sStatorHeader.nSerialNo, 3u);
}

TEST(Activation, AFurtherPortThatDoesNotOpenIsNeitherConnectedNorCounted)
{
    Bench b;
    ThreeListedRows(b, "aktiv");
    b.ports.Port("COM4").opens = false;
    b.com.m_nCountActivePorts = 0;
    b.com.m_nLastActivatedRow = -1;
    for (int sensor = 0; sensor < 3; ++sensor) {
        b.com.m_nCurSensor = sensor;
        b.com.COM_CompleteSensorSetup(sensor, b.window);
    }
    EXPECT_EQ(b.com.m_PortRec[1].m_nState, kPortStateNotOpenable);
    EXPECT_EQ(b.com.m_nCountActivePorts, 2);
    EXPECT_EQ(b.com.m_PortRec[2].m_nState, kPortStateActive);
    EXPECT_EQ(b.ports.livePorts, 2);
    // The single-port manager is gone: writes through it fail instead of touching a freed one.
    EXPECT_FALSE(b.com.m_pPortMan);
    EXPECT_FALSE(b.com.COM_ZMSingleShot());
    EXPECT_FALSE(b.com.COM_SendRestartSensor());
}

TEST(Activation, PortListTextsConvertBothWays)
{
    CComPort com;
    const CString display = com.COM_MakePortDisplayName("COM7 Tessaline USB sensor interface Port");
    EXPECT_EQ(display, CString("Tessaline USB   [COM7]"));
    EXPECT_EQ(com.COM_ParsePortDisplayName(display), CString("COM7   Tessaline USB sensor interface Port"));
    EXPECT_EQ(com.COM_MakePortDisplayName("COM2 Communications Port"), CString("Communications Port   [COM2]"));
}

TEST(Probing, ARefusedWriteContinuesTheProbingExactlyOnce)
{
    Bench b;
    b.AddSensor("COM3", AcceptedSensor());
    b.AddSensor("COM4", AcceptedSensor(2));
    b.ports.Port("COM4").writes = false;
    b.com.COM_SearchComPorts(0);  // probes the last row, COM4, first
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.com.m_PortRec[1].m_nState == kPortStateNotOpenable; }, 2000));
    EXPECT_FALSE(b.window.IsTimerArmed(kTimerProbeAnswerWait));
    ASSERT_TRUE(b.RunUntilConnected());
    EXPECT_EQ(b.ports.Letters(), CString("BDDDDDDDDBDDDDDDDDA"));
    EXPECT_EQ(b.com.m_nSensorPortCount, 1);
    b.loop.RunFor(3000);
    EXPECT_EQ(b.ports.Count('B'), 2);  // no second chain probing behind the first
}

TEST(Probing, WithNoRowsLeftTheSearchEndsAndTheProbeTimeOutIsKilled)
{
    Bench b;
    b.com.COM_SearchComPorts(0);
    EXPECT_FALSE(b.connection.timers.IsTimerArmed(workflow::kConnPageTimerProbeTimeout));
    EXPECT_TRUE(b.window.IsTimerArmed(kTimerSearchEnd));
    EXPECT_EQ(b.startUp.finished, 1);
}

TEST(Connect, ThePortUsedLastStillOpenIsClosedAndSearchedAgain)
{
    OpenBench b;
    b.com.m_bSearchBusy = 0;
    b.com.m_nSensorPortCount = 0;
    b.com.m_strPortState = b.com.m_pPortMan->GetStateText();
    b.com.m_strOpenPortName = b.com.m_strPortState;
    b.com.m_strLastPortName = b.com.m_strPortState;
    b.com.COM_ConnectSensor(0, 3);
    EXPECT_EQ(b.loop.TimerRemainingMs(b.window.GetSafeHwnd(), kTimerCloseFirstPort), 100);
    // A device's further ports that were still to be grouped are the search's to find now:
    // grouped meanwhile, they would count the sensors anew in the middle of it.
    b.com.SetFurtherPortsPending(true);
    b.window.SetTimer(kTimerConnectNext, 300);
    b.loop.RunFor(100);
    EXPECT_EQ(b.com.m_pPortMan->GetStateText(), CString("OffLine"));
    EXPECT_TRUE(b.window.IsTimerArmed(kTimerSearchAgain));
    b.loop.RunFor(100);
    EXPECT_FALSE(b.window.IsTimerArmed(kTimerConnectNext));
    ASSERT_TRUE(b.RunUntilConnected());
    EXPECT_EQ(b.ports.Count('B'), 2);
}
