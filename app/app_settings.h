#pragma once
// The settings file at start-up and shut-down: the version check, a damaged file, the reset
// request, and a write that fails. The values themselves go through platform/profile.h.

#include "platform/cstring.h"

namespace app {

// Settings written by another version than this are deleted as a whole at start-up.
constexpr const char* kSettingsVersion = "2.04";
constexpr const char* kSectionVersion = "Version";
constexpr const char* kSectionLanguage = "Language";
constexpr const char* kSectionSettings = "Settings";
// Kept through a version reset and a settings reset.
constexpr const char* kSectionDespiteReset = "DespiteReset";

struct SettingsStart {
    enum class Outcome { Kept, Reset, Damaged, PartlyDamaged } outcome = Outcome::Kept;
    CString damagedCopy;   // where a damaged file was put aside
    CString damagedLines;  // PartlyDamaged: where the sections left out began ("4, 17")
};

// Before anything else reads the profile: a damaged file is put aside (beside it, ".damaged").
// The sections of it that read cleanly are kept (PartlyDamaged); from a file that cannot be
// read at all the program starts with defaults (Damaged). Settings of another version are
// deleted (except "DespiteReset"); then the version is stamped.
SettingsStart PrepareSettings();

// Deletes every setting except the "DespiteReset" section.
void ResetSettingsTree();

// Writes the settings file; false when it could not be written (the old file stays whole).
bool WriteSettingsFile();

}  // namespace app
