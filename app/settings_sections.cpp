#include "app/settings_sections.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryFile>

#include <algorithm>
#include <vector>

namespace app {

namespace {

// The settings' own reader is the judge: a file reads cleanly when QSettings reports no error
// for it.
bool ReadsCleanly(const QString& path)
{
    QSettings probe(path, QSettings::IniFormat);
    probe.allKeys();
    return probe.status() == QSettings::NoError;
}

bool TextReadsCleanly(const QByteArray& text)
{
    QTemporaryFile file(QDir::tempPath() + "/km3-settings-section-XXXXXX.ini");
    return file.open() && file.write(text) == text.size() && file.flush() && ReadsCleanly(file.fileName());
}

// Settings are text; the writer escapes every control character inside a value.
bool IsText(const QByteArray& bytes)
{
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 && b != '\t' && b != '\r' && b != '\n';
    });
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

}  // namespace

SettingsFileCheck CheckSettingsFile(const QString& path)
{
    SettingsFileCheck check;
    QFile file(path);
    if (!file.exists()) return check;
    check.result = SettingsFileCheck::Result::Unreadable;
    if (!file.open(QIODevice::ReadOnly)) return check;
    if (ReadsCleanly(path)) {
        check.result = SettingsFileCheck::Result::Clean;
        return check;
    }
    const QByteArray bytes = file.readAll();
    if (!IsText(bytes)) return check;
    bool anyKept = false;
    for (const Section& section : SplitSections(bytes)) {
        if (TextReadsCleanly(section.text)) {
            check.readable += section.text;
            anyKept = anyKept || !section.text.trimmed().isEmpty();
        } else {
            if (!check.damagedLines.IsEmpty()) check.damagedLines += ", ";
            check.damagedLines += CString::Formatted("%d", section.firstLine);
        }
    }
    // The sections may still disagree as a whole; then nothing of the file is trusted.
    if (anyKept && TextReadsCleanly(check.readable)) check.result = SettingsFileCheck::Result::PartlyDamaged;
    return check;
}

}  // namespace app
