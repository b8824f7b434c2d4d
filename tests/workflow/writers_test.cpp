// The configuration writers and the configuration write sequencer: the bytes each puts on the
// wire, and the sequence of writes before the application closes.

#include <bit>
#include <cfloat>
#include <functional>

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"
#include "workflow/config_write_sequencer.h"

using namespace workflow_test;

namespace {

using SwConfigWrite = CComPort::SwConfigWrite;

struct ConnectedBench : Bench {
    explicit ConnectedBench(workflow::IConfigWriteSequencer* realSequencer = nullptr)
    {
        if (realSequencer) {
            workflow::WorkflowPeers peers = com.Peers();
            peers.sequencer = realSequencer;
            com.SetPeers(peers);
        }
        connected = ConnectSensor(AcceptedSensor());
        loop.RunFor(100);
        ports.writes.clear();
    }
    CString LastBlock() const { return ports.writes.empty() ? CString() : Unstuffed(ports.writes.back().bytes); }
    const sim::SensorEngine& Sensor() const { return devices[0]->Port(0).sensor(); }
    bool connected = false;
};

std::array<BYTE, 4> LeBytes(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<BYTE>(bits), static_cast<BYTE>(bits >> 8), static_cast<BYTE>(bits >> 16), static_cast<BYTE>(bits >> 24)};
}

}  // namespace

TEST(Writers, TheSoftwareConfigurationSetsTheScalingFlagsOfItsCode)
{
    ConnectedBench b;
    ASSERT_TRUE(b.connected);
    ASSERT_EQ(b.com.COM_ZMCOMConfgSetSoftwareConfigBlock(0, ZM_CNFG_SW_CONFIG_SET_SCALING_B), SwConfigWrite::Sent);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_CNFG_SW_CONFIG_SET_SCALING_B);
    EXPECT_EQ(b.com.m_Sensor[0].m_sSwConfig.cScalingA, 0);
    EXPECT_EQ(b.com.m_Sensor[0].m_sSwConfig.cScalingB, 1);
    const CString block = b.LastBlock();
    EXPECT_EQ(block.ByteAt(1), 'F');
    EXPECT_EQ(block.ByteAt(5), 0x03);
    EXPECT_EQ(block.ByteAt(7), 4);  // the configuration kind
    EXPECT_EQ(CKadmor_Send::CheckBlock(block, nullptr), 0);
    EXPECT_EQ(b.com.m_strPendingSwConfigBlock, block);
    // Acknowledged, the block sent becomes the kept one.
    b.loop.RunFor(200);
    EXPECT_EQ(b.com.m_strBlockStatorSwConfig, block);

    ASSERT_EQ(b.com.COM_ZMCOMConfgSetSoftwareConfigBlock(0, ZM_CNFG_SW_CONFIG_DELETE_BLOCK), SwConfigWrite::Sent);
    EXPECT_EQ(b.com.m_Sensor[0].m_sSwConfig.cScalingA, 0);
    EXPECT_EQ(b.com.m_Sensor[0].m_sSwConfig.cScalingB, 0);
}

TEST(Writers, TheSoftwareConfigurationWaitsForTheEndOfAMeasurementAndNeedsABlockRead)
{
    ConnectedBench b;
    ASSERT_TRUE(b.connected);
    b.control.settings.bRunning = 1;
    EXPECT_EQ(b.com.COM_ZMCOMConfgSetSoftwareConfigBlock(0, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS), SwConfigWrite::NotSent);
    EXPECT_TRUE(b.ports.writes.empty());
    // Timer 39 tries again every 500 ms until the measurement has ended.
    b.loop.RunFor(1200);
    EXPECT_TRUE(b.ports.writes.empty());
    b.control.settings.bRunning = 0;
    b.loop.RunFor(600);
    ASSERT_EQ(b.ports.writes.size(), 1u);
    EXPECT_EQ(b.LastBlock().ByteAt(5), 0x03);

    b.ports.writes.clear();
    b.com.m_Sensor[0].m_sSwConfig.cReadMark = 0;
    b.frame.waitCursor = true;
    EXPECT_EQ(b.com.COM_ZMCOMConfgSetSoftwareConfigBlock(0, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS), SwConfigWrite::NotSent);
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_FALSE(b.frame.waitCursor);

    // Of two sensors, the one whose write waited gets it, not the one the conversation addresses.
    Bench two;
    for (int k : {3, 4}) two.AddSensor(CString::Formatted("COM%d", k), AcceptedSensor(static_cast<std::uint32_t>(k)));
    ASSERT_TRUE(two.SearchUntilAllActive());
    two.control.settings.bRunning = 1;
    EXPECT_EQ(two.com.COM_ZMCOMConfgSetSoftwareConfigBlock(1, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS), SwConfigWrite::NotSent);
    two.ports.writes.clear();
    two.control.settings.bRunning = 0;
    two.loop.RunFor(600);
    ASSERT_EQ(two.ports.writes.size(), 1u);
    EXPECT_EQ(two.ports.writes[0].port, CString("COM4"));
}

