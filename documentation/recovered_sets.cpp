#include "documentation/recovered_sets.h"

#include <cstdlib>

#include "documentation/documentation_texts.h"
#include "platform/profile.h"
#include "res/string_table.h"

namespace documentation {

namespace {

// One group of entries per notice: "Count1", "File1", ... in the order they were kept.
constexpr const char* kSection = "RecoveredMeasValues";
constexpr const char* kCount = "Count";
constexpr const char* kValueFile = "File";
constexpr const char* kReason = "Reason";
constexpr const char* kRecoveryFile = "Recovery";
constexpr const char* kRecoveryReason = "RecoveryReason";

CString Entry(const char* name, int index)
{
    return CString::Formatted("%s%d", name, index);
}

}  // namespace

CString RecoveredSetsText(const RecoveredSets& sets)
{
    CString text = LoadLangString(sets.Saved() ? kTextSetsRecovered : kTextSetsNotRecovered);
    text.Replace("<count>", CString::Formatted("%llu", static_cast<unsigned long long>(sets.count)));
    text.Replace("<file>", sets.valueFile);
    text.Replace("<reason>", sets.reason);
    text.Replace("<recovery reason>", sets.recoveryReason);
    text.Replace("<recovery>", sets.recoveryFile);
    return text;
}

bool KeepRecoveryNotice(const RecoveredSets& sets)
{
    int index = 1;
    while (!platform::GetProfileString(kSection, Entry(kValueFile, index)).IsEmpty()) ++index;
    platform::WriteProfileString(kSection, Entry(kCount, index), CString::Formatted("%llu", static_cast<unsigned long long>(sets.count)));
    platform::WriteProfileString(kSection, Entry(kReason, index), sets.reason);
    platform::WriteProfileString(kSection, Entry(kRecoveryFile, index), sets.recoveryFile);
    platform::WriteProfileString(kSection, Entry(kRecoveryReason, index), sets.recoveryReason);
    // Written last: a notice counts once its value file is named.
    platform::WriteProfileString(kSection, Entry(kValueFile, index), sets.valueFile);
    return platform::FlushProfile();
}

std::vector<RecoveredSets> TakeRecoveryNotices()
{
    std::vector<RecoveredSets> notices;
    for (int index = 1;; ++index) {
        RecoveredSets sets;
        sets.valueFile = platform::GetProfileString(kSection, Entry(kValueFile, index));
        if (sets.valueFile.IsEmpty()) break;
        sets.count = std::strtoull(platform::GetProfileString(kSection, Entry(kCount, index)).GetString(), nullptr, 10);
        sets.reason = platform::GetProfileString(kSection, Entry(kReason, index));
        sets.recoveryFile = platform::GetProfileString(kSection, Entry(kRecoveryFile, index));
        sets.recoveryReason = platform::GetProfileString(kSection, Entry(kRecoveryReason, index));
        notices.push_back(sets);
    }
    if (platform::ProfileSectionExists(kSection)) {
        const CStringArray entries = platform::GetProfileEntries(kSection);
        for (int i = 0; i < entries.GetSize(); ++i) platform::DeleteProfileEntry(kSection, entries[i]);
        platform::FlushProfile();
    }
    return notices;
}

}  // namespace documentation
