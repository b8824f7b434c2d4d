#pragma once
// CHidInfo: what the HID enumeration learns of one device, so that the HID port kinds can
// decide whether they serve it. The port-list entry owns it afterwards.

#include <memory>
#include <vector>

#include "platform/cstring.h"
#include "port/hid_report_descriptor.h"
#include "port/port_list.h"

class CHidInfo : public CPortDetail {
public:
    CHidInfo() { Reset(); }
    void Reset();
    // Takes the device's report descriptor and USB ids; true when the descriptor could be
    // parsed and the ids were known.
    bool Read(const std::vector<BYTE>& reportDescriptor, bool haveAttributes, WORD vendor, WORD product, WORD version);
    void FreePreparsedData() { m_pPreparsed.reset(); }

    HIDD_ATTRIBUTES m_attributes;
    HIDP_CAPS m_caps;
    std::unique_ptr<HidParsedDescriptor> m_pPreparsed;
    bool m_bCapsValid = false;
    bool m_bAttributesValid = false;
    CString m_sSerialNumber;
    CString m_sProduct;
    CString m_sDisplayText;
    CString m_sMiNumber;
    CString m_sIndexedText;
    bool m_bRecognised = false;
    DWORD m_dwKindFlags = 0;
};
