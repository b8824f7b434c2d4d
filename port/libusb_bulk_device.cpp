// BulkDevice over libusb: the first bulk IN endpoint is the read pipe, the first bulk OUT
// endpoint the write pipe, both on the first interface of the device that has them.
#include <libusb.h>

#include <cstdio>
#include <mutex>
#include <string>

#include "port/bulk_device.h"

namespace {

libusb_context* Context()
{
    static libusb_context* context = [] {
        libusb_context* c = nullptr;
        return libusb_init(&c) == 0 ? c : nullptr;
    }();
    return context;
}

CString LocationOf(libusb_device* device, int interfaceNumber)
{
    uint8_t ports[8];
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    CString text;
    text.Format("%d-", libusb_get_bus_number(device));
    for (int i = 0; i < depth; ++i) text.AppendFormat(i == 0 ? "%d" : ".%d", ports[i]);
    text.AppendFormat(":1.%d", interfaceNumber);
    return text;
}

DWORD ErrorOf(int code)
{
    switch (code) {
    case LIBUSB_ERROR_ACCESS:
    case LIBUSB_ERROR_BUSY: return ERROR_ACCESS_DENIED;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND: return ERROR_DEVICE_NOT_CONNECTED;
    case LIBUSB_ERROR_TIMEOUT: return ERROR_SEM_TIMEOUT;
    case LIBUSB_ERROR_NO_MEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_GEN_FAILURE;
    }
}

class LibusbBulkDevice final : public BulkDevice {
public:
    ~LibusbBulkDevice() override
    {
        CloseReadPipe();
        CloseWritePipe();
    }

    bool OpenReadPipe(const CString& path) override { return OpenPipe(path, m_readOpen); }
    bool OpenWritePipe(const CString& path) override { return OpenPipe(path, m_writeOpen); }
    void CloseReadPipe() override { ClosePipe(m_readOpen); }
    void CloseWritePipe() override { ClosePipe(m_writeOpen); }
    bool IsReadPipeOpen() const override { return m_readOpen; }
    bool IsWritePipeOpen() const override { return m_writeOpen; }

    long Read(BYTE* block, DWORD size, DWORD timeoutMs) override
    {
        if (!m_readOpen) return -1;
        int got = 0;
        const int rc = libusb_bulk_transfer(m_handle, m_inEndpoint, block, static_cast<int>(size), &got, timeoutMs);
        if (rc == 0 || (rc == LIBUSB_ERROR_TIMEOUT)) return got;
        m_lastError = ErrorOf(rc);
        return -1;
    }

    long Write(const BYTE* data, DWORD count, DWORD timeoutMs) override
    {
        if (!m_writeOpen) return -1;
        int sent = 0;
        const int rc = libusb_bulk_transfer(m_handle, m_outEndpoint, const_cast<BYTE*>(data), static_cast<int>(count),
                                            &sent, timeoutMs);
        if (rc != 0) m_lastError = ErrorOf(rc);
        return rc == 0 || rc == LIBUSB_ERROR_TIMEOUT ? sent : -1;
    }

    DWORD LastError() const override { return m_lastError; }

private:
    bool OpenPipe(const CString& path, bool& pipe)
    {
        std::lock_guard lock(m_mutex);
        if (pipe) return true;
        if (!m_handle && !OpenDevice(path)) return false;
        pipe = true;
        return true;
    }

    void ClosePipe(bool& pipe)
    {
        std::lock_guard lock(m_mutex);
        if (!pipe) return;
        pipe = false;
        if (!m_readOpen && !m_writeOpen && m_handle) {
            libusb_release_interface(m_handle, m_interface);
            libusb_close(m_handle);
            m_handle = nullptr;
        }
    }

    bool OpenDevice(const CString& path)
    {
        BulkDevicePath wanted;
        libusb_context* context = Context();
        if (!context || !ParseBulkDevicePath(path, &wanted)) {
            m_lastError = ERROR_FILE_NOT_FOUND;
            return false;
        }
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(context, &list);
        m_lastError = ERROR_FILE_NOT_FOUND;
        for (ssize_t i = 0; i < count && !m_handle; ++i) TryDevice(list[i], wanted);
        libusb_free_device_list(list, 1);
        return m_handle != nullptr;
    }

    void TryDevice(libusb_device* device, const BulkDevicePath& wanted)
    {
        libusb_device_descriptor descriptor;
        if (libusb_get_device_descriptor(device, &descriptor) != 0) return;
        if (descriptor.idVendor != wanted.vendor || descriptor.idProduct != wanted.product) return;
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_active_config_descriptor(device, &config) != 0) return;
        for (int i = 0; i < config->bNumInterfaces && !m_handle; ++i) {
            const libusb_interface_descriptor& alt = config->interface[i].altsetting[0];
            int in = -1, out = -1;
            for (int e = 0; e < alt.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& ep = alt.endpoint[e];
                if ((ep.bmAttributes & 3) != LIBUSB_TRANSFER_TYPE_BULK) continue;
                if ((ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) && in < 0) in = ep.bEndpointAddress;
                if (!(ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) && out < 0) out = ep.bEndpointAddress;
            }
            if (in < 0 || out < 0) continue;
            libusb_device_handle* handle = nullptr;
            const int rc = libusb_open(device, &handle);
            if (rc != 0) {
                m_lastError = ErrorOf(rc);
                continue;
            }
            if (!Matches(device, handle, descriptor, alt.bInterfaceNumber, wanted.instance) ||
                libusb_claim_interface(handle, alt.bInterfaceNumber) != 0) {
                libusb_close(handle);
                continue;
            }
            m_handle = handle;
            m_interface = alt.bInterfaceNumber;
            m_inEndpoint = static_cast<unsigned char>(in);
            m_outEndpoint = static_cast<unsigned char>(out);
        }
        libusb_free_config_descriptor(config);
    }

    static bool Matches(libusb_device* device, libusb_device_handle* handle, const libusb_device_descriptor& descriptor,
                        int interfaceNumber, const CString& instance)
    {
        if (instance.IsEmpty() || LocationOf(device, interfaceNumber) == instance) return true;
        if (descriptor.iSerialNumber == 0) return false;
        unsigned char serial[256];
        const int n = libusb_get_string_descriptor_ascii(handle, descriptor.iSerialNumber, serial, sizeof serial);
        return n > 0 && CString(reinterpret_cast<const char*>(serial), n) == instance;
    }

    std::mutex m_mutex;
    libusb_device_handle* m_handle = nullptr;
    int m_interface = 0;
    unsigned char m_inEndpoint = 0;
    unsigned char m_outEndpoint = 0;
    bool m_readOpen = false;
    bool m_writeOpen = false;
    DWORD m_lastError = ERROR_SUCCESS;
};

}  // namespace

std::unique_ptr<BulkDevice> MakeLibusbBulkDevice()
{
    return std::make_unique<LibusbBulkDevice>();
}
