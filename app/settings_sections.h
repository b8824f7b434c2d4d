#pragma once
// The settings file read section by section: a file that a crash cut or a person edited by hand
// may be damaged in one place only, and every section that reads cleanly is worth keeping.

#include <QByteArray>
#include <QString>

#include "platform/cstring.h"

namespace app {

struct SettingsFileCheck {
    enum class Result { Clean, PartlyDamaged, Unreadable } result = Result::Clean;
    QByteArray readable;   // PartlyDamaged: the sections that read cleanly, in the file's order
    CString damagedLines;  // PartlyDamaged: the first line of each section left out ("4, 17")
};

// Clean also for a file that does not exist. A file that does not read cleanly is Unreadable
// when it is no text (control bytes, as in random bytes or another encoding's zero bytes) or no
// section of it reads cleanly, else PartlyDamaged.
SettingsFileCheck CheckSettingsFile(const QString& path);

}  // namespace app
