// Writes the seed corpus of the enumeration target: machines as the port tests lay them out (a
// USB serial adapter unplugged and plugged in again, two CDC ACM ports, legacy UART slots with
// and without the serial-base devices, a PCI UART card, the HID devices of the HID descriptor
// seeds, a bulk interface), with the uevents and lending messages that go with them, in the
// target's step form. Run once after a change of the step form, then commit the files:
//
//   build-fuzz/fuzz/port/km3-fuzz-enumeration-seeds fuzz
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

enum Step : std::uint8_t { UsbSerial, Acm, Uart, PciUart, Hid, Bulk, File, Link, Remove, Uevent, Lending, Enumerate };

class Seed {
public:
    Seed& Step(std::uint8_t step, std::uint8_t operand)
    {
        m_bytes.push_back(step);
        m_bytes.push_back(operand);
        return *this;
    }
    Seed& Text(const std::string& text)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(text.size()));
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return *this;
    }
    Seed& Blob(const Bytes& blob)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(blob.size()));
        m_bytes.insert(m_bytes.end(), blob.begin(), blob.end());
        return *this;
    }
    // A kernel uevent of a tty node: "action@devpath", then its values, each ended by a zero.
    Seed& TtyEvent(const std::string& action, const std::string& devpath, const std::string& node)
    {
        std::string d = action + "@" + devpath;
        d.push_back('\0');
        for (const std::string& v : {"ACTION=" + action, "DEVPATH=" + devpath, std::string("SUBSYSTEM=tty"), "DEVNAME=" + node}) {
            d += v;
            d.push_back('\0');
        }
        Step(Uevent, 0);
        return Blob(Bytes(d.begin(), d.end()));
    }
    void Write(const fs::path& folder, const std::string& name) const
    {
        fs::create_directories(folder);
        std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(m_bytes.data()),
                                                              static_cast<std::streamsize>(m_bytes.size()));
    }

private:
    Bytes m_bytes;
};

Bytes ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <fuzz folder of the repository>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path out = root / "port" / "seeds" / "fuzz_enumeration";
    const std::string usbPath = "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB1/tty/ttyUSB1";

    // An FTDI adapter on 1-2 as ttyUSB1, held open, unplugged and plugged in again.
    Seed()
        .Step(UsbSerial, 1 | 1 << 2)
        .Text("A1B2C3")
        .Step(Enumerate, 0)
        .Step(Remove, 0)
        .Text("class/tty/ttyUSB1")
        .TtyEvent("remove", usbPath, "ttyUSB1")
        .Step(UsbSerial, 1 | 1 << 2)
        .Text("A1B2C3")
        .TtyEvent("add", usbPath, "ttyUSB1")
        .Write(out, "usb_serial_replugged");
    // Two CDC ACM ports on one device, and another instance asking for the first.
    Seed()
        .Step(Acm, 2)
        .Text("ACM0001")
        .Step(Acm, 3 | 1 << 2 | 1 << 4)
        .Text("ACM0001")
        .Step(Enumerate, 0)
        .Step(Lending, 0x40)
        .Text("")
        .Step(Lending, 0x42)
        .Text("")
        .Write(out, "acm_lent_and_returned");
    // Legacy slots, one empty (type 0), one behind the serial-base devices, and a PCI card.
    Seed()
        .Step(Uart, 0)
        .Text("4")
        .Step(Uart, 1 | 1 << 2)
        .Text("0")
        .Step(Uart, 2 | 2 << 2 | 0x80)
        .Text("4")
        .Step(PciUart, 1 | 3 << 2 | 2 << 4 | 1 << 6 | 0x80)
        .Step(Enumerate, 0)
        .Write(out, "uarts");
    // The HID devices of the descriptor seeds, each with the ids its descriptor belongs to.
    int index = 0;
    for (const auto& entry : fs::directory_iterator(root / "port" / "seeds" / "fuzz_hid_descriptor")) {
        const Bytes seed = ReadFile(entry.path());
        if (seed.size() < 4) continue;
        char ids[40];
        std::snprintf(ids, sizeof ids, "HID_ID=0003:0000%02X%02X:0000%02X%02X\n", seed[1], seed[0], seed[3], seed[2]);
        Seed()
            .Step(Hid, static_cast<std::uint8_t>(index % 4 | (index % 4) << 2 | 0x80))
            .Blob(Bytes(seed.begin() + 4, seed.end()))
            .Text("SN0" + std::to_string(index))
            .Text(ids)
            .Step(Enumerate, 0)
            .Write(out, "hid_" + entry.path().filename().string());
        ++index;
    }
    // A vendor-specific interface with bulk endpoints and no driver.
    Seed()
        .Step(Bulk, 2 | 0x80 | 5 << 4)
        .Text("BULK42")
        .Text("0a5f")
        .Text("0001")
        .Text("Sensor interface")
        .Step(Enumerate, 0)
        .Write(out, "bulk");
    std::printf("seeds written under %s\n", out.c_str());
    return 0;
}
