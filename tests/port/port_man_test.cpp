// The port manager end to end: a pseudo-terminal listed in the settings, a recording owner
// window on a real-time loop, device events and lending between two endpoints.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <atomic>
#include <thread>

#include "port/device_change.h"
#include "port/port_com.h"
#include "port/port_man_gui.h"
#include "port/thread_man.h"
#include "fake_sysfs.h"
#include "test_support.h"

namespace {

using namespace porttest;
using platform::MessageLoop;

class PortManTest : public ::testing::Test {
protected:
    CannedUevents uevents;
    FakeMachine machine;
    MessageLoop loop{MessageLoop::Time::Real};
    RecordingOwner owner{loop};

    std::unique_ptr<CPortManGui> MakeManager()
    {
        auto manager = std::make_unique<CPortManGui>(&owner, RecordingOwner::kEvent, RecordingOwner::kData, true, 0);
        manager->m_dcb.BaudRate = 115200;
        manager->SetHandshake(0);
        return manager;
    }
    bool RunUntil(const std::function<bool()>& done) { return loop.RunUntil(done, kGenerousMs); }

    // The test's pseudo-terminal, listed and opened by a manager that watches the events given.
    void OpenPty(DWORD eventMask = 0)
    {
        alias = machine.AddPty(pty);
        manager = MakeManager();
        if (eventMask != 0) manager->SetEventMask(nullptr, eventMask);
        ASSERT_TRUE(manager->OpenPort(alias));
    }
    // The kernel's word about the pseudo-terminal's node ("pts/N"), as a udev datagram.
    void SendUevent(const std::string& action, const Pty& of)
    {
        const std::string node = of.path.substr(5);
        uevents.Send(CannedUevents::Datagram(action, "/devices/virtual/tty/x", {"ACTION=" + action, "SUBSYSTEM=tty", "DEVNAME=" + node}));
    }
    DeviceBroadcast Broadcast(const Pty& of) const { return {DBT_DEVTYP_DEVICEINTERFACE, of.path.c_str()}; }

