#include "app/app_settings.h"

#include <QFile>
#include <QFileInfo>

#include <utility>
#include <vector>

#include "app/settings_sections.h"
#include "platform/profile.h"
#include "platform/replace_file.h"
#include "platform/qt_text.h"

namespace app {

namespace {

// The version's section as the settings' writer writes it, after the sections of a file.
QByteArray VersionSection(const QByteArray& before)
{
    QByteArray section = before.isEmpty() || before.endsWith("\n\n") ? "" : "\n";
    return section + "[" + kSectionVersion + "]\n" + kSectionVersion + "=" + kSettingsVersion + "\n";
}

bool WriteSettingsBytes(const QByteArray& bytes)
{
    return platform::WriteFileReplacing(platform::ProfileFilePath(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

SettingsStart PrepareSettings()
{
    SettingsStart start;
    const QString path = platform::ToQString(platform::ProfileFilePath());
    const QString aside = path + ".damaged";
    const SettingsFileCheck check = CheckSettingsFile(path);
    if (check.result == SettingsFileCheck::Result::CannotOpen) {
        // Neither put aside nor reset: the settings' writer does not write a file it cannot open.
        start.outcome = SettingsStart::Outcome::CannotRead;
        return start;
    }
    // The settings' reader takes a byte-order mark for damage: the file is written as the
    // program writes it, without one; a version missing from a whole file is written again.
    const QByteArray clean = check.versionLost ? check.readable + VersionSection(check.readable) : check.readable;
    if (check.result == SettingsFileCheck::Result::Clean && !clean.isEmpty() && WriteSettingsBytes(clean))
        platform::FlushProfile();
    if (check.result != SettingsFileCheck::Result::Clean) {
        QFile::remove(aside);
        start.damagedCopy = platform::FromQString(aside);
        start.outcome = SettingsStart::Outcome::Damaged;
        QByteArray readable = check.readable;
        // A version cut off or damaged is no other version: it is written again, at the end.
        if (check.versionLost) readable += VersionSection(readable);
        if (check.result == SettingsFileCheck::Result::PartlyDamaged && QFile::copy(path, aside) && WriteSettingsBytes(readable)) {
            start.outcome = SettingsStart::Outcome::PartlyDamaged;
            start.damagedLines = check.damagedLines;
        } else if (!QFile::rename(path, aside)) {
            QFile::remove(path);
        }
        // The profile reads the file as it now is.
        platform::FlushProfile();
    }
    const CString version = platform::GetProfileString(kSectionVersion, kSectionVersion);
    if (version != CString(kSettingsVersion)) {
        if (start.outcome == SettingsStart::Outcome::Kept && !version.IsEmpty()) {
            // Another version's settings are not taken over, but neither lost: the user may want
            // the values folder or the port names back from them.
            QFile::remove(aside);
            if (QFile::copy(path, aside) || QFile::rename(path, aside)) start.damagedCopy = platform::FromQString(aside);
            start.outcome = SettingsStart::Outcome::OtherVersion;
            start.otherVersion = version;
        } else if (start.outcome == SettingsStart::Outcome::Kept && QFileInfo::exists(path)) {
            start.outcome = SettingsStart::Outcome::Reset;
        }
        // What was kept of a damaged file goes with the rest.
        if (start.outcome == SettingsStart::Outcome::PartlyDamaged) start.outcome = SettingsStart::Outcome::Damaged;
        ResetSettingsTree();
    }
    return start;
}

void ResetSettingsTree()
{
    std::vector<std::pair<CString, CString>> kept;
    const CStringArray entries = platform::GetProfileEntries(kSectionDespiteReset);
    for (int i = 0; i < entries.GetSize(); ++i)
        kept.emplace_back(entries[i], platform::GetProfileString(kSectionDespiteReset, entries[i]));
    platform::DeleteProfileTree();
    for (const auto& [entry, value] : kept) platform::WriteProfileString(kSectionDespiteReset, entry, value);
    // Written into an empty file, the version sorts after every other section.
    platform::WriteProfileString(kSectionVersion, kSectionVersion, kSettingsVersion);
}

bool WriteSettingsFile()
{
    return platform::FlushProfile();
}

}  // namespace app
