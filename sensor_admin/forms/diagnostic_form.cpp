#include "controls/xlist_ctrl.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/dlg_diagnostic.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/form_texts.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "ui_diagnostic.h"

namespace sensor_admin {

namespace {
constexpr UINT kHeadings[] = {kTextColumnPort, kTextColumnSerial, kTextColumnPosition,
                              kTextColumnCount, kTextColumnRole, kTextColumnGroup};

CString RoleText(const DiagnosticRow& row)
{
    if (row.group < 0) return LoadLangString(kTextRoleSingle);
    return LoadLangString(row.role == CMasterSlaveDetector::kRoleMaster ? kTextRoleMaster : kTextRoleSlave);
}
}  // namespace

DiagnosticForm::DiagnosticForm(CDlgDiagnostic& page, QWidget* parent)
    : PageForm(kDialogDiagnostic, page, parent)
{
    m_page.onChanged = Guard([this] { Refresh(); });
    LoadLanguageTexts();
}

void DiagnosticForm::LoadLanguageTexts()
{
    SetWindowText(LoadLangString(kTextDiagnosticTitle));
    SetText(*this, IDC_DIAG_STATE_LABEL, kTextWorkflowState);
    SetText(*this, IDC_DIAG_STATUS_REQUEST, kTextStatusRequest);
    SetText(*this, IDC_DIAG_MULTIPORT_LABEL, kTextMultiportDetection);
    SetHeadings(*Item<CXListCtrl>(IDC_DIAG_LIST), kHeadings, 6);
    m_page.COM_RefreshDiagnosticList();
}

void DiagnosticForm::Refresh()
{
    SetDlgItemText(IDC_DIAG_STATE, m_page.WorkflowStateText());
    SetDlgItemText(IDC_DIAG_STATUS, m_page.m_strStatusLine);
    CXListCtrl& list = *Item<CXListCtrl>(IDC_DIAG_LIST);
    const auto& rows = m_page.Rows();
    while (list.GetItemCount() > static_cast<int>(rows.size())) list.DeleteItem(list.GetItemCount() - 1);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const DiagnosticRow& row = rows[static_cast<std::size_t>(i)];
        if (i >= list.GetItemCount()) list.InsertItem(i, row.port);
        list.SetItemText(i, 0, row.port);
        list.SetItemText(i, 1, CString::Formatted("%u", row.serial));
        list.SetItemText(i, 2, row.position ? CString::Formatted("%d", row.position) : CString());
        list.SetItemText(i, 3, row.count ? CString::Formatted("%d", row.count) : CString());
        list.SetItemText(i, 4, RoleText(row));
        list.SetItemText(i, 5, row.group >= 0 ? CString::Formatted("%d", row.group + 1) : CString());
    }
    FitColumns(list);
}

void DiagnosticForm::OnCommand(int id, UINT code)
{
    if (id == IDC_DIAG_STATUS_REQUEST)
        m_page.OnStatusRequest();
    else
        CDialog::OnCommand(id, code);
}

void DiagnosticForm::showEvent(QShowEvent* event)
{
    CDialog::showEvent(event);
    m_page.OnShowPage(true);
}

void DiagnosticForm::hideEvent(QHideEvent* event)
{
    m_page.OnShowPage(false);
    CDialog::hideEvent(event);
}

}  // namespace sensor_admin
