// Refilling the set-up page from the sensors: the sensor in use recognised, the rate list of
// each sensor type and line, the channel rows and the low-pass filters.

#include <cstring>

#include <gtest/gtest.h>

#include "measurement/measure_rate_table.h"
#include "platform/profile.h"
#include "res/string_table.h"
#include "tests/measurement/setup_bench.h"
#include "workflow/connection_state.h"

using namespace measurement;
using namespace measurement_test;

namespace {

std::vector<long long> Data(const PageControls& controls, int id)
{
    std::vector<long long> data;
    if (const ControlState* c = controls.Find(id))
        for (const ComboEntry& e : c->entries) data.push_back(e.datum);
    return data;
}

}  // namespace

TEST(SetupLoad, TheSensorUsedLastIsRecognisedAndANewOneRevalidatesTheRate)
{
    {
        SetupBench b;
        platform::WriteProfileInt("DespiteReset", "LastUsedSerialNo", 100001);
        b.measureFrame.rate = 0;  // 5000/sec, more than a 115200 line carries for two channels
        sim::SensorConfig sensor = TwoChannelSensor(100001);
        sensor.identity.rateIndex = 1;  // what the sensor stores is no more offered
        ASSERT_TRUE(b.ConnectAndRefresh(sensor));
        // Neither the rate in use nor the sensor's is offered: the first offered rate takes
        // their place everywhere.
        const int first = static_cast<int>(b.page->Controls()[IDC_RATE_COMBO].entries.front().datum);
        EXPECT_GT(first, 0);
        EXPECT_EQ(b.measureFrame.rate, first);
        EXPECT_EQ(b.page->Controls().SelectedDatum(IDC_RATE_COMBO), first);
        EXPECT_EQ(b.com.m_Sensor[0].m_sSwConfig.nByte32, first);
        EXPECT_DOUBLE_EQ(b.page->Setup().samplePeriod, GetSamplePeriod(first));
        // Chosen as it is shown, it reaches the sensor, which keeps the one no more offered.
        b.Choose(IDC_RATE_COMBO, first);
        b.page->OnMeasureRateChanged();
        b.loop.RunFor(1000);
        EXPECT_EQ(b.SwConfigByte(32), first);
    }
    SetupBench b;
    platform::WriteProfileInt("DespiteReset", "LastUsedSerialNo", 100001);
    ASSERT_TRUE(b.ConnectAndRefresh(TwoChannelSensor(777)));
    b.page->WriteProfileValues();
    EXPECT_EQ(platform::GetProfileInt("DespiteReset", "LastUsedSerialNo", 0), 777);
}

TEST(SetupLoad, TheRateListFollowsTypeCodeLineAndSensorCount)
{
    SetupBench b;
    ASSERT_TRUE(b.ConnectAndRefresh(TwoChannelSensor()));
    ASSERT_TRUE(b.page->Setup().channel[0].active && b.page->Setup().channel[1].active);
    // Two channels on one sensor at 115200 baud: 1250/sec to 1/min, never 1/h.
    b.page->FillMeasureRateList();
    std::vector<long long> data = Data(b.page->Controls(), IDC_RATE_COMBO);
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(data.front(), 2);
    EXPECT_EQ(data.back(), kRate1PerMinute);
    b.com.m_nBaudRate = 230400;
    b.page->FillMeasureRateList();
    EXPECT_EQ(Data(b.page->Controls(), IDC_RATE_COMBO).front(), 1);

    // A sensor of type code 4: 10/sec to 1/min, and a stored 5000/sec becomes 10/sec.
    b.com.m_Sensor[0].m_sIdent[kIdentStatorId] = 4;
    b.measureFrame.rate = 0;
    b.page->FillMeasureRateList();
    data = Data(b.page->Controls(), IDC_RATE_COMBO);
    EXPECT_EQ(data.front(), kRate10PerSecond);
    EXPECT_EQ(data.back(), kRate1PerMinute);
    EXPECT_EQ(b.measureFrame.rate, kRate10PerSecond);

    // Several sensors stream down to 20/sec, at the slowest line of the device; a device that
    // cannot stream keeps the rates it is polled at.
    b.com.m_nCountActivePorts = 2;
    b.page->FillMeasureRateList();
    data = Data(b.page->Controls(), IDC_RATE_COMBO);
    EXPECT_EQ(data.front(), kRate10PerSecond);
    EXPECT_EQ(data.back(), kRate1PerMinute);
    b.com.m_Sensor[0].m_sIdent[kIdentStatorId] = 5;
    b.com.m_nDefaultBaudRate = 115200;
    b.page->FillMeasureRateList();
    data = Data(b.page->Controls(), IDC_RATE_COMBO);
    EXPECT_EQ(data.front(), 1);
    EXPECT_EQ(data.back(), kRate20PerSecond);
    b.com.m_nDefaultBaudRate = 230400;
    b.page->FillMeasureRateList();
    EXPECT_EQ(Data(b.page->Controls(), IDC_RATE_COMBO).front(), 0);

    // With no sensor connected, what a search has read meanwhile is no sensor's yet: the rate
    // chosen stays until the sensor is connected, and then the one it stores is taken.
    CSensorSwConfig& stored = b.com.m_Sensor[0].m_sSwConfig;
    stored.cReadMark = stored.cValid = 1;
    for (int ports : {0, 1}) {
        b.com.m_nCountActivePorts = ports;
        b.measureFrame.rate = 6;
        stored.nByte32 = 11;
        b.page->FillMeasureRateList();
        EXPECT_EQ(b.page->Controls().SelectedDatum(IDC_RATE_COMBO), ports == 0 ? 6 : 11) << ports;
    }
}

