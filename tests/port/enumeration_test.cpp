// The enumeration passes over a fake sysfs tree, and the stable "COMn" names.
#include <gtest/gtest.h>

#include <set>

#include "port/bulk_device.h"
#include "port/enumeration.h"
#include "port/hid_info.h"
#include "port/port_bulk.h"
#include "port/port_com.h"
#include "port/port_hid_kinds.h"
#include "port/port_settings_store.h"
#include "fake_sysfs.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

using namespace porttest;

const std::vector<BYTE> kHidComDescriptor = {0x06, 0xA0, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x40,
                                              0x09, 0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0};

class EnumerationTest : public ::testing::Test {
protected:
    FakeMachine machine;
    fs::path sys = machine.root.path / "sys";
    FakeSysfs tree{sys};
    void SetUp() override { SetEnumerationRoots({sys.string(), "/fakedev"}); }
};

TEST_F(EnumerationTest, SerialDevicesGetStableComNamesAndDescriptions)
{
    tree.UsbSerial("1-2", "ttyUSB0", "A1B2", "ftdi_sio");
    tree.LegacyUart("ttyS0", 0, "0", false);  // an empty slot
    tree.LegacyUart("ttyS1", 1, "4", false);
    tree.Dir("class/tty/tty0");     // a virtual terminal
    CPortDetailArray list;
    ASSERT_TRUE(EnumSerialPorts(list));
    ASSERT_EQ(2, list.GetSize());
    const CPortDetailsEx* legacy = list.Find("COM1");
    ASSERT_NE(nullptr, legacy);
    EXPECT_EQ("/fakedev/ttyS1", legacy->m_sOpenPath);
    EXPECT_EQ(0x60u, legacy->m_dwKindFlags);
    const CPortDetailsEx* adapter = list.Find("COM2");
    ASSERT_NE(nullptr, adapter);
    EXPECT_EQ("COM2   FT232R USB UART", adapter->m_sDisplayText);
    EXPECT_EQ("FT232R USB UART (COM2)", adapter->m_sFriendlyName);
    EXPECT_EQ("/fakedev/ttyUSB0", adapter->m_sOpenPath);
    EXPECT_EQ(0x222u, adapter->m_dwKindFlags);
    EXPECT_EQ(&CPortCom::CreatePort, adapter->m_pFactory);
    EXPECT_EQ("usb:0403:6001:A1B2", machine.settings->IdentityOfAlias("COM2"));

    // Next run, another node and another order: the adapter keeps its name.
    tree.Remove("class/tty/ttyUSB0");
    tree.UsbSerial("1-3", "ttyUSB3", "A1B2", "ftdi_sio");
    tree.UsbSerial("1-4", "ttyUSB1", "Z9", "pl2303");
    CPortDetailArray next;
    EnumSerialPorts(next);
    EXPECT_EQ("/fakedev/ttyUSB3", next.OpenPathOf("COM2"));
    EXPECT_EQ("/fakedev/ttyUSB1", next.OpenPathOf("COM3"));
    EXPECT_EQ(0x422u, next.Find("COM3")->m_dwKindFlags);
}

TEST_F(EnumerationTest, AReplugBringsTheListedOpenPathUpToDate)
{
    tree.UsbSerial("1-2", "ttyUSB0", "A1B2", "ftdi_sio");
    EnumSerialPorts(ThePortList());
    ThePortList().SetPresent("/fakedev/ttyUSB0", false);
    tree.Remove("class/tty/ttyUSB0");
    tree.UsbSerial("1-2", "ttyUSB1", "A1B2", "ftdi_sio");
    RefreshPortList();
    EXPECT_EQ("/fakedev/ttyUSB1", ThePortList().OpenPathOf("COM1"));
    EXPECT_TRUE(ThePortList().Find("COM1")->m_bPresent);
}

TEST_F(EnumerationTest, ADeviceWithoutSerialIsKnownByItsPath)
{
    tree.UsbSerial("1-2", "ttyUSB0", "", "cdc_acm");
    CPortDetailArray list;
    EnumSerialPorts(list);
    EXPECT_EQ("path:/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0", machine.settings->IdentityOfAlias("COM1"));
}

