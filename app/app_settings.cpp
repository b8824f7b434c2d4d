#include "app/app_settings.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <utility>
#include <vector>

#include "platform/profile.h"
#include "platform/qt_text.h"

namespace app {

namespace {

bool IsFileDamaged(const QString& path)
{
    QFile file(path);
    if (!file.exists()) return false;
    if (!file.open(QIODevice::ReadOnly)) return true;
    file.close();
    QSettings probe(path, QSettings::IniFormat);
    probe.allKeys();
    return probe.status() != QSettings::NoError;
}

}  // namespace

SettingsStart PrepareSettings()
{
    SettingsStart start;
    const QString path = platform::ToQString(platform::ProfileFilePath());
    if (IsFileDamaged(path)) {
        const QString aside = path + ".damaged";
        QFile::remove(aside);
        if (!QFile::rename(path, aside)) QFile::remove(path);
        start.outcome = SettingsStart::Outcome::Damaged;
        start.damagedCopy = platform::FromQString(aside);
    }
    if (platform::GetProfileString(kSectionVersion, kSectionVersion) != CString(kSettingsVersion)) {
        if (start.outcome == SettingsStart::Outcome::Kept && QFileInfo::exists(path))
            start.outcome = SettingsStart::Outcome::Reset;
        ResetSettingsTree();
        platform::WriteProfileString(kSectionVersion, kSectionVersion, kSettingsVersion);
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
}

bool WriteSettingsFile()
{
    return platform::FlushProfile();
}

}  // namespace app
