#pragma once
// CEnvironment: facts about the user's environment and the program's places: the user name,
// the application-data folder with the temporary bitmaps, and number-text trimming.

#include "platform/cstring.h"

class CEnvironment {
public:
    // "12.3400" -> "12.34", "5.000" -> "5"; a text without '.' is returned unchanged.
    static CString TrimTrailingZeros(const CString& text);
    // The environment value "USERNAME"; kUnknownUser when it is not set.
    static CString GetUserNameEnv();
    static constexpr const char* kUnknownUser = "unknown";

    // The user's application-data folder (with a trailing '/') and the temporary bitmaps there.
    static CString AppDataFolder();
    static CString TempDiagramBitmapPath();    // ".../TEMP_DIAGRAM.bmp"
    static CString TempTessalineBitmapPath();  // ".../TEMP_TESSALINE.bmp"
};