TEST_F(EnumerationTest, ExtraDevicePathsOpenAsComPortsAndAreListedOnce)
{
    Pty pty;
    machine.settings->AddExtraSerialDevice("Simulator", pty.path.c_str());
    machine.settings->AddExtraSerialDevice("Gone", "/dev/km3-no-such-device");
    CPortDetailArray list;
    EnumSerialPorts(list);
    EnumSerialPorts(list);
    ASSERT_EQ(1, list.GetSize());
    const CPortDetailsEx* entry = list.Find(pty.path.c_str());
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ("COM1   Simulator", entry->m_sDisplayText);
    EXPECT_EQ(0x80A0u, entry->m_dwKindFlags);
    EXPECT_EQ(&CPortCom::CreatePort, entry->m_pFactory);
    // Gone, then back on the same node: offered again.
    list.SetPresent("COM1", false);
    EnumSerialPorts(list);
    EXPECT_TRUE(list.Find("COM1")->m_bPresent);
    // A node whose device ends without a removal event is no longer offered once it is gone.
    const std::string node = machine.OwnNodeOf(pty, "simulator");
    machine.settings->AddExtraSerialDevice("Ended", node.c_str());
    EnumSerialPorts(list);
    const CString ended = list.Find(node.c_str())->m_sPortName;
    fs::remove(node);
    EnumSerialPorts(list);
    EXPECT_FALSE(list.Find(ended)->m_bPresent);
}

TEST_F(EnumerationTest, KindFlagsByServiceName)
{
    EXPECT_EQ(0x222u, SerialKindFlags("XFTSERIAL"));  // first matching row wins
    EXPECT_EQ(0x400122u, SerialKindFlags("HHPCDC"));
    EXPECT_EQ(0xA0u, SerialKindFlags("USBSER"));
}

TEST_F(EnumerationTest, HidDevicesWithoutSerialAreNumberedPerPass)
{
    tree.Hid("0003:FFFF:0001.0001", "hidraw0", kHidComDescriptor, "");
    tree.Hid("0003:FFFF:0001.0002", "hidraw1", kHidComDescriptor, "?");
    tree.Hid("0003:FFFF:0001.0003", "hidraw2", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0}, "S1");  // a mouse
    CPortDetailArray list;
    ASSERT_TRUE(EnumHidPorts(list));
    ASSERT_EQ(2, list.GetSize());
    const CPortDetailsEx* first = list.Find("Maker Widget HidCom - NoSerNum0");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ("/fakedev/hidraw0", first->m_sOpenPath);
    EXPECT_EQ(0x20000u | 6 | 0x400000, first->m_dwKindFlags);
    EXPECT_EQ(&CPortHidCom::CreatePort, first->m_pFactory);
    const auto* info = dynamic_cast<const CHidInfo*>(first->m_pDetail.get());
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(65, info->m_caps.InputReportByteLength);
    EXPECT_EQ(nullptr, info->m_pPreparsed);
    EXPECT_NE(nullptr, list.Find("Maker Widget HidCom - NoSerNum1"));
    CPortDetailArray again;
    EnumHidPorts(again);
    EXPECT_NE(nullptr, again.Find("Maker Widget HidCom - NoSerNum0"));
}

TEST_F(EnumerationTest, BulkInterfacesWithBothPipes)
{
    tree.File("bus/usb/devices/3-1/idVendor", "1234\n");
    tree.File("bus/usb/devices/3-1/idProduct", "5678\n");
    tree.File("bus/usb/devices/3-1/serial", "S42\n");
    tree.File("bus/usb/devices/3-1/product", "Bulk Thing\n");
    tree.File("bus/usb/devices/3-1:1.0/bInterfaceClass", "ff\n");
    tree.File("bus/usb/devices/3-1:1.0/ep_81/type", "Bulk\n");
    tree.File("bus/usb/devices/3-1:1.0/ep_81/direction", "in\n");
    tree.File("bus/usb/devices/3-1:1.0/ep_02/type", "Bulk\n");
    tree.File("bus/usb/devices/3-1:1.0/ep_02/direction", "out\n");
    tree.File("bus/usb/devices/2-1:1.0/bInterfaceClass", "08\n");  // storage: not ours
    CPortDetailArray list;
    ASSERT_TRUE(EnumBulkPorts(list));
    ASSERT_EQ(1, list.GetSize());
    const CPortDetailsEx* entry = list.Find("Bulk1");
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ("Bulk Thing  S42", entry->m_sDisplayText);
    EXPECT_EQ(1u, entry->m_dwKindFlags);
    EXPECT_EQ(&CPortBulk::CreatePort, entry->m_pFactory);
    BulkDevicePath parsed;
    ASSERT_TRUE(ParseBulkDevicePath(entry->m_sOpenPath, &parsed));
    EXPECT_EQ(0x1234, parsed.vendor);
    EXPECT_EQ(0x5678, parsed.product);
    EXPECT_EQ("S42", parsed.instance);
}

