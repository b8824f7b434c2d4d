#include "platform/profile.h"

#include <cstdlib>

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/qt_text.h"

namespace platform {
namespace {

const char* const kCompany = "Tessaline Inc.";
const char* const kApplication = "TSL-USB-KM3";

QString ConfigHome()
{
    const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
    if (!xdg.isEmpty()) return QString::fromLocal8Bit(xdg);
    return QDir::homePath() + "/.config";
}

QString DataHome()
{
    const QByteArray xdg = qgetenv("XDG_DATA_HOME");
    if (!xdg.isEmpty()) return QString::fromLocal8Bit(xdg);
    return QDir::homePath() + "/.local/share";
}

QString IniPath()
{
    return ConfigHome() + "/" + kCompany + "/" + kApplication + ".ini";
}

// QSettings reads '/' and a backslash in a key as group separators. A section's path, such
// as "AllViewState\BarState\ViewBar" (one backslash each), is kept as nested groups: the
// file shows [AllViewState] with keys "BarState\ViewBar\State", as a person reading it
// expects. Within one name '%' and '/' are escaped, since a device path used as a name carries
// '/' ("/dev/pts/3"), and in an entry name the backslash as well.
QString EscapeName(QString s, bool backslash)
{
    s.replace('%', "%25").replace('/', "%2F");
    if (backslash) s.replace('\\', "%5C");
    return s;
}

QString Group(const CString& section)
{
    QStringList parts;
    for (const QString& part : ToQString(section).split('\\'))
        parts << EscapeName(part, false);
    return parts.join('/');
}

QString Key(const CString& section, const CString& entry)
{
    return Group(section) + "/" + EscapeName(ToQString(entry), true);
}

CString Unescape(QString key)
{
    key.replace("%2F", "/").replace("%5C", "\\").replace("%25", "%");
    return FromQString(key);
}

// Files written before the sections' paths became nested groups hold such a section as one
// group whose name carries the escaped backslash ("AllViewState%5CBarState%5CViewBar"). Their
// entries move to the nested group, unless it has the entry already, and the old group goes.
void MoveFlatSectionsToNestedGroups(QSettings& settings)
{
    for (const QString& flat : settings.childGroups()) {
        if (!flat.contains("%5C")) continue;
        const QString nested = Group(Unescape(flat));
        settings.beginGroup(flat);
        const QStringList keys = settings.childKeys();
        std::vector<std::pair<QString, QVariant>> values;
        for (const QString& key : keys) values.emplace_back(key, settings.value(key));
        settings.endGroup();
        for (const auto& [key, value] : values)
            if (!settings.contains(nested + "/" + key)) settings.setValue(nested + "/" + key, value);
        settings.remove(flat);
    }
}

// One QSettings per file path: tests point XDG_CONFIG_HOME elsewhere between cases, and the
// object is then replaced.
std::recursive_mutex g_mutex;
std::unique_ptr<QSettings> g_settings;

QSettings& Settings()
{
    const QString path = IniPath();
    if (!g_settings || g_settings->fileName() != path) {
        if (g_settings) g_settings->sync();
        g_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
        MoveFlatSectionsToNestedGroups(*g_settings);
    }
    return *g_settings;
}

bool Ok(QSettings& settings)
{
    return settings.status() == QSettings::NoError && settings.isWritable();
}

}  // namespace

CString ProfileFilePath()
{
    return FromQString(IniPath());
}

int GetProfileInt(const CString& section, const CString& entry, int defaultValue)
{
    std::lock_guard lock(g_mutex);
    const QVariant v = Settings().value(Key(section, entry));
    if (!v.isValid()) return defaultValue;
    // The registry returned the leading decimal number of a text value, 0 when there is none.
    bool ok = false;
    const int value = v.toString().trimmed().toInt(&ok);
    if (ok) return value;
    const CString text = FromQString(v.toString());
    return static_cast<int>(std::strtol(text.GetString(), nullptr, 10));
}

CString GetProfileString(const CString& section, const CString& entry, const CString& defaultValue)
{
    std::lock_guard lock(g_mutex);
    const QVariant v = Settings().value(Key(section, entry));
    if (!v.isValid()) return defaultValue;
    return FromQString(v.toString());
}

bool WriteProfileInt(const CString& section, const CString& entry, int value)
{
    std::lock_guard lock(g_mutex);
    QSettings& settings = Settings();
    settings.setValue(Key(section, entry), QString::number(value));
    return Ok(settings);
}

bool WriteProfileString(const CString& section, const CString& entry, const CString& value)
{
    std::lock_guard lock(g_mutex);
    QSettings& settings = Settings();
    settings.setValue(Key(section, entry), ToQString(value));
    return Ok(settings);
}

bool DeleteProfileEntry(const CString& section, const CString& entry)
{
    std::lock_guard lock(g_mutex);
    QSettings& settings = Settings();
    settings.remove(Key(section, entry));
    return Ok(settings);
}

bool DeleteProfileTree()
{
    std::lock_guard lock(g_mutex);
    QSettings& settings = Settings();
    settings.clear();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

CStringArray GetProfileEntries(const CString& section)
{
    std::lock_guard lock(g_mutex);
    QSettings& settings = Settings();
    CStringArray names;
    settings.beginGroup(Group(section));
    for (const QString& key : settings.childKeys()) names.Add(Unescape(key));
    settings.endGroup();
    return names;
}

bool ProfileSectionExists(const CString& section)
{
    std::lock_guard lock(g_mutex);
    QSettings& settings = Settings();
    settings.beginGroup(Group(section));
    const bool exists = !settings.childKeys().isEmpty() || !settings.childGroups().isEmpty();
    settings.endGroup();
    return exists;
}

bool FlushProfile()
{
    std::lock_guard lock(g_mutex);
    QSettings& settings = Settings();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

CString LocalAppDataFolder()
{
    return FromQString(DataHome() + "/" + kCompany + "/" + kApplication + "/");
}

bool CreateLocalAppDataFolder()
{
    return QDir().mkpath(ToQString(LocalAppDataFolder()));
}

}  // namespace platform
