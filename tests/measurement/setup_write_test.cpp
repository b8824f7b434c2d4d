// The row controls of the set-up page and the software-configuration block they put into the
// simulated sensor; writes asked for during a measurement, replayed after it.

#include <gtest/gtest.h>

#include "tests/measurement/setup_bench.h"

using namespace measurement;
using namespace measurement_test;

namespace {

struct Connected : SetupBench {
    Connected() { connected = ConnectAndRefresh(TwoChannelSensor()); }
    // Lets the write reach the sensor and its acknowledgement come back.
    void Settle() { loop.RunFor(300); }
    bool connected = false;
};

}  // namespace

TEST(SetupWrite, EachRowControlReachesTheSensorsSoftwareConfiguration)
{
    Connected b;
    ASSERT_TRUE(b.connected);
    CDlgMeasureAdjust& page = *b.page;

    b.Choose(kDecimalsCombo[0], 3);
    page.OnRowCombo(RowField::Decimals, 0);
    b.Settle();
    EXPECT_EQ(b.SwConfigByte(26) >> 5, 3);
    EXPECT_EQ(b.SwConfigByte(32), b.measureFrame.rate);

    b.Choose(kUnitCombo[1], 2);
    page.OnRowCombo(RowField::Unit, 1);
    b.Settle();
    EXPECT_EQ(b.SwConfigByte(27) & 0x1F, 2);
    EXPECT_EQ(b.measureFrame.tables[1].field[static_cast<int>(DisplayField::Unit)], 2);

    b.Choose(kAveragingCombo[0], 5);
    page.OnRowCombo(RowField::Averaging, 0);
    b.Settle();
    EXPECT_EQ(b.SwConfigByte(28) & 0x0F, 5);

    b.Choose(kSignCombo[1], 1);
    page.OnRowCombo(RowField::Sign, 1);
    b.Settle();
    EXPECT_EQ(b.SwConfigByte(29) & 0x80, 0x80);

    // Channel B off: its state byte says 2; the last channel cannot go off, A comes back.
    page.Controls().Check(kChannelButton[1], false);
    page.OnChannelButton(1, true);
    b.Settle();
    EXPECT_EQ((b.SwConfigByte(29) >> 4) & 3, 2);
    EXPECT_EQ((b.SwConfigByte(28) >> 4) & 3, 1);
    page.Controls().Check(kChannelButton[0], false);
    page.OnChannelButton(0, true);
    b.Settle();
    EXPECT_TRUE(page.Controls().IsChecked(kChannelButton[0]));
    EXPECT_TRUE(page.Setup().channel[0].active);
    EXPECT_EQ((b.SwConfigByte(28) >> 4) & 3, 1);

    // The value a combo already holds sends nothing and starts no wait cursor.
    b.ports.writes.clear();
    b.measureFrame.waitCursor = false;  // the controller ends it when the sensor acknowledges
    page.OnRowCombo(RowField::Averaging, 0);
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_FALSE(b.measureFrame.waitCursor);
    // A power row changes its table but writes no block.
    b.measureFrame.tables[4].units = b.measureFrame.tables[0].units;
    page.OnChannelRowChanged(RowField::Decimals, 4, 2, 0);
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_EQ(b.measureFrame.tables[4].field[static_cast<int>(DisplayField::Decimals)], 2);
    EXPECT_FALSE(b.measureFrame.waitCursor);
}

TEST(SetupWrite, AnEncoderKeepsEachRowsUnitInItsOwnByte)
{
    Connected b;
    ASSERT_TRUE(b.connected);
    CSensorRecord& record = b.com.m_Sensor[0];
    record.m_sRotorHeader.cTypeClass = 'Y';
    for (const BYTE angle : {1, 0}) {
        record.m_sEncoder.cAngle = angle;
        b.measureFrame.tables[0].field[static_cast<int>(DisplayField::Unit)] = 1;
        b.measureFrame.tables[1].field[static_cast<int>(DisplayField::Unit)] = 2 + angle;
        b.page->CopyToSensorRecord(0);
        EXPECT_EQ(record.m_sSwConfig.cCode5A, 1);
        EXPECT_EQ(record.m_sSwConfig.cCode5B, 2 + angle);
    }
}

