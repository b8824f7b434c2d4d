#include <QProgressBar>

#include "controls/check_box.h"
#include "controls/my_edit.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/dlg_sensor_calibration.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/form_texts.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "ui_sensor_calibration.h"

namespace sensor_admin {

namespace {

constexpr int kModeIds[] = {IDC_CAL_MODE_CHANGE_A, IDC_CAL_MODE_CHANGE_B, IDC_CAL_MODE_DELETE_A, IDC_CAL_MODE_DELETE_B};
int g_language = 0;  // the edits read the language offset through a pointer

UINT CalibrationStateText(BYTE state)
{
    switch (state) {
    case 1: return kTextCalibrationNone;
    case 2: return kTextCalibrationFactory;
    case 3: return kTextCalibrationUser;
    default: return kTextNotAvailableShort;
    }
}

double EditNumber(CDialog& form, int id)
{
    CMyEdit* edit = form.Item<CMyEdit>(id);
    if (!edit) return 0.0;
    edit->Unlock();
    edit->CheckValue();
    return edit->m_dValue;
}

// A reference value in counts; none while the field is empty.
std::optional<DWORD> ReferenceOf(CDialog& form, int id)
{
    CString text = form.GetDlgItemText(id);
    text.Trim();
    if (text.IsEmpty()) return std::nullopt;
    return static_cast<DWORD>(EditNumber(form, id));
}

}  // namespace

SensorCalibrationForm::SensorCalibrationForm(CDlgSensorCalibration& page, QWidget* parent)
    : PageForm(kDialogCalibration, page, parent)
{
    RegisterRadioGroup({std::begin(kModeIds), std::end(kModeIds)});
    // The separators get through to the check, which refuses them with a word: dropped in
    // silence, "1,5" would read as 15.
    Item<CMyEdit>(IDC_CAL_REF_A)->Init("0123456789.,", 0, 1000, 2000, 3000, &g_language, true, ',');
    Item<CMyEdit>(IDC_CAL_REF_B)->Init("0123456789.,", 0, 1000, 2000, 3000, &g_language, true, ',');
    Item<CMyEdit>(IDC_CAL_INACCURACY)->Init("0123456789.,", 0, 1000, 2000, 3000, &g_language, true, ',');
    for (int id : {IDC_CAL_REF_A, IDC_CAL_REF_B}) Item<CMyEdit>(id)->SetLimitText(5);
    CheckDlgButton(IDC_CAL_MODE_CHANGE_A, BST_CHECKED);
    m_zero = new CalibZeroPromptForm(page, this);
    m_end = new CalibEndPromptForm(page, this);
    m_page.onChanged = Guard([this] { Refresh(); });
    LoadLanguageTexts();
}

void SensorCalibrationForm::LoadLanguageTexts()
{
    SetWindowText(LoadLangString(kTextCalibrationTitle));
    g_language = GetLanguage();
    SetText(*this, IDC_CAL_TITLE, kTextCalibrationTitle);
    SetText(*this, IDC_CAL_STATE_LABEL, kTextCalibrationState);
    SetText(*this, IDC_CAL_REF_A_LABEL, kTextReferenceA);
    SetText(*this, IDC_CAL_REF_B_LABEL, kTextReferenceB);
    SetText(*this, IDC_CAL_START, kTextStartCalibration);
    SetText(*this, IDC_CAL_ACTIVATE, kTextActivateUserCalibration);
    SetText(*this, IDC_CAL_DEACTIVATE, kTextDeactivateUserCalibration);
    SetText(*this, IDC_CAL_INACCURACY_GROUP, kTextChangeInaccuracy);
    SetText(*this, IDC_CAL_MODE_CHANGE_A, kTextChangeA);
    SetText(*this, IDC_CAL_MODE_CHANGE_B, kTextChangeB);
    SetText(*this, IDC_CAL_MODE_DELETE_A, kTextDeleteA);
    SetText(*this, IDC_CAL_MODE_DELETE_B, kTextDeleteB);
    SetText(*this, IDC_CAL_INACCURACY_LABEL, kTextInaccuracyPercent);
    SetText(*this, IDC_CAL_WRITE_ALLOWED, kTextWriteAllowed);
    SetText(*this, IDC_CAL_WRITE, kTextWrite);
    ComboResetContent(IDC_CAL_SENSOR);  // named anew by the refresh
    m_zero->LoadLanguageTexts();
    m_end->LoadLanguageTexts();
    Refresh();
}

void SensorCalibrationForm::Refresh()
{
    const bool idle = m_page.CurrentActivity() == CDlgSensorCalibration::Activity::Idle;
    const bool present = m_page.IsSensorPresent();
    const BYTE state = m_page.SensorCalibrationState();
    // Of several sensors the user sees, and chooses, the one calibrated.
    ShowSensorChoice(*this, IDC_CAL_SENSOR, m_page.SensorCount(), m_page.Sensor(), idle);
    CString stateText = present ? LoadLangString(CalibrationStateText(state)) : LoadLangString(kTextNoSensor);
    // Why Activate stays disabled where the sensor reports a stored calibration switched off.
    if (present && state == 2 && !m_page.HoldsUserCalibration()) stateText += " (" + LoadLangString(kTextNoUserCalibrationStored) + ")";
    SetDlgItemText(IDC_CAL_STATE, stateText);
    const bool shown = m_page.AreControlsVisible();
    for (int id : {IDC_CAL_START, IDC_CAL_ACTIVATE, IDC_CAL_DEACTIVATE, IDC_CAL_WRITE, IDC_CAL_REF_A})
        ShowDlgItem(id, shown);
    EnableDlgItem(IDC_CAL_START, idle && present);
    EnableDlgItem(IDC_CAL_ACTIVATE, idle && present && state == 2 && m_page.HoldsUserCalibration());
    EnableDlgItem(IDC_CAL_DEACTIVATE, idle && present && state == 3);
    EnableDlgItem(IDC_CAL_WRITE, idle && present && m_page.Fields().inaccuracyWriteAllowed);
    EnableDlgItem(IDC_CAL_REF_A, idle);
    EnableDlgItem(IDC_CAL_REF_B, idle);
    // The mode and the write-allowed tick are the page's (another sensor chosen clears them).
    const workflow::CalibrationPageFields fields = m_page.Fields();
    for (int mode = 0; mode < 4; ++mode)
        CheckDlgButton(kModeIds[mode], fields.inaccuracyMode == mode ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CAL_WRITE_ALLOWED, fields.inaccuracyWriteAllowed ? BST_CHECKED : BST_UNCHECKED);
    const bool channelB = m_page.OffersChannelB();
    for (int id : {IDC_CAL_MODE_CHANGE_B, IDC_CAL_MODE_DELETE_B}) {
        if (!channelB && IsDlgButtonChecked(id) == BST_CHECKED) {
            CheckDlgButton(id, BST_UNCHECKED);
            CheckDlgButton(IDC_CAL_MODE_CHANGE_A, BST_CHECKED);
            m_page.SetInaccuracyMode(0);
        }
        ShowDlgItem(id, channelB);
    }
    for (int id : {IDC_CAL_REF_B_LABEL, IDC_CAL_REF_B}) ShowDlgItem(id, shown && m_page.CalibratesChannelB());
    SetProgress(*this, IDC_CAL_PROGRESS, m_page.ProgressPercent());
    SetDlgItemText(IDC_CAL_STATUS, m_page.m_strStatusLine);
    m_zero->Refresh();
    m_end->Refresh();
}

void SensorCalibrationForm::TakeFields()
{
    m_page.SetReferenceValues(ReferenceOf(*this, IDC_CAL_REF_A), ReferenceOf(*this, IDC_CAL_REF_B));
    for (int mode = 0; mode < 4; ++mode)
        if (IsDlgButtonChecked(kModeIds[mode]) == BST_CHECKED) m_page.SetInaccuracyMode(mode);
    m_page.SetInaccuracyWriteAllowed(IsDlgButtonChecked(IDC_CAL_WRITE_ALLOWED) == BST_CHECKED);
}

void SensorCalibrationForm::OnCommand(int id, UINT code)
{
    switch (id) {
    case IDC_CAL_START:
        TakeFields();
        m_page.OnStartCalibration();
        break;
    case IDC_CAL_ACTIVATE: m_page.OnActivateUserCalibration(); break;
    case IDC_CAL_DEACTIVATE: m_page.OnDeactivateUserCalibration(); break;
    case IDC_CAL_WRITE:
        TakeFields();
        m_page.OnWriteInaccuracy(EditNumber(*this, IDC_CAL_INACCURACY));
        break;
    case IDC_CAL_WRITE_ALLOWED:
        TakeFields();
        Refresh();
        break;
    case IDC_CAL_SENSOR:
        if (code == CBN_SELCHANGE) m_page.OnSensorChosen(ComboGetCurSel(IDC_CAL_SENSOR));
        break;
    case IDC_CAL_REF_A:
    case IDC_CAL_REF_B:
        if (code == EN_CHANGE) CheckReferenceField(id);
        break;
    default:
        CDialog::OnCommand(id, code);
        if (code == BN_CLICKED) TakeFields();
        break;
    }
}

void SensorCalibrationForm::CheckReferenceField(int id)
{
    CString& accepted = m_acceptedReference[id == IDC_CAL_REF_A ? 0 : 1];
    const CString text = GetDlgItemText(id);
    const auto entry = CDlgSensorCalibration::CheckReferenceText(text);
    if (entry == CDlgSensorCalibration::ReferenceEntry::Empty || entry == CDlgSensorCalibration::ReferenceEntry::Counts) {
        accepted = text;
        return;
    }
    // Refused where it is typed: the field keeps what it held, the status line says why.
    SetDlgItemText(id, accepted);
    m_page.OnReferenceRefused(entry);
}

void SensorCalibrationForm::showEvent(QShowEvent* event)
{
    CDialog::showEvent(event);
    m_page.OnShowPage(true);
    Refresh();
}

void SensorCalibrationForm::hideEvent(QHideEvent* event)
{
    m_page.OnShowPage(false);
    CDialog::hideEvent(event);
}

}  // namespace sensor_admin
