#pragma once
// CPortBulk: a USB device with a bulk read pipe and a bulk write pipe. Received blocks are
// passed on exactly as the device delivered them.

#include "port/bulk_device.h"
#include "port/port_usb_base.h"

class CPortBulk : public CPortUsbBase {
public:
    CPortBulk(CPortMan* owner, BYTE flag, std::unique_ptr<BulkDevice> device = nullptr);
    ~CPortBulk() override;
    static std::shared_ptr<CPort> CreatePort(CPortMan* owner, BYTE flag);

    bool IsOpen() const override { return m_device->IsReadPipeOpen(); }
    // True when both pipes are open; a pipe that opened stays open until Close.
    bool Open(const CString& path, const DCB& settings, CDataCallback* data, DWORD bufferSize,
              CEventCallback* event, DWORD eventMask) override;
    bool Close(bool deviceGone) override;
    bool WriteByte(BYTE value) override { return Write(&value, 1); }
    // True only when all bytes were written within 5 s.
    bool Write(const void* data, DWORD count) override;
    void OnInputReport(const BYTE* block, DWORD count) override { DeliverOrStore(block, count); }

    static constexpr DWORD kWriteTimeoutMs = 5000;

protected:
    long ReadInput(BYTE* block, DWORD size, DWORD timeoutMs) override { return m_device->Read(block, size, timeoutMs); }
    DWORD LastInputError() const override { return m_device->LastError(); }

private:
    std::unique_ptr<BulkDevice> m_device;
};
