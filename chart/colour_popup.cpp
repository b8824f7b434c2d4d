#include "chart/colour_popup.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include "chart/colour_table.h"
#include "chart/common_dialogs.h"
#include "platform/sys_color.h"
#include "platform/qt_text.h"
#include "platform/wnd.h"

namespace {

constexpr int kEdge = 2;  // the system's edge width, the pop-up's margin

QColor ToQColor(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

QRect ToQRect(const chart::CellRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// A raised or sunken one-pixel edge, as the system draws a hot or a chosen cell.
void DrawEdge(QPainter& painter, const QRect& r, bool raised)
{
    const QColor light = ToQColor(platform::GetSysColor(platform::COLOR_3DHILIGHT));
    const QColor dark = ToQColor(platform::GetSysColor(platform::COLOR_3DSHADOW));
    painter.setPen(raised ? light : dark);
    painter.drawLine(r.left(), r.bottom(), r.left(), r.top());
    painter.drawLine(r.left(), r.top(), r.right(), r.top());
    painter.setPen(raised ? dark : light);
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
}

}  // namespace

CColourPopup::CColourPopup(int left, int top, int buttonHeight, COLORREF colour, QWidget* button, CWnd* notify,
                           const char* defaultText, const char* customText)
    : QWidget(button, Qt::Popup | Qt::FramelessWindowHint),
      m_strDefaultText(defaultText ? defaultText : ""),
      m_strCustomText(customText ? customText : ""),
      m_Font(QApplication::font()),
      m_crInitialColour(colour),
      m_crColour(colour),
      m_pParent(notify)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    chart::ColourPopupGeometryInput input;
    input.left = left;
    input.top = top;
    input.buttonHeight = buttonHeight;
    if (const QScreen* screen = button ? button->screen() : QGuiApplication::primaryScreen()) {
        input.screenWidth = screen->geometry().width();
        input.screenHeight = screen->geometry().height();
    }
    input.margin = kEdge;
    input.count = kColourTableSize;
    input.hasDefault = !m_strDefaultText.IsEmpty();
    input.hasCustom = !m_strCustomText.IsEmpty();
    const QFontMetrics metrics(m_Font);
    auto measure = [&](const CString& text) {
        const QSize size = metrics.size(Qt::TextSingleLine, platform::ToQString(text));
        return chart::TextExtent{size.width(), size.height()};
    };
    input.defaultExtent = measure(m_strDefaultText);
    input.customExtent = measure(m_strCustomText);
    m_layout = chart::LayoutColourPopup(input);
    m_nChosenColourSel = chart::FindChosenIndex(colour, input.hasDefault, input.hasCustom);

    setGeometry(ToQRect(m_layout.window));
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive && !m_bChildWindowVisible) EndSelection(CPN_SELENDCANCEL);
    });
    show();
    setFocus();
}

CColourPopup::~CColourPopup() = default;

chart::CellRect CColourPopup::CellRect(int index) const
{
    if (index == chart::kDefaultCell) return m_layout.defaultText;
    if (index == chart::kCustomCell) return m_layout.customText;
    return m_layout.CellRectOf(index);
}

void CColourPopup::ChangeSelection(int index)
{
    const bool valid = index == chart::kDefaultCell ? m_layout.hasDefault
                       : index == chart::kCustomCell ? m_layout.hasCustom
                                                     : index >= 0 && index < m_layout.count;
    if (!valid || index == m_nCurrentSel) return;
    const int old = m_nCurrentSel;
    m_nCurrentSel = index;
    if (old != chart::kNoCell) update(ToQRect(CellRect(old)));
    update(ToQRect(CellRect(index)));

    COLORREF announced = m_crInitialColour;
    if (index == chart::kDefaultCell) {
        m_crColour = CLR_DEFAULT;
        announced = CLR_DEFAULT;
    } else if (index >= 0) {
        m_crColour = kColourTable[index].colour;
        announced = m_crColour;
    }
    if (m_pParent) m_pParent->SendMessage(CPN_SELCHANGE, static_cast<WPARAM>(announced), 0);
}

void CColourPopup::EndSelection(UINT message)
{
    if (m_bEnded) return;
    releaseMouse();
    if (message != CPN_SELENDCANCEL && m_nCurrentSel == chart::kCustomCell) {
        m_bChildWindowVisible = true;
        COLORREF chosen = m_crInitialColour;
        if (chart::GetCommonDialogs().ChooseColour(m_crInitialColour, chosen, parentWidget()))
            m_crColour = chosen;
        else
            message = CPN_SELENDCANCEL;
        m_bChildWindowVisible = false;
    }
    if (message == CPN_SELENDCANCEL) m_crColour = m_crInitialColour;
    m_bEnded = true;
    if (m_pParent) m_pParent->SendMessage(message, static_cast<WPARAM>(m_crColour), 0);
    close();
}

