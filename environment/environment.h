#pragma once
// CEnvironment: facts about the user's environment: the user name, and number-text trimming.

#include "platform/cstring.h"

class CEnvironment {
public:
    // "12.3400" -> "12.34", "5.000" -> "5"; a text without '.' is returned unchanged.
    static CString TrimTrailingZeros(const CString& text);
    // The environment value "USERNAME"; kUnknownUser when it is not set.
    static CString GetUserNameEnv();
    static constexpr const char* kUnknownUser = "unknown";
};