TEST(Writers, TheChangedChannelRowTakesTheDisplayedChannelPosition)
{
    ConnectedBench b;
    ASSERT_TRUE(b.connected);
    b.setup.changedRows[0] = true;
    b.frame.slots[0].channelPosition = 0x105;
    b.com.m_Sensor[0].m_sRotorHeader.cTypeClass = 'Y';  // an encoder counting the angle, too
    b.com.m_Sensor[0].m_sEncoder.cAngle = 1;
    ASSERT_EQ(b.com.COM_ZMCOMConfgSetSoftwareConfigBlock(0, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS), SwConfigWrite::Sent);
    EXPECT_EQ(b.com.m_Sensor[0].m_sSwConfig.cCode5A, 5);
}

TEST(Writers, ANewBaudRateOnABadKeptBlockWritesFreshOperationValues)
{
    ConnectedBench b;
    ASSERT_TRUE(b.connected);
    CString kept = b.com.m_strBlockStatorOperation;
    kept.SetAt(34, static_cast<char>(kept.ByteAt(34) ^ 0xFF));  // the check word no longer holds
    b.com.m_strBlockStatorOperation = kept;
    ASSERT_TRUE(b.com.COM_ZMCOMConfgSetNewBaudrate(0, 3));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_CNFG_SET_NEW_BAUDRATE);
    const CString block = b.LastBlock();
    EXPECT_EQ(CKadmor_Send::CheckBlock(block, nullptr), 0);
    BYTE bus = 0, baud = 0;
    DWORD filterA = 0, filterB = 0;
    b.com.KadSend_ReadBlockGetContentStatorOperation(block, nullptr, nullptr, nullptr, nullptr, &bus, nullptr, &baud,
                                                     nullptr, nullptr, &filterA, &filterB, nullptr);
    EXPECT_EQ(bus, 1);
    EXPECT_EQ(baud, 3);
    EXPECT_EQ(filterA, 3000u);
    EXPECT_EQ(filterB, 3000u);
    // Acknowledged: timer 35 restarts the sensor, timer 32 closes the port, 33 searches anew.
    b.loop.RunFor(150);
    EXPECT_EQ(b.ports.Count('K'), 1);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_CNFG_NEW_BAUDRATE_IS_SETTED);
}

TEST(Writers, NewLowPassFiltersAreWrittenThenTheSensorRestarted)
{
    ConnectedBench b;
    ASSERT_TRUE(b.connected);
    b.setup.filters[0] = {1000, 2000};
    b.frame.waitCursor = true;
    ASSERT_TRUE(b.com.COM_ZMCOMConfgSetNewLowPassFilter(0));
    const CString block = b.LastBlock();
    DWORD filterA = 0, filterB = 0;
    b.com.KadSend_ReadBlockGetContentStatorOperation(block, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                     nullptr, nullptr, &filterA, &filterB, nullptr);
    EXPECT_EQ(filterA, 1000u);
    EXPECT_EQ(filterB, 2000u);
    EXPECT_EQ(b.com.m_strBlockStatorOperation.Mid(19, 4), block.Mid(19, 4));
    b.loop.RunFor(1000);
    EXPECT_EQ(b.ports.Letters(), CString("FK"));
    EXPECT_EQ(b.Sensor().Blocks().ContentByte(2, 19), 1000 >> 8);
}

