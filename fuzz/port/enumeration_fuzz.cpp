// Builds a fake sysfs tree from the input and lets the port library enumerate it: the serial
// pass with its USB, legacy and PCI descriptions, the HID pass with its "HID_ID" parse and
// report descriptor, the bulk pass with its endpoints, and the readers of the device paths
// that the passes write (ParseBulkDevicePath, SerialFromDevicePath). Between changes of the
// tree, the kernel's device events and the lending messages of other instances reach the
// device-change handler of a port manager that holds one of the listed ports open, through
// its own thread as in the program. Whatever the tree and the messages hold, nothing may
// crash, read out of bounds, hang, or leave the tree's root.
//
// Input: a list of steps, each a step byte and its operands (texts are a length byte, at most
// 31 bytes, then the bytes; paths lose "..", leading '/' and zero bytes, so every file stays
// below the tree's root). fuzz/port/make_enumeration_seeds.cpp writes seeds in this form.
//   0 USB serial adapter, 1 CDC ACM port, 2 legacy UART slot, 3 PCI UART port, 4 HID device,
//   5 bulk interface, 6 a file with a text, 7 a link, 8 a removal, 9 a uevent datagram,
//   10 a lending message, 11 the enumeration (and the manager opens the first serial port
//   listed if it holds none open yet). The enumeration runs once more at the end.
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "fuzz/support/input_reader.h"
#include "port/bulk_device.h"
#include "port/device_change.h"
#include "port/interproc_borrow.h"
#include "port/port_man_gui.h"
#include "tests/port/fake_sysfs.h"
#include "tests/port/test_support.h"

namespace fs = std::filesystem;

namespace {

const char* const kUsbNodes[] = {"ttyUSB0", "ttyUSB1", "ttyUSB2", "ttyUSB3"};
const char* const kAcmNodes[] = {"ttyACM0", "ttyACM1"};
const char* const kUartNodes[] = {"ttyS0", "ttyS1", "ttyS2", "ttyS3"};
const char* const kDrivers[] = {"ftdi_sio", "pl2303", "cp210x", "usbfs", "bulkusb", ""};

struct Input : fuzz_support::InputReader {
    std::string Text(std::size_t most = 31)
    {
        const auto [bytes, length] = Run(most);
        return std::string(reinterpret_cast<const char*>(bytes), length);
    }
    std::vector<unsigned char> Blob()
    {
        const auto [bytes, length] = Run();
        return std::vector<unsigned char>(bytes, bytes + length);
    }
    // A path below the tree's root.
    std::string Path()
    {
        std::string path;
        for (char c : Text()) {
            if (c == '\0') continue;
            if (c == '.' && !path.empty() && path.back() == '.') continue;
            path.push_back(c);
        }
        while (!path.empty() && path.front() == '/') path.erase(path.begin());
        return path.empty() ? "x" : path;
    }
};

// The uevent source of the manager's device-change handler: the target writes, the handler
// reads, and the target can tell when the handler has taken everything sent.
class FuzzUevents {
public:
    FuzzUevents()
    {
        SetUeventSourceFactory([this]() -> std::unique_ptr<UeventSource> {
            int fds[2];
            if (::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, fds) != 0) std::abort();
            m_writer = fds[1];
            m_reader = fds[0];
            return std::make_unique<porttest::SocketUeventSource>(fds[0]);
        });
    }
    ~FuzzUevents()
    {
        SetUeventSourceFactory(nullptr);
        if (m_writer >= 0) ::close(m_writer);
    }
    int Writer() const { return m_writer; }
    int Reader() const { return m_reader; }

private:
    int m_writer = -1;
    int m_reader = -1;
};

