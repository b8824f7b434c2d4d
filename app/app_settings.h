#pragma once
// The settings file at start-up and shut-down: the version check, a damaged file, the reset
// request, and a write that fails. The values themselves go through platform/profile.h.

#include "platform/cstring.h"

namespace app {

// Settings written by another version than this are deleted as a whole at start-up. The version
// comes at the end of the files the program writes, so that its presence shows that a file was
// written to its end: the settings' writer keeps the sections of the file it read in their order
// and puts new ones ahead of them, and "Version", written into an empty file, sorts after every
// other section.
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
// The sections of it that read cleanly are kept (PartlyDamaged), also when the version was cut
// off or damaged: the version is written again after them; from a file that cannot be read at
// all the program starts with defaults (Damaged). Settings that carry another version are
// deleted (except "DespiteReset").
SettingsStart PrepareSettings();

// Deletes every setting except the "DespiteReset" section, and stamps the version.
void ResetSettingsTree();

// Writes the settings file; false when it could not be written (the old file stays whole).
bool WriteSettingsFile();

}  // namespace app
