#include "chart/font_mapping.h"

#include <QFontMetricsF>
#include <QHash>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/qt_text.h"

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

namespace {

// What of a font description decides the Qt font.
bool SameQtFont(const LOGFONT& a, const LOGFONT& b)
{
    return a.lfHeight == b.lfHeight && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfQuality == b.lfQuality &&
           std::strncmp(a.lfFaceName, b.lfFaceName, sizeof a.lfFaceName) == 0;
}

struct CacheEntry {
    LOGFONT key;
    FontWithMetrics font;
};

}  // namespace

namespace {

// Texts kept per font before the store starts afresh.
constexpr std::size_t kMaxTexts = 2048;

}  // namespace

FontWithMetrics::FontWithMetrics(const QFont& qfont)
    : font(qfont), metrics(qfont), ascent(static_cast<int>(std::ceil(metrics.ascent() - 0.01))),
      height(ascent + static_cast<int>(std::ceil(metrics.descent() - 0.01)))
{
}

int FontWithMetrics::Width(const std::string& text) const
{
    const auto found = m_widths.find(text);
    if (found != m_widths.end()) return found->second;
    if (m_widths.size() >= kMaxTexts) m_widths.clear();
    const double width = metrics.horizontalAdvance(platform::ToQString(CString(text.data(), static_cast<int>(text.size()))));
    return m_widths.emplace(text, static_cast<int>(std::ceil(width - 0.01))).first->second;
}

const QStaticText& FontWithMetrics::Laid(const std::string& text) const
{
    const auto found = m_laid.find(text);
    if (found != m_laid.end()) return found->second;
    if (m_laid.size() >= kMaxTexts) m_laid.clear();
    QStaticText laid(platform::ToQString(CString(text.data(), static_cast<int>(text.size()))));
    laid.setTextFormat(Qt::PlainText);
    laid.prepare(QTransform(), font);
    return m_laid.emplace(text, laid).first->second;
}

const FontWithMetrics& CachedFont(const LOGFONT& lf)
{
    // Kept for the life of the process (never destroyed after the application's font database);
    // a chart uses a handful of fonts, so a short list is searched and emptied when it is full.
    constexpr std::size_t kMaxFonts = 64;
    static auto* cache = new std::vector<std::unique_ptr<CacheEntry>>();
    for (const auto& entry : *cache) {
        if (SameQtFont(entry->key, lf)) return entry->font;
    }
    if (cache->size() >= kMaxFonts) cache->clear();
    cache->push_back(std::make_unique<CacheEntry>(CacheEntry{lf, FontWithMetrics(ToQFont(lf))}));
    return cache->back()->font;
}

}  // namespace chart
