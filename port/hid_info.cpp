#include "port/hid_info.h"

void CHidInfo::Reset()
{
    m_attributes = HIDD_ATTRIBUTES{};
    m_caps = HIDP_CAPS{};
    m_pPreparsed.reset();
    m_bCapsValid = false;
    m_bAttributesValid = false;
    m_sSerialNumber.Empty();
    m_sProduct.Empty();
    m_sDisplayText.Empty();
    m_sMiNumber.Empty();
    m_bRecognised = false;
    m_dwKindFlags = 0;
}

bool CHidInfo::Read(const std::vector<BYTE>& reportDescriptor, bool haveAttributes, WORD vendor, WORD product, WORD version)
{
    m_pPreparsed.reset();
    auto parsed = std::make_unique<HidParsedDescriptor>();
    const bool gotPreparsed = !reportDescriptor.empty() &&
                              ParseHidReportDescriptor(reportDescriptor.data(), reportDescriptor.size(), parsed.get());
    if (gotPreparsed) {
        m_caps = parsed->caps;
        m_bCapsValid = true;
        m_pPreparsed = std::move(parsed);
    }
    m_bAttributesValid = haveAttributes;
    if (haveAttributes) {
        m_attributes.VendorID = vendor;
        m_attributes.ProductID = product;
        m_attributes.VersionNumber = version;
    }
    return gotPreparsed && m_bCapsValid && m_bAttributesValid;
}
