#pragma once
// The workflow test bench with the real sensor administration pages and the real
// configuration-write sequencer in place of their fakes.

#include "sensor_admin/sensor_admin.h"
#include "tests/workflow/frames.h"
#include "tests/workflow/workflow_bench.h"

namespace sensor_admin_test {

struct AdminBench : workflow_test::Bench {
    AdminBench()
    {
        workflow::WorkflowPeers peers = com.Peers();
        peers.connection = &pages.connection;
        peers.startUp = &pages.startUp;
        peers.information = &pages.information;
        peers.calibration = &pages.calibration;
        peers.diagnostic = &pages.diagnostic;
        peers.sequencer = &writer;
        com.SetPeers(peers);
    }
    ~AdminBench()
    {
        com.m_pPortMan.reset();
        for (auto& port : com.m_pPortManOfPort) port.reset();
    }
    // Polls like the measurement control page's timer while it runs.
    void PollWhileActive(int maxTicks = 2000)
    {
        for (int i = 0; i < maxTicks && control.polling; ++i) {
            com.COM_SendValueRequest();
            loop.RunFor(25);
        }
        loop.RunFor(300);
    }
    int CountAfter(std::size_t from, BYTE letter) const
    {
        int n = 0;
        for (std::size_t i = from; i < ports.writes.size(); ++i) n += ports.writes[i].Letter() == letter ? 1 : 0;
        return n;
    }

    sensor_admin::SensorAdminPages pages{com, loop};
    CConfigWriteSequencer writer{com};
};

}  // namespace sensor_admin_test
