#pragma once
// Where the system's Windows-1252 text meets Qt.

#include <QString>

#include "platform/cstring.h"

namespace platform {

QString ToQString(const CString& text);
CString FromQString(const QString& text);

}  // namespace platform