    Pty pty;
    CString alias;
    std::unique_ptr<CPortManGui> manager;  // (closed before the pseudo-terminal goes)
};

TEST_F(PortManTest, BytesReachTheOwnerInOrderAsDataMessages)
{
    ASSERT_NO_FATAL_FAILURE(OpenPty());
    EXPECT_EQ(kPortOpen, manager->GetState());
    EXPECT_EQ(alias + "   Pseudo terminal", manager->GetStateText());
    std::string sent;
    for (int i = 0; i < 3000; ++i) sent.push_back(static_cast<char>(i));
    ASSERT_TRUE(pty.Send(sent));
    ASSERT_TRUE(RunUntil([&] { return owner.Bytes().size() >= sent.size(); }));
    EXPECT_EQ(sent, owner.Bytes());
    ASSERT_TRUE(manager->WriteString(CString("B\x00\x05", 3)));
    EXPECT_EQ(std::string("B\x00\x05", 3), pty.Receive(3));
}

TEST_F(PortManTest, TheWorkerKeepsReadingWhileTheGuiThreadIsBusy)
{
    ASSERT_NO_FATAL_FAILURE(OpenPty());
    // The loop does not run meanwhile. A device that sends far more than the line buffers
    // can only get rid of it when the worker keeps reading.
    ::fcntl(pty.master, F_SETFL, ::fcntl(pty.master, F_GETFL) | O_NONBLOCK);
    const std::string burst(256 * 1024, 'z');
    std::size_t written = 0;
    ASSERT_TRUE(WaitUntil([&] {
        const ssize_t n = ::write(pty.master, burst.data() + written, burst.size() - written);
        if (n > 0) written += static_cast<std::size_t>(n);
        return written == burst.size();
    }));
    ASSERT_TRUE(RunUntil([&] { return owner.Bytes().size() >= burst.size(); }));
    EXPECT_EQ(burst, owner.Bytes());
}

TEST_F(PortManTest, ClosingFromInsideTheHandlingOfItsOwnBytesNeitherHangsNorDeliversMore)
{
    ASSERT_NO_FATAL_FAILURE(OpenPty());
    std::atomic<bool> closed{false};
    owner.onData = [&] {
        if (!closed) {
            EXPECT_TRUE(manager->SetOffLine(false));
            closed = true;
        }
    };
    for (int i = 0; i < 50; ++i) pty.Send(std::string(100, static_cast<char>('a' + i % 26)));
    ASSERT_TRUE(RunUntil([&] { return closed.load(); }));
    const int messagesAtClose = owner.dataMessages;
    loop.RunFor(100);
    EXPECT_EQ(messagesAtClose, owner.dataMessages);
    EXPECT_EQ(1, owner.dataMessages);
    EXPECT_EQ(kPortOffLineByUser, manager->GetState());
    EXPECT_EQ("OffLine", manager->GetStateText());
}

TEST_F(PortManTest, NothingOfAClosedPortIsDeliveredAfterwards)
{
    ASSERT_NO_FATAL_FAILURE(OpenPty());
    ASSERT_TRUE(pty.Send(std::string(2000, 'q')));
    // Let the worker hand over (without running the loop), then close.
    ASSERT_TRUE(WaitUntil([&] { return loop.PendingHandOvers() > 0; }));
    manager->SetOffLine(false);
    loop.RunFor(50);
    EXPECT_EQ(0, owner.dataMessages);
}

TEST_F(PortManTest, OpeningTheOpenPortAgainKeepsThePortObject)
{
    ASSERT_NO_FATAL_FAILURE(OpenPty());
    const auto port = manager->GetPort();
    EXPECT_TRUE(manager->OpenPort(alias + ":"));
    CString lower = alias;
    EXPECT_TRUE(manager->OpenPort(lower.MakeLower()));
    EXPECT_EQ(port, manager->GetPort());
}

TEST_F(PortManTest, APortNameThatNowStandsForAnotherDevicePathOpensTheNewPath)
{
    // A module's terminal created anew: the settings list the same entry on another node, and
    // the name it had keeps standing for it.
    Pty before, now;
    const CString alias = machine.AddPty(before, "Module");
    auto manager = MakeManager();
    ASSERT_TRUE(manager->OpenPort(alias));
    machine.settings = std::make_shared<MemoryPortSettingsStore>();
    SetPortSettingsStore(machine.settings);
    ASSERT_EQ(alias, machine.AddPty(now, "Module"));
    EXPECT_EQ(CString(now.path.c_str()), ThePortList().OpenPathOf(alias));
    // The manager that has the name open on the old path moves to the new one.
    ASSERT_TRUE(manager->OpenPort(alias));
    ASSERT_TRUE(manager->WriteString("to the new path"));
    EXPECT_EQ("to the new path", now.Receive(15));
    ASSERT_TRUE(now.Send("from it"));
    EXPECT_TRUE(RunUntil([&] { return owner.Bytes() == "from it"; }));
}

TEST_F(PortManTest, AnEmptyNameFailsAndChangesNothing)
{
    auto manager = MakeManager();
    EXPECT_FALSE(manager->OpenPort(""));
    EXPECT_EQ(kPortNotOpenYet, manager->GetState());
    EXPECT_EQ("Bad Config", manager->GetStateText());
}

TEST_F(PortManTest, AnUnknownNameGetsABarePortThatNeverOpens)
{
    auto manager = MakeManager();
    EXPECT_FALSE(manager->OpenPort("COM77"));
    EXPECT_EQ(dynamic_cast<CPortCom*>(manager->GetPort().get()), nullptr);
    EXPECT_EQ(kPortNotOpenYet, manager->GetState());
}

TEST_F(PortManTest, OnlyArrivalAndRemovalReachTheOwnerWithTheControllersMask)
{
    ASSERT_NO_FATAL_FAILURE(OpenPty(0x30000000));
    const DeviceBroadcast header = Broadcast(pty);
    EXPECT_EQ(static_cast<LRESULT>(0xFFFFFFFF), manager->OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, &header));
    EXPECT_EQ(kPortOffLineDeviceGone, manager->GetState());
    EXPECT_FALSE(manager->GetPort()->IsOpen());
    EXPECT_EQ(1, manager->OnDeviceChange(DBT_DEVICEARRIVAL, &header));
    EXPECT_EQ(kPortOpen, manager->GetState());
    ASSERT_TRUE(RunUntil([&] { return owner.events.size() >= 2; }));
    EXPECT_EQ(std::make_pair(WPARAM{0x20000000}, LPARAM{0}), owner.events[0]);
    EXPECT_EQ(std::make_pair(WPARAM{0x10000000}, LPARAM{0}), owner.events[1]);
}

