#include <QComboBox>
#include <QShowEvent>

#include "controls/check_box.h"
#include "controls/xlist_ctrl.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/dlg_sensor_connection.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/form_texts.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "ui_sensor_connection.h"

namespace sensor_admin {

namespace {
constexpr UINT kHeadings[kPortColumnCount] = {kTextColumnPort,    kTextColumnSensorType, kTextColumnRangeEnd,
                                              kTextColumnAddress, kTextColumnSerial,     kTextColumnBaudRate,
                                              kTextColumnStatus,  kTextColumnEnabled};
constexpr int kBaudRates[] = {115200, 230400};
}  // namespace

SensorConnectionForm::SensorConnectionForm(CDlgSensorConnection& page, QWidget* parent)
    : PageForm(kDialogConnection, page, parent)
{
    for (int baud : kBaudRates) ComboAddString(IDC_CONN_BAUD, CString::Formatted("%d", baud));
    ComboSetCurSel(IDC_CONN_BAUD, 0);
    m_page.onChanged = Guard([this] { Refresh(); });
    LoadLanguageTexts();
}

CXListCtrl& SensorConnectionForm::List() const { return *Item<CXListCtrl>(IDC_CONN_LIST); }

void SensorConnectionForm::LoadLanguageTexts()
{
    SetWindowText(LoadLangString(kTextConnectionTitle));
    SetText(*this, IDC_CONN_SEARCH, kTextSearch);
    SetText(*this, IDC_CONN_CONNECT, kTextConnect);
    SetText(*this, IDC_CONN_DISCONNECT, kTextDisconnect);
    SetText(*this, IDC_CONN_USB_ONLY, kTextUsbPortsOnly);
    SetText(*this, IDC_CONN_CHANGE_BAUD, kTextChangeBaudRate);
    SetHeadings(List(), kHeadings, kPortColumnCount);
    m_page.LoadLanguageTexts();
    Refresh();
}

void SensorConnectionForm::Refresh()
{
    CXListCtrl& list = List();
    const CPortListModel& model = m_page.List();
    while (list.GetItemCount() > model.GetItemCount()) list.DeleteItem(list.GetItemCount() - 1);
    for (int row = 0; row < model.GetItemCount(); ++row) {
        const PortListRow& r = *model.Find(row);
        if (row >= list.GetItemCount()) list.InsertItem(row, r.cell[0]);
        for (int col = 0; col < kPortColumnCount; ++col) list.SetItemText(row, col, r.cell[static_cast<std::size_t>(col)]);
        list.SetRowColors(row, r.text, r.background);
        list.SetCheckbox(row, kColumnEnabled, r.checked ? 1 : 0);
        if (r.progress >= 0) {
            if (list.GetProgress(row, kColumnStatus) < 0) list.SetProgress(row, kColumnStatus, r.progress);
            list.UpdateProgress(row, kColumnStatus, r.progress);
        } else if (list.GetProgress(row, kColumnStatus) >= 0) {
            list.DeleteProgress(row, kColumnStatus);
        }
    }
    FitColumns(list);
    const bool enabled = m_page.AreButtonsEnabled();
    for (int id : {IDC_CONN_SEARCH, IDC_CONN_CONNECT, IDC_CONN_DISCONNECT, IDC_CONN_CHANGE_BAUD, IDC_CONN_USB_ONLY})
        EnableDlgItem(id, enabled);
    EnableDlgItem(IDC_CONN_DISCONNECT, enabled && m_page.IsConnected());
    EnableDlgItem(IDC_CONN_CHANGE_BAUD, enabled && m_page.CanChangeBaudRate());
    CheckDlgButton(IDC_CONN_USB_ONLY, m_page.m_nUsbPortsOnly == 1 ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(IDC_CONN_STATUS, m_page.m_strStatusLine);
}

void SensorConnectionForm::OnCommand(int id, UINT code)
{
    switch (id) {
    case IDC_CONN_SEARCH: m_page.OnSearch(); break;
    case IDC_CONN_CONNECT: m_page.OnConnect(); break;
    case IDC_CONN_DISCONNECT: m_page.OnDisconnect(); break;
    case IDC_CONN_USB_ONLY: m_page.OnUsbPortsOnly(IsDlgButtonChecked(IDC_CONN_USB_ONLY) == BST_CHECKED); break;
    case IDC_CONN_CHANGE_BAUD: {
        const int index = ComboGetCurSel(IDC_CONN_BAUD);
        if (index >= 0 && index < static_cast<int>(std::size(kBaudRates))) m_page.OnChangeBaudRate(kBaudRates[index]);
        break;
    }
    case IDC_CONN_LIST:
        if (code == NM_CLICK) {
            int row = -1, col = -1;
            List().GetLastClick(row, col);
            if (row >= 0 && col != kColumnEnabled) m_page.OnRowClicked(row);
        }
        break;
    default: CDialog::OnCommand(id, code); break;
    }
}

void SensorConnectionForm::showEvent(QShowEvent* event)
{
    CDialog::showEvent(event);
    if (!event->spontaneous()) m_page.OnShown();
}

LRESULT SensorConnectionForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CXListCtrl::CheckboxClickedMessage()) {
        const int row = static_cast<int>(wParam);
        m_page.OnEnableChecked(row, List().GetCheckbox(row, static_cast<int>(lParam)) == 1);
        return 0;
    }
    return CDialog::OnMessage(message, wParam, lParam);
}

}  // namespace sensor_admin