TEST(SetupWrite, WritesAskedForDuringAMeasurementAreReplayedAfterItInOrder)
{
    Connected b;
    ASSERT_TRUE(b.connected);
    CDlgMeasureAdjust& page = *b.page;
    b.control.settings.bRunning = 1;
    b.Choose(kDecimalsCombo[0], 2);
    page.OnRowCombo(RowField::Decimals, 0);
    // The scaling of channel A and a second software configuration while it runs.
    EXPECT_FALSE(page.Writer().Write(0, 35));
    b.Choose(kDecimalsCombo[0], 4);
    page.OnRowCombo(RowField::Decimals, 0);
    // A rate too; the sensor read again before the write could go (a search, a baud change)
    // brings its older rate, which is not taken for the user's.
    const long long before = page.Controls().SelectedDatum(IDC_RATE_COMBO);
    const long long rate = page.Controls()[IDC_RATE_COMBO].entries.front().datum == before
                               ? page.Controls()[IDC_RATE_COMBO].entries.back().datum
                               : page.Controls()[IDC_RATE_COMBO].entries.front().datum;
    b.Choose(IDC_RATE_COMBO, rate);
    page.OnMeasureRateChanged();
    b.com.m_Sensor[0].m_sSwConfig.nByte32 = static_cast<int>(before);
    b.Refresh();
    EXPECT_EQ(page.Controls().SelectedDatum(IDC_RATE_COMBO), rate);
    EXPECT_TRUE(page.Writer().HasWritesWaiting());
    EXPECT_FALSE(b.measureFrame.waitCursor);
    b.loop.RunFor(2000);
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_FALSE(b.window.IsTimerArmed(39));

    b.control.settings.bRunning = 0;
    b.loop.RunFor(500);
    ASSERT_EQ(b.ports.writes.size(), 1u);
    const std::int64_t first = b.loop.NowMs();
    b.loop.RunFor(100);
    ASSERT_EQ(b.ports.writes.size(), 2u);
    EXPECT_GE(b.loop.NowMs() - first, 100);
    b.Settle();
    // The replay takes the tables as they are now; the scaling code set its flag.
    EXPECT_EQ(b.SwConfigByte(26) >> 5, 4);
    EXPECT_EQ(b.com.m_Sensor[0].m_sSwConfig.cScalingA, 1);
    EXPECT_FALSE(page.Writer().HasWritesWaiting());
    // Each (sensor, code) once: the decimals chosen twice are one write.
    b.loop.RunFor(1000);
    EXPECT_EQ(b.ports.writes.size(), 2u);
}

TEST(SetupWrite, AFailedOrDisabledWriteEndsTheWaitCursor)
{
    Connected b;
    ASSERT_TRUE(b.connected);
    b.ports.Port("COM3").writes = false;
    b.Choose(kDecimalsCombo[0], 1);
    b.page->OnRowCombo(RowField::Decimals, 0);
    EXPECT_FALSE(b.measureFrame.waitCursor);

    b.ports.Port("COM3").writes = true;
    b.com.m_Sensor[0].m_sSwConfig.cReadMark = 0;  // never read: not sent
    b.Choose(kDecimalsCombo[0], 2);
    b.page->OnRowCombo(RowField::Decimals, 0);
    EXPECT_FALSE(b.measureFrame.waitCursor);
}

TEST(SetupWrite, AcceptSendsEverySensorAHundredMillisecondsApart)
{
    Connected b;
    ASSERT_TRUE(b.connected);
    const std::int64_t before = b.loop.NowMs();
    b.page->OnBnClickedAccept();
    // The sensor's 100 ms are the loop's: the window goes on, busy, until the write is out.
    EXPECT_EQ(b.loop.NowMs(), before);
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_TRUE(b.page->IsWritePausing());
    EXPECT_TRUE(b.measureFrame.waitCursor);
    EXPECT_FALSE(b.page->Controls().IsShown(IDC_ACCEPT));
    ASSERT_TRUE(b.loop.RunUntil([&] { return !b.ports.writes.empty(); }, 1000));
    EXPECT_EQ(b.ports.writes[0].atMs - before, 100);
    EXPECT_FALSE(b.page->IsWritePausing());
    // A rate chosen twice in a row is written twice, 100 ms apart, each after its pause.
    b.Settle();
    b.ports.writes.clear();
    const std::int64_t chosen = b.loop.NowMs();
    b.page->ApplyMeasureRate(3);
    b.page->ApplyMeasureRate(4);
    b.Settle();
    ASSERT_EQ(b.ports.writes.size(), 2u);
    EXPECT_EQ(b.ports.writes[0].atMs - chosen, 100);
    EXPECT_EQ(b.ports.writes[1].atMs - chosen, 200);
    EXPECT_EQ(b.SwConfigByte(32), 4);
}
