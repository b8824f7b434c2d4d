#include "app/settings_sections.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryFile>

#include <algorithm>
#include <vector>

#include "app/app_settings.h"

namespace app {

namespace {

const QString kVersionKey = QString(kSectionVersion) + "/" + kSectionVersion;

// What the settings' own reader makes of a file: whether it reads cleanly, whether the version
// is there, whether an entry named like the version stands in another section (the version's
// own, under a damaged header), and whether it holds only what a settings reset of an earlier
// build kept (that reset deleted the version with the rest).
struct Reading {
    bool clean = false;
    bool hasVersion = false;
    bool strayVersion = false;
    bool onlyWhatAResetKeeps = false;
};

Reading Read(const QString& path)
{
    QSettings probe(path, QSettings::IniFormat);
    Reading reading;
    const QStringList groups = probe.childGroups();
    reading.clean = probe.status() == QSettings::NoError;
    reading.hasVersion = probe.contains(kVersionKey);
    reading.strayVersion = probe.contains(kSectionVersion);
    for (const QString& group : groups)
        reading.strayVersion = reading.strayVersion || (group != kSectionVersion && probe.contains(group + "/" + kSectionVersion));
    reading.onlyWhatAResetKeeps = !groups.isEmpty() && probe.childKeys().isEmpty() &&
                                  std::all_of(groups.begin(), groups.end(), [](const QString& group) {
                                      return group == kSectionDespiteReset || group == "SystemInfo";
                                  });
    return reading;
}

Reading ReadText(const QByteArray& text)
{
    QTemporaryFile file(QDir::tempPath() + "/km3-settings-section-XXXXXX.ini");
    if (!file.open() || file.write(text) != text.size() || !file.flush()) return {};
    return Read(file.fileName());
}

// Settings are text; the writer escapes every control character inside a value.
bool IsText(const QByteArray& bytes)
{
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 && b != '\t' && b != '\r' && b != '\n';
    });
}

// The reader ends a line at its line end unless a quote is open or a backslash escapes the line
// end; then it reads on into the next lines, and the sections in them become part of one value.
// The writer escapes quotes and backslashes inside values, so such a line is damage. After a ';'
// outside quotes the rest of the line is a comment.
bool LinesEndAtTheirEnd(const QByteArray& text)
{
    bool inQuotes = false;
    bool comment = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || c == '\r') {
            if (inQuotes) return false;
            comment = false;
        } else if (comment) {
            continue;
        } else if (c == '\\') {
            if (i + 1 < text.size() && (text[i + 1] == '\n' || text[i + 1] == '\r')) return false;
            ++i;
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';' && !inQuotes) {
            comment = true;
        }
    }
    return !inQuotes;
}

// The writer ends every line; a last line with something on it and no line end was cut.
bool LastLineCut(const QByteArray& bytes)
{
    const qsizetype lineEnd = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
    return !bytes.mid(lineEnd + 1).trimmed().isEmpty();
}

bool SoundText(const QByteArray& bytes)
{
    return IsText(bytes) && LinesEndAtTheirEnd(bytes) && !LastLineCut(bytes);
}

struct Section {
    int firstLine;  // counted from 1
    QByteArray text;
};

// A section runs from its header line (the first character that is no blank is '[') to the
// next one; the lines ahead of the first header are a section of their own.
std::vector<Section> SplitSections(const QByteArray& bytes)
{
    std::vector<Section> sections{{1, {}}};
    int line = 1;
    for (qsizetype start = 0; start < bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArray text = bytes.mid(start, end - start);
        if (text.trimmed().startsWith('[')) sections.push_back({line, {}});
        sections.back().text += text;
        start = end;
    }
    return sections;
}

CString LineList(std::vector<int> lines)
{
    std::sort(lines.begin(), lines.end());
    CString list;
    for (const int line : lines) list += CString::Formatted(list.IsEmpty() ? "%d" : ", %d", line);
    return list;
}

}  // namespace

SettingsFileCheck CheckSettingsFile(const QString& path)
{
    SettingsFileCheck check;
    QFile file(path);
    if (!file.exists()) return check;
    check.result = SettingsFileCheck::Result::CannotOpen;
    if (!file.open(QIODevice::ReadOnly)) return check;
    check.result = SettingsFileCheck::Result::Unreadable;
    QByteArray bytes = file.readAll();
    // An editor may put a byte-order mark ahead of the first section; the settings' reader
    // skips it but reports the file as damaged, and the first header would not start its line.
    const bool byteOrderMark = bytes.startsWith("\xEF\xBB\xBF");
    if (byteOrderMark) bytes.remove(0, 3);
    if (SoundText(bytes)) {
        const Reading whole = byteOrderMark ? ReadText(bytes) : Read(path);
        // Without the version, and without a damaged one standing elsewhere, nothing is lost.
        const bool versionMissing = whole.clean && !whole.hasVersion && !whole.onlyWhatAResetKeeps && !whole.strayVersion;
        if (whole.clean && (whole.hasVersion || whole.onlyWhatAResetKeeps || versionMissing)) {
            check.result = SettingsFileCheck::Result::Clean;
            check.versionLost = versionMissing;
            if (byteOrderMark || versionMissing) check.readable = bytes;
            return check;
        }
    }
    const std::vector<Section> sections = SplitSections(bytes);
    std::vector<const Section*> kept;
    std::vector<const Section*> strayVersions;
    std::vector<int> damaged;
    bool versionKept = false;
    for (const Section& section : sections) {
        const Reading reading = SoundText(section.text) ? ReadText(section.text) : Reading{};
        if (!reading.clean) {
            damaged.push_back(section.firstLine);
            continue;
        }
        kept.push_back(&section);
        versionKept = versionKept || reading.hasVersion;
        if (reading.strayVersion) strayVersions.push_back(&section);
    }
    if (!versionKept) {
        // The version under a damaged header goes with the damage; a version cut off with the
        // end of the file is missing from where the file's end was.
        check.versionLost = true;
        for (const Section* stray : strayVersions) {
            kept.erase(std::find(kept.begin(), kept.end(), stray));
            damaged.push_back(stray->firstLine);
        }
        if (damaged.empty()) damaged.push_back(static_cast<int>(bytes.count('\n')) + 1);
    }
    check.damagedLines = LineList(std::move(damaged));
    bool anyKept = false;
    for (const Section* section : kept) {
        check.readable += section->text;
        anyKept = anyKept || !section->text.trimmed().isEmpty();
    }
    // The sections may still disagree as a whole; then nothing of the file is trusted.
    if (anyKept && ReadText(check.readable).clean) check.result = SettingsFileCheck::Result::PartlyDamaged;
    return check;
}

}  // namespace app
