#include "chart/nice_slider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace chart {

bool NiceSliderPositionAt(int minimum, int maximum, int channelStart, int channelEnd, int coordinate, int& position)
{
    if (channelEnd <= channelStart) return false;
    const double lo = minimum;
    const double hi = static_cast<double>(maximum) + 1.0;
    // The mouse is captured while the button is held, so it may be far outside the channel.
    const double f = std::clamp(static_cast<double>(coordinate - channelStart) / (channelEnd - channelStart), 0.0, 1.0);
    position = static_cast<int>(lo + (hi - lo) * f + (0.5 - f));
    position = std::clamp(position, minimum, std::max(minimum, maximum));
    return true;
}

}  // namespace chart

CNiceSliderCtrl::CNiceSliderCtrl(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent)
{
    // A vertical trackbar has its minimum at the top, where a click maps to it; Qt's at the
    // bottom. The keys and the wheel then move the thumb the way their arrows point.
    const bool vertical = orientation == Qt::Vertical;
    setInvertedAppearance(vertical);
    setInvertedControls(vertical);
}

QRect CNiceSliderCtrl::GetChannelRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
}

bool CNiceSliderCtrl::SetThumb(const QPoint& point)
{
    const QRect channel = GetChannelRect();
    const bool vertical = orientation() == Qt::Vertical;
    const int start = vertical ? channel.top() : channel.left();
    const int end = vertical ? channel.top() + channel.height() : channel.left() + channel.width();
    int position = 0;
    if (!chart::NiceSliderPositionAt(minimum(), maximum(), start, end, vertical ? point.y() : point.x(), position))
        return false;
    if (position == value()) return false;
    setValue(position);
    return true;
}

void CNiceSliderCtrl::PostMessageToParent(UINT code)
{
    CWnd* target = m_pNotifyWnd;
    for (QWidget* parent = parentWidget(); !target && parent; parent = parent->parentWidget())
        target = dynamic_cast<CWnd*>(parent);
    if (!target) return;
    const WPARAM wParam = MAKELONG(static_cast<WORD>(code), static_cast<WORD>(value()));
    target->PostMessage(WM_HSCROLL, wParam, static_cast<LPARAM>(GetSafeHwnd()));
}

void CNiceSliderCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    m_bDragging = true;
    m_bDragChanged = false;
    setFocus(Qt::MouseFocusReason);
    if (SetThumb(event->position().toPoint())) {
        m_bDragChanged = true;
        PostMessageToParent(TB_THUMBTRACK);
    }
    event->accept();
}

void CNiceSliderCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bDragging) {
        QSlider::mouseMoveEvent(event);
        return;
    }
    if (SetThumb(event->position().toPoint())) {
        m_bDragChanged = true;
        PostMessageToParent(TB_THUMBTRACK);
    }
    event->accept();
}

void CNiceSliderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_bDragging || event->button() != Qt::LeftButton) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    m_bDragging = false;
    if (SetThumb(event->position().toPoint())) {
        PostMessageToParent(TB_THUMBTRACK);
        m_bDragChanged = true;
    }
    if (m_bDragChanged) {
        PostMessageToParent(TB_THUMBPOSITION);
        m_bDragChanged = false;
    }
    event->accept();
}
