// A sensor that stops answering in the middle of a step, in every kind of step outside a
// measurement (the measurement's own receive time-out is the control panel's): the controller
// notices the silence within the step's watch, reports the connection unstable once, closes the
// port and rests, and once the sensor answers again a new search connects it.

#include <functional>

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"
#include "workflow/config_write_sequencer.h"
#include "workflow/connection_state.h"

using namespace workflow_test;

namespace {

struct SilentBench : Bench {
    SilentBench()
    {
        workflow::WorkflowPeers peers = com.Peers();
        peers.sequencer = &sequencer;
        com.SetPeers(peers);
        connected = ConnectSensor(AcceptedSensor());
        loop.RunFor(300);
    }
    void Silence() { devices[0]->Port(0).Stall(kSilenceMs); }
    static constexpr int kSilenceMs = kRestartSilenceMs + 1000;
    CConfigWriteSequencer sequencer{com};
    bool connected = false;
};

struct Case {
    const char* step;
    UINT watchMs;  // silence after the last byte until the step is given up
    std::function<void(SilentBench&)> start;
};

}  // namespace

TEST(SilentSensor, IsNoticedInEveryStepWhichEndsAtRestWithThePortClosedAndConnectWorksAgain)
{
    const Case cases[] = {
        {"identification after the status answer", kAnswerSilenceMs,
         [](SilentBench& b) {
             b.ports.writes.clear();
             b.com.COM_ZMStartInit();
             ASSERT_TRUE(b.loop.RunUntil([&] { return b.ports.Count('D') > 0; }, 1000));
             b.Silence();
         }},
        {"software configuration write", kAnswerSilenceMs,
         [](SilentBench& b) {
             b.Silence();
             b.com.COM_ZMCOMConfgSetSoftwareConfigBlock(0, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS);
         }},
        {"store of the settings", kAnswerSilenceMs,
         [](SilentBench& b) {
             b.Silence();
             b.com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
             b.sequencer.Start();
         }},
        {"calibration block write", kAnswerSilenceMs,
         [](SilentBench& b) {
             b.Silence();
             b.com.COM_ZMCOMConfgUserCalibActivate(0);
         }},
        {"restart after a calibration block", kRestartSilenceMs,
         [](SilentBench& b) {
             b.ports.writes.clear();
             b.com.COM_ZMCOMConfgUserCalibActivate(0);
             ASSERT_TRUE(b.loop.RunUntil([&] { return b.ports.Count('K') > 0; }, 1000));
             b.Silence();
         }},
        {"calibration reading", kAnswerSilenceMs,
         [](SilentBench& b) {
             b.com.COM_ZMReadRawCalibInit(0);
             b.Silence();
             b.com.COM_SendValueRequest();
         }},
        {"control signal", kAnswerSilenceMs,
         [](SilentBench& b) {
             b.Silence();
             b.com.COM_ZMSetCtrlOn();
         }},
        {"single shot", kAnswerSilenceMs,
         [](SilentBench& b) {
             b.Silence();
             b.com.COM_ZMSingleShot();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        SilentBench b;
        ASSERT_TRUE(b.connected);
        b.frame.waitCursor = true;
        c.start(b);
        const std::int64_t silentFrom = b.loop.NowMs();
        ASSERT_TRUE(b.loop.RunUntil([&] { return b.boxes.Count() > 0; }, SilentBench::kSilenceMs)) << "flow " << b.com.GetZMCOMConfgFlow();
        // Given up within the step's watch, but not before: an answer held back a while by an
        // adapter or a network module is still an answer.
        EXPECT_LE(b.loop.NowMs() - silentFrom, static_cast<std::int64_t>(c.watchMs) + 20);
        EXPECT_GE(b.loop.NowMs() - silentFrom, static_cast<std::int64_t>(c.watchMs) - 50);
        EXPECT_EQ(b.boxes.Boxes()[0].text, workflow::WorkflowText(workflow::kTextUnstableConnection));
        EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
        EXPECT_EQ(b.com.m_pfnReplyHandler, nullptr);
        EXPECT_FALSE(b.frame.waitCursor);
        EXPECT_FALSE(b.control.polling);
        EXPECT_EQ(b.com.m_pPortMan->GetStateText(), CString("OffLine"));
        // What the sensor held back arrives at a closed port; nothing more is reported.
        b.loop.RunFor(SilentBench::kSilenceMs);
        EXPECT_EQ(b.boxes.Count(), 1u);

        b.frame.sensorConnected = false;
        b.com.COM_SearchComPorts(0);
        ASSERT_TRUE(b.RunUntilConnected()) << "flow " << b.com.GetZMCOMConfgFlow();
        EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
        EXPECT_EQ(b.boxes.Count(), 1u);
    }
}

namespace {

// A multiport device of three sensors, searched and connected on COM3 to COM5.
struct SilentDeviceBench : Bench {
    explicit SilentDeviceBench(bool answersInPieces)
    {
        workflow::WorkflowPeers peers = com.Peers();
        peers.sequencer = &sequencer;
        com.SetPeers(peers);
        sim::SensorConfig config = AcceptedSensor(777);
        if (answersInPieces) config.faults.pieces = {2, 10};
        AddDevice(3, sim::MultiportConfigs(3, config));
        connected = SearchUntilAllActive() && com.m_nCountActivePorts == 3;
        loop.RunFor(300);
        // The angle channels of the first two sensors are selected.
        SetFirstSensorConnected();
        SetSensorSelected(0, 0);
        SetSensorSelected(1, 0);
    }
    void Silence(int port)
    {
        if (silent) devices[0]->Port(port).Stall(SilentBench::kSilenceMs);
    }
    bool AllPortsClosed() const
    {
        for (const auto& port : com.m_pPortManOfPort)
            if (port && port->GetStateText() != CString("OffLine")) return false;
        return true;
    }
    CConfigWriteSequencer sequencer{com};
    bool connected = false;
    bool silent = true;
};

struct DeviceCase {
    const char* step;
    UINT noticedWithinMs;  // from the start of the silence
    UINT message;
    std::function<void(SilentDeviceBench&)> start;
};

}  // namespace

// The steps that address the sensors of a multiport device port by port: a sensor that falls
// silent is noticed within the step's watch, counted from the last byte of any port; the
// program rests with the device's ports closed (the slave set-up keeps its own message and its
// ports), and a search connects the device again. The same steps on a device whose sensors
// answer, in pieces, end at rest without any message.
TEST(SilentSensor, OfAMultiportDeviceIsNoticedInEveryStepAndAnAnsweringDeviceRaisesNoAlarm)
{
    constexpr UINT kGreetingMs = 200;  // the others' greeting after a restart restarts the watch
    const DeviceCase cases[] = {
        {"slave set-up", 1250, workflow::kTextSensorsNotPrepared,
         [](SilentDeviceBench& b) {
             b.Silence(2);
             b.com.COM_4xS_SetSlaves();
         }},
        {"single shot on every port", kAnswerSilenceMs, workflow::kTextUnstableConnection,
         [](SilentDeviceBench& b) {
             b.Silence(2);
             b.com.COM_SendSingleShot(false, 0);
         }},
        {"single shot of one port for the scaling page", kAnswerSilenceMs, workflow::kTextUnstableConnection,
         [](SilentDeviceBench& b) {
             b.Silence(1);
             b.com.COM_SendSingleShot(true, 1);
         }},
        // The last of the three ports is written 100 ms after the first, by the loop.
        {"control signal on every port", kAnswerSilenceMs + 100, workflow::kTextUnstableConnection,
         [](SilentDeviceBench& b) {
             b.Silence(1);
             b.com.COM_ZMSetCtrlOn();
         }},
        {"angle zero", kAnswerSilenceMs, workflow::kTextUnstableConnection,
         [](SilentDeviceBench& b) {
             b.Silence(1);
             b.com.COM_SendAngleZero(1);
         }},
        {"restart of every sensor", kRestartSilenceMs + kGreetingMs, workflow::kTextUnstableConnection,
         [](SilentDeviceBench& b) {
             b.Silence(2);
             b.com.COM_ZMRestartSensorAfterInit();
         }},
        {"stator operation block of one sensor", kAnswerSilenceMs, workflow::kTextUnstableConnection,
         [](SilentDeviceBench& b) {
             b.Silence(1);
             b.com.COM_ZMCOMConfgCnfgSensorStOperationBlock(1);
         }},
        {"restart after a low-pass filter", kRestartSilenceMs, workflow::kTextUnstableConnection,
         [](SilentDeviceBench& b) {
             b.ports.writes.clear();
             b.com.COM_ZMCOMConfgSetNewLowPassFilter(1);
             ASSERT_TRUE(b.loop.RunUntil([&] { return b.ports.Count('K') > 0; }, 1000));
             b.Silence(1);
         }},
        {"store of the settings", kAnswerSilenceMs, workflow::kTextUnstableConnection,
         [](SilentDeviceBench& b) {
             b.Silence(2);
             b.com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
             b.sequencer.Start();
         }},
    };
    for (const DeviceCase& c : cases) {
        SCOPED_TRACE(c.step);
        {
            SilentDeviceBench b(true);
            ASSERT_TRUE(b.connected);
            b.silent = false;
            c.start(b);
            b.loop.RunFor(SilentBench::kSilenceMs);
            EXPECT_EQ(b.boxes.Count(), 0u) << "answering, flow " << b.com.GetZMCOMConfgFlow();
        }
        SilentDeviceBench b(false);
        ASSERT_TRUE(b.connected);
        b.frame.waitCursor = true;
        c.start(b);
        const std::int64_t silentFrom = b.loop.NowMs();
        ASSERT_TRUE(b.loop.RunUntil([&] { return b.boxes.Count() > 0; }, SilentBench::kSilenceMs)) << "flow " << b.com.GetZMCOMConfgFlow();
        EXPECT_LE(b.loop.NowMs() - silentFrom, static_cast<std::int64_t>(c.noticedWithinMs) + 20);
        EXPECT_EQ(b.boxes.Boxes()[0].text.Find(workflow::WorkflowText(c.message).Left(20)), 0) << b.boxes.Boxes()[0].text.GetString();
        EXPECT_EQ(b.com.m_pfnReplyHandler, nullptr);
        if (c.message == workflow::kTextUnstableConnection) {
            EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
            EXPECT_FALSE(b.frame.waitCursor);
            EXPECT_TRUE(b.AllPortsClosed());
        }
        // What the sensor held back arrives; nothing more is reported.
        b.loop.RunFor(SilentBench::kSilenceMs);
        EXPECT_EQ(b.boxes.Count(), 1u);

        b.frame.sensorConnected = false;
        ASSERT_TRUE(b.SearchUntilAllActive()) << "flow " << b.com.GetZMCOMConfgFlow();
        EXPECT_EQ(b.com.m_nCountActivePorts, 3);
        EXPECT_EQ(b.boxes.Count(), 1u);
    }
}

