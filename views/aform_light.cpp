#include "views/aform_light.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

#include "ui_light_view.h"
#include "views/form_controls.h"
#include "views/view_texts.h"
#include "views/views_frame.h"

namespace {

constexpr int kLampSize = 96;

int Normalised(int state) { return state == 0 || state == 1 || state == 2 ? state : -1; }

UINT VerdictTextId(int state)
{
    switch (Normalised(state)) {
    case 0:
        return views::kTextLightPassed;
    case 1:
        return views::kTextLightWarning;
    case 2:
        return views::kTextLightFailed;
    default:
        return views::kTextLightNeutral;
    }
}

}  // namespace

CAFormLight::CAFormLight(views::IViewsFrame* frame, QWidget* parent) : CDialog(0, parent)
{
    Ui::LightView form;
    form.setupUi(this);
    views::RegisterFormControls(*this, *this);
    InitDialog();
    SetLight(-1);
    if (frame) frame->RegisterLightView(this);
}

COLORREF CAFormLight::LampColour(int state)
{
    switch (Normalised(state)) {
    case 0:
        return RGB(0, 176, 64);
    case 1:
        return RGB(240, 176, 0);
    case 2:
        return RGB(220, 0, 0);
    default:
        return RGB(160, 160, 160);
    }
}

QImage CAFormLight::PaintLamp(int state, int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const COLORREF c = LampColour(state);
    const QColor colour(GetRValue(c), GetGValue(c), GetBValue(c));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF lamp(4, 4, size - 8, size - 8);
    QRadialGradient shine(lamp.center() - QPointF(size / 6.0, size / 6.0), size / 2.0);
    shine.setColorAt(0.0, colour.lighter(160));
    shine.setColorAt(0.6, colour);
    shine.setColorAt(1.0, colour.darker(140));
    painter.setPen(QPen(QColor(60, 60, 60), 2));
    painter.setBrush(shine);
    painter.drawEllipse(lamp);
    return image;
}

void CAFormLight::SetLight(int state)
{
    m_state = Normalised(state);
    m_picture = PaintLamp(m_state, kLampSize);
    if (auto* lamp = Item<QLabel>(IDC_LAMP)) lamp->setPixmap(QPixmap::fromImage(m_picture));
    LoadLanguageTexts();
}

void CAFormLight::LoadLanguageTexts() { SetDlgItemText(IDC_VERDICT, views::ViewText(VerdictTextId(m_state))); }
