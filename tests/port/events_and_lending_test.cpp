// Uevent datagrams and their translation, and the lending messages' name block.
#include <gtest/gtest.h>

#include "port/interproc_borrow.h"
#include "port/uevent.h"
#include "test_support.h"

namespace {

using porttest::CannedUevents;

TEST(Uevent, ParsesKernelDatagrams)
{
    const std::string d = CannedUevents::Datagram(
        "add", "/devices/pci0/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0",
        {"ACTION=add", "DEVPATH=/devices/pci0/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0", "SUBSYSTEM=tty", "DEVNAME=ttyUSB0"});
    Uevent event;
    ASSERT_TRUE(ParseUevent(d.data(), d.size(), &event));
    EXPECT_EQ("add", event.action);
    EXPECT_EQ("tty", event.Value("SUBSYSTEM"));
    WPARAM code = 0;
    DeviceBroadcast header;
    ASSERT_TRUE(DeviceEventFromUevent(event, "/dev", &code, &header));
    EXPECT_EQ(DBT_DEVICEARRIVAL, code);
    EXPECT_EQ("/dev/ttyUSB0", header.name);
    EXPECT_EQ(DBT_DEVTYP_DEVICEINTERFACE, header.devicetype);
}

TEST(Uevent, OnlyArrivalAndRemovalOfOurKindsOfDevices)
{
    WPARAM code = 0;
    DeviceBroadcast header;
    Uevent event;
    const std::string bind = CannedUevents::Datagram("bind", "/x", {"ACTION=bind", "SUBSYSTEM=tty", "DEVNAME=ttyS0"});
    ASSERT_TRUE(ParseUevent(bind.data(), bind.size(), &event));
    EXPECT_FALSE(DeviceEventFromUevent(event, "/dev", &code, &header));
    const std::string block = CannedUevents::Datagram("add", "/x", {"ACTION=add", "SUBSYSTEM=block", "DEVNAME=sda"});
    ASSERT_TRUE(ParseUevent(block.data(), block.size(), &event));
    EXPECT_FALSE(DeviceEventFromUevent(event, "/dev", &code, &header));
    const std::string usb = CannedUevents::Datagram(
        "remove", "/devices/usb3/3-1/3-1:1.0", {"ACTION=remove", "SUBSYSTEM=usb", "DEVTYPE=usb_interface"});
    ASSERT_TRUE(ParseUevent(usb.data(), usb.size(), &event));
    ASSERT_TRUE(DeviceEventFromUevent(event, "/dev", &code, &header));
    EXPECT_EQ(DBT_DEVICEREMOVECOMPLETE, code);
    EXPECT_EQ("/devices/usb3/3-1/3-1:1.0", header.name);
    const std::string udev("libudev\0\xfe\xed", 10);
    EXPECT_FALSE(ParseUevent(udev.data(), udev.size(), &event));
}

TEST(LendingName, RoundTripsAndIsCutToFit)
{
    EXPECT_EQ("COM3", DecodeLendingName(EncodeLendingName("COM3")));
    EXPECT_EQ(CString("Ger\xE4t"), DecodeLendingName(EncodeLendingName(CString("Ger\xE4t"))));
    const CString longName(std::string(600, 'n'));
    const std::string block = EncodeLendingName(longName);
    EXPECT_EQ(kLendingNameBytes, block.size());
    EXPECT_EQ(511, DecodeLendingName(block).GetLength());
}

TEST(LendingMessages, RegisteredUnderTheIdentifier)
{
    CInterProcMsg messages(kPortLendingIdentifier);
    EXPECT_EQ(platform::RegisterWindowMessage("Query_C3D3BC02-282A-4A98-9BA5-DC1DD196CE22"), messages.m_nQueryMessage);
    EXPECT_NE(messages.m_nQueryMessage, messages.m_nReplyMessage);
    EXPECT_NE(messages.m_nReplyMessage, messages.m_nReturnMessage);
}

TEST(LendingEndpoints, ReachEachOtherButNotThemselves)
{
    porttest::FakeMachine machine;
    LendingEndpoint a, b;
    ASSERT_TRUE(a.IsValid() && b.IsValid());
    EXPECT_EQ(1, a.Broadcast({LendingMessage::Return, a.Id(), 0, "COM2"}));
    LendingDatagram got;
    ASSERT_TRUE(porttest::WaitUntil([&] { return b.Receive(&got); }));
    EXPECT_EQ(LendingMessage::Return, got.type);
    EXPECT_EQ(a.Id(), got.sender);
    EXPECT_EQ("COM2", got.name);
    EXPECT_FALSE(a.Receive(&got));
}

}  // namespace
