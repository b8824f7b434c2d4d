#include "port/port_hid_kinds.h"

#include <algorithm>

namespace {

CString WithSerial(const CString& first, const char* kind, const CString& serial)
{
    return first + kind + " - " + serial;
}

}  // namespace

// ---- CPortHidCom ----

std::shared_ptr<CPort> CPortHidCom::CreatePort(CPortMan* owner, BYTE flag)
{
    return std::make_shared<CPortHidCom>(owner, flag);
}

PortFactory CPortHidCom::Probe(CHidInfo& info)
{
    if (info.m_caps.UsagePage != 0xFFA0 || info.m_caps.Usage != 1) return nullptr;
    info.m_sDisplayText = WithSerial(info.m_sProduct, " HidCom", info.m_sSerialNumber);
    info.m_bRecognised = true;
    info.m_dwKindFlags = 0x20000;
    return &CPortHidCom::CreatePort;
}

void CPortHidCom::OnInputReport(const BYTE* report, DWORD count)
{
    DeliverFramed(report, count, 2, 3);
}

bool CPortHidCom::WriteByte(BYTE value)
{
    return Write(&value, 1);
}

bool CPortHidCom::Write(const void* data, DWORD count)
{
    if (count == 0) return true;
    const int perReport = static_cast<int>(m_caps.OutputReportByteLength) - 4;
    if (perReport <= 0) return false;
    const BYTE header[] = {0x00, 0x30, 0};
    bool allWritten = true;
    const auto* bytes = static_cast<const BYTE*>(data);
    for (DWORD sent = 0; sent < count;) {
        const DWORD piece = std::min<DWORD>(static_cast<DWORD>(perReport), count - sent);
        const BYTE framed[] = {header[0], header[1], static_cast<BYTE>(piece)};
        if (!WriteReport(framed, 3, bytes + sent, piece)) allWritten = false;
        sent += piece;
    }
    return allWritten;
}

// ---- CPortHidPos ----

namespace {

bool HasPosLinkCollection(const CHidInfo& info)
{
    if (!info.m_pPreparsed) return true;
    for (const HIDP_LINK_COLLECTION_NODE& node : info.m_pPreparsed->links) {
        if (node.LinkUsagePage == 0xFF66 && node.LinkUsage == 1) return true;
    }
    return false;
}

}  // namespace

CPortHidPos::~CPortHidPos()
{
    CPortHidPos::Close(false);
}

std::shared_ptr<CPort> CPortHidPos::CreatePort(CPortMan* owner, BYTE flag)
{
    return std::make_shared<CPortHidPos>(owner, flag);
}

PortFactory CPortHidPos::Probe(CHidInfo& info)
{
    const WORD vendor = info.m_attributes.VendorID;
    const WORD product = info.m_attributes.ProductID;
    const bool byIds = vendor == 0x0536 && (product == 0x0107 || product == 0x0127);
    const bool byUsage = info.m_caps.UsagePage == 0x8C && info.m_caps.Usage == 2;
    if (!(byIds || byUsage) || !HasPosLinkCollection(info)) return nullptr;
    const CString first =
        info.m_sProduct.Find("HID POS") >= 0 && !info.m_sIndexedText.IsEmpty() ? info.m_sIndexedText : info.m_sProduct;
    CString text = first + " HidPos";
    if (!info.m_sMiNumber.IsEmpty()) text += " " + info.m_sMiNumber;
    info.m_sDisplayText = text + " - " + info.m_sSerialNumber;
    info.m_bRecognised = true;
    info.m_dwKindFlags = 0x10000;
    return &CPortHidPos::CreatePort;
}

bool CPortHidPos::EnableDevice(BYTE enable)
{
    if (!IsOpen()) return true;
    const BYTE set[] = {0xFE, enable};
    if (Device().SetFeature(set, sizeof set)) {
        BYTE back[] = {0xFE, 0xFF};
        Device().GetFeature(back, sizeof back);
    }
    return true;
}

bool CPortHidPos::Open(const CString& path, const DCB& settings, CDataCallback* data, DWORD bufferSize,
                       CEventCallback* event, DWORD eventMask)
{
    const bool opened = CPortHidBase::Open(path, settings, data, bufferSize, event, eventMask);
    if (opened) EnableDevice(1);
    return opened;
}

bool CPortHidPos::ApplySettings()
{
    EnableDevice(1);
    return true;
}

bool CPortHidPos::Close(bool deviceGone)
{
    if (IsOpen() && !deviceGone) EnableDevice(0);
    return CPortHidBase::Close(deviceGone);
}

void CPortHidPos::OnInputReport(const BYTE* report, DWORD count)
{
    DeliverFramed(report, count, 1, 5);
}

bool CPortHidPos::WriteByte(BYTE value)
{
    return Write(&value, 1);
}

