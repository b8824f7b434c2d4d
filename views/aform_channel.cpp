#include "views/aform_channel.h"

#include "ui_channel_view.h"
#include "views/form_controls.h"
#include "views/view_texts.h"

CAFormChannelX::CAFormChannelX(int channel, views::IViewsFrame& frame, views::ChannelRefresher& refresher,
                               QWidget* parent)
    : CDialog(0, parent), m_logic(channel, frame, refresher), m_refresher(refresher)
{
    Ui::ChannelView form;
    form.setupUi(this);
    views::RegisterFormControls(*this, *this);
    InitDialog();
    LoadLanguageTexts();
    refresher.AttachDisplay(this);
    frame.RegisterChannelView(channel, this);
}

CAFormChannelX::~CAFormChannelX() { m_refresher.DetachDisplay(this); }

CString CAFormChannelX::ShownFieldText(int field) const { return m_bCleared ? CString("---") : m_logic.FieldText(field); }

void CAFormChannelX::UpdateField0() { SetDlgItemText(IDC_CAPTION, ShownFieldText(0)); }
void CAFormChannelX::UpdateField1() { SetDlgItemText(IDC_VALUE, ShownFieldText(1)); }
void CAFormChannelX::UpdateField2() { SetDlgItemText(IDC_MINIMUM, ShownFieldText(2)); }
void CAFormChannelX::UpdateField3() { SetDlgItemText(IDC_MAXIMUM, ShownFieldText(3)); }

void CAFormChannelX::EnableValueButtons(bool enable)
{
    m_bButtonsEnabled = enable;
    if (enable) m_bCleared = false;
    ShowValues();
}

void CAFormChannelX::ClearValueFields()
{
    m_bCleared = true;
    ShowValues();
}

void CAFormChannelX::LoadLanguageTexts()
{
    SetDlgItemText(IDC_TARE, views::ViewText(views::kTextTare));
    SetDlgItemText(IDC_MINIMUM_CAPTION, views::ViewText(views::kTextMinimum));
    SetDlgItemText(IDC_MAXIMUM_CAPTION, views::ViewText(views::kTextMaximum));
    ShowValues();
}

void CAFormChannelX::ShowValues()
{
    UpdateField0();
    UpdateField1();
    UpdateField2();
    UpdateField3();
    SetDlgItemText(IDC_TARE_STATE, m_logic.IsTared() ? views::ViewText(views::kTextTareActive) : CString());
    EnableDlgItem(IDC_TARE, m_bButtonsEnabled && !m_logic.IsAbsent());
    EnableDlgItem(IDC_MINIMUM, m_bButtonsEnabled);
    EnableDlgItem(IDC_MAXIMUM, m_bButtonsEnabled);
}

void CAFormChannelX::OnCommand(int id, UINT code)
{
    if (code != BN_CLICKED || !m_bButtonsEnabled) return;
    switch (id) {
    case IDC_TARE:
        if (m_logic.IsTared()) m_logic.ClearTare();
        else m_logic.Tare();
        break;
    case IDC_MINIMUM:
        m_logic.ResetMinimum();
        break;
    case IDC_MAXIMUM:
        m_logic.ResetMaximum();
        break;
    default:
        return;
    }
    ShowValues();
}