void CColourPopup::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const int cell = m_layout.CellAt(p.x(), p.y());
    if (cell != chart::kNoCell) ChangeSelection(cell);
}

void CColourPopup::mouseReleaseEvent(QMouseEvent* event)
{
    const bool inside = rect().contains(event->position().toPoint());
    EndSelection(inside ? CPN_SELENDOK : CPN_SELENDCANCEL);
}

void CColourPopup::keyPressEvent(QKeyEvent* event)
{
    auto navigate = [&](chart::PopupKey key) {
        ChangeSelection(chart::NextHotIndex(key, m_nCurrentSel, m_layout.count, m_layout.columns, m_layout.hasDefault,
                                            m_layout.hasCustom));
    };
    switch (event->key()) {
    case Qt::Key_Down: navigate(chart::PopupKey::Down); break;
    case Qt::Key_Up: navigate(chart::PopupKey::Up); break;
    case Qt::Key_Right: navigate(chart::PopupKey::Right); break;
    case Qt::Key_Left: navigate(chart::PopupKey::Left); break;
    case Qt::Key_Escape:
        m_crColour = m_crInitialColour;
        EndSelection(CPN_SELENDCANCEL);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: EndSelection(CPN_SELENDOK); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void CColourPopup::hideEvent(QHideEvent* event)
{
    // Closed from outside (a click elsewhere): that is a cancel.
    if (!m_bEnded && !m_bChildWindowVisible) EndSelection(CPN_SELENDCANCEL);
    QWidget::hideEvent(event);
}

bool CColourPopup::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPoint p = help->pos();
        for (int i = 0; i < m_layout.count; ++i) {
            if (m_layout.CellRectOf(i).Contains(p.x(), p.y())) {
                QToolTip::showText(help->globalPos(), QString::fromLatin1(kColourTable[i].name), this);
                return true;
            }
        }
        QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CColourPopup::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(platform::GetSysColor(platform::COLOR_3DFACE)));
    if (m_layout.hasDefault) DrawCell(painter, chart::kDefaultCell);
    for (int i = 0; i < m_layout.count; ++i) DrawCell(painter, i);
    if (m_layout.hasCustom) DrawCell(painter, chart::kCustomCell);
    DrawEdge(painter, rect(), true);
}

void CColourPopup::DrawCell(QPainter& painter, int index)
{
    const bool hot = index == m_nCurrentSel;
    const bool chosen = index == m_nChosenColourSel;
    const bool textCell = index < 0;
    QRect cell = ToQRect(CellRect(index));

    if (index == chart::kCustomCell) {
        // An etched separator above "More Colors...".
        const int m = m_layout.margin;
        const QRect moved = cell.adjusted(0, 2 * m, 0, 0);
        painter.fillRect(moved, ToQColor(platform::GetSysColor(platform::COLOR_3DFACE)));
        const int x = cell.left() + 2 * m;
        const int length = cell.width() - 4 * m;
        painter.setPen(ToQColor(platform::GetSysColor(platform::COLOR_3DSHADOW)));
        painter.drawLine(x, cell.top(), x + length, cell.top());
        painter.setPen(ToQColor(platform::GetSysColor(platform::COLOR_3DHILIGHT)));
        painter.drawLine(x, cell.top() + 1, x + length, cell.top() + 1);
        cell = moved.adjusted(1, 1, -1, -1);
    } else if (index == chart::kDefaultCell) {
        painter.fillRect(cell, ToQColor(platform::GetSysColor(platform::COLOR_3DFACE)));
        cell = cell.adjusted(1, 1, -1, -1);
    }

    QColor background = ToQColor(platform::GetSysColor(platform::COLOR_3DFACE));
    if (chosen && !hot) background = ToQColor(platform::GetSysColor(textCell ? platform::COLOR_3DLIGHT : platform::COLOR_3DHILIGHT));
    painter.fillRect(cell, background);
    if (hot)
        DrawEdge(painter, cell, true);
    else if (chosen)
        DrawEdge(painter, cell, false);

    const int m = m_layout.margin;
    if (!textCell) {
        const QRect swatch = cell.adjusted(m + 1, m + 1, -(m + 1), -(m + 1));
        painter.setPen(ToQColor(platform::GetSysColor(platform::COLOR_3DSHADOW)));
        painter.setBrush(ToQColor(kColourTable[index].colour));
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        return;
    }
    if (index == chart::kDefaultCell) {
        painter.setPen(ToQColor(platform::GetSysColor(platform::COLOR_3DSHADOW)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cell.adjusted(2 * m, 2 * m, -2 * m - 1, -2 * m - 1));
    }
    painter.setFont(m_Font);
    painter.setPen(ToQColor(platform::GetSysColor(platform::COLOR_BTNTEXT)));
    const CString& text = index == chart::kDefaultCell ? m_strDefaultText : m_strCustomText;
    painter.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, platform::ToQString(text));
}
