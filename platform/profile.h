#pragma once
// The application's profile: the settings that the original kept in the registry under
// "Software\<company>\<application>". Here they live in one INI file,
// $XDG_CONFIG_HOME/Tessaline Inc./TSL-USB-KM3.ini (~/.config/... by default); a registry section
// is an INI group. Values are Windows-1252 text like every other text of the system.

#include "platform/cstring.h"
#include "platform/cstring_array.h"

namespace platform {

// The file the profile lives in (for diagnostics and tests).
CString ProfileFilePath();

// Reads and writes take effect at once and are visible to the next read; Flush writes pending
// changes to the file (also done when the process ends).
int GetProfileInt(const CString& section, const CString& entry, int defaultValue);
CString GetProfileString(const CString& section, const CString& entry, const CString& defaultValue = CString());
bool WriteProfileInt(const CString& section, const CString& entry, int value);
bool WriteProfileString(const CString& section, const CString& entry, const CString& value);
// Removes one entry; WriteProfileString with a null-like request in the original.
bool DeleteProfileEntry(const CString& section, const CString& entry);
// Removes every setting of the application (the settings reset).
bool DeleteProfileTree();
// The entry names of a section, in the file's order.
CStringArray GetProfileEntries(const CString& section);
bool ProfileSectionExists(const CString& section);
// False when the file could not be written; the file is replaced as a whole, so a failed write
// leaves the old file as it was.
bool FlushProfile();

// The user's local application-data folder, $XDG_DATA_HOME/Tessaline Inc./TSL-USB-KM3/
// (~/.local/share/... by default), with a trailing '/'. CreateLocalAppDataFolder makes it.
CString LocalAppDataFolder();
bool CreateLocalAppDataFolder();

}  // namespace platform