bool CPortHidPos::Write(const void* data, DWORD count)
{
    if (count == 0) return true;
    const int perReport = static_cast<int>(m_caps.OutputReportByteLength) - 2;
    if (perReport <= 0) return false;
    bool allWritten = true;
    const auto* bytes = static_cast<const BYTE*>(data);
    for (DWORD sent = 0; sent < count;) {
        const DWORD piece = std::min<DWORD>(static_cast<DWORD>(perReport), count - sent);
        const BYTE header[] = {0xFD, static_cast<BYTE>(piece)};
        if (!WriteReport(header, 2, bytes + sent, piece)) allWritten = false;
        sent += piece;
    }
    return allWritten;
}

// ---- CPortHidSurePosSio ----

std::shared_ptr<CPort> CPortHidSurePosSio::CreatePort(CPortMan* owner, BYTE flag)
{
    return std::make_shared<CPortHidSurePosSio>(owner, flag);
}

PortFactory CPortHidSurePosSio::Probe(CHidInfo& info)
{
    const bool byIds = info.m_attributes.VendorID == 0x0536 && info.m_attributes.ProductID == 0x0149;
    const WORD usage = info.m_caps.Usage;
    const bool byUsage = info.m_caps.UsagePage == 0xFF45 &&
                         (usage == 0x6400 || usage == 0x6500 || usage == 0x6800 || usage == 0x6900);
    if (!byIds && !byUsage) return nullptr;
    info.m_sDisplayText = WithSerial(info.m_sProduct, " SurePosSio", info.m_sSerialNumber);
    info.m_bRecognised = true;
    info.m_dwKindFlags = 0x40000;
    return &CPortHidSurePosSio::CreatePort;
}

void CPortHidSurePosSio::OnInputReport(const BYTE* report, DWORD count)
{
    if (count < 3) return;
    BYTE status = report[1];
    if (count > 3 && count % 3 == 0) {
        status = 0;
        for (DWORD i = 1; i < count; i += 3) status |= report[i];
    }
    if (!(status & 0x30)) return;
    BYTE feature[251] = {};
    if (!Device().GetFeature(feature, 250)) return;
    const int length = std::min(static_cast<int>(feature[1]) - 2, 247);
    if (length <= 0) return;
    const BYTE* payload = feature + 3;
    if (!DataCallback()) {
        m_pRing->Put(payload, static_cast<DWORD>(length));
        return;
    }
    const DWORD piece = std::max<DWORD>(m_dwRequestedBufferSize, 1);
    for (DWORD sent = 0; sent < static_cast<DWORD>(length);) {
        const DWORD n = std::min(piece, static_cast<DWORD>(length) - sent);
        Deliver(payload + sent, n);
        sent += n;
    }
}

bool CPortHidSurePosSio::WriteByte(BYTE value)
{
    return Write(&value, 1);
}

bool CPortHidSurePosSio::Write(const void* data, DWORD count)
{
    const int perReport = static_cast<int>(m_caps.OutputReportByteLength) - 5;
    if (perReport <= 0) return perReport == 0;  // a report of 5 bytes carries nothing: nothing is sent
    bool allWritten = true;
    const auto* bytes = static_cast<const BYTE*>(data);
    DWORD sent = 0;
    do {
        const DWORD piece = std::min<DWORD>(static_cast<DWORD>(perReport), count - sent);
        const BYTE header[] = {0x00, static_cast<BYTE>(piece + 4), 0x00, 0x08, 0x00};
        if (!WriteReport(header, 5, bytes + sent, piece)) allWritten = false;
        sent += piece;
    } while (sent < count);
    return allWritten;
}

// ---- CPortHidSurePosFlash ----

std::shared_ptr<CPort> CPortHidSurePosFlash::CreatePort(CPortMan* owner, BYTE flag)
{
    return std::make_shared<CPortHidSurePosFlash>(owner, flag);
}

PortFactory CPortHidSurePosFlash::Probe(CHidInfo& info)
{
    if (info.m_caps.UsagePage != 0xFF45 || info.m_caps.Usage != 0xA000) return nullptr;
    const CString first =
        info.m_sProduct.Find("Usage =") >= 0 && !info.m_sIndexedText.IsEmpty() ? info.m_sIndexedText : info.m_sProduct;
    info.m_sDisplayText = WithSerial(first, " SurePosFlash", info.m_sSerialNumber);
    info.m_bRecognised = true;
    info.m_dwKindFlags = 0;
    return &CPortHidSurePosFlash::CreatePort;
}

void CPortHidSurePosFlash::OnInputReport(const BYTE* report, DWORD count)
{
    DeliverOrStore(report, count);
}

bool CPortHidSurePosFlash::Write(const void* data, DWORD count)
{
    return WriteRawReport(static_cast<const BYTE*>(data), count);
}

PortFactory SelectHidKind(CHidInfo& info)
{
    for (auto probe : {&CPortHidCom::Probe, &CPortHidPos::Probe, &CPortHidSurePosSio::Probe, &CPortHidSurePosFlash::Probe}) {
        if (PortFactory factory = probe(info)) return factory;
    }
    return nullptr;
}
