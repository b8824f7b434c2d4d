#include "controls/check_box.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/dlg_start_up.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/form_texts.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "ui_start_up.h"

namespace sensor_admin {

StartUpForm::StartUpForm(CDlgStartUp& page, QWidget* parent)
    : PageForm(kDialogStartUp, page, parent)
{
    m_page.onChanged = Guard([this] { Refresh(); });
    LoadLanguageTexts();
}

void StartUpForm::LoadLanguageTexts()
{
    SetWindowText(LoadLangString(kTextStartUpTitle));
    SetText(*this, IDC_STARTUP_TITLE, kTextStartUpTitle);
    SetText(*this, IDC_STARTUP_USB_ONLY, kTextSearchUsbOnly);
    Refresh();
}

void StartUpForm::Refresh()
{
    SetProgress(*this, IDC_STARTUP_PROGRESS, m_page.Percent(), m_page.IsProgressVisible() || m_page.IsFinished());
    SetDlgItemText(IDC_STARTUP_TEXT, m_page.StatusText());
    CheckDlgButton(IDC_STARTUP_USB_ONLY, m_page.IsSearchUsbOnly() ? BST_CHECKED : BST_UNCHECKED);
    // The window follows the search: it shows while one runs and closes itself at the end.
    if (parentWidget() == nullptr || isWindow()) setVisible(m_page.IsVisible());
}

void StartUpForm::OnCommand(int id, UINT code)
{
    if (id == IDC_STARTUP_USB_ONLY)
        m_page.m_bSearchUsbOnly = IsDlgButtonChecked(IDC_STARTUP_USB_ONLY) == BST_CHECKED ? 1 : 0;
    else
        CDialog::OnCommand(id, code);
}

}  // namespace sensor_admin
