// The connection page and the start-up search against simulated sensors under virtual time.

#include <gtest/gtest.h>

#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "tests/sensor_admin/admin_bench.h"
#include "workflow/workflow_texts.h"

using namespace sensor_admin;
using namespace sensor_admin_test;
using workflow_test::AcceptedSensor;

TEST(ConnectionPage, AStartUpSearchOverThreePortsFillsTheListAndTheProgress)
{
    AdminBench b;
    b.AddSensor("COM3", AcceptedSensor(1001));
    b.AddSensor("COM4", AcceptedSensor(1002));
    b.AddSensor("COM5", AcceptedSensor(1003), "Tessaline USB sensor interface Port", 9600);  // never answers
    CDlgStartUp& startUp = b.pages.startUp;
    startUp.SetShowProgressInList(true);
    int maxPercent = 0, changes = 0;
    std::vector<CString> portsShown;  // the status line under the progress
    startUp.onChanged = [&] {
        ++changes;
        maxPercent = std::max(maxPercent, startUp.Percent());
        EXPECT_LE(startUp.PortPercent(), 100);
        if (portsShown.empty() || portsShown.back() != startUp.StatusText()) portsShown.push_back(startUp.StatusText());
    };

    b.com.COM_SearchComPorts(0);
    EXPECT_TRUE(startUp.IsVisible());
    ASSERT_TRUE(b.RunUntilConnected());
    b.loop.RunFor(3000);

    // Probed from the last row down; each port moved the progress on, never beyond 100 %.
    EXPECT_EQ(portsShown.front(), LoadLangString(kTextSearching));
    const CString searching = LoadLangString(kTextSearching) + "  ";
    EXPECT_NE(std::find(portsShown.begin(), portsShown.end(), searching + "Schnittstelle 1 von 3"), portsShown.end());
    EXPECT_NE(std::find(portsShown.begin(), portsShown.end(), searching + "Schnittstelle 3 von 3"), portsShown.end());
    EXPECT_GT(maxPercent, 0);
    EXPECT_LE(maxPercent, 100);
    EXPECT_FALSE(startUp.IsVisible());  // a sensor was found: the window closed itself

    const CDlgSensorConnection& page = b.pages.connection;
    ASSERT_EQ(page.GetItemCount(), 3);
    EXPECT_EQ(page.GetItemText(0, kColumnPort), CString("Tessaline USB   [COM3]"));
    EXPECT_EQ(page.GetItemText(2, kColumnPort), CString("Tessaline USB   [COM5]"));
    EXPECT_EQ(page.GetItemText(0, kColumnStatus), CString("aktiv"));
    EXPECT_EQ(page.GetItemText(1, kColumnStatus), CString("aktiv"));  // a further sensor, opened too
    EXPECT_EQ(page.GetItemText(0, kColumnSerial), CString("1001"));
    EXPECT_EQ(page.GetItemText(1, kColumnSerial), CString("1002"));
    EXPECT_EQ(page.GetItemText(0, kColumnSensorType), CString("RX-RS485"));
    EXPECT_EQ(page.GetItemText(0, kColumnBaudRate), CString("115200"));
    EXPECT_EQ(page.GetItemText(0, kColumnAddress), CString("1"));
    // The range end in the unit of the sensor's measurand (voltage: 500 V), as the other pages show it.
    EXPECT_EQ(page.GetItemText(0, kColumnRangeEnd), CString("500,00 V"));
    // The silent port gave no sensor: no type, no serial number.
    EXPECT_TRUE(page.GetItemText(2, kColumnSensorType).IsEmpty());
    EXPECT_TRUE(page.GetItemText(2, kColumnSerial).IsEmpty());
    for (const PortListRow& row : page.List().Rows()) EXPECT_LT(row.progress, 101);
    EXPECT_EQ(page.CountSensorPorts(), 3);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_TRUE(b.boxes.Boxes().empty());
}

