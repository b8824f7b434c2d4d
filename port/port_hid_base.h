#pragma once
// CPortHidBase: what every HID port kind needs: opening the device, learning its report
// lengths from its report descriptor, reading one input report per read and writing framed
// output reports of the device's full output length.

#include <mutex>
#include <vector>

#include "port/hid_device.h"
#include "port/hid_report_descriptor.h"
#include "port/port_usb_base.h"

class CPortHidBase : public CPortUsbBase {
public:
    CPortHidBase(CPortMan* owner, BYTE flag, std::unique_ptr<HidDevice> device = nullptr);
    ~CPortHidBase() override;

    bool IsOpen() const override;
    bool Open(const CString& path, const DCB& settings, CDataCallback* data, DWORD bufferSize,
              CEventCallback* event, DWORD eventMask) override;
    bool Close(bool deviceGone) override;
    bool StartMonitor(CDataCallback* data, DWORD bufferSize, CEventCallback* event, DWORD eventMask) override;

    // header + data, zero-filled to the output report length; false when they do not fit.
    bool WriteReport(const BYTE* header, DWORD headerLength, const BYTE* data, DWORD count);
    // One whole report as given; true only when all of it was written.
    bool WriteRawReport(const BYTE* buffer, DWORD length);

    HidDevice& Device() { return *m_device; }

protected:
    int InputPollFd() const override;
    long ReadInput(BYTE* block, DWORD size, DWORD timeoutMs) override;
    DWORD LastInputError() const override { return m_device->LastError(); }
    // Delivers the payload that a length byte at lengthAt announces from payloadAt on,
    // bounded by what the report really holds; a length of 0 or "negative" delivers nothing.
    void DeliverFramed(const BYTE* report, DWORD count, DWORD lengthAt, DWORD payloadAt);

    HIDP_CAPS m_caps;
    std::vector<BYTE> m_outputReport;
    DWORD m_dwRequestedBufferSize;
    DWORD m_dwExtraInputBuffers = 1000;

private:
    std::unique_ptr<HidDevice> m_device;
    mutable std::mutex m_deviceMutex;
};
