#include "controls/check_box.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/dlg_sensor_calibration.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/form_texts.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "ui_calib_msg_end.h"
#include "ui_calib_msg_zero.h"

namespace sensor_admin {

// ---- Zero point ----------------------------------------------------------------------------------

CalibZeroPromptForm::CalibZeroPromptForm(CDlgSensorCalibration& page, QWidget* parent)
    : PageForm(kDialogZeroPrompt, page, parent)
{
    setWindowFlags(Qt::Dialog);
    m_page.ZeroPrompt().onChanged = Guard([this] { Refresh(); });
    LoadLanguageTexts();
}

void CalibZeroPromptForm::LoadLanguageTexts()
{
    SetWindowText(LoadLangString(kTextZeroPromptTitle));
    SetText(*this, IDC_PROMPT_TEXT, kTextZeroPrompt);
    SetText(*this, IDC_PROMPT_WITHOUT_CONTROL, kTextWithoutControl);
    SetText(*this, IDOK, kTextOk);
    SetText(*this, IDCANCEL, kTextCancel);
}

void CalibZeroPromptForm::Refresh()
{
    const CDlgCalibMsgGetValueZero& prompt = m_page.ZeroPrompt();
    EnableDlgItem(IDOK, !prompt.IsAcquiring());
    EnableDlgItem(IDC_PROMPT_WITHOUT_CONTROL, !prompt.IsAcquiring());
    SetProgress(*this, IDC_PROMPT_PROGRESS, m_page.ProgressPercent(), prompt.IsAcquiring());
    setVisible(prompt.IsVisible());
}

void CalibZeroPromptForm::OnOK()
{
    m_page.ZeroPrompt().m_bWithoutControl = IsDlgButtonChecked(IDC_PROMPT_WITHOUT_CONTROL) == BST_CHECKED;
    m_page.ZeroPrompt().OnOK();
}

void CalibZeroPromptForm::OnCancel() { m_page.ZeroPrompt().OnCancel(); }

// ---- Scale value ---------------------------------------------------------------------------------

CalibEndPromptForm::CalibEndPromptForm(CDlgSensorCalibration& page, QWidget* parent)
    : PageForm(kDialogEndPrompt, page, parent)
{
    setWindowFlags(Qt::Dialog);
    m_page.EndPrompt().onChanged = Guard([this] { Refresh(); });
    LoadLanguageTexts();
}

void CalibEndPromptForm::LoadLanguageTexts()
{
    SetWindowText(LoadLangString(kTextEndPromptTitle));
    SetText(*this, IDC_PROMPT_TEXT, kTextEndPrompt);
    SetText(*this, IDC_PROMPT_WARNING, kTextValuesTooLow);
    SetText(*this, IDOK, kTextOk);
    SetText(*this, IDCANCEL, kTextCancel);
}

void CalibEndPromptForm::Refresh()
{
    const CDlgCalibMsgGetValueEnd& prompt = m_page.EndPrompt();
    ShowDlgItem(IDC_PROMPT_WARNING, prompt.IsWarningVisible());
    EnableDlgItem(IDOK, !prompt.IsAcquiring());
    SetProgress(*this, IDC_PROMPT_PROGRESS, m_page.ProgressPercent(), prompt.IsAcquiring());
    setVisible(prompt.IsVisible());
    if (prompt.IsWarningVisible()) repaint();
}

void CalibEndPromptForm::OnOK() { m_page.EndPrompt().OnOK(); }

void CalibEndPromptForm::OnCancel() { m_page.EndPrompt().OnCancel(); }

}  // namespace sensor_admin