TEST(Writers, TheSerialNumbersGoIntoTheRotorOperationBlock)
{
    ConnectedBench b;
    ASSERT_TRUE(b.connected);
    b.com.m_Sensor[0].m_sRotorOperation.strSerialA = "ABC123";
    b.com.m_Sensor[0].m_sRotorOperation.strSerialB = "XYZ789";
    ASSERT_TRUE(b.com.COM_ZMCOMConfgSetSerialNumberRotorOperation(0, 0));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_SET_SERIAL_NUMBER_ROTOR_OPERATION);
    CString serialA, serialB;
    b.com.KadSend_ReadBlockGetContentRotorOperation(b.LastBlock(), nullptr, nullptr, nullptr, &serialA, &serialB);
    EXPECT_EQ(serialA, CString("ABC123"));
    EXPECT_NE(serialB, CString("XYZ789"));  // only the first text
    b.loop.RunFor(200);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
}

TEST(Writers, TheStatorOperationBlockOfAMultiportSensorLeavesBothStatesAt1007)
{
    ConnectedBench b;
    ASSERT_TRUE(b.connected);
    b.com.m_pPortManOfPort[1] = b.com.m_pPortMan;
    b.com.m_nCountActivePorts = 2;
    b.com.m_Sensor[1] = b.com.m_Sensor[0];
    ASSERT_TRUE(b.com.COM_ZMCOMConfgCnfgSensorStOperationBlock(1));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_4xS_STATOR_OPERATION);
    EXPECT_EQ(b.com.m_iZMCOMConfgFlowPrev, ZM_4xS_STATOR_OPERATION);
    EXPECT_EQ(b.LastBlock().ByteAt(5), 0x02);
}

TEST(Writers, ATemplateThatIsNoBlockReadFromTheSensorIsNeverWritten)
{
    OpenBench b;
    b.com.m_strBlockStatorOperation = CString("\x02\x44\x01", 3);
    b.com.m_strBlockRotorOperation.Empty();
    b.com.m_strBlockRotorUserCalib = "short";
    b.com.m_Sensor[0].m_sIdent[kIdentCalibration] = 2;
    EXPECT_FALSE(b.com.COM_ZMCOMConfgSetNewBaudrate(0, 1));
    EXPECT_FALSE(b.com.COM_ZMCOMConfgSetNewLowPassFilter(0));
    EXPECT_FALSE(b.com.COM_ZMCOMConfgCnfgSensorStOperationBlock(0));
    EXPECT_FALSE(b.com.COM_ZMCOMConfgSetSerialNumberRotorOperation(0, -1));
    EXPECT_FALSE(b.com.COM_ZMCOMConfgUserCalibActivate(0));
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_EQ(b.connection.busyClears, 1);
}

TEST(Sequencer, DigitsAfterTheDecimalPoint)
{
    EXPECT_EQ(TextToFieldNumber("12,345"), 3);
    EXPECT_EQ(TextToFieldNumber("1.23456789"), 7);
    EXPECT_EQ(TextToFieldNumber("100"), 0);
}

// A connected sensor whose controller works with the real sequencer.
struct SequencerBench : Bench {
    explicit SequencerBench(const sim::SensorConfig& config = AcceptedSensor())
    {
        workflow::WorkflowPeers peers = com.Peers();
        peers.sequencer = &sequencer;
        com.SetPeers(peers);
        connected = ConnectSensor(config);
        loop.RunFor(100);
        ports.writes.clear();
    }
    CString Block(std::size_t i) const { return Unstuffed(ports.writes.at(i).bytes); }
    CConfigWriteSequencer sequencer{com};
    bool connected = false;
};

