#include "chart/range_slider.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <memory>

#include "chart/mem_dc.h"
#include "chart/painter_device.h"

#include "platform/message_loop.h"
#include "platform/sys_color.h"

namespace {

CWnd* EnclosingWnd(const QWidget* widget)
{
    for (QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget())
        if (auto* wnd = dynamic_cast<CWnd*>(parent)) return wnd;
    return nullptr;
}

CRect ToCRect(const chart::CellRect& r)
{
    return CRect(r.left, r.top, r.right, r.bottom);
}

// A thumb: black frame on button face, a raised edge unless it is being dragged, and the
// black triangle pointing into the interval.
void PaintThumb(CDC& dc, const chart::CellRect& thumb, const int (&triangle)[6], bool dragged)
{
    dc.SelectObject(CPen(PS_SOLID, 1, RGB(0, 0, 0)));
    dc.SelectObject(CBrush(platform::GetSysColor(platform::COLOR_BTNFACE)));
    dc.Rectangle(ToCRect(thumb));
    const CRect inner(thumb.left + 1, thumb.top + 1, thumb.right - 2, thumb.bottom - 2);
    if (!dragged) {
        dc.SelectObject(CPen(PS_SOLID, 1, platform::GetSysColor(platform::COLOR_BTNHIGHLIGHT)));
        dc.MoveTo(inner.left, inner.bottom);
        dc.LineTo(inner.left, inner.top);
        dc.LineTo(inner.right, inner.top);
        dc.SelectObject(CPen(PS_SOLID, 1, platform::GetSysColor(platform::COLOR_BTNSHADOW)));
        dc.LineTo(inner.right, inner.bottom);
        dc.LineTo(inner.left, inner.bottom);
    }
    const POINT corners[3] = {{triangle[0], triangle[1]}, {triangle[2], triangle[3]}, {triangle[4], triangle[5]}};
    dc.SelectObject(CPen(PS_SOLID, 1, RGB(0, 0, 0)));
    dc.SelectObject(CBrush(RGB(0, 0, 0)));
    dc.Polygon(corners, 3);
}

}  // namespace

CRangeSlider::CRangeSlider(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    m_model.onChange = [this](int which) { Announce(which); };
}

UINT CRangeSlider::ChangedMessage()
{
    static const UINT message =
        platform::RegisterWindowMessage("RANGE_CHANGED{2E7439A4-12DB-42a2-BB95-3462B3EC39CE}CRangeSlider");
    return message;
}

bool CRangeSlider::Create(DWORD, int left, int top, int right, int bottom, QWidget* parent, UINT id)
{
    if (parent != parentWidget()) setParent(parent);
    setProperty("km3ControlId", static_cast<int>(id));
    setGeometry(left, top, right - left, bottom - top);
    show();
    return true;
}

void CRangeSlider::Announce(int which)
{
    CWnd* target = m_pNotifyWnd ? m_pNotifyWnd : EnclosingWnd(this);
    if (target) target->SendMessage(ChangedMessage(), static_cast<WPARAM>(which), 0);
}

void CRangeSlider::Relayout()
{
    m_geometry = m_model.Layout(width(), height(), hasFocus());
    update();
}

void CRangeSlider::SetTotalRange(double a, double b)
{
    m_model.SetTotalRange(a, b);
    Relayout();
}

void CRangeSlider::SetInterval(double a, double b)
{
    m_model.SetInterval(a, b);
    Relayout();
}

void CRangeSlider::SetVisibleBand(double a, double b)
{
    m_model.SetVisibleBand(a, b);
    Relayout();
}

void CRangeSlider::SetShowVisibleRange(bool show)
{
    if (m_model.SetShowVisibleRange(show)) Relayout();
}

void CRangeSlider::SetVertical(bool vertical)
{
    if (m_model.SetVertical(vertical)) Relayout();
}

void CRangeSlider::SetInverted(bool inverted)
{
    if (m_model.SetInverted(inverted)) Relayout();
}

void CRangeSlider::paintEvent(QPaintEvent*)
{
    m_geometry = m_model.Layout(width(), height(), hasFocus());
    const chart::RangeSliderGeometry& g = m_geometry;

    // Drawn off-screen first and copied in one go, so the thumbs never flicker.
    m_picture = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    {
        CDC window(std::make_shared<chart::ImageDevice>(m_picture));
        window.SetBkColor(platform::GetSysColor(platform::COLOR_BTNFACE));
        CMemDC_Kadmor dc(&window);
        const CPen oldPen = dc.SelectObject(CPen(PS_SOLID, 1, RGB(0, 0, 0)));
        const CBrush oldBrush = dc.SelectObject(CBrush(RGB(128, 128, 128)));
        dc.Rectangle(0, 0, width(), height());

        const bool dragging = m_model.IsDragging();
        PaintThumb(dc, g.leftArrow, g.leftTriangle, dragging && m_model.DragPart() == 0);
        PaintThumb(dc, g.rightArrow, g.rightTriangle, dragging && m_model.DragPart() == 1);

        if (!g.interval.IsEmpty()) dc.FillSolidRect(ToCRect(g.interval), RGB(255, 255, 255));
        if (g.showBand && !g.band.IsEmpty()) dc.FillSolidRect(ToCRect(g.band), RGB(255, 255, 150));
        if (!g.focus.IsEmpty()) dc.DrawFocusRect(ToCRect(g.focus));
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
    }
    QPainter(this).drawImage(0, 0, m_picture);
}

void CRangeSlider::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    m_model.Press(p.x(), p.y(), width(), height());
    update();
}

void CRangeSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_model.IsDragging()) return;
    const QPoint p = event->position().toPoint();
    m_model.Move(p.x(), p.y());
    Relayout();
}

void CRangeSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_model.Release()) update();
}

void CRangeSlider::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const int key = event->key();
    const bool horizontal = m_model.IsHorizontal();
    const bool decrease = horizontal ? key == Qt::Key_Left : key == Qt::Key_Up;
    const bool increase = horizontal ? key == Qt::Key_Right : key == Qt::Key_Down;
    if (ctrl || (!decrease && !increase)) {
        QWidget::keyPressEvent(event);
        return;
    }
    m_model.Key(increase ? chart::RangeSliderKey::Increase : chart::RangeSliderKey::Decrease, shift);
    Relayout();
    event->accept();
}

void CRangeSlider::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void CRangeSlider::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void CRangeSlider::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Relayout();
}
