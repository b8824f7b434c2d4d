#include "documentation/documentation_settings.h"

#include <cstdlib>

#include "documentation/separators.h"
#include "platform/profile.h"

namespace documentation {

namespace {

constexpr const char* kSection = "Documentation";
constexpr std::array<const char*, kStorageKindCount> kKindName{"MeasValues", "IoNio", "Diagram"};

CString HomeFolder()
{
    const char* home = std::getenv("HOME");
    return CString(home && *home ? home : "/");
}

}  // namespace

void CDocumentationSettings::Load()
{
    using platform::GetProfileInt;
    using platform::GetProfileString;
    for (int kind = 0; kind < kStorageKindCount; ++kind) {
        const CString name = kKindName[kind];
        directory[kind] = GetProfileString(kSection, name + "Dir", HomeFolder());
        if (directory[kind].IsEmpty()) directory[kind] = HomeFolder();
        const CString storedPrefix = GetProfileString(kSection, name + "Prefix", prefix[kind]);
        if (IsValidPrefix(storedPrefix)) prefix[kind] = storedPrefix;
        const int mode = GetProfileInt(kSection, name + "Mode", storageMode[kind]);
        if (mode >= kStorageOff && mode <= kStorageConstant) storageMode[kind] = mode;
    }
    autoStorage = GetProfileInt(kSection, "AutoStorage", autoStorage) != 0 ? 1 : 0;
    const int field = GetProfileInt(kSection, "FieldSeparator", static_cast<unsigned char>(separators.field));
    const int decimal = GetProfileInt(kSection, "DecimalSeparator", static_cast<unsigned char>(separators.decimal));
    const Separators stored{static_cast<char>(field), static_cast<char>(decimal)};
    if (field > 0 && field < 256 && decimal > 0 && decimal < 256 && CheckSeparators(stored) == SeparatorProblem::None)
        separators = stored;
    for (int i = 0; i < kHeaderTextCount; ++i)
        headerText[i] = GetProfileString(kSection, CString::Formatted("HeaderText%d", i + 1), headerText[i]);
}

void CDocumentationSettings::Save() const
{
    using platform::WriteProfileInt;
    using platform::WriteProfileString;
    for (int kind = 0; kind < kStorageKindCount; ++kind) {
        const CString name = kKindName[kind];
        WriteProfileString(kSection, name + "Dir", directory[kind]);
        WriteProfileString(kSection, name + "Prefix", prefix[kind]);
        WriteProfileInt(kSection, name + "Mode", storageMode[kind]);
    }
    WriteProfileInt(kSection, "AutoStorage", autoStorage);
    WriteProfileInt(kSection, "FieldSeparator", static_cast<unsigned char>(separators.field));
    WriteProfileInt(kSection, "DecimalSeparator", static_cast<unsigned char>(separators.decimal));
    for (int i = 0; i < kHeaderTextCount; ++i)
        WriteProfileString(kSection, CString::Formatted("HeaderText%d", i + 1), headerText[i]);
}

int EffectiveStorageMode(const CDocumentationSettings& settings, int kind)
{
    if (kind < 0 || kind >= kStorageKindCount || !settings.autoStorage) return kStorageOff;
    return settings.storageMode[kind];
}

}  // namespace documentation
