#pragma once
// Our own parser of HID report descriptors: the capabilities that the HID port kinds need
// (top-level usage page and usage, report lengths as the device transfers them, with the
// report id byte counted) and the link collections.

#include <cstdint>
#include <vector>

#include "platform/win_types.h"

struct HIDP_CAPS {
    WORD Usage = 0;
    WORD UsagePage = 0;
    WORD InputReportByteLength = 0;
    WORD OutputReportByteLength = 0;
    WORD FeatureReportByteLength = 0;
    WORD NumberLinkCollectionNodes = 0;
};

struct HIDP_LINK_COLLECTION_NODE {
    WORD LinkUsage = 0;
    WORD LinkUsagePage = 0;
    WORD Parent = 0;
    BYTE CollectionType = 0;
};

struct HIDD_ATTRIBUTES {
    ULONG Size = 12;
    WORD VendorID = 0;
    WORD ProductID = 0;
    WORD VersionNumber = 0;
};

// The parsed descriptor (the "preparsed data" of a device).
struct HidParsedDescriptor {
    HIDP_CAPS caps;
    std::vector<HIDP_LINK_COLLECTION_NODE> links;
    bool usesReportIds = false;
};

// False for a descriptor that is malformed (an item running past the end, an end of collection
// without its collection, a pop without a push).
bool ParseHidReportDescriptor(const BYTE* data, std::size_t size, HidParsedDescriptor* out);