TEST(ConnectionPage, AUserDisconnectsAndConnectsTheSensorFromThePage)
{
    AdminBench b;
    ASSERT_TRUE(b.ConnectSensor(AcceptedSensor(4711)));
    b.loop.RunFor(200);
    CDlgSensorConnection& page = b.pages.connection;
    workflow_test::SimPortFactory::Binding& com3 = b.ports.Port("COM3");
    ASSERT_NE(com3.owner, nullptr);
    ASSERT_TRUE(com3.owner->IsOpen());
    EXPECT_TRUE(page.IsConnected());
    EXPECT_TRUE(b.pages.information.IsSensorPresent());

    page.OnDisconnect();
    EXPECT_FALSE(com3.owner && com3.owner->IsOpen());
    EXPECT_FALSE(page.IsConnected());
    EXPECT_EQ(page.GetItemText(0, kColumnStatus), CString("verfügbar"));
    EXPECT_FALSE(b.pages.information.IsSensorPresent());
    EXPECT_EQ(b.pages.information.Rows()[1].value, CString("n.a."));

    // The sensor's USB port came marked (its background is not white); a click takes the mark
    // away, another puts it back, and the user connects.
    EXPECT_TRUE(page.IsRowMarked(0));
    page.OnRowClicked(0);
    EXPECT_FALSE(page.IsRowMarked(0));
    EXPECT_EQ(page.List().Rows()[0].background, kColourWhite);
    page.OnRowClicked(0);
    EXPECT_TRUE(page.IsRowMarked(0));
    const std::size_t before = b.ports.writes.size();
    b.frame.sensorConnected = false;
    page.OnConnect();
    ASSERT_TRUE(b.RunUntilConnected());
    b.loop.RunFor(200);
    EXPECT_EQ(b.CountAfter(before, 'B'), 1);
    EXPECT_EQ(b.CountAfter(before, 'D'), 8);
    ASSERT_NE(com3.owner, nullptr);
    EXPECT_TRUE(com3.owner->IsOpen());
    EXPECT_EQ(page.GetItemText(0, kColumnStatus), CString("aktiv"));
    EXPECT_TRUE(page.IsRowMarked(0));
    EXPECT_TRUE(b.pages.information.IsSensorPresent());
    EXPECT_TRUE(b.boxes.Boxes().empty());

    // A search from the page finds and connects the sensor again; the search window closes and
    // the page's buttons come back.
    page.OnSearch();
    EXPECT_TRUE(b.pages.startUp.IsVisible());
    EXPECT_FALSE(page.AreButtonsEnabled());
    b.loop.RunFor(5000);
    EXPECT_FALSE(b.pages.startUp.IsVisible());
    EXPECT_TRUE(page.AreButtonsEnabled());
    EXPECT_EQ(page.GetItemText(0, kColumnStatus), CString("aktiv"));
    EXPECT_TRUE(b.boxes.Boxes().empty());
}

TEST(ConnectionPage, ASearchThatFindsNothingEndsWithTheClosingTextAndCloses)
{
    AdminBench b;
    b.AddSensor("COM3", AcceptedSensor(), "Tessaline USB sensor interface Port", 9600);
    b.pages.connection.OnSearch();
    EXPECT_TRUE(b.pages.connection.IsBusy());
    b.loop.RunFor(1500);
    EXPECT_TRUE(b.pages.startUp.IsFinished());
    EXPECT_EQ(b.pages.startUp.StatusText(), CString("Die Suche ist beendet. Es wurde kein Sensor gefunden."));
    EXPECT_EQ(b.pages.startUp.Percent(), 100);
    EXPECT_FALSE(b.pages.connection.IsBusy());
    b.loop.RunFor(kStartUpCloseDelayMs + 100);
    EXPECT_FALSE(b.pages.startUp.IsVisible());
}

namespace {

// Two sensors on COM3 and COM4, searched and both connected.
void ConnectTwoSensors(AdminBench& b)
{
    b.AddSensor("COM3", AcceptedSensor(3001));
    b.AddSensor("COM4", AcceptedSensor(3002));
    b.com.COM_SearchComPorts(4);
    ASSERT_TRUE(b.RunUntilConnected());
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.com.m_nCountActivePorts == 2; }, 5000));
    b.loop.RunFor(1000);
}

}  // namespace

TEST(ConnectionPage, ABaudRateChangeWritesTheCodeToEverySensorRestartsThemAndConnectsAgain)
{
    AdminBench b;
    ASSERT_NO_FATAL_FAILURE(ConnectTwoSensors(b));
    CDlgSensorConnection& page = b.pages.connection;
    const std::size_t before = b.ports.writes.size();

    ASSERT_TRUE(page.OnChangeBaudRate(230400));
    EXPECT_TRUE(page.IsBusy());
    EXPECT_EQ(page.m_bBaudRateChange, 1);
    ASSERT_TRUE(b.loop.RunUntil([&] { return !page.IsBusy() && b.com.GetZMCOMConfgFlow() == ZM_STOP_MEASURE; }, 20000));
    b.loop.RunFor(3000);

    EXPECT_EQ(b.CountAfter(before, 'F'), 2);
    EXPECT_EQ(b.CountAfter(before, 'K'), 2);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(b.devices[static_cast<std::size_t>(i)]->Port(0).sensor().Blocks().ContentByte(2, 16), 2) << i;
    // Restarted, the sensors were searched and connected again.
    EXPECT_GE(b.CountAfter(before, 'B'), 2);
    EXPECT_EQ(page.GetItemText(0, kColumnStatus), CString("aktiv"));
    EXPECT_EQ(page.m_bBaudRateChange, 0);
    EXPECT_TRUE(b.boxes.Boxes().empty());
}

