// The sensor information page: what it shows of a simulated sensor, storing the set-up in the
// sensor, and a sensor that leaves while the page reads or writes.

#include <gtest/gtest.h>

#include "res/string_table.h"
#include "tests/sensor_admin/admin_bench.h"

using namespace sensor_admin;
using namespace sensor_admin_test;
using workflow_test::AcceptedSensor;

namespace {

CString ValueOf(const CDlgSensorInformationHmb& page, UINT label)
{
    for (const InfoRow& row : page.Rows())
        if (row.labelId == label) return row.value;
    return "<missing>";
}

sim::SensorConfig Identified()
{
    sim::SensorConfig config = AcceptedSensor(123456);
    config.identity.rotorSerial = 654321;
    return config;
}

}  // namespace

TEST(InformationPage, ShowsTheIdentityOfTheConnectedSensorAndNaWhereTheRecordHasNothing)
{
    AdminBench b;
    ASSERT_TRUE(b.ConnectSensor(Identified()));
    b.loop.RunFor(100);  // timer 53
    const CDlgSensorInformationHmb& page = b.pages.information;
    ASSERT_TRUE(page.IsSensorPresent());
    EXPECT_EQ(ValueOf(page, kTextColumnSensorType), CString("RX-RS485"));
    EXPECT_EQ(ValueOf(page, kTextStatorSerial), CString("123456"));
    EXPECT_EQ(ValueOf(page, kTextRotorSerial), CString("654321"));
    EXPECT_EQ(ValueOf(page, kTextSensorAddress), CString("1"));
    EXPECT_EQ(ValueOf(page, kTextStatorIdRevision), CString("4 / 6"));
    EXPECT_EQ(ValueOf(page, kTextCalibration), CString("Werkskalibrierung"));
    // The sensor's type class names voltage.
    EXPECT_EQ(ValueOf(page, kTextMeasurandA), CString("Spannung"));
    // The user calibration is stored switched off, with check words that do not hold.
    EXPECT_EQ(ValueOf(page, kTextDateUserCalibration), CString("n.a."));
    EXPECT_NE(ValueOf(page, kTextDateFactoryCalibration), CString("n.a."));
    EXPECT_NE(ValueOf(page, kTextDateHardware), CString("n.a."));
    CString measurand;
    page.FormatChannelValue(measurand, 1, 0, 0, 0);
    EXPECT_EQ(measurand, CString("Spannung"));

    SetLanguage(1000);
    b.pages.information.FillSensorInformation(0);
    EXPECT_EQ(ValueOf(page, kTextCalibration), CString("Factory calibration"));
    SetLanguage(0);
}

// A range end is given in the base unit of the measurand (cN·m for a torque sensor): it is shown
// in the unit the channel views use, never as the bare number behind the stored unit text.
TEST(InformationPage, TheRangeEndsAreShownInTheUnitsOfTheSensorsMeasurand)
{
    AdminBench b;
    sim::SensorConfig config = Identified();
    config.identity.rotorTypeClass = 'D';
    config.identity.unitA = "Nm";
    ASSERT_TRUE(b.ConnectSensor(config));
    b.loop.RunFor(100);
    const CDlgSensorInformationHmb& page = b.pages.information;
    EXPECT_EQ(ValueOf(page, kTextRangeA), CString("5,00 N·m"));  // 500 cN·m
    EXPECT_EQ(ValueOf(page, kTextMeasurandA), CString("Drehmoment"));
    // Channel B keeps the unit that names it a speed channel.
    EXPECT_EQ(ValueOf(page, kTextMeasurandB), LoadLangString(workflow::kTextMeasurandSpeed));
    EXPECT_EQ(ValueOf(page, kTextRangeB), CString("1000 rpm"));
    SetLanguage(1000);
    b.pages.information.FillSensorInformation(0);
    EXPECT_EQ(ValueOf(page, kTextRangeA), CString("5.00 N·m"));
    SetLanguage(0);
}