TEST(Sequencer, TheWritesBeforeClosingGoBlockByBlockAndEndInTheClose)
{
    SequencerBench b;
    ASSERT_TRUE(b.connected);
    b.setup.values.filter[0] = {1234, 5678};
    b.com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
    b.sequencer.Start();
    b.loop.RunFor(1000);
    ASSERT_EQ(b.ports.Letters(), CString("FFF"));
    EXPECT_EQ(b.Block(0).ByteAt(5), 0x02);
    EXPECT_EQ(b.Block(1).ByteAt(5), 0x82);
    EXPECT_EQ(b.Block(2).ByteAt(5), 0x83);
    EXPECT_EQ(CKadmor_Send::CheckBlock(b.Block(0), nullptr), 0);
    EXPECT_EQ(CKadmor_Send::CheckBlock(b.Block(2), nullptr), 0);
    // The user calibration, switched off in this sensor, is written switched off again.
    ASSERT_FALSE(b.devices[0]->Port(0).sensor().Blocks().IsValid(6));
    EXPECT_EQ(CKadmor_Send::CheckBlock(b.Block(1), nullptr), 4 | 8);
    EXPECT_EQ(b.Block(0).ByteAt(19), 1234 >> 8);
    EXPECT_EQ(b.Block(0).ByteAt(22), 5678 & 0xFF);
    EXPECT_EQ(b.com.m_bConfigWriteDone, 1);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_WRITE_SEQ_DONE);
    EXPECT_EQ(b.setup.busyToggles, 0);
    EXPECT_EQ(b.devices[0]->Port(0).sensor().Blocks().ContentByte(2, 19), 1234 >> 8);
}

TEST(Sequencer, AcknowledgementsInPiecesMoveTheRunOnOnlyWhenWholeAndNothingWaitsOnTheThread)
{
    // An adapter that hands answers on two bytes at a time, 10 ms apart.
    sim::SensorConfig config = AcceptedSensor();
    config.faults.pieces = {2, 10};
    SequencerBench b(config);
    ASSERT_TRUE(b.connected);
    const std::int64_t started = b.loop.NowMs();
    b.com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
    b.sequencer.Start();
    // Each block goes out only once the one before has been acknowledged in full: its last
    // piece comes 30 ms after its first.
    std::int64_t lastWrite = started;
    for (std::size_t written = 1; written < 3; ++written) {
        ASSERT_TRUE(b.loop.RunUntil([&] { return b.ports.writes.size() > written; }, 2000)) << written;
        EXPECT_GE(b.loop.NowMs() - lastWrite, 30) << "block " << written + 1;
        lastWrite = b.loop.NowMs();
    }
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.com.GetZMCOMConfgFlow() == ZM_WRITE_SEQ_DONE; }, 2000));
    EXPECT_GE(b.loop.NowMs() - lastWrite, 30);
    // Stored is said on the whole last acknowledgement, which the state's step takes from the chain.
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_WRITE_SEQ_DONE);
    EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
    EXPECT_EQ(b.ports.Letters(), CString("FFF"));
    // Three acknowledgements of four pieces: well under the half second a blocking wait took per piece.
    EXPECT_LT(b.loop.NowMs() - started, 300);
    EXPECT_EQ(b.boxes.Count(), 0u);
}

namespace {

// The write has ended at the refusal, at rest, with the block named to the user once and no
// further write than those sent.
void ExpectEndedAtTheRefusal(const Bench& b, const char* lettersSent, int block)
{
    const UINT name = block == 0x02   ? workflow::kTextBlockStatorOperation
                      : block == 0x03 ? workflow::kTextBlockStatorSwConfig
                      : block == 0x82 ? workflow::kTextBlockRotorUserCalib
                                      : workflow::kTextBlockRotorOperation;
    EXPECT_EQ(b.ports.Letters(), CString(lettersSent));
    ASSERT_EQ(b.boxes.Count(), 1u);
    EXPECT_EQ(b.boxes.Boxes()[0].text, CString::Formatted(workflow::WorkflowText(workflow::kTextBlockRefused).GetString(),
                                                          block, workflow::WorkflowText(name).GetString(), 4));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(b.com.m_pfnReplyHandler, nullptr);
    EXPECT_FALSE(b.frame.waitCursor);
    EXPECT_EQ(b.com.m_bConfigWriteDone, 0);
    EXPECT_EQ(b.com.m_nRefusedWrites, 1);
}

}  // namespace

