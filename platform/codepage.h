#pragma once
// Windows-1252 <-> Unicode. The system's texts are single bytes; Qt and the file system speak
// Unicode, so text is converted exactly where it meets them and nowhere else.

#include <string>
#include <string_view>

#include "platform/cstring.h"

namespace platform {

// Every byte maps to one UTF-16 unit (the five unassigned bytes to the C1 controls of the
// same value), so a conversion there and back returns the original bytes.
std::u16string Cp1252ToUtf16(std::string_view bytes);
// Characters without a Windows-1252 byte become the replacement byte.
std::string Utf16ToCp1252(std::u16string_view text, char replacement = '?');

std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view utf8, char replacement = '?');

// File names: the system's CString path <-> the file system's UTF-8 bytes.
inline std::string ToFileSystemPath(const CString& path) { return Cp1252ToUtf8(path.view()); }
inline CString FromFileSystemPath(std::string_view utf8) { return CString(Utf8ToCp1252(utf8)); }

}  // namespace platform
