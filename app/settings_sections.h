#pragma once
// The settings file read section by section: a file that a crash cut or a person edited by hand
// may be damaged in one place only, and every section that reads cleanly is worth keeping.

#include <QByteArray>
#include <QString>

#include "platform/cstring.h"

namespace app {

struct SettingsFileCheck {
    enum class Result { Clean, PartlyDamaged, Unreadable, CannotOpen } result = Result::Clean;
    // PartlyDamaged: the sections that read cleanly, in the file's order; Clean: the file
    // without the byte-order mark it began with (empty when it had none)
    QByteArray readable;
    CString damagedLines;     // PartlyDamaged: the first line of each part left out ("4, 17")
    // PartlyDamaged: the version was cut off or in a damaged section; Clean: a whole file
    // without it, nothing else missing (the version is written again, nothing said)
    bool versionLost = false;
};

// Clean also for a file that does not exist. A section is damaged when the settings' reader
// fails on it, when it holds control bytes, when a line of it runs on into the next (a quote
// left open, a backslash at its end), or when its last line is cut (the file's last line has no
// line end). The version comes at the end of the files the program writes (app_settings.h): a
// file without one in a damaged section is damage like any other, not another version; a file
// that reads cleanly as a whole without it (its last line removed, or the file cut just before
// it) has lost nothing that can be named, and is Clean. Unreadable: no section with settings in
// it reads cleanly. CannotOpen: the file is there but may not be read (its permissions): nothing
// is known of it, so nothing may be said of its contents or done to it. A UTF-8 byte-order mark ahead of the first section is no part of
// it: the file is read as the text after the mark.
SettingsFileCheck CheckSettingsFile(const QString& path);

}  // namespace app
