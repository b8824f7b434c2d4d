// A sensor that stops answering in the middle of a step, in every kind of step outside a
// measurement (the measurement's own receive time-out is the control panel's): the controller
// notices the silence within the step's watch, reports the connection unstable once, closes the
// port and rests, and once the sensor answers again a new search connects it.

#include <functional>

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"
#include "workflow/config_write_sequencer.h"

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
    static constexpr int kSilenceMs = 3000;
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
        {"identification after the status answer", kIdentificationSilenceMs,
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
        ASSERT_TRUE(b.loop.RunUntil([&] { return b.boxes.Count() > 0; }, 5000)) << "flow " << b.com.GetZMCOMConfgFlow();
        EXPECT_LE(b.loop.NowMs() - silentFrom, static_cast<std::int64_t>(c.watchMs) + 20);
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