TEST_F(EnumerationTest, EveryChannelOfAMultiChannelAdapterOrCardKeepsANameOfItsOwn)
{
    tree.UsbDevice("1-2", "FT4X", "0403", "6011", "Quad RS232-HS");  // four interfaces, a port each
    for (int i = 0; i < 4; ++i)
        tree.UsbSerialPort(tree.UsbInterface("1-2", i, "ff", "ftdi_sio"), "ttyUSB" + std::to_string(i), 0, "ftdi_sio");
    tree.UsbDevice("1-3", "", "9710", "7840", "MCS7840");  // two ports on one interface
    const fs::path shared = tree.UsbInterface("1-3", 0, "ff", "mos7840");
    tree.UsbSerialPort(shared, "ttyUSB4", 0, "mos7840");
    tree.UsbSerialPort(shared, "ttyUSB5", 1, "mos7840");
    tree.UsbDevice("1-4", "ACM9", "1234", "0002", "Dual ACM");
    tree.AcmPort(tree.UsbInterface("1-4", 0, "02", "cdc_acm"), "ttyACM0");
    tree.AcmPort(tree.UsbInterface("1-4", 2, "02", "cdc_acm"), "ttyACM1");
    tree.PciUartPort("0000:03:00.0", "ttyS4", 4, 0, false);  // both ports on the card's one device
    tree.PciUartPort("0000:03:00.0", "ttyS5", 5, 1, false);
    CPortDetailArray list;
    EnumSerialPorts(list);
    ASSERT_EQ(10, list.GetSize());
    std::set<CString> names;
    for (const char* node : {"ttyUSB0", "ttyUSB1", "ttyUSB2", "ttyUSB3", "ttyUSB4", "ttyUSB5", "ttyACM0", "ttyACM1",
                             "ttyS4", "ttyS5"})
        names.insert(list.Find(CString("/fakedev/") + node)->m_sPortName);
    EXPECT_EQ(10u, names.size());
    // The first channel keeps the name a one-channel adapter has always had.
    EXPECT_EQ("usb:0403:6011:FT4X", machine.settings->IdentityOfAlias(list.Find("/fakedev/ttyUSB0")->m_sPortName));
    EXPECT_EQ("usb:0403:6011:FT4X:01", machine.settings->IdentityOfAlias(list.Find("/fakedev/ttyUSB1")->m_sPortName));
    EXPECT_EQ("PCI Serial Port", list.Find("/fakedev/ttyS5")->m_sDescription);
}

TEST_F(EnumerationTest, EmptyUartSlotsBehindTheSerialBaseDriverAreLeftOut)
{
    // Kernel 6.5 and later: every slot's tty hangs below a port device of the driver "port".
    tree.LegacyUart("ttyS0", 0, "4", true);
    for (int line = 1; line < 4; ++line) tree.LegacyUart("ttyS" + std::to_string(line), line, "0", true);
    tree.PciUartPort("0000:04:00.0", "ttyS4", 4, 0, true);
    CPortDetailArray list;
    EnumSerialPorts(list);
    ASSERT_EQ(2, list.GetSize());
    const CPortDetailsEx* slot = list.Find("/fakedev/ttyS0");
    ASSERT_NE(nullptr, slot);
    EXPECT_EQ("Communications Port", slot->m_sDescription);
    EXPECT_EQ(0x60u, slot->m_dwKindFlags);  // by the UART's driver, not by "port"
    // The same name as on kernels without the serial-base devices.
    EXPECT_EQ("path:/devices/platform/serial8250", machine.settings->IdentityOfAlias(slot->m_sPortName));
    EXPECT_EQ("PCI Serial Port", list.Find("/fakedev/ttyS4")->m_sDescription);
}

TEST_F(EnumerationTest, TheBulkPassLeavesInterfacesThatAKernelDriverHolds)
{
    tree.UsbDevice("3-1", "FT1", "0403", "6001", "FT232R USB UART");
    tree.BulkPair(tree.UsbInterface("3-1", 0, "ff", "ftdi_sio"));
    tree.UsbDevice("3-2", "S42", "1234", "5678", "Bulk Thing");
    tree.BulkPair(tree.UsbInterface("3-2", 0, "ff", ""));
    tree.UsbDevice("3-3", "S43", "1234", "5678", "Claimed Thing");
    tree.BulkPair(tree.UsbInterface("3-3", 0, "ff", "usbfs"));  // claimed by a user-space program
    CPortDetailArray list;
    ASSERT_TRUE(EnumBulkPorts(list));
    ASSERT_EQ(2, list.GetSize());
    EXPECT_NE(nullptr, list.Find("Bulk Thing  S42"));
    EXPECT_NE(nullptr, list.Find("Claimed Thing  S43"));
}

TEST(BulkDevicePath, SerialBetweenTheSecondHashAndTheClass)
{
    EXPECT_EQ("A1B2", SerialFromDevicePath("\\\\?\\usb#vid_0536&pid_0107#A1B2#{00873fdf-61a8-11d1-aa5e-00c04fb1728b}"));
    EXPECT_EQ("", SerialFromDevicePath("\\\\?\\usb#vid_0536&pid_0107#A1B2"));
}

}  // namespace
