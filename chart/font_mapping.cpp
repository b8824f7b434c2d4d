#include "chart/font_mapping.h"

#include <QFontMetricsF>
#include <QHash>
#include <cmath>
#include <cstring>

namespace chart {

namespace {

struct FaceAlias {
    const char* face;
    const char* standIn;
};

// Faces of the original platform and their metric-compatible replacements.
constexpr FaceAlias kAliases[] = {
    {"arial", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"ms sans serif", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"},
    {"times new roman", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
};

QString LowerFace(const char* face)
{
    return QString::fromLatin1(face, static_cast<int>(strnlen(face, 32))).trimmed().toLower();
}

// Cell height (ascent + descent) per em of a family, measured once.
double CellPerEm(const QString& family)
{
    static QHash<QString, double> cache;
    auto it = cache.find(family);
    if (it != cache.end()) return it.value();
    QFont probe(family);
    probe.setPixelSize(1000);
    const QFontMetricsF metrics(probe);
    double ratio = (metrics.ascent() + metrics.descent()) / 1000.0;
    if (!(ratio > 0.5 && ratio < 3.0)) ratio = 1.15;
    cache.insert(family, ratio);
    return ratio;
}

}  // namespace

QString ResolveFaceName(const char* face)
{
    const QString lower = LowerFace(face);
    if (lower.isEmpty()) return QStringLiteral("Liberation Sans");
    for (const FaceAlias& alias : kAliases) {
        if (lower == QLatin1String(alias.face)) return QString::fromLatin1(alias.standIn);
    }
    return QString::fromLatin1(face, static_cast<int>(strnlen(face, 32)));
}

QFont ToQFont(const LOGFONT& lf)
{
    const QString family = ResolveFaceName(lf.lfFaceName);
    QFont font(family);
    // Heights beyond any sensible screen or printer size are clamped so that a damaged file
    // cannot ask the font engine for gigantic glyphs.
    double height = std::fabs(static_cast<double>(lf.lfHeight));
    height = std::min(height, 4000.0);
    int pixels = 12;
    if (lf.lfHeight < 0) {
        pixels = static_cast<int>(std::lround(height));
    } else if (lf.lfHeight > 0) {
        pixels = static_cast<int>(std::lround(height / CellPerEm(family)));
    }
    font.setPixelSize(std::max(1, pixels));
    int weight = lf.lfWeight == 0 ? FW_NORMAL : std::clamp(static_cast<int>(lf.lfWeight), 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    font.setStyleStrategy(lf.lfQuality == ANTIALIASED_QUALITY ? QFont::PreferAntialias : QFont::PreferDefault);
    font.setKerning(false);
    return font;
}

}  // namespace chart
