#include "controls/xlist_ctrl.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/dlg_sensor_information.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/form_texts.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "ui_sensor_information.h"

namespace sensor_admin {

namespace {
constexpr UINT kHeadings[] = {kTextColumnProperty, kTextColumnValue};
}

SensorInformationForm::SensorInformationForm(CDlgSensorInformationHmb& page, QWidget* parent)
    : PageForm(kDialogInformation, page, parent)
{
    m_page.onChanged = Guard([this] { Refresh(); });
    LoadLanguageTexts();
}

void SensorInformationForm::LoadLanguageTexts()
{
    SetWindowText(LoadLangString(kTextInformationTitle));
    SetText(*this, IDC_INFO_READ, kTextReadAgain);
    SetText(*this, IDC_INFO_STORE, kTextStoreSettings);
    SetHeadings(*Item<CXListCtrl>(IDC_INFO_LIST), kHeadings, 2);
    ComboResetContent(IDC_INFO_SENSOR);  // named anew by the refresh
    // The values hold language-dependent words and dates.
    m_page.FillSensorInformation(m_page.Sensor());
}

void SensorInformationForm::Refresh()
{
    CXListCtrl& list = *Item<CXListCtrl>(IDC_INFO_LIST);
    const auto& rows = m_page.Rows();
    while (list.GetItemCount() > static_cast<int>(rows.size())) list.DeleteItem(list.GetItemCount() - 1);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const CString label = LoadLangString(rows[static_cast<std::size_t>(i)].labelId);
        if (i >= list.GetItemCount()) list.InsertItem(i, label);
        list.SetItemText(i, 0, label);
        list.SetItemText(i, 1, rows[static_cast<std::size_t>(i)].value);
    }
    FitColumns(list);
    const bool idle = m_page.CurrentActivity() == CDlgSensorInformationHmb::Activity::Idle;
    // With several sensors connected the user chooses the one shown.
    ShowSensorChoice(*this, IDC_INFO_SENSOR, m_page.SensorCount(), m_page.Sensor(), idle);
    EnableDlgItem(IDC_INFO_READ, idle && m_page.IsSensorPresent());
    EnableDlgItem(IDC_INFO_STORE, idle && m_page.IsSensorPresent());
    SetDlgItemText(IDC_INFO_STATUS, m_page.IsSensorPresent() || !m_page.m_strStatusLine.IsEmpty()
                                        ? m_page.m_strStatusLine
                                        : LoadLangString(kTextNoSensor));
}

void SensorInformationForm::OnCommand(int id, UINT code)
{
    switch (id) {
    case IDC_INFO_READ: m_page.OnReadAgain(); break;
    case IDC_INFO_STORE: m_page.OnStoreSettings(); break;
    case IDC_INFO_SENSOR:
        if (code == CBN_SELCHANGE) m_page.OnSensorChosen(ComboGetCurSel(IDC_INFO_SENSOR));
        break;
    default: CDialog::OnCommand(id, code); break;
    }
}

void SensorInformationForm::showEvent(QShowEvent* event)
{
    CDialog::showEvent(event);
    if (m_page.IsRefreshPending()) m_page.FillSensorInformation(m_page.Sensor());
}

}  // namespace sensor_admin
