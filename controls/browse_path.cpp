#include "controls/browse_path.h"

#include <QStringList>

#include "controls/browse_ctrl.h"
#include "platform/qt_text.h"

namespace controls {

CString ShortenPathForDisplay(const CString& path, int maxLength)
{
    const int length = path.GetLength();
    const int markLength = static_cast<int>(std::char_traits<char>::length(kBrowseShortMark));
    if (length <= maxLength || maxLength <= markLength) return length <= maxLength ? path : path.Left(maxLength);
    const int kept = maxLength - markLength;
    const int head = kept / 3;  // the root and the first folders
    const int tail = kept - head;  // the file name and the folders above it
    return path.Left(head) + kBrowseShortMark + path.Right(tail);
}

QString QtFileFilter(const CString& filter)
{
    const QStringList parts = platform::ToQString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& text = parts[i];
        const QString& patterns = parts[i + 1];
        if (text.isEmpty() && patterns.isEmpty()) break;  // the closing "||"
        if (patterns.isEmpty()) continue;
        QStringList list = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : list) p = p.trimmed();
        entries << QStringLiteral("%1 (%2)").arg(text.isEmpty() ? patterns : text, list.join(QLatin1Char(' ')));
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace controls