// A sensor that falls silent in a baud-rate change: at the code write, the page's retries end
// the change as failed; at the restart after it, the connection is reported unstable. Either way
// the page is free again, and its search connects both sensors once they talk again.
TEST(ConnectionPage, ABaudRateChangeWhoseSensorFallsSilentEndsAndTheSearchConnectsAgain)
{
    constexpr int kSilentMs = kRestartSilenceMs + 1000;  // longer than every watch
    for (const bool atRestart : {false, true}) {
        SCOPED_TRACE(atRestart ? "silent at the restart" : "silent at the code write");
        AdminBench b;
        ASSERT_NO_FATAL_FAILURE(ConnectTwoSensors(b));
        CDlgSensorConnection& page = b.pages.connection;
        b.ports.writes.clear();
        if (!atRestart) b.devices[1]->Port(0).Stall(kSilentMs);
        ASSERT_TRUE(page.OnChangeBaudRate(230400));
        if (atRestart) {
            ASSERT_TRUE(b.loop.RunUntil([&] { return b.ports.Count('K') > 0; }, 5000));
            b.devices[1]->Port(0).Stall(kSilentMs);
        }
        ASSERT_TRUE(b.loop.RunUntil([&] { return !page.IsBusy(); }, kSilentMs)) << "flow " << b.com.GetZMCOMConfgFlow();
        ASSERT_EQ(b.boxes.Count(), 1u);
        EXPECT_EQ(b.boxes.Boxes()[0].text,
                  LoadLangString(atRestart ? workflow::kTextUnstableConnection : kTextBaudChangeFailed));
        EXPECT_EQ(page.m_bBaudRateChange, 0);

        b.loop.RunFor(kSilentMs);
        page.OnSearch();
        ASSERT_TRUE(b.loop.RunUntil([&] { return !page.IsBusy() && b.com.m_nCountActivePorts == 2; }, 20000));
        EXPECT_EQ(page.GetItemText(1, kColumnStatus), CString("aktiv"));
        EXPECT_EQ(b.boxes.Count(), 1u);
    }
}

TEST(ConnectionPage, ABaudRateChangeThatCannotBeWrittenEndsWithAMessageAndLeavesThePageUsable)
{
    AdminBench b;
    ASSERT_TRUE(b.ConnectSensor(AcceptedSensor()));
    b.loop.RunFor(300);
    CDlgSensorConnection& page = b.pages.connection;
    b.ports.Port("COM3").writes = false;
    const std::size_t before = b.ports.writes.size();
    EXPECT_FALSE(page.OnChangeBaudRate(230400));
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(page.m_bBaudRateChange, 0);
    EXPECT_EQ(b.CountAfter(before, 'F'), 0);
    ASSERT_EQ(b.boxes.Count(), 1u);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);

    // Of two sensors, one whose stator operation block could not be read gets no other's.
    AdminBench two;
    sim::SensorConfig blockless = AcceptedSensor(3002);
    blockless.identity.blockPresent[2] = false;
    two.AddSensor("COM3", AcceptedSensor(3001));
    two.AddSensor("COM4", blockless);
    two.pages.connection.OnSearch();
    ASSERT_TRUE(two.loop.RunUntil([&] { return two.com.m_nCountActivePorts == 2 && !two.com.m_bFurtherPortsPending; }, 10000));
    const std::size_t written = two.ports.writes.size();
    EXPECT_FALSE(two.pages.connection.OnChangeBaudRate(230400));
    EXPECT_EQ(two.CountAfter(written, 'F'), 0);
    ASSERT_EQ(two.boxes.Count(), 1u);
    EXPECT_NE(two.boxes.Boxes()[0].text.Find("COM4"), -1);
}

TEST(ConnectionPage, ALanguageSwitchRewritesTheRowsInTheNewLanguageAndKeepsTheMarks)
{
    AdminBench b;
    ASSERT_TRUE(b.ConnectSensor(AcceptedSensor(4711)));
    b.loop.RunFor(200);
    CDlgSensorConnection& page = b.pages.connection;
    page.OnDisconnect();
    ASSERT_TRUE(page.IsRowMarked(0));
    const CString germanRange = page.GetItemText(0, kColumnRangeEnd);
    SetLanguage(1000);
    page.LoadLanguageTexts();
    const CString status = page.GetItemText(0, kColumnStatus);
    const CString range = page.GetItemText(0, kColumnRangeEnd);
    const bool marked = page.IsRowMarked(0);
    SetLanguage(0);
    EXPECT_EQ(status, CString("available"));
    EXPECT_EQ(germanRange, CString("500,00 V"));
    EXPECT_EQ(range, CString("500.00 V"));
    EXPECT_TRUE(marked);
}