TEST(SetupLoad, RowsLowPassFiltersAndUnitsComeFromTheSensorAndItsTables)
{
    SetupBench b;
    b.measureFrame.tables[0].field[static_cast<int>(DisplayField::OwnUnit)] = 1;
    b.measureFrame.tables[0].field[static_cast<int>(DisplayField::Decimals)] = 3;
    sim::SensorConfig config = TwoChannelSensor();
    config.identity.filterA = 300;
    config.identity.filterB = 1000;
    config.identity.statorRevision = 13;
    ASSERT_TRUE(b.ConnectAndRefresh(config));
    const PageControls& c = b.page->Controls();
    // Channels A and B exist, C and D do not.
    EXPECT_TRUE(c.IsShown(kChannelButton[0]));
    EXPECT_TRUE(c.IsShown(kChannelButton[1]));
    EXPECT_FALSE(c.IsShown(kChannelButton[2]));
    EXPECT_TRUE(c.IsChecked(kChannelButton[0]));
    EXPECT_TRUE(c.IsChecked(kChannelButton[1]));  // state 0 counts as present and on
    EXPECT_EQ(c.SelectedDatum(kDecimalsCombo[0]), 3);
    // The sensor's own unit is bracketed; the averaging list holds 1 .. 512.
    EXPECT_EQ(c.EntryText(kUnitCombo[0], 1), "[kN·m]");
    EXPECT_EQ(c.Count(kAveragingCombo[0]), 10);
    EXPECT_EQ(c.EntryText(kAveragingCombo[0], 9), "512");
    // Type code 5 of version 13 (with its second identification byte): a filter on row A.
    EXPECT_TRUE(c.IsShown(kLowPassCombo[0]));
    EXPECT_FALSE(c.IsShown(kLowPassCombo[1]));
    EXPECT_EQ(c.SelectedDatum(kLowPassCombo[0]), 1);
    EXPECT_EQ(b.page->FilterValues(0), (std::array<DWORD, 2>{300, 1000}));
}

TEST(SetupLoad, TriggersAndLimitsStoredInTheSensorBlocksAreLoaded)
{
    SetupBench b;
    sim::SensorConfig config = TwoChannelSensor();
    // Rotor operation block: start on channel A rising over 12.5, stop by a count of 250.
    sim::Bytes rotorOp(27, 0xFF);
    rotorOp[11 - 7] = static_cast<BYTE>((3 << 6) | (0 << 3));  // stop kind 3 (count), start kind 0
    rotorOp[12 - 7] = static_cast<BYTE>((1 << 5) | 0x08);  // channel A on Y1, shown
    rotorOp[13 - 7] = static_cast<BYTE>((2 << 5) | 0x08);  // channel B on Y2, shown
    rotorOp[14 - 7] = 0x00; rotorOp[15 - 7] = 0x00; rotorOp[16 - 7] = 0x00; rotorOp[17 - 7] = 250;
    const float start = 12.5f;
    std::uint32_t bits;
    std::memcpy(&bits, &start, 4);
    for (int i = 0; i < 4; ++i) rotorOp[static_cast<std::size_t>(18 - 7 + i)] = static_cast<BYTE>(bits >> (8 * i));
    rotorOp[22 - 7] = 0x00;  // the start watches channel A
    config.identity.rawBlockContent[0x83] = rotorOp;
    ASSERT_TRUE(b.ConnectAndRefresh(config));
    const CMeasureSetup& s = b.page->Setup();
    EXPECT_EQ(s.startSource, 1);
    EXPECT_TRUE(s.startSet);
    EXPECT_DOUBLE_EQ(s.startValue, 12.5);
    EXPECT_EQ(s.stopSource, kStopByCount);
    EXPECT_DOUBLE_EQ(s.count, 250.0);
    EXPECT_EQ(b.page->Controls().SelectedDatum(IDC_START_SOURCE), 1);
    EXPECT_EQ(b.page->Controls().Text(IDC_START_VALUE), "12,5");
    EXPECT_EQ(s.axis[1].source, 2);
    EXPECT_EQ(s.axis[2].source, 3);

    // A lower limit of 10.5 kept with two decimals shows them both.
    CString& statorOp = b.com.m_Sensor[0].m_strBlockStatorOperation;
    ASSERT_GE(statorOp.GetLength(), 40);
    const float lower = 10.5f;
    std::memcpy(&bits, &lower, 4);
    for (int i = 0; i < 4; ++i) statorOp.SetAt(23 + i, static_cast<char>(bits >> (8 * i)));
    for (int i = 27; i < 31; ++i) statorOp.SetAt(i, static_cast<char>(0xFF));
    statorOp.SetAt(31, static_cast<char>(2 << 5));
    b.page->LoadLimitsFromSensors();
    EXPECT_EQ(b.page->Controls().Text(kLimitEdit[0]), "10,50");
    for (int i = 23; i < 32; ++i) statorOp.SetAt(i, 0);  // both limits 0: memory never written, no condition
    b.page->LoadLimitsFromSensors();
    EXPECT_EQ(b.page->WriteSetupValues()->measurand1, -1);
}