TEST(Sequencer, ARefusedBlockOfAnyWriteIsReportedByNameAndNothingOfItIsTakenAsStored)
{
    struct Case {
        const char* what;
        int refusedBlock;
        std::function<void(SequencerBench&)> start;
        const char* lettersSent;
    };
    const Case cases[] = {
        {"store of the settings", 0x82,
         [](SequencerBench& b) {
             b.com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
             b.sequencer.Start();
         },
         "FF"},
        {"software configuration", 0x03,
         [](SequencerBench& b) { b.com.COM_ZMCOMConfgSetSoftwareConfigBlock(0, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS); }, "F"},
        {"user calibration switched on", 0x82, [](SequencerBench& b) { b.com.COM_ZMCOMConfgUserCalibActivate(0); }, "F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::SensorConfig config = AcceptedSensor();
        config.faults.refusals = {{'F', c.refusedBlock, 4, -1}};
        SequencerBench b(config);
        ASSERT_TRUE(b.connected);
        const CString keptSwConfig = b.com.m_strBlockStatorSwConfig;
        const CString keptUserCalib = b.com.m_strBlockRotorUserCalib;
        b.frame.waitCursor = true;
        b.com.m_strReceiveCOM = Ack();  // left in the chain by an earlier step: no answer to this one
        c.start(b);
        b.loop.RunFor(3000);
        ExpectEndedAtTheRefusal(b, c.lettersSent, c.refusedBlock);
        // The program's copies still hold what the sensor holds.
        EXPECT_EQ(b.com.m_strBlockStatorSwConfig, keptSwConfig);
        EXPECT_EQ(b.com.m_strBlockRotorUserCalib, keptUserCalib);
    }
}

// The same on the ports of a multiport device, where the acknowledgements come port by port.
TEST(Sequencer, ARefusedBlockOnAMultiportDeviceIsReportedByNameAndNothingOfItIsTakenAsStored)
{
    struct Case {
        const char* what;
        int refusingSensor;
        int refusedBlock;
        std::function<void(Bench&, CConfigWriteSequencer&)> start;
        std::function<CString&(CComPort&)> kept;  // the program's copy of the refused block
        const char* lettersSent;
    };
    const Case cases[] = {
        {"stator operation block of one sensor, the device's restart after it", 1, 0x02,
         [](Bench& b, CConfigWriteSequencer&) { b.com.COM_ZMCOMConfgCnfgSensorStOperationBlock(1); },
         [](CComPort& com) -> CString& { return com.m_Sensor[1].m_strBlockStatorOperation; }, "F"},
        {"store of the settings on the last port", 2, 0x02,
         [](Bench& b, CConfigWriteSequencer& sequencer) {
             b.com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
             sequencer.Start();
         },
         [](CComPort& com) -> CString& { return com.m_Sensor[2].m_strBlockStatorOperation; }, "FFFFF"},
        {"serial numbers", 1, 0x83, [](Bench& b, CConfigWriteSequencer&) { b.com.COM_ZMCOMConfgSetSerialNumberRotorOperation(1, -1); },
         [](CComPort& com) -> CString& { return com.m_strBlockRotorOperation; }, "F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<sim::SensorConfig> configs = sim::MultiportConfigs(3, AcceptedSensor(777));
        configs[static_cast<std::size_t>(c.refusingSensor)].faults.refusals = {{'F', c.refusedBlock, 4, -1}};
        Bench b;
        CConfigWriteSequencer sequencer{b.com};
        workflow::WorkflowPeers peers = b.com.Peers();
        peers.sequencer = &sequencer;
        b.com.SetPeers(peers);
        b.AddDevice(3, configs);
        ASSERT_TRUE(b.SearchUntilAllActive());
        ASSERT_EQ(b.com.m_nCountActivePorts, 3);
        b.loop.RunFor(300);
        b.ports.writes.clear();
        const CString kept = c.kept(b.com);
        b.frame.waitCursor = true;
        c.start(b, sequencer);
        b.loop.RunFor(3000);
        // No restart of the device and no further block follows the refusal.
        ExpectEndedAtTheRefusal(b, c.lettersSent, c.refusedBlock);
        EXPECT_EQ(c.kept(b.com), kept);
    }
}

TEST(Sequencer, EntriesNeverFilledAreNotWrittenAndTheRunStillEnds)
{
    OpenBench b;
    CConfigWriteSequencer sequencer(b.com);
    workflow::WorkflowPeers peers = b.com.Peers();
    peers.sequencer = &sequencer;
    b.com.SetPeers(peers);
    b.com.m_nCountActivePorts = 1;
    b.com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
    sequencer.Start();
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_EQ(b.com.m_bConfigWriteDone, 1);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_WRITE_SEQ_DONE);
    // With one active port there is no further sensor.
    EXPECT_FALSE(sequencer.Advance());
    EXPECT_EQ(b.setup.busyToggles, 0);
}

namespace {

// A sequencer whose current slot holds blocks from the simulated sensor's identity.
struct PatchBench : OpenBench {
    PatchBench()
    {
        const sim::SensorIdentity id = AcceptedSensor().identity;
        com.m_nCountActivePorts = 1;
        sequencer.SetBlockText1(Unstuffed(BlockAnswer(id, 0x02)), 0);
        sequencer.SetBlockText2(Unstuffed(BlockAnswer(id, 0x82)), 0);
        sequencer.SetBlockText3(Unstuffed(BlockAnswer(id, 0x83)), 0);
        sequencer.AdvanceSlot();  // slot 0
        workflow::WorkflowPeers peers = com.Peers();
        peers.sequencer = &sequencer;
        com.SetPeers(peers);
    }
    CConfigWriteSequencer sequencer{com};
};

}  // namespace

TEST(Sequencer, AStatorBlockForAChannelWithoutLimitsHasNoLimitValues)
{
    PatchBench b;
    b.setup.values.measurand1 = 2;
    b.setup.values.measurand2 = 3;
    b.setup.values.limitText = {"1.5", "2.5", "3", "4"};
    const auto block = b.sequencer.PatchStatorOperation();
    for (int i = 23; i <= 30; ++i) EXPECT_EQ(block[static_cast<std::size_t>(i)], 0xFF) << i;
    EXPECT_EQ(block[31], 0);
    EXPECT_EQ(block[32], 0xFF);
    EXPECT_EQ(block[33], 0xFF);
}

TEST(Sequencer, AStatorBlockCarriesTheLimitsOfItsChannel)
{
    PatchBench b;
    b.setup.values.measurand1 = 0;
    b.setup.values.limitText = {"1,25", "", "", ""};
    b.setup.values.limitValue = {1.25, 0, 0, 0};
    b.setup.values.filter[0] = {70000, 500};
    const auto block = b.sequencer.PatchStatorOperation();
    const auto le = LeBytes(1.25f);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(block[static_cast<std::size_t>(23 + i)], le[static_cast<std::size_t>(i)]);
    EXPECT_EQ(block[31], 2 << 5);
    // A filter value beyond 16 bits is written as 0x80 0x00.
    EXPECT_EQ(block[19], 0x80);
    EXPECT_EQ(block[20], 0x00);
}

TEST(Sequencer, ARotorBlockWithoutTriggersOrWithAStopCount)
{
    PatchBench b;
    auto block = b.sequencer.PatchRotorOperation();
    const auto noValue = LeBytes(FLT_MAX);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(block[static_cast<std::size_t>(14 + i)], noValue[static_cast<std::size_t>(i)]);
        EXPECT_EQ(block[static_cast<std::size_t>(18 + i)], noValue[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(block[11] & 0xC0, 0xC0);

    b.setup.values.stopKind = 7;
    b.setup.values.stopCount = 1000;
    block = b.sequencer.PatchRotorOperation();
    EXPECT_EQ(block[14], 0x00);
    EXPECT_EQ(block[15], 0x00);
    EXPECT_EQ(block[16], 0x03);
    EXPECT_EQ(block[17], 0xE8);
    EXPECT_EQ(block[11] & 0xC0, 0x80);

    // A start time beyond 2038 is kept as an unsigned word; one no 32 bits hold, and a level no
    // single-precision number holds, are written as none.
    b.setup.values.startKind = 7;
    b.setup.values.startFurther = {4000000000.0, 0.0};
    block = b.sequencer.PatchRotorOperation();
    EXPECT_EQ(block[18] | block[19] << 8 | block[20] << 16 | static_cast<std::uint32_t>(block[21]) << 24, 4000000000u);
    b.setup.values.startFurther = {1e20, 0.0};
    block = b.sequencer.PatchRotorOperation();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(block[static_cast<std::size_t>(18 + i)], 0);
    b.setup.values.startKind = 1;
    b.setup.values.startLevel = 1e300;
    block = b.sequencer.PatchRotorOperation();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(block[static_cast<std::size_t>(18 + i)], noValue[static_cast<std::size_t>(i)]);
}
