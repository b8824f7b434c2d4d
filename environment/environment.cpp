#include "environment/environment.h"

#include <cstdlib>

#include "platform/codepage.h"

CString CEnvironment::TrimTrailingZeros(const CString& text)
{
    if (text.Find('.') < 0) return text;
    int end = text.GetLength();
    while (end > 0 && text.GetAt(end - 1) == '0') --end;
    if (end > 0 && text.GetAt(end - 1) == '.') --end;
    return text.Left(end);
}

CString CEnvironment::GetUserNameEnv()
{
    const char* value = std::getenv("USERNAME");
    if (value == nullptr) return kUnknownUser;
    return platform::FromFileSystemPath(value);
}
