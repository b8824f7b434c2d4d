#include "measurement/channel_scaling_widget.h"

#include <QShowEvent>

#include "controls/my_edit.h"
#include "measurement/control_state_to_widget.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "ui_channel_scaling.h"

namespace measurement {

namespace {

const char* const kNumberChars = ".,0123456789-";
const char* const kUnitChars =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZÄÖÜabcdefghijklmnopqrstuvwxyzäöüß/!\"§$%&/()=+-*·/_ °µ";

}  // namespace

ChannelScalingWidget::ChannelScalingWidget(IScalingHost& host, QWidget* parent)
    : CDialog(kScalingDialogId, parent), m_logic(host), m_ui(std::make_unique<Ui::ChannelScalingPage>())
{
    m_ui->setupUi(this);
    RegisterControlsFromForm();
    InitDialog();
}

ChannelScalingWidget::~ChannelScalingWidget() = default;

BOOL ChannelScalingWidget::OnInitDialog()
{
    m_nLanguage = GetLanguage();
    m_logic.OnInitDialog();
    SetUpFields();
    return TRUE;
}

void ChannelScalingWidget::SetUpFields()
{
    for (int id : {IDC_SCALE_REFERENCE, IDC_SCALE_TARGET}) {
        if (auto* edit = Item<CMyEdit>(id)) {
            edit->Init(kNumberChars, 0, 1000, 2000, 3000, &m_nLanguage, true, ',');
            edit->SetLimitText(10);
        }
    }
    if (auto* edit = Item<CMyEdit>(IDC_SCALE_UNIT)) {
        edit->Init(kUnitChars, 0, 1000, 2000, 3000, &m_nLanguage, false, ',');
        edit->SetLimitText(5);
    }
}

void ChannelScalingWidget::LoadLanguageTexts()
{
    m_nLanguage = GetLanguage();
    m_logic.OnShowWindow(true);
    Sync();
}

void ChannelScalingWidget::SetCurrentMeasuredValue(LONG raw1, LONG raw2)
{
    m_logic.SetCurrentMeasuredValue(raw1, raw2);
    Sync();
}

void ChannelScalingWidget::OnCommand(int id, UINT code)
{
    if (m_syncing) return;
    if (id == IDC_SCALE_READ && code == BN_CLICKED) {
        m_logic.OnReadValue();
        Sync();
        return;
    }
    if (code != EN_CHANGE) {
        CDialog::OnCommand(id, code);
        return;
    }
    auto* edit = Item<CMyEdit>(id);
    if (!edit) return;
    m_logic.Controls().SetText(id, platform::FromQString(edit->text()));
    if (id == IDC_SCALE_REFERENCE) m_logic.OnReferenceChanged();
    else if (id == IDC_SCALE_TARGET) m_logic.OnTargetChanged();
    else if (id == IDC_SCALE_UNIT) m_logic.OnUnitChanged();
}

void ChannelScalingWidget::OnOK()
{
    if (m_logic.OnOK()) EndDialog(IDOK);
}

void ChannelScalingWidget::OnCancel()
{
    m_logic.OnCancel();
    EndDialog(IDCANCEL);
}

void ChannelScalingWidget::Sync()
{
    m_syncing = true;
    for (const auto& [id, state] : m_logic.Controls().All())
        if (QWidget* control = GetDlgItem(id)) ShowControlState(*control, state);
    setWindowTitle(platform::ToQString(m_logic.Caption()));
    m_syncing = false;
}

void ChannelScalingWidget::showEvent(QShowEvent* event)
{
    CDialog::showEvent(event);
    if (event->spontaneous()) return;
    m_nLanguage = GetLanguage();
    m_logic.OnShowWindow(true);
    Sync();
}

}  // namespace measurement
