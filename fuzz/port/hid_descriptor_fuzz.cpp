// Feeds arbitrary report descriptors, as a HID device hands them over, to our parser and to the
// HID enumeration that decides on their strength which port kind serves the device. Whatever
// the device claims, neither may crash, read out of bounds, overflow or loop.
//
// Input: bytes 0 to 3 the device's vendor and product ids (little-endian), the rest the
// report descriptor.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "port/hid_info.h"
#include "port/hid_report_descriptor.h"
#include "port/port_hid_kinds.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    const WORD vendor = static_cast<WORD>(data[0] | data[1] << 8);
    const WORD product = static_cast<WORD>(data[2] | data[3] << 8);
    const std::vector<BYTE> descriptor(data + 4, data + size);

    HidParsedDescriptor parsed;
    ParseHidReportDescriptor(descriptor.data(), descriptor.size(), &parsed);

    CHidInfo info;
    info.Read(descriptor, true, vendor, product, 1);
    info.m_sProduct = "Fuzzed";
    info.m_sSerialNumber = "F1";
    SelectHidKind(info);
    return 0;
}
