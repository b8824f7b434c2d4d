// Records, connection state, multiport grouping and the measurement bookkeeping.

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"

using namespace workflow_test;

TEST(Controller, AFreshControllerRestsWithItsPlaceholderTable)
{
    CComPort com;
    EXPECT_EQ(com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(com.m_nCountActivePorts, -1);
    EXPECT_EQ(com.m_nCurSensor, 0);
    EXPECT_EQ(com.m_nDefaultBaudRate, 115200);
    for (const CPortRecord& row : com.m_PortRec) {
        EXPECT_EQ(row.m_strPortName, CString("Konstruktor ComPort  AKT"));
        EXPECT_EQ(row.m_nEnabled, -2);
        EXPECT_EQ(row.m_nState, -1);
    }
    EXPECT_EQ(com.m_PortRecPrev[255].m_strPortName, CString("Construktor ComPort PREV"));
    EXPECT_EQ(com.m_nPortMark[200], -3);
    EXPECT_GT(com.m_strBlockStatorSwConfig.GetLength(), 40);
}

TEST(Controller, RecordsStartAtTheirResetValues)
{
    CSensorRecord sensor;
    EXPECT_EQ(sensor.m_sIdent[kIdentNoDigitalInput], 1);
    EXPECT_EQ(sensor.m_sIdent[kIdentHmbUsb], 1);
    EXPECT_EQ(sensor.m_sIdent[kIdentStatorId], 0);
    EXPECT_EQ(sensor.m_sSwConfig.cConfigKind, 255);
    EXPECT_EQ(sensor.m_sSwConfig.dScaleA, 1.0);
    EXPECT_EQ(sensor.m_sSwConfig.nSetupCount, 1);
    EXPECT_EQ(sensor.m_sSwConfig.nByte32, -1);
    EXPECT_EQ(sensor.m_sStatorHeader.nSerialNo, 0u);
    CPortRecord row;
    EXPECT_EQ(row.m_nState, -1);
    EXPECT_EQ(row.m_nBaudRate, -1);
    EXPECT_EQ(row.m_Sensor.m_sSwConfig.cCode2B, 255);

    sensor.m_sIdent[kIdentStatorId] = 9;
    sensor.m_cRefusalCode = 3;
    sensor.m_strBlockRotorOperation = "x";
    sensor.Reset();
    EXPECT_EQ(sensor.m_sIdent[kIdentStatorId], 0);
    EXPECT_EQ(sensor.m_cRefusalCode, 0);
    EXPECT_TRUE(sensor.m_strBlockRotorOperation.IsEmpty());
}

TEST(Controller, AcceptedDeviceVersions)
{
    EXPECT_TRUE(CComPort::COM_IsAcceptedDeviceVersion(9, 6, 0));
    EXPECT_TRUE(CComPort::COM_IsAcceptedDeviceVersion(4, 6, 0));
    EXPECT_FALSE(CComPort::COM_IsAcceptedDeviceVersion(6, 6, 0));
    EXPECT_FALSE(CComPort::COM_IsAcceptedDeviceVersion(4, 5, 0));
    EXPECT_FALSE(CComPort::COM_IsAcceptedDeviceVersion(5, 7, 1));
}

TEST(Controller, PortNumberingWaitsForAForcedCall)
{
    CComPort com;
    com.m_PortRec[0].m_strPortName = "COM3";
    com.m_PortRec[1].m_strPortName = "COM4";
    com.m_PortRec[1].m_strDescription = "COM3";
    com.m_PortRec[1].m_nDescEnabled = 7;
    com.COM_NumberPorts(2, 0);
    EXPECT_EQ(com.m_PortRec[0].m_nEnabled, -2);
    com.COM_NumberPorts(2, 1);
    EXPECT_EQ(com.m_PortRec[0].m_nEnabled, 7);
    EXPECT_EQ(com.m_PortRecPrev[0].m_nEnabled, 7);
    EXPECT_EQ(com.m_PortRec[1].m_nEnabled, 0);
    com.m_PortRec[0].m_nEnabled = 1;
    com.COM_NumberPorts(2, 0);  // the pending flag was cleared
    EXPECT_EQ(com.m_PortRec[0].m_nEnabled, 1);
}

TEST(Controller, RealSensorIndexAndComNames)
{
    CComPort com;
    com.m_nRealSensorIndex[1][2] = 0;
    EXPECT_EQ(com.GetRealSensorIndex(2), 2);
    com.m_nCountActivePorts = 2;
    EXPECT_EQ(com.GetRealSensorIndex(2), 0);
    com.COM_ResetRealSensorIndex();
    EXPECT_EQ(com.GetRealSensorIndex(2), 2);
    EXPECT_EQ(workflow::ExtractComPortName("Tessaline USB   [COM12]"), CString("12"));
    EXPECT_EQ(workflow::ExtractComPortName("COM7 x"), CString("7"));
    EXPECT_TRUE(workflow::ExtractComPortName("LPT1").IsEmpty());
}

// ---- Connection state -----------------------------------------------------------------------------

class ConnectionStateTest : public ::testing::Test {
protected:
    void SetUp() override { connection_state::ResetAllForTest(); }
};

TEST_F(ConnectionStateTest, ConnectedSetGrowsByFirstAndSecondSensor)
{
    SetFirstSensorConnected();
    SetFirstSensorConnected();
    EXPECT_TRUE(IsFirstSensorConnected());
    EXPECT_FALSE(IsSecondSensorConnected());
    EXPECT_EQ(GetConnectedSensorCount(), 1);
    SetSecondSensorConnected();
    EXPECT_TRUE(IsSecondSensorConnected());
    EXPECT_EQ(GetConnectedSensorCount(), 2);
    ResetConnectionState();
    EXPECT_EQ(GetConnectedSensorCount(), 0);
}

TEST_F(ConnectionStateTest, SelectionNeedsTheFirstSensorConnected)
{
    SetSecondSensorConnected();
    SetSensorSelected(1, 0);
    EXPECT_FALSE(IsSecondSensorSelected());
    SetFirstSensorConnected();
    EXPECT_TRUE(IsSecondSensorSelected());
    SetSensorSelected(0, 0);
    EXPECT_TRUE(IsFirstSensorSelected());
    EXPECT_TRUE(IsSecondSensorSelected());
    SetDisplayFlag(0, 0);
    SetSensorSelected(0, 1);
    EXPECT_FALSE(IsFirstSensorSelected());
    EXPECT_FALSE(GetDisplayFlag(0));
}

TEST_F(ConnectionStateTest, ActiveSetAddsAndRemoves)
{
    UpdateActiveSensorSet(0, 0);
    UpdateActiveSensorSet(1, 0);
    EXPECT_EQ(connection_state::GetActiveSet(), 3);
    UpdateActiveSensorSet(1, 1);
    EXPECT_EQ(connection_state::GetActiveSet(), 1);
    UpdateActiveSensorSet(1, 0);
    UpdateActiveSensorSet(0, 1);
    EXPECT_EQ(connection_state::GetActiveSet(), 2);
    UpdateActiveSensorSet(0, 0);
    EXPECT_EQ(connection_state::GetActiveSet(), 3);
    SetDisplayFlag(1, 0);
    UpdateActiveSensorSet(1, 0);  // already in: stays, and the flags are cleared
    EXPECT_EQ(connection_state::GetActiveSet(), 3);
    EXPECT_FALSE(GetDisplayFlag(1));
}

TEST_F(ConnectionStateTest, RunStateAndFlags)
{
    SetDisplayFlag(0, 0);
    SetSensorStateStarted(0);
    EXPECT_TRUE(IsSensorStateStarted(0));
    EXPECT_FALSE(GetDisplayFlag(0));
    SetSensorStateStopped(0);
    EXPECT_TRUE(IsSensorStateStopped(0));
    SetDisplayFlag(0, 0);
    SetDisplayFlag(1, 0);
    EXPECT_TRUE(AreBothDisplayFlagsSet());
    SetSensorOption(1, 0);
    EXPECT_TRUE(GetSensorOption(1));
}

TEST_F(ConnectionStateTest, IndexesOtherThanZeroAndOneAreIgnored)
{
    SetFirstSensorConnected();
    SetSensorSelected(2, 0);
    SetSensorSelected(-1, 0);
    SetDisplayFlag(7, 0);
    SetSensorStateStarted(3);
    UpdateActiveSensorSet(4, 0);
    EXPECT_FALSE(GetDisplayFlag(0) || GetDisplayFlag(1));
    EXPECT_EQ(connection_state::GetActiveSet(), 0);
    EXPECT_FALSE(IsSensorStateStarted(3));
    EXPECT_FALSE(GetDisplayFlag(7));
    EXPECT_FALSE(IsFirstSensorSelected());
}

// ---- Multiport grouping -----------------------------------------------------------------------------

namespace {

void Fill(CMasterSlaveDetector& detector, std::initializer_list<std::tuple<BYTE, DWORD, BYTE, BYTE>> entries)
{
    detector.Reset();
    int n = 0;
    for (auto [id, serial, position, count] : entries) {
        auto& entry = detector.m_Entry[static_cast<std::size_t>(n++)];
        entry.id = id;
        entry.port = CString::Formatted("COM%d", id);
        entry.serial = serial;
        entry.position = position;
        entry.count = count;
    }
    detector.m_nCount = n;
}

int GroupCount(const CMasterSlaveDetector& detector)
{
    CStringArray groups;
    detector.GetGroups(groups);
    return static_cast<int>(groups.GetSize());
}

}  // namespace

TEST(MultiportGrouping, FourSensorsOfOneDeviceMakeOneGroupMasterFirst)
{
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink scope(&boxes);
    CMasterSlaveDetector detector;
    Fill(detector, {{12, 5, 3, 4}, {10, 5, 1, 4}, {13, 5, 4, 4}, {11, 5, 2, 4}});
    const int master = detector.TakeNextSensor();
    EXPECT_EQ(master, 1);
    EXPECT_TRUE(detector.AddSensor(master));
    detector.ResolveGroup();
    CStringArray groups;
    detector.GetGroups(groups);
    ASSERT_EQ(groups.GetSize(), 1);
    EXPECT_EQ(groups[0], CString("\x0A\x0C\x0D\x0B", 4));
    EXPECT_EQ(detector.m_Entry[1].role, CMasterSlaveDetector::kRoleMaster);
    EXPECT_EQ(detector.m_Entry[2].role, CMasterSlaveDetector::kRoleSlave);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST(MultiportGrouping, AMissingPositionStillGroupsTheOthers)
{
    CMasterSlaveDetector detector;
    Fill(detector, {{10, 5, 1, 4}, {11, 5, 2, 4}, {13, 5, 4, 4}});
    EXPECT_FALSE(detector.AddSensor(detector.TakeNextSensor()));
    detector.ResolveGroup();
    CStringArray groups;
    detector.GetGroups(groups);
    EXPECT_EQ(groups[0].GetLength(), 3);
}

TEST(MultiportGrouping, APositionBeyondTheDeviceCompletesNothing)
{
    CMasterSlaveDetector detector;
    Fill(detector, {{10, 5, 1, 2}, {11, 5, 200, 2}, {12, 5, 0, 2}});
    EXPECT_FALSE(detector.AddSensor(detector.TakeNextSensor()));
}

TEST(MultiportGrouping, AnImpossibleSensorCountEndsTheGroupingWithAMessage)
{
    for (BYTE count : {BYTE{0}, BYTE{5}}) {
        platform::RecordingMessageBoxSink boxes;
        platform::ScopedMessageBoxSink scope(&boxes);
        CMasterSlaveDetector detector;
        Fill(detector, {{10, 5, 1, count}});
        EXPECT_EQ(detector.Detect(), -1);
        EXPECT_EQ(GroupCount(detector), 0);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_GE(boxes.Boxes()[0].text.Find("COM10"), 0);
        EXPECT_EQ(boxes.Boxes()[0].type & platform::MB_ICONMASK, platform::MB_ICONERROR);
    }
}

TEST(MultiportGrouping, DifferentCountsUnderOneSerialAreReported)
{
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink scope(&boxes);
    CMasterSlaveDetector detector;
    Fill(detector, {{10, 5, 1, 2}, {11, 5, 2, 3}});
    detector.Detect();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_GE(boxes.Boxes()[0].text.Find("fur die Anzahl"), 0);
    EXPECT_EQ(GroupCount(detector), 1);  // the master's group is kept
}

TEST(MultiportGrouping, AnEmptyTableHasNoGroup)
{
    CMasterSlaveDetector detector;
    EXPECT_EQ(detector.Detect(), -1);
    EXPECT_EQ(GroupCount(detector), 0);
}

// ---- Bookkeeping ------------------------------------------------------------------------------------

TEST(Bookkeeping, StatisticsResetsAlternateTheMarkers)
{
    CComPort com;
    const double first = com.m_adMissingMarker[0][0];
    com.COM_ResetMeasureStatistics();
    EXPECT_NE(com.m_adMissingMarker[0][0], first);
    com.COM_ResetMeasureStatistics();
    EXPECT_EQ(com.m_adMissingMarker[1][5], first);
    EXPECT_EQ(com.m_adMinValue[1][3], 1e99);
    EXPECT_EQ(com.m_adMaxValue[2][3], -1e99);
    com.m_aiValue[2] = 41;
    com.COM_ResetMeasureStatistics();
    EXPECT_EQ(com.m_aiPrevValue[2], 42);
    com.m_bClearValues = true;
    com.COM_ResetMeasureStatistics();
    EXPECT_EQ(com.m_aiValue[2], 0);
    EXPECT_EQ(com.m_aiPrevValue[2], 1);
}

TEST(Bookkeeping, ScaleValueByCalibrationKind)
{
    CComPort com;
    CSensorRecord& sensor = com.m_Sensor[0];
    BYTE valid = 9, kind = 9;
    sensor.m_sIdent[kIdentCalibration] = 3;
    // The stored measuring inaccuracy, not the gain: a gain of 1.0 must not pass as 1 %.
    sensor.m_sRotorUserCalib.dGainA = 1.0;
    sensor.m_sRotorUserCalib.dInaccuracyA = 5.0;
    EXPECT_EQ(com.COM_GetScaleValue(0, &valid, &kind, nullptr, 1), 5.0);
    EXPECT_EQ(valid, 0);
    EXPECT_EQ(kind, 3);
    sensor.m_sRotorUserCalib.dInaccuracyA = 4.999;
    com.COM_GetScaleValue(0, &valid, nullptr, nullptr, 1);
    EXPECT_EQ(valid, 1);
    sensor.m_sIdent[kIdentCalibration] = 2;
    sensor.m_sRotorFactoryCalib.dGainB = 0.75;
    sensor.m_sRotorFactoryCalib.dInaccuracyB = 1.25;
    EXPECT_EQ(com.COM_GetScaleValue(0, nullptr, nullptr, nullptr, 2), 1.25);
    const double given = 0.5;
    EXPECT_EQ(com.COM_GetScaleValue(0, &valid, nullptr, &given, 1), 0.5);
    sensor.m_sIdent[kIdentCalibration] = 1;
    EXPECT_EQ(com.COM_GetScaleValue(0, &valid, nullptr, nullptr, 1), 0.0);
    EXPECT_EQ(valid, 0);
}

TEST(Bookkeeping, AUserCalibrationEqualToTheFactoryOne)
{
    CComPort com;
    CSensorRecord& sensor = com.m_Sensor[1];
    sensor.m_sIdent[kIdentCalibration] = 3;
    sensor.m_sRotorUserCalib.nGainCodeA = sensor.m_sRotorFactoryCalib.nGainCodeA = 33000;
    EXPECT_TRUE(com.COM_CalcInaccuracy(1));
    sensor.m_sRotorUserCalib.nFullScaleCountB = 7;
    EXPECT_FALSE(com.COM_CalcInaccuracy(1));
    EXPECT_FALSE(com.COM_CalcInaccuracy(4));
}

TEST(Bookkeeping, ScaleFactorsFollowTheSelectedUnit)
{
    Bench b;
    b.com.m_nCountActivePorts = 1;
    b.com.m_Sensor[0].m_sRotorHeader.dFullScaleA = 500.0;
    b.com.m_Sensor[0].m_sRotorHeader.dFullScaleB = 1000.0;
    auto& a = b.frame.entries[0];
    a.unitIds = {5001, workflow::kTextUnitCelsius, workflow::kTextUnitAdu};
    a.unitFactors = {2.0, 1.0, 1.0};
    a.divisor = 25000;
    a.selectedUnit = 0;
    b.com.COM_CalcScaleFactors(0);
    EXPECT_DOUBLE_EQ(a.perCount, 0.02);
    EXPECT_DOUBLE_EQ(b.com.m_adScaleFactor[0], 0.04);
    a.selectedUnit = 1;
    a.divisor = 0;
    b.com.COM_CalcScaleFactors(0);
    EXPECT_DOUBLE_EQ(b.com.m_adScaleFactor[0], 0.03125);
    a.selectedUnit = 2;
    b.com.COM_CalcScaleFactors(0);
    EXPECT_DOUBLE_EQ(b.com.m_adScaleFactor[0], 1.0);

    auto& channelB = b.frame.entries[1];
    channelB.unitIds = {5002};
    channelB.unitFactors = {3.0};
    channelB.divisor = 500;
    b.com.COM_CalcScaleFactors(0);
    EXPECT_DOUBLE_EQ(channelB.perCount, 2.0);
    EXPECT_DOUBLE_EQ(b.com.m_adScaleFactor[1], 6.0);
}

TEST(Bookkeeping, WithoutAFrameTheScaleFactorsWait)
{
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink scope(&boxes);
    CComPort com;
    com.COM_CalcScaleFactors(0);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, CString("The calculation of scale factors will be made later"));
}

TEST(Bookkeeping, PortTableLookUps)
{
    CComPort com;
    for (CPortRecord& row : com.m_PortRec) row.m_strPortName.Empty();
    com.m_PortRec[0].m_strPortName = "COM3";
    com.m_PortRec[1].m_strPortName = "COM7";
    EXPECT_FALSE(com.IsLastPortMissing());
    com.m_strLastPortName = "COM7";
    EXPECT_FALSE(com.IsLastPortMissing());
    com.m_PortRec[1].m_strPortName.Empty();
    EXPECT_TRUE(com.IsLastPortMissing());

    EXPECT_FALSE(com.IsAnyPortWithModuleIndex());
    com.m_PortRec[0].m_Sensor.m_sStatorHeader.cModuleIndex = 2;
    EXPECT_TRUE(com.IsAnyPortWithModuleIndex());
}

TEST(Bookkeeping, StatusTextsAreKeptPerSensorNumberOnly)
{
    CComPort com;
    com.m_nActivePortRec = 2;
    com.m_Sensor[0].m_sIdent[kIdentAddress] = 1;
    com.COM_StoreSensorStatusText(CString('t', 100));
    const CPortRecord& row = com.m_PortRec[2];
    EXPECT_EQ(row.m_bSlotFilled[1], 1);
    EXPECT_EQ(row.m_cLastSlot, 1);
    EXPECT_EQ(row.m_abStatusSlot[1][63], 't');
    com.m_Sensor[0].m_sIdent[kIdentAddress] = 9;
    com.COM_StoreSensorStatusText("x");  // no slot for sensor number 9: nothing is written
    EXPECT_EQ(row.m_abStatusSlot[1][0], 't');
    com.m_nActivePortRec = -1;
    com.COM_StoreSensorStatusText("x");
}

TEST(Bookkeeping, CalibrationRecordsAndControlFlags)
{
    CComPort com;
    EXPECT_TRUE(com.IsControlOn());
    com.COM_ClearControlFlags();
    EXPECT_FALSE(com.IsControlOn());
    com.m_sCalib.channel[0].bZeroDone = 1;
    com.COM_InitCalibRecords();
    EXPECT_EQ(com.m_sCalib.channel[0].bZeroDone, 0);
    EXPECT_EQ(com.m_sCalib.channel[1].dScaleRaw, 66666.6666666);
    EXPECT_TRUE(com.IsControlOn());
}
