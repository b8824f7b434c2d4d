// The bulk port on a fake device.
#include <gtest/gtest.h>

#include "fakes.h"
#include "port/port_bulk.h"
#include "port/thread_man.h"
#include "recorders.h"
#include "test_support.h"

namespace {

using namespace porttest;

struct BulkRig {
    std::shared_ptr<FakeBulkDevice::State> device = std::make_shared<FakeBulkDevice::State>();
    CThreadMan worker;
    std::shared_ptr<CPortBulk> port = std::make_shared<CPortBulk>(nullptr, 0, std::make_unique<FakeBulkDevice>(device));
    BulkRig()
    {
        worker.SetPort(port);
        port->SetWorker(&worker);
    }
    ~BulkRig()
    {
        port->Close(false);
        worker.SetPort(nullptr);
    }
};

TEST(BulkPort, BlocksArriveExactlyAsDelivered)
{
    BulkRig rig;
    DataRecorder data;
    ASSERT_TRUE(rig.port->Open("bulk", DCB{}, &data, 64, nullptr, 0));
    {
        std::lock_guard lock(rig.device->mutex);
        rig.device->blocks.push_back({'a', 'b', 'c'});
        rig.device->blocks.push_back({'d'});
    }
    ASSERT_TRUE(WaitUntil([&] { return data.Chunks().size() == 2; }));
    EXPECT_EQ("abcd", data.Bytes());
    EXPECT_EQ((std::vector<DWORD>{3, 1}), data.Chunks());
}

TEST(BulkPort, AMissingWritePipeFailsTheOpenButTheReadPipeKeepsReceiving)
{
    BulkRig rig;
    DataRecorder data;
    rig.device->writeOpens = false;
    EXPECT_FALSE(rig.port->Open("bulk", DCB{}, &data, 64, nullptr, 0));
    EXPECT_TRUE(rig.port->IsOpen());
    {
        std::lock_guard lock(rig.device->mutex);
        rig.device->blocks.push_back({'x'});
    }
    ASSERT_TRUE(WaitUntil([&] { return data.Bytes() == "x"; }));
    EXPECT_FALSE(rig.port->Write("y", 1));
    EXPECT_TRUE(rig.port->Close(false));
    EXPECT_FALSE(rig.port->IsOpen());
}

TEST(BulkPort, AWriteThatTheDeviceDoesNotTakeWholeFails)
{
    BulkRig rig;
    ASSERT_TRUE(rig.port->Open("bulk", DCB{}, nullptr, 64, nullptr, 0));
    EXPECT_TRUE(rig.port->Write("all", 3));
    rig.device->writeAccepts = 1;
    EXPECT_FALSE(rig.port->Write("some", 4));
    EXPECT_EQ("alls", rig.device->written);
}

TEST(BulkPort, WithoutACallbackBlocksGoToTheRing)
{
    BulkRig rig;
    ASSERT_TRUE(rig.port->Open("bulk", DCB{}, nullptr, 64, nullptr, 0));
    {
        std::lock_guard lock(rig.device->mutex);
        rig.device->blocks.push_back({'r', 'i', 'n', 'g'});
    }
    BYTE first = 0;
    ASSERT_TRUE(WaitUntil([&] { return rig.port->Read(&first, 1) == 1; }));
    EXPECT_EQ('r', first);
    BYTE rest[8];
    EXPECT_EQ(3u, rig.port->ReadAvailable(rest, sizeof rest));
}

}  // namespace
