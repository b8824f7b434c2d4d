#pragma once
// The four HID port kinds: devices that carry a byte stream inside their reports, each with its
// own framing of input and output reports, and each with a Probe that decides during the HID
// enumeration whether the kind serves a device.

#include "port/hid_info.h"
#include "port/port_hid_base.h"

class CPortHidCom : public CPortHidBase {
public:
    using CPortHidBase::CPortHidBase;
    static std::shared_ptr<CPort> CreatePort(CPortMan* owner, BYTE flag);
    static PortFactory Probe(CHidInfo& info);

    bool ApplySettings() override { return true; }
    void OnInputReport(const BYTE* report, DWORD count) override;
    bool WriteByte(BYTE value) override;
    // False when the device's output report cannot carry a data byte, or a report failed.
    bool Write(const void* data, DWORD count) override;
};

class CPortHidPos : public CPortHidBase {
public:
    using CPortHidBase::CPortHidBase;
    ~CPortHidPos() override;
    static std::shared_ptr<CPort> CreatePort(CPortMan* owner, BYTE flag);
    static PortFactory Probe(CHidInfo& info);

    bool Open(const CString& path, const DCB& settings, CDataCallback* data, DWORD bufferSize,
              CEventCallback* event, DWORD eventMask) override;
    bool ApplySettings() override;
    bool Close(bool deviceGone) override;
    void OnInputReport(const BYTE* report, DWORD count) override;
    bool WriteByte(BYTE value) override;
    bool Write(const void* data, DWORD count) override;
    bool EnableDevice(BYTE enable);
};

class CPortHidSurePosSio : public CPortHidBase {
public:
    using CPortHidBase::CPortHidBase;
    static std::shared_ptr<CPort> CreatePort(CPortMan* owner, BYTE flag);
    static PortFactory Probe(CHidInfo& info);

    bool ApplySettings() override { return true; }
    void OnInputReport(const BYTE* report, DWORD count) override;
    bool WriteByte(BYTE value) override;
    bool Write(const void* data, DWORD count) override;
};

class CPortHidSurePosFlash : public CPortHidBase {
public:
    using CPortHidBase::CPortHidBase;
    static std::shared_ptr<CPort> CreatePort(CPortMan* owner, BYTE flag);
    static PortFactory Probe(CHidInfo& info);

    bool ApplySettings() override { return true; }
    void OnInputReport(const BYTE* report, DWORD count) override;
    bool Write(const void* data, DWORD count) override;
};

// Asks the kinds in order (HidCom, HidPos, SurePosSio, SurePosFlash); the first that accepts
// the device gives its factory; none: nullptr.
PortFactory SelectHidKind(CHidInfo& info);
