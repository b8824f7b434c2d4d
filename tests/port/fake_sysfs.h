#pragma once
// A fake sysfs tree below a scratch root, laid out as real kernels lay it out: USB serial
// adapters with one or several channels (usb-serial and cdc_acm), legacy UART slots and
// multi-port PCI UARTs with and without the serial-base devices of kernel 6.5 and later, and
// USB interfaces for the bulk pass.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace porttest {

class FakeSysfs {
public:
    explicit FakeSysfs(const std::filesystem::path& root) : m_root(root) {}

    void File(const std::filesystem::path& relative, const std::string& content)
    {
        std::filesystem::create_directories((m_root / relative).parent_path());
        std::ofstream(m_root / relative, std::ios::binary) << content;
    }
    void Link(const std::filesystem::path& relative, const std::filesystem::path& target)
    {
        std::filesystem::create_directories((m_root / relative).parent_path());
        std::filesystem::remove(m_root / relative);
        std::filesystem::create_directory_symlink(m_root / target, m_root / relative);
    }
    void Dir(const std::filesystem::path& relative) { std::filesystem::create_directories(m_root / relative); }
    void Remove(const std::filesystem::path& relative) { std::filesystem::remove_all(m_root / relative); }

    // A USB device (its attributes and its bus link); an empty serial writes none.
    std::filesystem::path UsbDevice(const std::string& usb, const std::string& serial, const std::string& vendor = "0403",
                                    const std::string& productId = "6001", const std::string& product = "FT232R USB UART")
    {
        const std::filesystem::path device = "devices/pci0000:00/0000:00:14.0/usb1/" + usb;
        File(device / "idVendor", vendor + "\n");
        File(device / "idProduct", productId + "\n");
        if (!serial.empty()) File(device / "serial", serial + "\n");
        File(device / "product", product + "\n");
        Link("bus/usb/devices/" + usb, device);
        return device;
    }
    // An interface of a USB device, optionally bound to a kernel driver.
    std::filesystem::path UsbInterface(const std::string& usb, int number, const std::string& interfaceClass,
                                       const std::string& driver)
    {
        const std::string name = usb + ":1." + std::to_string(number);
        const std::filesystem::path iface = "devices/pci0000:00/0000:00:14.0/usb1/" + usb + "/" + name;
        char text[8];
        std::snprintf(text, sizeof text, "%02x\n", number);
        File(iface / "bInterfaceNumber", text);
        File(iface / "bInterfaceClass", interfaceClass + "\n");
        if (!driver.empty()) {
            Dir("bus/usb/drivers/" + driver);
            Link(iface / "driver", "bus/usb/drivers/" + driver);
        }
        Link("bus/usb/devices/" + name, iface);
        return iface;
    }
    // A bulk IN and a bulk OUT endpoint on an interface.
    void BulkPair(const std::filesystem::path& iface)
    {
        File(iface / "ep_81/type", "Bulk\n");
        File(iface / "ep_81/direction", "in\n");
        File(iface / "ep_02/type", "Bulk\n");
        File(iface / "ep_02/direction", "out\n");
    }
    // A usb-serial port (ttyUSBn) on an interface: .../1-2:1.0/ttyUSB0/tty/ttyUSB0.
    void UsbSerialPort(const std::filesystem::path& iface, const std::string& node, int portNumber, const std::string& driver)
    {
        const std::filesystem::path port = iface / node;
        File(port / "port_number", std::to_string(portNumber) + "\n");
        Dir("bus/usb-serial/drivers/" + driver);
        Link(port / "driver", "bus/usb-serial/drivers/" + driver);
        TtyOf(port, port / "tty" / node, node);
    }
    // A cdc_acm port: the tty hangs straight below the interface, .../1-2:1.0/tty/ttyACM0.
    void AcmPort(const std::filesystem::path& iface, const std::string& node)
    {
        TtyOf(iface, iface / "tty" / node, node);
    }
    // A one-channel USB serial adapter with its tty node.
    void UsbSerial(const std::string& usb, const std::string& node, const std::string& serial, const std::string& driver)
    {
        UsbDevice(usb, serial);
        UsbSerialPort(UsbInterface(usb, 0, "ff", driver), node, 0, driver);
    }
    // A legacy UART slot: before kernel 6.5 every slot's device is the one platform device
    // serial8250; since then each slot has a serial-base controller and port device between.
    void LegacyUart(const std::string& node, int line, const std::string& type, bool serialBase)
    {
        const std::filesystem::path hardware = "devices/platform/serial8250";
        Dir("bus/platform/drivers/serial8250");
        Link(hardware / "driver", "bus/platform/drivers/serial8250");
        Link(hardware / "subsystem", "bus/platform");
        SerialCorePort(hardware, "serial8250:0", "serial8250:0." + std::to_string(line), node, line, type, serialBase);
    }
    // A port of a multi-port PCI UART card.
    void PciUartPort(const std::string& pci, const std::string& node, int line, int index, bool serialBase)
    {
        const std::filesystem::path hardware = "devices/pci0000:00/0000:00:1c.0/" + pci;
        Dir("bus/pci/drivers/serial");
        Link(hardware / "driver", "bus/pci/drivers/serial");
        Link(hardware / "subsystem", "bus/pci");
        SerialCorePort(hardware, pci + ":0", pci + ":0." + std::to_string(index), node, line, "4", serialBase);
    }

    // A hidraw node of a HID device.
    void Hid(const std::string& id, const std::string& node, const std::vector<unsigned char>& descriptor,
             const std::string& uniq)
    {
        const std::filesystem::path device = "devices/virtual/hid/" + id;
        File(device / "report_descriptor", std::string(descriptor.begin(), descriptor.end()));
        File(device / "uevent", "HID_ID=0003:0000FFFF:00000001\nHID_NAME=Maker Widget\nHID_UNIQ=" + uniq + "\n");
        Dir(device / "hidraw" / node);
        Link(device / "hidraw" / node / "device", device);
        Link("class/hidraw/" + node, device / "hidraw" / node);
    }

private:
    void TtyOf(const std::filesystem::path& device, const std::filesystem::path& tty, const std::string& node)
    {
        Dir(tty);
        File(tty / "dev", "188:0\n");
        Link(tty / "device", device);
        Link(tty / "subsystem", "class/tty");
        Link("class/tty/" + node, tty);
    }
    void SerialCorePort(const std::filesystem::path& hardware, const std::string& ctrl, const std::string& port,
                        const std::string& node, int line, const std::string& type, bool serialBase)
    {
        std::filesystem::path device = hardware;
        if (serialBase) {
            Dir("bus/serial-base/drivers/ctrl");
            Dir("bus/serial-base/drivers/port");
            Link(hardware / ctrl / "driver", "bus/serial-base/drivers/ctrl");
            Link(hardware / ctrl / "subsystem", "bus/serial-base");
            device = hardware / ctrl / port;
            Link(device / "driver", "bus/serial-base/drivers/port");
            Link(device / "subsystem", "bus/serial-base");
        }
        const std::filesystem::path tty = device / "tty" / node;
        TtyOf(device, tty, node);
        File(tty / "type", type + "\n");
        File(tty / "line", std::to_string(line) + "\n");
    }

    std::filesystem::path m_root;
};

}  // namespace porttest
