#include "res/icons/indicator_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace icons {

namespace {

enum class Look { Lamp, Hourglass };

struct IconDrawing {
    UINT id;
    Look look;
    QColor colour;  // the lamp's light, or the hourglass's sand
};

constexpr int kIconCount = 6;
const IconDrawing kIcons[kIconCount] = {
    {176, Look::Lamp, QColor(128, 128, 128)},
    {177, Look::Lamp, QColor(0, 200, 40)},
    {178, Look::Lamp, QColor(230, 20, 20)},
    {179, Look::Lamp, QColor(255, 210, 0)},
    {214, Look::Hourglass, QColor(230, 150, 0)},
    {313, Look::Lamp, QColor(30, 110, 255)},
};

const IconDrawing* FindIcon(UINT iconId)
{
    for (const IconDrawing& icon : kIcons)
        if (icon.id == iconId) return &icon;
    return nullptr;
}

// A round lamp: dark rim, the light as a radial gradient, a highlight at the upper left.
void DrawLamp(QPainter& p, const QRectF& area, const QColor& light)
{
    const qreal side = std::min(area.width(), area.height());
    const QRectF box(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    const qreal rim = std::max<qreal>(1.0, side / 14.0);

    QLinearGradient rimGradient(box.topLeft(), box.bottomRight());
    rimGradient.setColorAt(0.0, QColor(90, 90, 90));
    rimGradient.setColorAt(1.0, QColor(30, 30, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(rimGradient);
    p.drawEllipse(box);

    const QRectF lens = box.adjusted(rim, rim, -rim, -rim);
    QRadialGradient glow(lens.center() - QPointF(lens.width() * 0.15, lens.height() * 0.15), lens.width() * 0.65);
    glow.setColorAt(0.0, light.lighter(150));
    glow.setColorAt(0.6, light);
    glow.setColorAt(1.0, light.darker(170));
    p.setBrush(glow);
    p.drawEllipse(lens);

    const QRectF shine(lens.left() + lens.width() * 0.2, lens.top() + lens.height() * 0.12,
                       lens.width() * 0.38, lens.height() * 0.28);
    QRadialGradient shineGradient(shine.center(), shine.width() / 2);
    shineGradient.setColorAt(0.0, QColor(255, 255, 255, 200));
    shineGradient.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(shineGradient);
    p.drawEllipse(shine);
}

// An hourglass: two glass triangles between two bars, sand in the lower half.
void DrawHourglass(QPainter& p, const QRectF& area, const QColor& sand)
{
    const qreal side = std::min(area.width(), area.height());
    const QRectF box(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    const qreal bar = std::max<qreal>(1.0, side / 8.0);
    const qreal inset = side * 0.18;
    const qreal left = box.left() + inset;
    const qreal right = box.right() - inset;
    const qreal top = box.top() + bar;
    const qreal bottom = box.bottom() - bar;
    const qreal midX = box.center().x();
    const qreal midY = box.center().y();
    const qreal neck = std::max<qreal>(0.5, side / 20.0);

    QPainterPath glass;
    glass.moveTo(left, top);
    glass.lineTo(right, top);
    glass.lineTo(midX + neck, midY);
    glass.lineTo(right, bottom);
    glass.lineTo(left, bottom);
    glass.lineTo(midX - neck, midY);
    glass.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 240, 250));
    p.drawPath(glass);

    // Sand: a heap in the lower half and a little left in the upper one.
    const qreal lowerSandTop = midY + (bottom - midY) * 0.35;
    QPainterPath lower;
    const qreal lowerSpan = (right - left) / 2 * (lowerSandTop - midY) / (bottom - midY);
    lower.moveTo(midX - lowerSpan, lowerSandTop);
    lower.lineTo(midX + lowerSpan, lowerSandTop);
    lower.lineTo(right, bottom);
    lower.lineTo(left, bottom);
    lower.closeSubpath();
    const qreal upperSandTop = top + (midY - top) * 0.55;
    const qreal upperSpan = (right - left) / 2 * (midY - upperSandTop) / (midY - top);
    QPainterPath upper;
    upper.moveTo(midX - upperSpan, upperSandTop);
    upper.lineTo(midX + upperSpan, upperSandTop);
    upper.lineTo(midX + neck, midY);
    upper.lineTo(midX - neck, midY);
    upper.closeSubpath();
    p.setBrush(sand);
    p.drawPath(lower);
    p.drawPath(upper);

    QPen outline(QColor(60, 60, 60));
    outline.setWidthF(std::max<qreal>(1.0, side / 20.0));
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawPath(glass);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 70, 30));
    p.drawRect(QRectF(box.left() + inset / 2, box.top(), side - inset, bar));
    p.drawRect(QRectF(box.left() + inset / 2, box.bottom() - bar, side - inset, bar));
}

}  // namespace

bool HasIndicatorIcon(UINT iconId)
{
    return FindIcon(iconId) != nullptr;
}

QImage DrawIndicatorIcon(UINT iconId, int cx, int cy)
{
    const IconDrawing* icon = FindIcon(iconId);
    if (!icon || cx < 1 || cy < 1) return QImage();
    QImage image(cx, cy, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area(0.5, 0.5, cx - 1.0, cy - 1.0);
    if (icon->look == Look::Lamp)
        DrawLamp(p, area, icon->colour);
    else
        DrawHourglass(p, area, icon->colour);
    return image;
}

}  // namespace icons
