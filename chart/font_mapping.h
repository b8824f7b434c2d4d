#pragma once
// From the stored font descriptions to Qt fonts.
//
// Chart files name Windows faces ("Arial"); they resolve to metric-compatible faces so that
// texts keep their widths. A positive height is the height of the character cell (ascent plus
// descent), a negative one the height of the characters themselves (the em size), as stored.

#include <QFont>
#include <QFontMetricsF>
#include <QStaticText>
#include <string>
#include <unordered_map>

#include "chart/gdi_types.h"

namespace chart {

// The installed face that stands in for a face name of the stored files.
QString ResolveFaceName(const char* face);
QFont ToQFont(const LOGFONT& lf);

// A Qt font with its metrics, made once for every font description drawn or measured with
// (on the GUI thread), since making fonts and metrics costs more than drawing a short text.
struct FontWithMetrics {
    explicit FontWithMetrics(const QFont& qfont);
    QFont font;
    QFontMetricsF metrics;
    int ascent;  // whole pixels, rounded up
    int height;  // ascent and descent, each rounded up
    // The width of a text in whole pixels, rounded up; and its laid-out form for drawing.
    // Both are kept, since a chart draws the same tick and legend texts on every paint.
    int Width(const std::string& text) const;
    const QStaticText& Laid(const std::string& text) const;

private:
    mutable std::unordered_map<std::string, int> m_widths;
    mutable std::unordered_map<std::string, QStaticText> m_laid;
};
const FontWithMetrics& CachedFont(const LOGFONT& lf);

}  // namespace chart
