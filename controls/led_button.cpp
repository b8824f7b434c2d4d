#include "controls/led_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "res/icons/indicator_icons.h"

namespace {
constexpr int kDefaultIconSide = 16;
constexpr int kGap = 4;  // between lamp and caption
}  // namespace

CLedButton::CLedButton(QWidget* parent) : QAbstractButton(parent)
{
    m_states.resize(1);
    setFocusPolicy(Qt::TabFocus);
}

BOOL CLedButton::SetStateCount(int count, BOOL redraw)
{
    if (count < 1) return FALSE;
    m_states.resize(static_cast<std::size_t>(count));
    if (m_state >= count) m_state = 0;
    updateGeometry();
    if (redraw) repaint();
    return TRUE;
}

BOOL CLedButton::SetStateIcon(int state, UINT iconId, int cx, int cy)
{
    if (state < 0 || state >= GetStateCount() || !icons::HasIndicatorIcon(iconId)) return FALSE;
    if (cx <= 0) cx = kDefaultIconSide;
    if (cy <= 0) cy = kDefaultIconSide;
    State& s = m_states[static_cast<std::size_t>(state)];
    s.iconId = iconId;
    s.size = QSize(cx, cy);
    s.image = QImage();
    updateGeometry();
    if (state == m_state) update();
    return TRUE;
}

BOOL CLedButton::SetLedState(int state, BOOL redraw)
{
    if (state < 0 || state >= GetStateCount()) return FALSE;
    m_state = state;
    if (redraw)
        repaint();
    else
        update();
    return TRUE;
}

QSize CLedButton::IconSize() const
{
    QSize size(0, 0);
    for (const State& s : m_states) size = size.expandedTo(s.size);
    return size.isEmpty() ? QSize(kDefaultIconSide, kDefaultIconSide) : size;
}

QSize CLedButton::sizeHint() const
{
    const QSize icon = IconSize();
    const QString caption = text();
    if (caption.isEmpty()) return icon + QSize(2, 2);
    const QSize textSize = fontMetrics().size(0, caption);
    return QSize(icon.width() + kGap + textSize.width() + 2, std::max(icon.height(), textSize.height()) + 2);
}

QSize CLedButton::minimumSizeHint() const
{
    return IconSize() + QSize(2, 2);
}

const QImage& CLedButton::ShownImage()
{
    State& s = m_states[static_cast<std::size_t>(m_state)];
    const qreal ratio = devicePixelRatioF();
    if (s.iconId != 0 && (s.image.isNull() || s.image.devicePixelRatio() != ratio)) {
        s.image = icons::DrawIndicatorIcon(s.iconId, qRound(s.size.width() * ratio), qRound(s.size.height() * ratio));
        s.image.setDevicePixelRatio(ratio);
    }
    return s.image;
}

void CLedButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect area = rect();
    const QImage& image = ShownImage();
    const QSize icon = image.isNull() ? QSize(0, 0) : m_states[static_cast<std::size_t>(m_state)].size;
    const QString caption = text();
    // A pressed button moves its content by one pixel, as a push button does.
    const QPoint shift = isDown() ? QPoint(1, 1) : QPoint(0, 0);

    int x = caption.isEmpty() ? (area.width() - icon.width()) / 2 : 1;
    if (!image.isNull()) {
        p.drawImage(QPoint(x, (area.height() - icon.height()) / 2) + shift, image);
        x += icon.width() + kGap;
    } else if (!caption.isEmpty()) {
        x += IconSize().width() + kGap;
    }
    if (!caption.isEmpty()) {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        p.drawText(QRect(x, 0, area.width() - x, area.height()).translated(shift),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = area.adjusted(0, 0, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}