// A sensor without a software-configuration block still measures in known units, and so does
// one whose block holds zeros or an erased memory's 0xFF for its unit texts; numbers carry the
// language's decimal separator.
TEST(InformationPage, UnitsWithoutAStoredOneAndNumbersInTheLanguage)
{
    AdminBench b;
    sim::SensorConfig config = Identified();
    config.identity.blockPresent[static_cast<std::size_t>(sim::BlockSlot(3))] = false;
    config.identity.factoryCalibration.gainA = 49152;  // 1.5
    config.identity.factoryCalibration.inaccuracyA = 2500;  // 0.25 %
    ASSERT_TRUE(b.ConnectSensor(config));
    b.loop.RunFor(100);
    const CDlgSensorInformationHmb& page = b.pages.information;
    EXPECT_EQ(ValueOf(page, kTextSoftwareUnits), CString("V / V"));
    EXPECT_EQ(ValueOf(page, kTextRangeA), CString("500,00 V"));
    EXPECT_EQ(ValueOf(page, kTextGainOffset), CString("1,50000 / 0; 1,00000 / 0"));
    EXPECT_EQ(ValueOf(page, kTextInaccuracy), CString("0,25 % / n.a."));
    SetLanguage(1000);
    b.pages.information.FillSensorInformation(0);
    EXPECT_EQ(ValueOf(page, kTextGainOffset), CString("1.50000 / 0; 1.00000 / 0"));
    SetLanguage(0);

    for (const auto contents : {sim::FactoryContents::Zeros, sim::FactoryContents::Erased}) {
        AdminBench blank;
        config = Identified();
        config.identity.factoryContents = contents;
        ASSERT_TRUE(blank.ConnectSensor(config));
        blank.loop.RunFor(100);
        EXPECT_EQ(ValueOf(blank.pages.information, kTextSoftwareUnits), CString("V / V"));
    }
}

TEST(InformationPage, StoringTheSettingsWritesTheThreeBlocksAndEndsIdle)
{
    AdminBench b;
    ASSERT_TRUE(b.ConnectSensor(Identified()));
    b.loop.RunFor(300);
    const std::size_t before = b.ports.writes.size();
    ASSERT_TRUE(b.pages.information.OnStoreSettings());
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.pages.information.CurrentActivity() == CDlgSensorInformationHmb::Activity::Idle; }, 5000));
    EXPECT_EQ(b.CountAfter(before, 'F'), 3);
    EXPECT_EQ(b.pages.information.m_strStatusLine, LoadLangString(kTextSettingsStored));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_TRUE(b.boxes.Boxes().empty());
}

TEST(InformationPage, ASensorThatLeavesDuringAReadOrAWriteBringsThePageBackToIdleWithAMessage)
{
    for (bool writing : {false, true}) {
        SCOPED_TRACE(writing ? "write" : "read");
        AdminBench b;
        ASSERT_TRUE(b.ConnectSensor(Identified()));
        b.loop.RunFor(300);
        b.devices[0]->Port(0).Stall(-1);  // from now on nothing comes back
        const std::size_t before = b.ports.writes.size();
        ASSERT_TRUE(writing ? b.pages.information.OnStoreSettings() : b.pages.information.OnReadAgain());
        b.loop.RunFor(kInfoStallMs + 500);

        const CDlgSensorInformationHmb& page = b.pages.information;
        EXPECT_EQ(page.CurrentActivity(), CDlgSensorInformationHmb::Activity::Idle);
        EXPECT_EQ(page.m_strStatusLine, LoadLangString(kTextSensorLeft));
        // One message: the controller's own, for a silent status request as for an
        // acknowledgement that does not come.
        ASSERT_EQ(b.boxes.Count(), 1u);
        EXPECT_EQ(b.boxes.Boxes()[0].text, workflow::WorkflowText(workflow::kTextUnstableConnection));
        EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
        EXPECT_FALSE(page.IsSensorPresent());
        EXPECT_EQ(ValueOf(page, kTextStatorSerial), CString("n.a."));
        // One whole block at most went out; the rest of the run never followed.
        EXPECT_LE(b.CountAfter(before, 'F'), 1);
        const std::size_t after = b.ports.writes.size();
        b.loop.RunFor(5000);
        EXPECT_EQ(b.ports.writes.size(), after);
    }
}
