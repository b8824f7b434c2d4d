#include "chart/colour_button.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "chart/chart_texts.h"
#include "chart/colour_popup.h"
#include "platform/dialog.h"
#include "platform/sys_color.h"

namespace {

constexpr int kEdge = 2;  // the system's edge width

QColor ToQColor(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// The nearest enclosing widget that is also a window of the message loop: the dialog.
CWnd* FindParentWnd(QWidget* widget)
{
    for (QWidget* parent = widget ? widget->parentWidget() : nullptr; parent; parent = parent->parentWidget())
        if (auto* wnd = dynamic_cast<CWnd*>(parent)) return wnd;
    return nullptr;
}

}  // namespace

CColorButton::CColorButton(QWidget* parent)
    : QPushButton(parent),
      m_crColour(CLR_DEFAULT),
      m_crDefaultColour(platform::GetSysColor(platform::COLOR_APPWORKSPACE)),
      m_strDefaultText(chart::ChartTextOf(chart::ChartText::Automatic)),
      m_strCustomText(chart::ChartTextOf(chart::ChartText::MoreColors))
{
    // The button handles its own click; the dialog hears of it through the CPN_ messages.
    setProperty(platform::kReflectsClickProperty, true);
    setMinimumSize(48, 22);
    QObject::connect(this, &QPushButton::clicked, this, [this] { OnClicked(); });
}

CColorButton::~CColorButton()
{
    if (m_pPopup) delete m_pPopup.data();
}

void CColorButton::SetColor(COLORREF colour)
{
    m_crColour = colour;
    repaint();
}

void CColorButton::OnClicked()
{
    if (m_pPopup) return;
    m_bPopupActive = true;
    const QPoint bottomLeft = mapToGlobal(QPoint(0, height()));
    const CString defaultText = m_strDefaultText;
    const CString customText = m_strCustomText;
    m_pPopup = new CColourPopup(bottomLeft.x(), bottomLeft.y(), height(), m_crColour, this, this,
                                defaultText.GetString(), customText.GetString());
    SendToParent(CPN_DROPDOWN, m_crColour);
    update();
}

LRESULT CColorButton::OnMessage(UINT message, WPARAM wParam, LPARAM)
{
    const auto colour = static_cast<COLORREF>(wParam);
    switch (message) {
    case CPN_SELENDOK: {
        m_bPopupActive = false;
        const COLORREF old = m_crColour;
        SetColor(colour);
        SendToParent(CPN_CLOSEUP, colour);
        SendToParent(CPN_SELENDOK, colour);
        if (colour != old) SendToParent(CPN_SELCHANGE, colour);
        return 1;
    }
    case CPN_SELENDCANCEL:
        m_bPopupActive = false;
        SetColor(colour);
        SendToParent(CPN_CLOSEUP, colour);
        SendToParent(CPN_SELENDCANCEL, colour);
        return 1;
    case CPN_SELCHANGE:
        SendToParent(CPN_SELCHANGE, colour);
        return 1;
    default:
        return 0;
    }
}

void CColorButton::SendToParent(UINT message, COLORREF colour)
{
    if (CWnd* parent = FindParentWnd(this))
        parent->SendMessage(message, static_cast<WPARAM>(colour), static_cast<LPARAM>(platform::GetDlgCtrlID(this)));
}

void CColorButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const bool selected = m_bPopupActive || isDown();
    if (selected) option.state |= QStyle::State_Sunken | QStyle::State_HasFocus;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    QRect rect = this->rect().adjusted(kEdge, kEdge, -kEdge, -kEdge);
    if (selected) rect.translate(1, 1);

    // The drop-down arrow at the right, then an etched line left of it.
    const int arrowRight = rect.right() - kEdge;
    const int arrowLeft = arrowRight - 4 - kEdge / 2;
    const int centreY = rect.center().y();
    const QColor arrowColour = isEnabled() ? Qt::black : ToQColor(platform::GetSysColor(platform::COLOR_GRAYTEXT));
    QPolygon triangle;
    triangle << QPoint(arrowLeft, centreY - 1) << QPoint(arrowLeft + 4, centreY - 1) << QPoint(arrowLeft + 2, centreY + 1);
    painter.setPen(arrowColour);
    painter.setBrush(arrowColour);
    painter.drawPolygon(triangle);

    const int separator = arrowLeft - kEdge / 2 - 2;
    painter.setPen(ToQColor(platform::GetSysColor(platform::COLOR_BTNSHADOW)));
    painter.drawLine(separator, rect.top() + 1, separator, rect.bottom() - 1);
    painter.setPen(ToQColor(platform::GetSysColor(platform::COLOR_BTNHIGHLIGHT)));
    painter.drawLine(separator + 1, rect.top() + 1, separator + 1, rect.bottom() - 1);
    if (!isEnabled()) return;

    const QRect swatch(rect.left() + 2, rect.top() + 2, separator - 2 * kEdge - 1 - rect.left(), rect.height() - 4);
    painter.fillRect(swatch, ToQColor(GetResolvedColor()));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}
