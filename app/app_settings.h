#pragma once
// The settings file at start-up and shut-down: the version check, a damaged file, the reset
// request, and a write that fails. The values themselves go through platform/profile.h.

#include "platform/cstring.h"

namespace app {

// Settings written by another version than this are reset at start-up (the file is put aside
// first, as a damaged one is, and the user is told). The version
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
    // Reset: what a settings reset of an earlier build left, without a version, started over.
    // CannotRead: the file may not be read (its permissions); it is left as it is, never written
    // over, and the program runs on defaults it keeps in memory.
    enum class Outcome { Kept, Reset, Damaged, PartlyDamaged, OtherVersion, CannotRead } outcome = Outcome::Kept;
    CString damagedCopy;   // where a damaged file or one of another version was put aside
    CString damagedLines;  // PartlyDamaged: where the sections left out began ("4, 17")
    CString otherVersion;  // OtherVersion: the version the file carried
};

// Before anything else reads the profile: a damaged file is put aside (beside it, ".damaged").
// The sections of it that read cleanly are kept (PartlyDamaged), also when the version was cut
// off or damaged: the version is written again after them; from a file that cannot be read at
// all the program starts with defaults (Damaged). Settings that carry another version are put
// aside the same way and then deleted (except "DespiteReset"). A file that begins with a
// byte-order mark is written again without it, its first section kept.
SettingsStart PrepareSettings();

// Deletes every setting except the "DespiteReset" section, and stamps the version.
void ResetSettingsTree();

// Writes the settings file; false when it could not be written (the old file stays whole).
bool WriteSettingsFile();

}  // namespace app
