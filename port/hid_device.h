#pragma once
// HidDevice: the I/O seam beneath the HID ports. Reports travel with their report id byte
// first (0 for a device without numbered reports), whatever the device node does. The hidraw
// implementation serves real devices; tests use a fake with canned descriptors and reports.

#include <functional>
#include <memory>
#include <vector>

#include "platform/cstring.h"
#include "port/comm_types.h"

class HidDevice {
public:
    virtual ~HidDevice() = default;
    virtual DWORD Open(const CString& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Readable when an input report waits.
    virtual int PollFd() const = 0;
    virtual bool ReportDescriptor(std::vector<BYTE>* descriptor) = 0;
    // Non-blocking: the report's length, 0 when none waits, -1 on a failure.
    virtual long ReadReport(BYTE* buffer, DWORD size) = 0;
    // The bytes written, or -1.
    virtual long WriteReport(const BYTE* report, DWORD size) = 0;
    virtual bool GetFeature(BYTE* buffer, DWORD size) = 0;
    virtual bool SetFeature(const BYTE* buffer, DWORD size) = 0;
    virtual DWORD LastError() const = 0;
};

std::unique_ptr<HidDevice> MakeHidrawDevice();
