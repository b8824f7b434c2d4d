#include "documentation/dlg_documentation.h"

#include <QComboBox>
#include <QLineEdit>

#include "environment/lang_ui.h"
#include "controls/browse_ctrl.h"
#include "controls/check_box.h"
#include "controls/kombi_box.h"
#include "documentation/documentation_texts.h"
#include "platform/message_box.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "ui_documentation_page.h"

namespace documentation {

namespace {

using platform::FromQString;
using platform::ToQString;

constexpr char kFieldChoices[] = {'\t', ';', ',', ' ', '|'};
constexpr char kDecimalChoices[] = {',', '.'};

CString SeparatorName(char separator)
{
    if (separator == '\t') return LoadLangString(kTextTab);
    if (separator == ' ') return LoadLangString(kTextSpace);
    return CString(separator);
}

}  // namespace

bool SeparatorFromText(const CString& text, const CString& tabName, const CString& spaceName, char& separator)
{
    if (text == tabName) {
        separator = '\t';
        return true;
    }
    if (text == spaceName) {
        separator = ' ';
        return true;
    }
    if (text.GetLength() != 1) return false;
    separator = text[0];
    return true;
}

CDlgDocumentation::CDlgDocumentation(QWidget* parent)
    : CDialog(kDocumentationTemplateId, parent), m_ui(std::make_unique<Ui::DocumentationPage>())
{
    m_settings.Load();
    // Until a sensor is lost the box is the user's (m_bBoxEnabled), so the settings can be made
    // beforehand.
    InitDialog();
    RegisterWithFrame(kFrameDocumentationPage, static_cast<workflow::IDocumentationPage*>(this));
}

CDlgDocumentation::~CDlgDocumentation() = default;

BOOL CDlgDocumentation::OnInitDialog()
{
    m_ui->setupUi(this);
    m_formReady = true;
    RegisterControlsFromForm();
    for (int kind = 0; kind < kStorageKindCount; ++kind) {
        if (auto* browse = Item<CBrowseCtrl>(DocKindBase(kind) + kDocFolderOffset)) {
            browse->SetBrowseStyle(BC_FOLDER_MODE);
            browse->SetPathCallback([this, kind](CBrowseCtrl*) { OnFolderChanged(kind); });
            // Typing into the field changes the path without a notification: take it when
            // the user leaves the field.
            QObject::connect(browse->Edit(), &QLineEdit::editingFinished, this, [this, kind] { OnFolderChanged(kind); });
        }
    }
    // An edited separator counts when the user leaves the field or presses Enter.
    for (int id : {IDC_DOC_FIELD_SEPARATOR, IDC_DOC_DECIMAL_SEPARATOR}) {
        if (auto* combo = Item<CKombiBox>(id); combo && combo->lineEdit()) {
            combo->lineEdit()->setMaxLength(20);
            QObject::connect(combo->lineEdit(), &QLineEdit::editingFinished, this, [this, id] { OnSeparatorChanged(id); });
        }
    }
    LoadLanguageTexts();
    return TRUE;
}

void CDlgDocumentation::LoadLanguageTexts()
{
    if (!m_formReady) return;
    m_nLanguage = GetLanguage();
    m_showing = true;
    SetWindowText(LoadLangString(kTextPageCaption));
    SetLangWindowText(GetDlgItem(IDC_DOC_AUTO_STORAGE), kTextAutoStorage);
    const UINT groupText[kStorageKindCount] = {kTextMeasValues, kTextIoNioResults, kTextDiagrams};
    for (int kind = 0; kind < kStorageKindCount; ++kind) {
        const int base = DocKindBase(kind);
        SetLangWindowText(GetDlgItem(base + kDocGroupOffset), groupText[kind]);
        SetLangWindowText(GetDlgItem(base + kDocFolderLabelOffset), kTextFolder);
        SetLangWindowText(GetDlgItem(base + kDocPrefixLabelOffset), kTextPrefix);
        SetLangWindowText(GetDlgItem(base + kDocModeLabelOffset), kTextStorageMode);
        FillModeCombo(kind);
    }
    SetLangWindowText(GetDlgItem(IDC_DOC_SEPARATOR_GROUP), kTextSeparators);
    SetLangWindowText(GetDlgItem(IDC_DOC_FIELD_SEPARATOR_LABEL), kTextFieldSeparator);
    SetLangWindowText(GetDlgItem(IDC_DOC_DECIMAL_SEPARATOR_LABEL), kTextDecimalSeparator);
    SetLangWindowText(GetDlgItem(IDC_DOC_HEADER_GROUP), kTextReportHeader);
    const UINT headerText[kHeaderTextCount] = {kTextHeaderCompany, kTextHeaderTester, kTextHeaderRemark};
    for (int i = 0; i < kHeaderTextCount; ++i) SetLangWindowText(GetDlgItem(DocHeaderLabelId(i)), headerText[i]);
    FillSeparatorCombos();
    ShowSettings();
    m_showing = false;
}

void CDlgDocumentation::FillModeCombo(int kind)
{
    auto* combo = Item<CKombiBox>(DocKindBase(kind) + kDocModeOffset);
    if (!combo) return;
    combo->ResetContent();
    combo->AddItem(LoadLangString(kTextModeOff), kStorageOff);
    combo->AddItem(LoadLangString(kTextModeIndexed), kStorageIndexed);
    combo->AddItem(LoadLangString(kTextModeConstant), kStorageConstant);
}

void CDlgDocumentation::FillSeparatorCombos()
{
    if (auto* field = Item<CKombiBox>(IDC_DOC_FIELD_SEPARATOR)) {
        field->ResetContent();
        for (char ch : kFieldChoices) field->AddItem(SeparatorName(ch), static_cast<unsigned char>(ch));
    }
    if (auto* decimal = Item<CKombiBox>(IDC_DOC_DECIMAL_SEPARATOR)) {
        decimal->ResetContent();
        for (char ch : kDecimalChoices) decimal->AddItem(SeparatorName(ch), static_cast<unsigned char>(ch));
    }
}

void CDlgDocumentation::ShowSettings()
{
    const bool wasShowing = m_showing;
    m_showing = true;
    for (int kind = 0; kind < kStorageKindCount; ++kind) {
        const int base = DocKindBase(kind);
        if (auto* browse = Item<CBrowseCtrl>(base + kDocFolderOffset)) browse->SetPathName(m_settings.directory[kind]);
        SetDlgItemText(base + kDocPrefixOffset, m_settings.prefix[kind]);
        if (auto* combo = Item<CKombiBox>(base + kDocModeOffset)) combo->SetCurSel(combo->FindItemData(m_settings.storageMode[kind]));
    }
    const std::pair<int, char> separators[] = {{IDC_DOC_FIELD_SEPARATOR, m_settings.separators.field},
                                               {IDC_DOC_DECIMAL_SEPARATOR, m_settings.separators.decimal}};
    for (const auto& [id, ch] : separators) {
        auto* combo = Item<CKombiBox>(id);
        if (!combo) continue;
        const int index = combo->FindItemData(static_cast<unsigned char>(ch));
        combo->SetCurSel(index);
        if (index < 0 && combo->lineEdit()) combo->lineEdit()->setText(ToQString(SeparatorName(ch)));
    }
    for (int i = 0; i < kHeaderTextCount; ++i) SetDlgItemText(DocHeaderEditId(i), m_settings.headerText[i]);
    ApplyAutoStorageBox();
    m_showing = wasShowing;
}

void CDlgDocumentation::ApplyAutoStorageBox()
{
    if (auto* box = Item<CCheckBox>(IDC_DOC_AUTO_STORAGE)) {
        box->SetChecked(m_bBoxEnabled && m_settings.autoStorage != 0);
        box->Enable(m_bBoxEnabled);
    }
    // With automatic storage off the modes store nothing: they show it by being disabled,
    // keeping what they hold for when it is switched on again.
    for (int kind = 0; kind < kStorageKindCount; ++kind) EnableDlgItem(DocKindBase(kind) + kDocModeOffset, m_settings.autoStorage != 0);
}

void CDlgDocumentation::SetMeasurementRunning(int active)
{
    m_bBoxEnabled = active != 0;
    ApplyAutoStorageBox();
}

void CDlgDocumentation::OnCommand(int id, UINT code)
{
    if (m_showing) return;
    if (id == IDC_DOC_AUTO_STORAGE && code == BN_CLICKED) {
        m_settings.autoStorage = IsDlgButtonChecked(id) == BST_CHECKED ? 1 : 0;
        m_settings.Save();
        ApplyAutoStorageBox();
        return;
    }
    if ((id == IDC_DOC_FIELD_SEPARATOR || id == IDC_DOC_DECIMAL_SEPARATOR) && code == CBN_SELCHANGE) {
        OnSeparatorChanged(id);
        return;
    }
    for (int kind = 0; kind < kStorageKindCount; ++kind) {
        const int base = DocKindBase(kind);
        if (id == base + kDocPrefixOffset && code == EN_CHANGE) return OnPrefixChanged(kind);
        if (id == base + kDocModeOffset && code == CBN_SELCHANGE) return OnModeChanged(kind);
    }
    for (int i = 0; i < kHeaderTextCount; ++i)
        if (id == DocHeaderEditId(i) && code == EN_CHANGE) return OnHeaderChanged(i);
    CDialog::OnCommand(id, code);
}

void CDlgDocumentation::OnSeparatorChanged(int id)
{
    if (m_showing) return;
    auto* combo = Item<CKombiBox>(id);
    if (!combo) return;
    // A pick from the list stands for its datum; typed text for the character typed.
    const int index = combo->GetCurSel();
    const CString typed = combo->lineEdit() ? FromQString(combo->lineEdit()->text()) : CString();
    char separator = 0;
    if (index >= 0 && combo->GetLBText(index) == typed) {
        separator = static_cast<char>(combo->GetItemData(index));
    } else if (!SeparatorFromText(typed, LoadLangString(kTextTab), LoadLangString(kTextSpace), separator)) {
        Refuse(LoadLangString(kTextSeparatorUnusable));
        return;
    }
    Separators wanted = m_settings.separators;
    (id == IDC_DOC_FIELD_SEPARATOR ? wanted.field : wanted.decimal) = separator;
    if (wanted.field == m_settings.separators.field && wanted.decimal == m_settings.separators.decimal) return;
    const SeparatorProblem problem = CheckSeparators(wanted);
    if (problem != SeparatorProblem::None) {
        Refuse(SeparatorProblemText(problem));
        return;
    }
    m_settings.separators = wanted;
    m_settings.Save();
}

void CDlgDocumentation::OnPrefixChanged(int kind)
{
    const CString text = GetDlgItemText(DocKindBase(kind) + kDocPrefixOffset);
    if (IsValidPrefix(text)) {
        m_settings.prefix[kind] = text;
        m_settings.Save();
        return;
    }
    // An empty field is a prefix being retyped; a slash can never be part of one.
    if (text.Find('/') >= 0) Refuse(LoadLangString(kTextBadPrefix));
}

void CDlgDocumentation::OnModeChanged(int kind)
{
    auto* combo = Item<CKombiBox>(DocKindBase(kind) + kDocModeOffset);
    const int index = combo ? combo->GetCurSel() : -1;
    if (index < 0) return;
    m_settings.storageMode[kind] = static_cast<int>(combo->GetItemData(index));
    if (kind == kIoNioResults) m_ioNioModeSwitchedOff = kStorageOff;  // the user's own choice counts
    m_settings.Save();
}

void CDlgDocumentation::SetIoNioOutputSwitch(int value)
{
    if (value != 1 && value != 2) return;
    int& mode = m_settings.storageMode[kIoNioResults];
    // Switched off and on again, the results go where the user had them go.
    int wanted = mode;
    if (value == 2) {
        if (mode != kStorageOff) m_ioNioModeSwitchedOff = mode;
        wanted = kStorageOff;
    } else if (mode == kStorageOff) {
        wanted = m_ioNioModeSwitchedOff != kStorageOff ? m_ioNioModeSwitchedOff : kStorageIndexed;
    }
    if (wanted == mode) return;
    mode = wanted;
    m_settings.Save();
    if (m_formReady) ShowSettings();
}

void CDlgDocumentation::OnFolderChanged(int kind)
{
    if (m_showing) return;
    auto* browse = Item<CBrowseCtrl>(DocKindBase(kind) + kDocFolderOffset);
    if (!browse) return;
    CString path = FromQString(browse->Edit()->text());
    if (browse->GetPathName() != path && path.Find(kBrowseShortMark) < 0) browse->SetPathName(path);
    path = browse->GetPathName();
    if (path.IsEmpty() || path == m_settings.directory[kind]) return;
    m_settings.directory[kind] = path;
    m_settings.Save();
}

void CDlgDocumentation::OnHeaderChanged(int index)
{
    m_settings.headerText[index] = GetDlgItemText(DocHeaderEditId(index));
    m_settings.Save();
}

void CDlgDocumentation::Refuse(const CString& message)
{
    AfxMessageBox(message, platform::MB_OK | platform::MB_ICONWARNING);
    ShowSettings();  // the controls show the last good settings again
}

}  // namespace documentation
