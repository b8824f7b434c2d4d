#include "port/enumeration.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <system_error>

#include "port/hid_info.h"
#include "port/port_bulk.h"
#include "port/port_com.h"
#include "port/port_hid_kinds.h"
#include "port/port_settings_store.h"

namespace fs = std::filesystem;

namespace {

std::mutex g_rootsMutex;
EnumerationRoots g_roots;

// The first line of a sysfs attribute, without its line end; empty when unreadable.
CString ReadAttribute(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return CString();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return CString(line);
}

std::vector<BYTE> ReadBinary(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

CString LinkTargetName(const fs::path& link)
{
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    return ec ? CString() : CString(target.filename().string());
}

// The sysfs path of a device below the root, as uevents name it ("/devices/...").
CString DevPathOf(const fs::path& classEntry, const std::string& sysfsRoot)
{
    std::error_code ec;
    const fs::path real = fs::canonical(classEntry, ec);
    if (ec) return CString();
    const fs::path root = fs::canonical(sysfsRoot, ec);
    const std::string text = real.string();
    const std::string prefix = ec ? sysfsRoot : root.string();
    return CString(text.rfind(prefix, 0) == 0 ? text.substr(prefix.size()) : text);
}

// The nearest directory at or above start that holds the given attribute (the USB device or
// interface a node belongs to); empty when there is none below the root.
fs::path AncestorWith(const fs::path& start, const char* attribute, const std::string& sysfsRoot)
{
    std::error_code ec;
    fs::path dir = fs::canonical(start, ec);
    if (ec) return {};
    const fs::path root = fs::canonical(sysfsRoot, ec);
    for (; !dir.empty() && dir != dir.root_path() && dir != root; dir = dir.parent_path()) {
        if (fs::exists(dir / attribute)) return dir;
    }
    return {};
}

CString Upper(CString text)
{
    text.MakeUpper();
    return text;
}

// Since kernel 6.5 a serial-core port has a controller and a port device of the serial-base
// bus (drivers "ctrl" and "port") between its tty and the hardware; the hardware is the first
// device above them.
fs::path HardwareOf(const fs::path& device)
{
    std::error_code ec;
    fs::path dir = fs::canonical(device, ec);
    if (ec) return device;
    while (!dir.empty() && dir != dir.root_path() && LinkTargetName(dir / "subsystem") == "serial-base")
        dir = dir.parent_path();
    return dir;
}

struct SerialDevice {
    CString identity;     // what the "COMn" name is kept for
    CString description;  // what the user reads beside the name
    CString driver;       // the hardware's driver; empty: no port to list
};

// A serial device's identity, description and driver from its tty class entry.
//   USB: vendor, product and serial number, else the physical path of the interface; the
//   interface and the port on it tell the channels of a multi-channel adapter apart (the first
//   channel keeps the identity that a one-channel adapter has always had).
//   Other: the physical path of the hardware and the line, so every port of a multi-port card
//   and every legacy slot is a port of its own, the same on every kernel.
SerialDevice DescribeSerialDevice(const fs::path& entry, const std::string& sysfsRoot)
{
    SerialDevice found;
    const fs::path device = entry / "device";
    const fs::path usbDevice = AncestorWith(device, "idVendor", sysfsRoot);
    if (!usbDevice.empty()) {
        found.driver = LinkTargetName(device / "driver");
        const fs::path usbInterface = AncestorWith(device, "bInterfaceNumber", sysfsRoot);
        const CString serial = ReadAttribute(usbDevice / "serial");
        if (!serial.IsEmpty()) {
            found.identity = "usb:" + ReadAttribute(usbDevice / "idVendor") + ":" + ReadAttribute(usbDevice / "idProduct") +
                             ":" + serial;
            const CString number = usbInterface.empty() ? CString() : ReadAttribute(usbInterface / "bInterfaceNumber");
            if (!number.IsEmpty() && number != "00") found.identity += ":" + number;
        } else {
            found.identity = "path:" + DevPathOf(usbInterface.empty() ? usbDevice : usbInterface, sysfsRoot);
        }
        const CString port = ReadAttribute(device / "port_number");
        if (!port.IsEmpty() && port != "0") found.identity += "." + port;
        found.description = ReadAttribute(usbDevice / "product");
        if (found.description.IsEmpty()) found.description = "USB Serial Port";
        return found;
    }
    const fs::path hardware = HardwareOf(device);
    found.driver = LinkTargetName(hardware / "driver");
    found.identity = "path:" + DevPathOf(hardware, sysfsRoot);
    const CString line = ReadAttribute(entry / "line");
    if (!line.IsEmpty() && line != "0") found.identity += ":" + line;
    found.description = LinkTargetName(hardware / "subsystem") == "pci" ? "PCI Serial Port" : "Communications Port";
    return found;
}

}  // namespace

EnumerationRoots GetEnumerationRoots()
{
    std::lock_guard lock(g_rootsMutex);
    return g_roots;
}

void SetEnumerationRoots(const EnumerationRoots& roots)
{
    std::lock_guard lock(g_rootsMutex);
    g_roots = roots;
}


DWORD SerialKindFlags(const CString& serviceName)
{
    static const struct {
        const char* text;
        DWORD flags;
    } rows[] = {{"HHPCDC", 0x400122}, {"MTLGPOS2", 0x822}, {"FTSER", 0x222},
                {"SER2PL", 0x422},    {"OXSER", 0x1060},   {"SERIAL", 0x60}};
    for (const auto& row : rows) {
        if (serviceName.Find(row.text) >= 0) return row.flags;
    }
    return 0xA0;
}

CString ServiceNameOfDriver(const CString& driver)
{
    static const struct {
        const char* driver;
        const char* service;
    } names[] = {{"ftdi_sio", "FTSER2K"}, {"pl2303", "SER2PL"}, {"serial8250", "SERIAL"}, {"oxpcie", "OXSER"},
                 {"cdc_acm", "USBSER"}};
    for (const auto& n : names) {
        if (driver == n.driver) return n.service;
    }
    return Upper(driver);
}

bool EnumSerialPorts(CPortDetailArray& list)
{
    const bool fromSysfs = EnumSerialPortsFromSysfs(list);
    const bool fromSettings = EnumSerialPortsFromRegistry(list);
    return fromSysfs || fromSettings;
}

bool EnumSerialPortsFromSysfs(CPortDetailArray& list)
{
    const EnumerationRoots roots = GetEnumerationRoots();
    const fs::path ttyClass = fs::path(roots.sysfs) / "class" / "tty";
    std::error_code ec;
    if (!fs::is_directory(ttyClass, ec)) return false;
    std::vector<fs::path> entries;
    for (const auto& e : fs::directory_iterator(ttyClass, ec)) entries.push_back(e.path());
    std::sort(entries.begin(), entries.end());
    for (const fs::path& entry : entries) {
        const fs::path device = entry / "device";
        if (!fs::exists(device, ec)) continue;  // virtual terminals have no device
        // UART slots exist whether or not a UART sits behind them; the empty ones have type 0,
        // whichever driver holds the slot.
        if (ReadAttribute(entry / "type") == "0") continue;
        const SerialDevice found = DescribeSerialDevice(entry, roots.sysfs);
        if (found.driver.IsEmpty()) continue;
        const std::string node = entry.filename().string();
        const CString portName = AssignComAlias(ThePortSettings(), found.identity);
        if (list.Exists(portName)) {
            // Listed already: a refresh still brings its open path up to date.
            auto again = std::make_unique<CPortDetailsEx>();
            again->m_sDisplayText = list.DisplayTextOf(portName);
            again->m_sPortName = portName;
            again->m_sDescription = found.description;
            again->m_sOpenPath = CString((fs::path(roots.dev) / node).string());
            again->m_sSymbolicLink = DevPathOf(entry, roots.sysfs);
            list.Add(std::move(again));
            continue;
        }
        auto port = std::make_unique<CPortDetailsEx>();
        port->m_sPortName = portName;
        port->m_sSymbolicLink = DevPathOf(entry, roots.sysfs);
        port->m_dwKindFlags = SerialKindFlags(Upper(ServiceNameOfDriver(found.driver)));
        port->m_sDescription = found.description;
        port->m_sFriendlyName = port->m_sDescription + " (" + portName + ")";
        port->m_sOpenPath = CString((fs::path(roots.dev) / node).string());
        port->m_pFactory = &CPortCom::CreatePort;
        list.Add(std::move(port));
    }
    return true;
}

bool EnumSerialPortsFromRegistry(CPortDetailArray& list)
{
    const auto devices = ThePortSettings().ExtraSerialDevices();
    for (const auto& [description, path] : devices) {
        std::error_code ec;
        if (path.IsEmpty()) continue;
        if (!fs::exists(path.GetString(), ec)) {
            // Its node is gone (its simulator ended): no removal event says so, as for a
            // pseudo-terminal none comes, so the entry listed under its name is no longer offered.
            const CString alias = ThePortSettings().AliasOf("path:" + path);
            if (!alias.IsEmpty()) list.SetPresent(alias, false);
            continue;
        }
        const CString portName = AssignComAlias(ThePortSettings(), "path:" + path);
        if (list.Exists(portName)) {
            // Listed already: it is offered again, and the name leads to the path the settings
            // give it now (a module's terminal created anew under another node).
            auto again = std::make_unique<CPortDetailsEx>();
            again->m_sDisplayText = list.DisplayTextOf(portName);
            again->m_sOpenPath = path;
            list.Add(std::move(again));
            continue;
        }
        auto port = std::make_unique<CPortDetailsEx>();
        port->m_sPortName = portName;
        port->m_sDescription = description;
        port->m_sOpenPath = path;
        port->m_dwKindFlags = 0x80A0;
        // Listed ports open as COM ports: a port the list offers must be one that can open.
        port->m_pFactory = &CPortCom::CreatePort;
        list.Add(std::move(port));
    }
    return true;
}

bool EnumHidPorts(CPortDetailArray& list)
{
    const EnumerationRoots roots = GetEnumerationRoots();
    const fs::path hidrawClass = fs::path(roots.sysfs) / "class" / "hidraw";
    std::error_code ec;
    if (!fs::is_directory(hidrawClass, ec)) return false;
    std::vector<fs::path> entries;
    for (const auto& e : fs::directory_iterator(hidrawClass, ec)) entries.push_back(e.path());
    std::sort(entries.begin(), entries.end());
    int noSerialCount = 0;
    for (const fs::path& entry : entries) {
        const fs::path device = entry / "device";
        const std::vector<BYTE> descriptor = ReadBinary(device / "report_descriptor");
        // HID_ID=bus:vendor:product, HID_NAME=..., HID_UNIQ=serial
        CString hidId, hidName, hidUniq;
        std::ifstream uevent(device / "uevent");
        std::string line;
        while (std::getline(uevent, line)) {
            if (line.rfind("HID_ID=", 0) == 0) hidId = line.substr(7).c_str();
            if (line.rfind("HID_NAME=", 0) == 0) hidName = line.substr(9).c_str();
            if (line.rfind("HID_UNIQ=", 0) == 0) hidUniq = line.substr(9).c_str();
        }
        unsigned bus = 0, vendor = 0, product = 0;
        const bool haveIds = std::sscanf(hidId.GetString(), "%x:%x:%x", &bus, &vendor, &product) == 3;
        auto info = std::make_unique<CHidInfo>();
        if (!info->Read(descriptor, haveIds, static_cast<WORD>(vendor), static_cast<WORD>(product), 0)) continue;
        const fs::path usbDevice = AncestorWith(device, "idVendor", roots.sysfs);
        const CString usbProduct = usbDevice.empty() ? CString() : ReadAttribute(usbDevice / "product");
        info->m_sProduct = usbProduct.IsEmpty() ? hidName : usbProduct;
        if (info->m_sProduct.IsEmpty()) info->m_sProduct = "Device";
        info->m_sIndexedText = usbProduct;
        const fs::path usbInterface = AncestorWith(device, "bInterfaceNumber", roots.sysfs);
        if (!usbInterface.empty()) info->m_sMiNumber = ReadAttribute(usbInterface / "bInterfaceNumber");
        info->m_sSerialNumber = hidUniq;
        if (hidUniq.IsEmpty() || hidUniq == "?") info->m_sSerialNumber.Format("NoSerNum%i", noSerialCount++);
        const PortFactory factory = SelectHidKind(*info);
        if (!factory) continue;
        info->FreePreparsedData();
        auto port = std::make_unique<CPortDetailsEx>();
        port->m_sDisplayText = info->m_sDisplayText;
        port->m_sOpenPath = CString((fs::path(roots.dev) / entry.filename()).string());
        port->m_sSymbolicLink = DevPathOf(entry, roots.sysfs);
        port->m_dwKindFlags = info->m_dwKindFlags | 6 | (info->m_bRecognised ? 0x400000 : 0);
        port->m_pFactory = factory;
        port->m_pDetail = std::move(info);
        list.Add(std::move(port));
    }
    return true;
}

bool EnumBulkPorts(CPortDetailArray& list)
{
    const EnumerationRoots roots = GetEnumerationRoots();
    const fs::path usbDevices = fs::path(roots.sysfs) / "bus" / "usb" / "devices";
    std::error_code ec;
    if (!fs::is_directory(usbDevices, ec)) return false;
    std::vector<fs::path> interfaces;
    for (const auto& e : fs::directory_iterator(usbDevices, ec)) {
        if (e.path().filename().string().find(':') != std::string::npos) interfaces.push_back(e.path());
    }
    std::sort(interfaces.begin(), interfaces.end());
    int index = 0;
    for (const fs::path& iface : interfaces) {
        // A vendor-specific interface that no kernel driver serves: one that a kernel driver
        // holds (a USB serial adapter, say) is that driver's port, not a bulk port. "usbfs"
        // marks an interface that a user-space program (this one, too) has claimed.
        if (ReadAttribute(iface / "bInterfaceClass") != "ff") continue;
        const CString boundTo = LinkTargetName(iface / "driver");
        if (!boundTo.IsEmpty() && boundTo != "usbfs") continue;
        bool bulkIn = false, bulkOut = false;
        for (const auto& ep : fs::directory_iterator(iface, ec)) {
            if (ep.path().filename().string().rfind("ep_", 0) != 0) continue;
            if (ReadAttribute(ep.path() / "type") != "Bulk") continue;
            const CString direction = ReadAttribute(ep.path() / "direction");
            bulkIn |= direction == "in";
            bulkOut |= direction == "out";
        }
        if (!bulkIn || !bulkOut) continue;
        const int i = index++;
        const std::string name = iface.filename().string();
        const fs::path usbDevice = usbDevices / name.substr(0, name.find(':'));
        const CString serial = ReadAttribute(usbDevice / "serial");
        auto port = std::make_unique<CPortDetailsEx>();
        port->m_sOpenPath = MakeBulkDevicePath(
            static_cast<WORD>(std::strtoul(ReadAttribute(usbDevice / "idVendor").GetString(), nullptr, 16)),
            static_cast<WORD>(std::strtoul(ReadAttribute(usbDevice / "idProduct").GetString(), nullptr, 16)),
            serial.IsEmpty() ? CString(name) : serial);
        port->m_sSymbolicLink = DevPathOf(iface, roots.sysfs);
        const CString fromPath = SerialFromDevicePath(port->m_sOpenPath);
        if (Upper(ServiceNameOfDriver(boundTo)).Find("BULKUSB") >= 0) port->m_dwKindFlags = 0xA;
        const CString product = ReadAttribute(usbDevice / "product");
        port->m_sDescription = product.IsEmpty() ? CString("Unknown Bulk Device") : product;
        port->m_sPortName.Format("Bulk%i", i + 1);
        if (!fromPath.IsEmpty()) port->m_sDisplayText = port->m_sDescription + "  " + fromPath;
        port->m_pFactory = &CPortBulk::CreatePort;
        list.Add(std::move(port));
    }
    return true;
}
