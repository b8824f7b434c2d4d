// Feeds arbitrary input reports to the four HID port kinds, as their monitor hands over what
// the device sent: the framing of each kind (length bytes that may claim more than the report
// holds, "negative" lengths, status groups that fetch a feature report whose own length byte
// may lie) must deliver only bytes that the report or the feature really holds.
//
// Input: byte 0 chooses the kind and whether the bytes go to a callback or to the receive ring;
// byte 1 the input report length the device's descriptor declares; then chunks, each a length
// byte followed by that many bytes: the first chunk is the device's feature report, every
// further chunk an input report.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "port/hid_device.h"
#include "port/port_functor.h"
#include "port/port_hid_kinds.h"

namespace {

// A device that is always there, answers feature requests with the fuzzer's bytes and takes
// every write.
class FuzzHidDevice final : public HidDevice {
public:
    FuzzHidDevice(std::vector<BYTE> descriptor, std::vector<BYTE> feature)
        : m_descriptor(std::move(descriptor)), m_feature(std::move(feature))
    {
    }
    DWORD Open(const CString&) override
    {
        m_open = true;
        return ERROR_SUCCESS;
    }
    void Close() override { m_open = false; }
    bool IsOpen() const override { return m_open; }
    int PollFd() const override { return -1; }
    bool ReportDescriptor(std::vector<BYTE>* descriptor) override
    {
        *descriptor = m_descriptor;
        return true;
    }
    long ReadReport(BYTE*, DWORD) override { return 0; }
    long WriteReport(const BYTE*, DWORD size) override { return static_cast<long>(size); }
    bool GetFeature(BYTE* buffer, DWORD size) override
    {
        for (DWORD i = 0; i < size && i < m_feature.size(); ++i) buffer[i] = m_feature[i];
        return true;
    }
    bool SetFeature(const BYTE*, DWORD) override { return true; }
    DWORD LastError() const override { return ERROR_DEVICE_NOT_CONNECTED; }

private:
    std::vector<BYTE> m_descriptor;
    std::vector<BYTE> m_feature;
    bool m_open = false;
};

// Touches every delivered byte, so that a delivery beyond the report shows.
class TouchingCallback final : public CDataCallback {
public:
    bool operator()(const BYTE* data, DWORD count) override
    {
        for (DWORD i = 0; i < count; ++i) m_sum += data[i];
        return true;
    }

private:
    unsigned m_sum = 0;
};

// Vendor page, one collection with input, output and feature reports of length bytes each.
std::vector<BYTE> Descriptor(BYTE length)
{
    return {0x06, 0xA0, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, length, 0x09, 0x01,
            0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0x09, 0x01, 0xB1, 0x02, 0xC0};
}

template <class Kind>
void Run(const std::uint8_t* data, std::size_t size, bool withCallback, BYTE reportLength)
{
    std::size_t pos = 0;
    const auto chunk = [&](std::vector<BYTE>& out) {
        if (pos >= size) return false;
        const std::size_t announced = data[pos++];
        const std::size_t length = std::min(announced, size - pos);
        out.assign(data + pos, data + pos + length);
        pos += length;
        return true;
    };
    std::vector<BYTE> feature;
    chunk(feature);
    auto port = std::make_shared<Kind>(nullptr, 0, std::make_unique<FuzzHidDevice>(Descriptor(reportLength), feature));
    TouchingCallback callback;
    // No worker: the port opens without its monitor thread, and the reports are handed over here.
    port->Open("/dev/hidraw-fuzz", DCB{}, withCallback ? &callback : nullptr, 64, nullptr, 0);
    std::vector<BYTE> report;
    BYTE drained[64];
    while (chunk(report)) {
        // Exactly as long as the device sent it, so that a read past the end is caught.
        auto exact = std::make_unique<BYTE[]>(report.size());
        std::copy(report.begin(), report.end(), exact.get());
        port->OnInputReport(exact.get(), static_cast<DWORD>(report.size()));
        port->ReadAvailable(drained, sizeof drained);
    }
    port->Close(false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const bool withCallback = (data[0] & 0x04) != 0;
    const BYTE reportLength = data[1];
    switch (data[0] & 0x03) {
    case 0: Run<CPortHidCom>(data + 2, size - 2, withCallback, reportLength); break;
    case 1: Run<CPortHidPos>(data + 2, size - 2, withCallback, reportLength); break;
    case 2: Run<CPortHidSurePosSio>(data + 2, size - 2, withCallback, reportLength); break;
    default: Run<CPortHidSurePosFlash>(data + 2, size - 2, withCallback, reportLength); break;
    }
    return 0;
}
