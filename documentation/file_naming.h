#pragma once
// The naming scheme of stored files: "<prefix>.<ext>" for a constant name, and
// "<prefix>_<index>.<ext>" (index of at least four digits, from 0001) for indexed names. An
// indexed name takes the index after the highest one in the folder and is claimed by creating
// the file exclusively, so an existing file is never overwritten, not even by a second
// program writing into the same folder at the same moment.

#include "documentation/append_file.h"
#include "documentation/documentation_settings.h"
#include "platform/cstring.h"

namespace documentation {

inline constexpr const char* kTableExtension = ".csv";
inline constexpr const char* kBitmapExtension = ".bmp";

CString JoinPath(const CString& folder, const CString& name);
CString ConstantFileName(const CString& folder, const CString& prefix, const CString& extension);
CString IndexedFileName(const CString& folder, const CString& prefix, int index, const CString& extension);
// The highest index of "<prefix>_<digits><extension>" in the folder; 0 when there is none.
int HighestIndex(const CString& folder, const CString& prefix, const CString& extension);

// The file a kind's storage mode would write now (the next free index for indexed names), so
// that a message about a file that could not be made names the one the user will look for.
CString NextStorageFileName(const CDocumentationSettings& settings, int kind, int mode, const CString& extension);

// Opens a new, empty file under the next free indexed name.
bool ClaimIndexedFile(const CString& folder, const CString& prefix, const CString& extension,
                      CAppendFile& file, CString& error);
// The same for a file that someone else writes (a bitmap): the name is claimed by an empty
// file, which the writer then replaces.
bool ClaimIndexedName(const CString& folder, const CString& prefix, const CString& extension,
                      CString& fileName, CString& error);

}  // namespace documentation
