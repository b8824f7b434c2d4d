#pragma once
// BulkDevice: the I/O seam beneath the bulk port: a read pipe and a write pipe of one USB
// device, each opened by itself. The libusb implementation serves real devices; tests use a
// fake.

#include <memory>

#include "platform/cstring.h"
#include "port/comm_types.h"

class BulkDevice {
public:
    virtual ~BulkDevice() = default;
    virtual bool OpenReadPipe(const CString& devicePath) = 0;
    virtual bool OpenWritePipe(const CString& devicePath) = 0;
    virtual void CloseReadPipe() = 0;
    virtual void CloseWritePipe() = 0;
    virtual bool IsReadPipeOpen() const = 0;
    virtual bool IsWritePipeOpen() const = 0;
    // Waits up to timeoutMs for a block: its length, 0 when none came, -1 on a failure.
    virtual long Read(BYTE* block, DWORD size, DWORD timeoutMs) = 0;
    // The bytes written within timeoutMs, or -1.
    virtual long Write(const BYTE* data, DWORD count, DWORD timeoutMs) = 0;
    virtual DWORD LastError() const = 0;
};

std::unique_ptr<BulkDevice> MakeLibusbBulkDevice();

// The parts of a bulk device path "\\?\usb#vid_vvvv&pid_pppp#instance#{class}": the instance is
// the device's serial number, or its bus location ("1-4.2:1.0") when it has none.
struct BulkDevicePath {
    WORD vendor = 0;
    WORD product = 0;
    CString instance;
};
bool ParseBulkDevicePath(const CString& path, BulkDevicePath* out);
CString MakeBulkDevicePath(WORD vendor, WORD product, const CString& instance);
// The text between the second "#" and the "#{" after it; empty when there is none.
CString SerialFromDevicePath(const CString& path);
