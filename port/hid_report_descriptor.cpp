#include "port/hid_report_descriptor.h"

#include <algorithm>
#include <map>

namespace {

struct Globals {
    std::uint32_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

}  // namespace

bool ParseHidReportDescriptor(const BYTE* data, std::size_t size, HidParsedDescriptor* out)
{
    *out = HidParsedDescriptor{};
    Globals globals;
    std::vector<Globals> stack;
    std::vector<std::uint32_t> usages;
    std::uint32_t usageMinimum = 0;
    bool haveMinimum = false;
    std::vector<int> openCollections;
    // Bits per report id for input (0), output (1) and feature (2) reports.
    std::map<std::uint32_t, std::uint64_t> bits[3];
    bool topLevelSeen = false;

    std::size_t pos = 0;
    while (pos < size) {
        const BYTE prefix = data[pos++];
        if (prefix == 0xFE) {  // long item: size byte, tag byte, data
            if (pos + 2 > size) return false;
            const std::size_t length = data[pos];
            pos += 2 + length;
            if (pos > size) return false;
            continue;
        }
        static const std::size_t sizes[] = {0, 1, 2, 4};
        const std::size_t length = sizes[prefix & 3];
        if (pos + length > size) return false;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < length; ++i) value |= static_cast<std::uint32_t>(data[pos + i]) << (8 * i);
        pos += length;
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        if (type == 0) {  // main
            switch (tag) {
            case 0x8:
            case 0x9:
            case 0xB: {
                const int kind = tag == 0x8 ? 0 : (tag == 0x9 ? 1 : 2);
                bits[kind][globals.reportId] += static_cast<std::uint64_t>(globals.reportSize) * globals.reportCount;
                break;
            }
            case 0xA: {
                HIDP_LINK_COLLECTION_NODE node;
                std::uint32_t usage = usages.empty() ? (haveMinimum ? usageMinimum : 0) : usages.front();
                node.LinkUsage = static_cast<WORD>(usage & 0xFFFF);
                node.LinkUsagePage = static_cast<WORD>(usage > 0xFFFF ? usage >> 16 : globals.usagePage);
                node.CollectionType = static_cast<BYTE>(value);
                node.Parent = openCollections.empty() ? 0 : static_cast<WORD>(openCollections.back());
                if (openCollections.empty() && !topLevelSeen) {
                    out->caps.Usage = node.LinkUsage;
                    out->caps.UsagePage = node.LinkUsagePage;
                    topLevelSeen = true;
                }
                openCollections.push_back(static_cast<int>(out->links.size()));
                out->links.push_back(node);
                break;
            }
            case 0xC:
                if (openCollections.empty()) return false;
                openCollections.pop_back();
                break;
            default:
                break;
            }
            usages.clear();
            haveMinimum = false;
        } else if (type == 1) {  // global
            switch (tag) {
            case 0x0: globals.usagePage = value; break;
            case 0x7: globals.reportSize = value; break;
            case 0x8:
                globals.reportId = value;
                if (value != 0) out->usesReportIds = true;
                break;
            case 0x9: globals.reportCount = value; break;
            case 0xA: stack.push_back(globals); break;
            case 0xB:
                if (stack.empty()) return false;
                globals = stack.back();
                stack.pop_back();
                break;
            default: break;
            }
        } else if (type == 2) {  // local
            if (tag == 0x0) usages.push_back(length == 4 ? value : (globals.usagePage << 16) | value);
            if (tag == 0x1) {
                usageMinimum = length == 4 ? value : (globals.usagePage << 16) | value;
                haveMinimum = true;
            }
        }
    }
    // As the device transfers them: the longest report of each kind plus its report id byte.
    WORD* lengths[3] = {&out->caps.InputReportByteLength, &out->caps.OutputReportByteLength,
                        &out->caps.FeatureReportByteLength};
    for (int kind = 0; kind < 3; ++kind) {
        std::uint64_t longest = 0;
        for (const auto& [id, count] : bits[kind]) longest = std::max(longest, (count + 7) / 8);
        if (!bits[kind].empty() && longest > 0) *lengths[kind] = static_cast<WORD>(std::min<std::uint64_t>(longest + 1, 0xFFFF));
    }
    out->caps.NumberLinkCollectionNodes = static_cast<WORD>(out->links.size());
    return true;
}