TEST_F(PortManTest, AUserClosedPortIsNotReopenedByArrival)
{
    ASSERT_NO_FATAL_FAILURE(OpenPty());
    manager->SetOffLine(false);
    const DeviceBroadcast header = Broadcast(pty);
    EXPECT_EQ(0, manager->OnDeviceChange(DBT_DEVICEARRIVAL, &header));
    EXPECT_EQ(kPortOffLineByUser, manager->GetState());
}

TEST_F(PortManTest, OtherDevicesOnlyUpdateThePortList)
{
    Pty mine, other;
    machine.AddPty(other, "Other");
    auto manager = MakeManager();
    ASSERT_TRUE(manager->OpenPort(machine.AddPty(mine)));
    const DeviceBroadcast header = Broadcast(other);
    manager->OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, &header);
    EXPECT_EQ(kPortOpen, manager->GetState());
    EXPECT_FALSE(ThePortList().Find(other.path.c_str())->m_bPresent);
    // Query-remove codes never count as removal.
    const DeviceBroadcast own = Broadcast(mine);
    EXPECT_EQ(0, manager->OnDeviceChange(DBT_DEVICEQUERYREMOVE, &own));
    EXPECT_EQ(kPortOpen, manager->GetState());
}

TEST_F(PortManTest, CannedUeventsCloseAndReopenThePort)
{
    ASSERT_NO_FATAL_FAILURE(OpenPty());
    SendUevent("remove", pty);
    ASSERT_TRUE(WaitUntil([&] { return manager->GetState() == kPortOffLineDeviceGone; }));
    SendUevent("change", pty);
    SendUevent("add", pty);
    ASSERT_TRUE(WaitUntil([&] { return manager->GetState() == kPortOpen; }));
    ASSERT_TRUE(pty.Send("again"));
    EXPECT_TRUE(RunUntil([&] { return owner.Bytes() == "again"; }));
}

// USB adapters on a fake machine whose device nodes are links to pseudo-terminals.
class AdapterTest : public PortManTest {
protected:
    const std::filesystem::path sys = machine.root.path / "sys", dev = machine.root.path / "dev";
    std::unique_ptr<FakeSysfs> tree;
    Pty adapterA, adapterB;

    void SetUp() override
    {
        SetEnumerationRoots({sys.string(), dev.string()});
        tree = std::make_unique<FakeSysfs>(sys);
        std::filesystem::create_directories(dev);
    }
    // The adapter comes up on the node: the kernel's tree and the node's link.
    DeviceBroadcast PlugIn(const char* usbPort, const char* node, const char* serial, const Pty& pty)
    {
        tree->UsbSerial(usbPort, node, serial, "ftdi_sio");
        std::filesystem::remove(dev / node);
        std::filesystem::create_symlink(pty.path, dev / node);
        return DeviceBroadcast{DBT_DEVTYP_DEVICEINTERFACE, (dev / node).c_str()};
    }
    void Unplug(CPortMan& manager, const char* usbPort, const char* node)
    {
        tree->Remove(std::string("class/tty/") + node);
        tree->Remove(std::string("devices/pci0000:00/0000:00:14.0/usb1/") + usbPort);
        const DeviceBroadcast gone{DBT_DEVTYP_DEVICEINTERFACE, (dev / node).c_str()};
        manager.OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, &gone);
    }
    // Adapter A (serial AAA) on ttyUSB0, opened as COM1 by a manager that watches arrivals.
    std::unique_ptr<CPortManGui> OpenAdapterA()
    {
        PlugIn("1-2", "ttyUSB0", "AAA", adapterA);
        RefreshPortList();
        auto manager = MakeManager();
        manager->SetEventMask(nullptr, 0x30000000);
        EXPECT_TRUE(manager->OpenPort("COM1"));
        return manager;
    }
};

