// The enumeration passes over a fake sysfs tree, and the stable "COMn" names.
#include <gtest/gtest.h>

#include <fstream>

#include "port/bulk_device.h"
#include "port/enumeration.h"
#include "port/hid_info.h"
#include "port/port_bulk.h"
#include "port/port_com.h"
#include "port/port_hid_kinds.h"
#include "port/port_settings_store.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

using namespace porttest;

const std::vector<BYTE> kHidComDescriptor = {0x06, 0xA0, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x40,
                                              0x09, 0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0};

class FakeSysfs {
public:
    explicit FakeSysfs(const fs::path& root) : m_root(root) {}
    void File(const fs::path& relative, const std::string& content)
    {
        fs::create_directories((m_root / relative).parent_path());
        std::ofstream(m_root / relative, std::ios::binary) << content;
    }
    void Link(const fs::path& relative, const fs::path& target)
    {
        fs::create_directories((m_root / relative).parent_path());
        fs::remove(m_root / relative);
        fs::create_directory_symlink(m_root / target, m_root / relative);
    }
    void Dir(const fs::path& relative) { fs::create_directories(m_root / relative); }
    void Remove(const fs::path& relative) { fs::remove_all(m_root / relative); }

    // A USB serial adapter with its tty node.
    void UsbSerial(const std::string& usb, const std::string& node, const std::string& serial, const std::string& driver)
    {
        const fs::path device = "devices/pci0/" + usb;
        File(device / "idVendor", "0403\n");
        File(device / "idProduct", "6001\n");
        if (!serial.empty()) File(device / "serial", serial + "\n");
        File(device / "product", "FT232R USB UART\n");
        const fs::path port = device / (usb + ":1.0") / node;
        Dir(port / "tty" / node);
        Dir("bus/usb-serial/drivers/" + driver);
        Link(port / "driver", "bus/usb-serial/drivers/" + driver);
        Link(port / "tty" / node / "device", port);
        Link("class/tty/" + node, port / "tty" / node);
    }
    void LegacyUart(const std::string& node, const std::string& type)
    {
        const fs::path port = "devices/platform/serial8250/" + node;
        Dir(port / "tty" / node);
        Dir("bus/platform/drivers/serial8250");
        Link(port / "driver", "bus/platform/drivers/serial8250");
        Link(port / "tty" / node / "device", port);
        File(port / "tty" / node / "type", type + "\n");
        Link("class/tty/" + node, port / "tty" / node);
    }
    void Hid(const std::string& id, const std::string& node, const std::vector<BYTE>& descriptor, const std::string& uniq)
    {
        const fs::path device = "devices/virtual/hid/" + id;
        File(device / "report_descriptor", std::string(descriptor.begin(), descriptor.end()));
        File(device / "uevent", "HID_ID=0003:0000FFFF:00000001\nHID_NAME=Maker Widget\nHID_UNIQ=" + uniq + "\n");
        Dir(device / "hidraw" / node);
        Link(device / "hidraw" / node / "device", device);
        Link("class/hidraw/" + node, device / "hidraw" / node);
    }

private:
    fs::path m_root;
};

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
    tree.LegacyUart("ttyS0", "0");  // an empty slot
    tree.LegacyUart("ttyS1", "4");
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
    EXPECT_EQ(0, machine.settings->IdentityOfAlias("COM1").Find("path:/devices/pci0/1-2/"));
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

TEST(BulkDevicePath, SerialBetweenTheSecondHashAndTheClass)
{
    EXPECT_EQ("A1B2", SerialFromDevicePath("\\\\?\\usb#vid_0536&pid_0107#A1B2#{00873fdf-61a8-11d1-aa5e-00c04fb1728b}"));
    EXPECT_EQ("", SerialFromDevicePath("\\\\?\\usb#vid_0536&pid_0107#A1B2"));
}

}  // namespace
