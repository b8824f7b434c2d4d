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
    enum class Outcome { Kept, Reset, Damaged } outcome = Outcome::Kept;
    CString damagedCopy;  // where a damaged file was put aside
};

// Before anything else reads the profile: a file that cannot be read or parsed is put aside
// (beside it, ".damaged") and the program starts with defaults; settings of another version
// are deleted (except "DespiteReset"); then the version is stamped.
SettingsStart PrepareSettings();

// Deletes every setting except the "DespiteReset" section.
void ResetSettingsTree();

// Writes the settings file; false when it could not be written (the old file stays whole).
bool WriteSettingsFile();

}  // namespace app