TEST_F(AdapterTest, AnotherAdapterUnderTheUnpluggedOnesNodeIsNotReopenedForItsOwner)
{
    // A first has ttyUSB0; once it is unplugged, B comes up as ttyUSB0 and A, plugged in
    // again, as ttyUSB1.
    auto manager = OpenAdapterA();
    Unplug(*manager, "1-2", "ttyUSB0");
    ASSERT_EQ(kPortOffLineDeviceGone, manager->GetState());

    const DeviceBroadcast usb0 = PlugIn("1-3", "ttyUSB0", "BBB", adapterB);
    EXPECT_EQ(0, manager->OnDeviceChange(DBT_DEVICEARRIVAL, &usb0));
    EXPECT_EQ(kPortOffLineDeviceGone, manager->GetState());
    EXPECT_EQ(CString(usb0.name), ThePortList().OpenPathOf("COM2"));

    const DeviceBroadcast usb1 = PlugIn("1-2", "ttyUSB1", "AAA", adapterA);
    EXPECT_EQ(1, manager->OnDeviceChange(DBT_DEVICEARRIVAL, &usb1));
    ASSERT_EQ(kPortOpen, manager->GetState());
    ASSERT_TRUE(adapterA.Send("mine"));
    EXPECT_TRUE(RunUntil([&] { return owner.Bytes() == "mine"; }));
}

TEST_F(AdapterTest, TheOwnAdapterBackOnTheNodeAnotherHeldMeanwhileIsReopened)
{
    auto manager = OpenAdapterA();
    Unplug(*manager, "1-2", "ttyUSB0");
    const DeviceBroadcast usb0 = PlugIn("1-3", "ttyUSB0", "BBB", adapterB);
    EXPECT_EQ(0, manager->OnDeviceChange(DBT_DEVICEARRIVAL, &usb0));
    Unplug(*manager, "1-3", "ttyUSB0");
    EXPECT_EQ(kPortOffLineDeviceGone, manager->GetState());

    const DeviceBroadcast again = PlugIn("1-2", "ttyUSB0", "AAA", adapterA);
    EXPECT_EQ(1, manager->OnDeviceChange(DBT_DEVICEARRIVAL, &again));
    ASSERT_EQ(kPortOpen, manager->GetState());
    EXPECT_EQ(CString(again.name), ThePortList().OpenPathOf("COM1"));
    ASSERT_TRUE(adapterA.Send("mine again"));
    EXPECT_TRUE(RunUntil([&] { return owner.Bytes() == "mine again"; }));
}

TEST_F(PortManTest, AHangUpIsReportedOnceAsTheRemovalOfTheDevice)
{
    // A network bridge's pseudo-terminal, or a USB adapter whose removal uevent is late.
    ASSERT_NO_FATAL_FAILURE(OpenPty(0x30000000));
    pty.CloseMaster();
    // The hang-up marks the device gone, closes the port and raises the removal, in that order
    // and on the port's own thread: wait for all three.
    ASSERT_TRUE(WaitUntil([&] { return manager->GetState() == kPortOffLineDeviceGone && !manager->GetPort()->IsOpen(); }));
    ASSERT_TRUE(RunUntil([&] { return !owner.events.empty(); }));
    // The late uevent finds the port closed already.
    const DeviceBroadcast header = Broadcast(pty);
    manager->OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, &header);
    loop.PostMessage(owner.GetSafeHwnd(), RecordingOwner::kEvent, 0, 0);  // marks the end
    ASSERT_TRUE(RunUntil([&] { return !owner.events.empty() && owner.events.back().first == 0; }));
    EXPECT_EQ(2u, owner.events.size());
    EXPECT_EQ(std::make_pair(WPARAM{0x20000000}, LPARAM{0}), owner.events[0]);
}

TEST_F(PortManTest, WritesSurviveThePortBeingReplacedByTheDeviceThread)
{
    ASSERT_NO_FATAL_FAILURE(OpenPty());
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        while (!stop) manager->WriteString("ping");
    });
    const DeviceBroadcast header = Broadcast(pty);
    for (int i = 0; i < 20; ++i) {
        manager->OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, &header);
        manager->OnDeviceChange(DBT_DEVICEARRIVAL, &header);
        pty.Receive(1, 0);  // keep the line drained
    }
    stop = true;
    writer.join();
    EXPECT_EQ(kPortOpen, manager->GetState());
}

