#pragma once
// Writing a file that replaces an older one: the bytes go to a temporary file in the same
// folder, which is flushed and renamed over the target, so that a failed write never destroys
// the old file.

#include <cstddef>
#include <string>

#include "platform/cstring.h"

namespace platform {

// True when the whole file was written and is in place; on failure the old file (if any) is
// untouched and error (when given) says what went wrong.
bool WriteFileReplacing(const CString& fileName, const void* data, std::size_t size, std::string* error = nullptr);

}  // namespace platform