// A combined device (dual-device identification) offers one rate less on a fast line and,
// among several sensors, carries the power display in its display bits; without any axis
// stored, the active rows fill the Y axes up to P2's.
TEST(SetupLoad, ACombinedDeviceLimitsTheRatesAndCarriesThePowerDisplay)
{
    SetupBench b;
    sim::SensorConfig config = TwoChannelSensor();
    config.identity.noDigitalInput = true;  // with the HMB-USB bit: a combined device
    sim::Bytes rotorOp(27, 0xFF);
    rotorOp[12 - 7] = static_cast<BYTE>((7 << 5) | 0x04 | 0x01);  // no axis; power 1 shown, power switch
    config.identity.rawBlockContent[0x83] = rotorOp;
    ASSERT_TRUE(b.ConnectAndRefresh(config));
    b.com.m_nBaudRate = 230400;
    b.page->Setup().channel[1].active = 0;
    b.page->FillMeasureRateList();
    EXPECT_EQ(Data(b.page->Controls(), IDC_RATE_COMBO).front(), 1);

    b.com.m_nCountActivePorts = 2;
    b.com.m_bDualDevice = 0;
    b.page->LoadAxisAssignmentFromSensors();
    EXPECT_TRUE(GetDisplayFlag(0));
    EXPECT_FALSE(GetDisplayFlag(1));

    b.com.m_bDualDevice = 1;
    b.com.m_Sensor[0].m_strBlockRotorOperation.Empty();
    for (int r = 0; r < kRowCount; ++r) b.page->Setup().channel[static_cast<std::size_t>(r)].active = r != 4;
    b.page->LoadAxisAssignmentFromSensors();
    EXPECT_EQ(b.page->Setup().axis[1].source, 2);
    EXPECT_EQ(b.page->Setup().axis[6].source, 7);
    b.com.m_nCountActivePorts = 1;
}

TEST(SetupLoad, TheDigitalInputCaptionFollowsTheLanguage)
{
    SetupBench b;
    sim::SensorConfig config = TwoChannelSensor();
    config.identity.statorId = 5;  // channel B is the digital input
    ASSERT_TRUE(b.ConnectAndRefresh(config));
    EXPECT_EQ(b.page->Controls().Text(IDC_DIGITAL_INPUT), "(Digitaleingang)");
    // With no channel measured the sensor refresh leaves the caption standing; the language
    // switch still relabels it.
    for (auto& row : b.page->Setup().channel) row.active = 0;
    SetLanguage(1000);
    b.page->LoadLanguageTexts();
    EXPECT_EQ(b.page->Controls().Text(IDC_DIGITAL_INPUT), "(digital input)");
    SetLanguage(2000);
    b.page->LoadLanguageTexts();
    EXPECT_EQ(b.page->Controls().Text(IDC_DIGITAL_INPUT), "(entrée numérique)");
    SetLanguage(0);
}

TEST(SetupLoad, ThePassFailChannelNamesFollowTheLanguageAndKeepTheirChoice)
{
    SetupBench b;
    ASSERT_TRUE(b.ConnectAndRefresh(TwoChannelSensor()));
    const PageControls& c = b.page->Controls();
    ASSERT_EQ(c.Count(kConditionCombo[0]), 2);
    EXPECT_EQ(c.EntryText(kConditionCombo[0], 1), "Kanal B");
    b.page->Controls().SelectByDatum(kConditionCombo[0], 1);
    b.page->OnConditionChannelChanged(0);
    SetLanguage(2000);
    b.page->LoadLanguageTexts();
    EXPECT_EQ(c.EntryText(kConditionCombo[0], 1), "Canal B");
    EXPECT_EQ(c.SelectedDatum(kConditionCombo[0]), 1);
    EXPECT_TRUE(c.IsChecked(kConditionCheck[0]));
    SetLanguage(0);
}