// Sends a datagram and then a fence that the reader refuses, and waits until the handler's
// thread has taken both: it has then handled the first to its end.
// Waits until the reader has taken the datagram and a fence behind it: with FIONREAD on the
// receiving socket, or with SIOCOUTQ on the sending one (a datagram stays charged to its sender
// until it is read).
void SendAndWait(int sender, const void* address, socklen_t length, int reader, const std::string& datagram,
                 unsigned long request = FIONREAD)
{
    const std::string fence(1, 'x');
    for (const std::string* d : {&datagram, &fence}) {
        if (::sendto(sender, d->data(), d->size(), 0, static_cast<const sockaddr*>(address), length) < 0) return;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int waiting = 1;
    while (::ioctl(reader, request, &waiting) == 0 && waiting > 0) {
        if (std::chrono::steady_clock::now() > end) {
            std::fprintf(stderr, "the device-change handler took no message for 5 s\n");
            std::abort();
        }
        std::this_thread::yield();
    }
}

// The folders of the whole run: the device nodes, every one a link to the one pseudo-terminal
// so that an open succeeds, and the lending sockets; each input lays its own sysfs tree beside
// them. A memory file system when there is one: the tree is laid anew for every input.
struct Folders {
    fs::path root;
    porttest::Pty pty;
    Folders()
    {
        const char* tmp = std::getenv("TMPDIR");
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::path(tmp && *tmp ? tmp : "/tmp");
        std::string pattern = (base / "km3-fuzz-enumeration-XXXXXX").string();
        if (!::mkdtemp(pattern.data()) || pty.path.empty()) std::abort();
        root = pattern;
        fs::create_directories(root / "dev");
        fs::create_directories(root / "run");
        for (const auto* table : {&kUsbNodes, &kUartNodes})
            for (const char* node : *table) fs::create_symlink(pty.path, root / "dev" / node);
        for (const char* node : kAcmNodes) fs::create_symlink(pty.path, root / "dev" / node);
        ::setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
    }
    ~Folders()
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

// What one input works on: its sysfs tree, an empty port list and port names, and a manager.
struct Machine {
    const Folders& folders;
    fs::path sys = folders.root / "sys";
    porttest::FakeSysfs tree{sys};
    FuzzUevents uevents;
    porttest::RecordingOwner owner;
    std::unique_ptr<CPortManGui> manager;
    LendingEndpoint other;  // another instance of the program

    explicit Machine(const Folders& f) : folders(f)
    {
        fs::create_directories(sys);
        SetEnumerationRoots({sys.string(), (folders.root / "dev").string()});
        SetPortSettingsStore(std::make_shared<MemoryPortSettingsStore>());
        ThePortList().Clear();
        manager = std::make_unique<CPortManGui>(&owner, porttest::RecordingOwner::kEvent,
                                                porttest::RecordingOwner::kData, true, 0);
    }
    ~Machine()
    {
        manager.reset();
        ThePortList().Clear();
        std::error_code ec;
        fs::remove_all(sys, ec);
    }

    void Enumerate()
    {
        RefreshPortList();
        CPortDetailArray& list = ThePortList();
        for (int i = 0; i < list.GetSize(); ++i) {
            const CString name = list.VisibleName(i);
            const CString path = list.OpenPathOf(name);
            BulkDevicePath bulk;
            ParseBulkDevicePath(path, &bulk);
            SerialFromDevicePath(path);
            std::error_code ec;
            if (manager->GetState() != kPortOpen && name.Left(3) == "COM" && fs::is_symlink(path.GetString(), ec))
                manager->OpenPort(name);
        }
    }
    void Uevent(const std::vector<unsigned char>& bytes)
    {
        SendAndWait(uevents.Writer(), nullptr, 0, uevents.Reader(), std::string(bytes.begin(), bytes.end()));
    }
    void Lending(Input& in)
    {
        // The manager's endpoint is the folder's one socket that is not the other instance's.
        std::uint64_t id = 0;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(LendingEndpoint::Folder(kPortLendingIdentifier), ec))
            if (entry.path().extension() == ".sock" && entry.path().stem() != std::to_string(other.Id()))
                id = std::strtoull(entry.path().stem().c_str(), nullptr, 10);
        if (id == 0) return;
        const std::uint8_t kind = in.Byte();
        LendingDatagram datagram;
        datagram.type = kind % 3 == 0 ? LendingMessage::Query : kind % 3 == 1 ? LendingMessage::Reply : LendingMessage::Return;
        datagram.sender = kind & 0x80 ? id : other.Id();
        datagram.value = in.Byte();
        datagram.name = in.Text().c_str();
        // The name of a listed port, when the step asks for one.
        if (kind & 0x40 && ThePortList().GetSize() > 0) datagram.name = ThePortList().VisibleName((kind >> 2) % ThePortList().GetSize());
        other.SendTo(id, datagram);
        const std::string path = LendingEndpoint::Folder(kPortLendingIdentifier) + "/" + std::to_string(id) + ".sock";
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= sizeof address.sun_path) return;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        // The datagram is on its way already: only the fence is sent here.
        SendAndWait(other.Fd(), &address, sizeof address, other.Fd(), std::string(), SIOCOUTQ);
    }
};
// One step of the input.
void RunStep(Machine& m, Input& in, bool& enumerated)
{
    const std::uint8_t step = in.Byte() % 12;
    const std::uint8_t a = in.Byte();
    const std::string usb = "1-" + std::to_string(a % 4 + 1);
    switch (step) {
    case 0:
        m.tree.UsbSerial(usb, kUsbNodes[(a >> 2) % 4], in.Text(), kDrivers[(a >> 4) % 3]);
        break;
    case 1:
        m.tree.UsbDevice(usb, in.Text());
        m.tree.AcmPort(m.tree.UsbInterface(usb, (a >> 2) % 3, "02", "cdc_acm"), kAcmNodes[(a >> 4) % 2]);
        break;
    case 2:
        m.tree.LegacyUart(kUartNodes[a % 4], (a >> 2) % 8, in.Text(), (a & 0x80) != 0);
        break;
    case 3:
        m.tree.PciUartPort("0000:0" + std::to_string(a % 4) + ":00.0", kUartNodes[(a >> 2) % 4], (a >> 4) % 4,
                           (a >> 6) % 2, (a & 0x80) != 0);
        break;
    case 4: {
        const std::string id = "0003:FFFF:0001.000" + std::to_string(a % 4);
        const auto descriptor = in.Blob();
        m.tree.Hid(id, "hidraw" + std::to_string((a >> 2) % 4), descriptor, in.Text());
        if (a & 0x80) m.tree.File("devices/virtual/hid/" + id + "/uevent", in.Text());
        break;
    }
    case 5: {
        const std::string serial = in.Text();
        const std::string vendor = in.Text(4);
        const std::string product = in.Text(4);
        m.tree.UsbDevice(usb, serial, vendor, product, in.Text());
        const fs::path iface = m.tree.UsbInterface(usb, (a >> 2) % 3, a & 0x80 ? "ff" : in.Text(2), kDrivers[(a >> 4) % 6]);
        m.tree.BulkPair(iface);
        break;
    }
    case 6: {
        const std::string path = in.Path();
        m.tree.File(path, in.Text());
        break;
    }
    case 7: {
        const std::string path = in.Path();
        std::error_code ec;
        fs::create_directories((m.sys / path).parent_path(), ec);
        fs::remove(m.sys / path, ec);
        fs::create_directory_symlink(m.sys / in.Path(), m.sys / path, ec);
        break;
    }
    case 8:
        m.tree.Remove(in.Path());
        break;
    case 9:
        m.Uevent(in.Blob());
        break;
    case 10:
        if (!enumerated) m.Enumerate();
        enumerated = true;
        m.Lending(in);
        break;
    default:
        m.Enumerate();
        enumerated = true;
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static platform::MessageLoop loop(platform::MessageLoop::Time::Virtual);
    static const Folders folders;
    Machine m(folders);
    Input in{{data, size}};
    bool enumerated = false;
    while (in.More()) {
        try {
            RunStep(m, in, enumerated);
        } catch (const fs::filesystem_error&) {
            // A step the tree cannot take (a file where a folder should be, say) is left out.
        }
    }
    m.Enumerate();
    return 0;
}