TEST_F(PortManTest, ALentPortIgnoresDeviceEventsAndComesBackOnReturn)
{
    ASSERT_NO_FATAL_FAILURE(OpenPty(PORT_EVENT_LENT_OR_RETURNED));
    LendingEndpoint other;  // another instance
    ASSERT_TRUE(other.IsValid());
    LendingDatagram query{LendingMessage::Query, other.Id(), 4711, pty.path.c_str()};
    ASSERT_GE(other.Broadcast(query), 1);
    ASSERT_TRUE(WaitUntil([&] { return manager->GetState() == kPortLent; }));
    EXPECT_EQ("Granted", manager->GetStateText());
    LendingDatagram reply;
    ASSERT_TRUE(WaitUntil([&] { return other.Receive(&reply); }));
    EXPECT_EQ(LendingMessage::Reply, reply.type);
    EXPECT_EQ(4711, reply.value);
    // The borrower may now open the device itself.
    const DeviceBroadcast header = Broadcast(pty);
    EXPECT_EQ(0, manager->OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, &header));
    EXPECT_TRUE(ThePortList().Find(pty.path.c_str())->m_bPresent);
    LendingDatagram back{LendingMessage::Return, other.Id(), 0, alias};
    other.Broadcast(back);
    ASSERT_TRUE(WaitUntil([&] { return manager->GetState() == kPortOpen; }));
    ASSERT_TRUE(RunUntil([&] { return owner.events.size() >= 2; }));
    EXPECT_EQ(WPARAM{0x01000000}, owner.events[0].first);
}

TEST_F(PortManTest, QueriesForOtherPortsAndUnaskedRepliesChangeNothing)
{
    Pty mine, other;
    machine.AddPty(other, "Other");
    auto manager = MakeManager();
    ASSERT_TRUE(manager->OpenPort(machine.AddPty(mine)));
    LendingEndpoint instance;
    instance.Broadcast({LendingMessage::Query, instance.Id(), 1, other.path.c_str()});
    instance.Broadcast({LendingMessage::Return, instance.Id(), 0, mine.path.c_str()});
    instance.Broadcast({LendingMessage::Reply, instance.Id(), 2, mine.path.c_str()});
    LendingDatagram answer;
    EXPECT_FALSE(WaitUntil([&] { return instance.Receive(&answer); }, 200));
    EXPECT_EQ(kPortOpen, manager->GetState());
    EXPECT_TRUE(manager->GetPort()->IsOpen());
}

TEST_F(PortManTest, DestroyingAManagerWithAnOpenPortEndsCleanly)
{
    ASSERT_NO_FATAL_FAILURE(OpenPty());
    ASSERT_TRUE(pty.Send("pending"));
    ASSERT_TRUE(WaitUntil([&] { return loop.PendingHandOvers() > 0; }));
    manager.reset();
    loop.RunFor(20);
    EXPECT_EQ(0, owner.dataMessages);
}

// An owner that handles device messages itself passes them on to its manager.
class ForwardingOwner : public RecordingOwner {
public:
    using RecordingOwner::RecordingOwner;
    CPortMan* manager = nullptr;
    int deviceMessages = 0;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_DEVICECHANGE) return RecordingOwner::OnMessage(message, wParam, lParam);
        ++deviceMessages;
        return manager->OnDeviceChange(wParam, reinterpret_cast<const DeviceBroadcast*>(lParam));
    }
};

TEST_F(PortManTest, WithoutAThreadOfItsOwnDeviceEventsGoThroughTheOwnerWindow)
{
    alias = machine.AddPty(pty);
    ForwardingOwner forwarding(loop);
    CPortMan manager(&forwarding, RecordingOwner::kEvent, RecordingOwner::kData, false, 0);
    forwarding.manager = &manager;
    manager.SetHandshake(0);
    ASSERT_TRUE(manager.OpenPort(alias));
    SendUevent("remove", pty);
    ASSERT_TRUE(RunUntil([&] { return forwarding.deviceMessages == 1; }));
    EXPECT_EQ(kPortOffLineDeviceGone, manager.GetState());
}

TEST(ThreadMan, RunWithoutAPortReturnsAndTwoWorkersAreIndependent)
{
    CThreadMan first, second;
    EXPECT_FALSE(first.Run());
    first.Stop();
    EXPECT_FALSE(first.IsRunning());
    EXPECT_TRUE(second.IsRunning());
}

TEST(ThreadMan, StopEndsASuspendedWorker)
{
    CThreadMan worker;
    worker.Suspend();
    EXPECT_TRUE(worker.Stop());
    EXPECT_FALSE(worker.IsRunning());
}

}  // namespace
