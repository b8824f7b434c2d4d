#include "platform/dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cmath>
#include <cstdlib>

#include "platform/qt_text.h"

namespace platform {

namespace {
DialogMessageHandler& MessageHandler()
{
    static DialogMessageHandler handler;
    return handler;
}
}  // namespace

void SetDialogMessageHandler(DialogMessageHandler handler)
{
    MessageHandler() = std::move(handler);
}

void ShowDialogMessage(const CString& text)
{
    if (MessageHandler()) {
        MessageHandler()(text);
        return;
    }
    QMessageBox::warning(nullptr, QString(), ToQString(text));
}

int GetDlgCtrlID(const QWidget* control)
{
    return control ? control->property("km3ControlId").toInt() : 0;
}

int VirtualKeyFromQt(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return platform::VK_RETURN;
    case Qt::Key_Escape: return platform::VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    default: return 0;
    }
}

}  // namespace platform

// ---------------------------------------------------------------------------------------------
// CSpinButtonCtrl

CSpinButtonCtrl::CSpinButtonCtrl(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_up, m_down}) {
        button->setFixedSize(16, 11);
        button->setAutoRepeat(true);
        layout->addWidget(button);
    }
    setFixedSize(16, 22);
    QObject::connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
    QObject::connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void CSpinButtonCtrl::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
}

int CSpinButtonCtrl::SetPos(int pos)
{
    const int previous = GetPos();
    const int lo = std::min(m_lower, m_upper);
    const int hi = std::max(m_lower, m_upper);
    pos = std::clamp(pos, lo, hi);
    if (m_buddy) m_buddy->setText(QString::number(pos));
    return previous;
}

int CSpinButtonCtrl::GetPos() const
{
    if (!m_buddy) return m_lower;
    bool ok = false;
    const int value = m_buddy->text().trimmed().toInt(&ok);
    return ok ? value : m_lower;
}

void CSpinButtonCtrl::Step(int delta)
{
    SetPos(GetPos() + (m_upper >= m_lower ? delta : -delta));
}

// ---------------------------------------------------------------------------------------------
// Data exchange

namespace {

// Thrown by CDataExchange::Fail and caught by UpdateData, which ends the exchange.
struct DataExchangeFailed {};

bool ParseInt(const CString& text, int& value)
{
    const char* begin = text.GetString();
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseDouble(const CString& text, double& value)
{
    const char* begin = text.GetString();
    while (*begin == ' ' || *begin == '\t') ++begin;
    if (*begin == '\0') return false;
    // Our own parser of the C form, so that the user's locale never changes the separator.
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(begin, &end);
    if (end == begin || errno == ERANGE || !std::isfinite(parsed)) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return false;
    value = parsed;
    return true;
}

}  // namespace

void CDataExchange::Fail(const CString& message)
{
    platform::ShowDialogMessage(message);
    if (QWidget* control = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(m_idLastControl) : nullptr) control->setFocus();
    throw DataExchangeFailed{};
}

void DDX_Text(CDataExchange& dx, int id, CString& value)
{
    dx.PrepareCtrl(id);
    if (dx.m_bSaveAndValidate)
        value = dx.m_pDlgWnd->GetDlgItemText(id);
    else
        dx.m_pDlgWnd->SetDlgItemText(id, value);
}

void DDX_Text(CDataExchange& dx, int id, int& value)
{
    dx.PrepareCtrl(id);
    if (dx.m_bSaveAndValidate) {
        int parsed = 0;
        if (!ParseInt(dx.m_pDlgWnd->GetDlgItemText(id), parsed)) dx.Fail("Please enter an integer.");
        value = parsed;
    } else {
        dx.m_pDlgWnd->SetDlgItemText(id, CString::Formatted("%d", value));
    }
}

void DDX_Text(CDataExchange& dx, int id, double& value)
{
    dx.PrepareCtrl(id);
    if (dx.m_bSaveAndValidate) {
        double parsed = 0.0;
        if (!ParseDouble(dx.m_pDlgWnd->GetDlgItemText(id), parsed)) dx.Fail("Please enter a number.");
        value = parsed;
    } else {
        dx.m_pDlgWnd->SetDlgItemText(id, CString::Formatted("%.15g", value));
    }
}

void DDX_Check(CDataExchange& dx, int id, int& value)
{
    dx.PrepareCtrl(id);
    if (dx.m_bSaveAndValidate)
        value = static_cast<int>(dx.m_pDlgWnd->IsDlgButtonChecked(id));
    else
        dx.m_pDlgWnd->CheckDlgButton(id, value != 0 ? BST_CHECKED : BST_UNCHECKED);
}

void DDX_CBIndex(CDataExchange& dx, int id, int& index)
{
    dx.PrepareCtrl(id);
    if (dx.m_bSaveAndValidate)
        index = dx.m_pDlgWnd->ComboGetCurSel(id);
    else
        dx.m_pDlgWnd->ComboSetCurSel(id, index);
}

void DDX_Radio(CDataExchange& dx, int firstId, int& index)
{
    dx.PrepareCtrl(firstId);
    const std::vector<int>* group = dx.m_pDlgWnd->RadioGroup(firstId);
    if (!group) return;
    if (dx.m_bSaveAndValidate) {
        index = -1;
        for (std::size_t i = 0; i < group->size(); ++i)
            if (dx.m_pDlgWnd->IsDlgButtonChecked((*group)[i]) == BST_CHECKED) index = static_cast<int>(i);
    } else {
        for (std::size_t i = 0; i < group->size(); ++i)
            dx.m_pDlgWnd->CheckDlgButton((*group)[i], static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED);
    }
}

void DDV_MinMaxInt(CDataExchange& dx, int value, int minValue, int maxValue)
{
    if (dx.m_bSaveAndValidate && (value < minValue || value > maxValue))
        dx.Fail(CString::Formatted("Please enter an integer between %d and %d.", minValue, maxValue));
}

void DDV_MinMaxDouble(CDataExchange& dx, double value, double minValue, double maxValue)
{
    if (dx.m_bSaveAndValidate && (value < minValue || value > maxValue))
        dx.Fail(CString::Formatted("Please enter a number between %.15g and %.15g.", minValue, maxValue));
}

// ---------------------------------------------------------------------------------------------
// CDialog

CDialog::CDialog(UINT /*templateId*/, QWidget* parent) : QWidget(parent) {}

CDialog::~CDialog()
{
    if (m_modalLoop) m_modalLoop->exit(IDCANCEL);
}

void CDialog::RegisterControl(int id, QWidget* control)
{
    m_controls[id] = control;
    control->setProperty("km3ControlId", id);
    control->installEventFilter(this);
    ConnectNotifications(id, control);
}

namespace {

// Walks the widget tree below parent, leaving out what lies inside a child dialog.
void RegisterFormChildren(CDialog& dialog, QWidget* parent, int& count)
{
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget) continue;
        bool ok = false;
        const int id = widget->property(platform::kCtrlIdProperty).toInt(&ok);
        if (ok && id != -1) {
            dialog.RegisterControl(id, widget);
            ++count;
        }
        if (!dynamic_cast<CDialog*>(widget)) RegisterFormChildren(dialog, widget, count);
    }
}

}  // namespace

int CDialog::RegisterControlsFromForm()
{
    int count = 0;
    RegisterFormChildren(*this, this, count);
    return count;
}

void CDialog::RegisterRadioGroup(const std::vector<int>& ids)
{
    m_radioGroups.push_back(ids);
    for (int id : ids)
        if (auto* radio = Item<QRadioButton>(id)) radio->setAutoExclusive(false);
}

const std::vector<int>* CDialog::RadioGroup(int firstId) const
{
    for (const auto& group : m_radioGroups)
        if (!group.empty() && group.front() == firstId) return &group;
    return nullptr;
}

void CDialog::ConnectNotifications(int id, QWidget* control)
{
    if (auto* radio = dynamic_cast<QRadioButton*>(control)) {
        QObject::connect(radio, &QRadioButton::clicked, this, [this, id] { ClickRadio(id); });
    } else if (auto* button = dynamic_cast<QAbstractButton*>(control)) {
        if (control->property(platform::kReflectsClickProperty).toBool()) return;
        QObject::connect(button, &QAbstractButton::clicked, this, [this, id] { Notify(id, BN_CLICKED); });
    } else if (auto* combo = dynamic_cast<QComboBox*>(control)) {
        QObject::connect(combo, &QComboBox::activated, this, [this, id] { Notify(id, CBN_SELCHANGE); });
    } else if (auto* edit = dynamic_cast<QLineEdit*>(control)) {
        QObject::connect(edit, &QLineEdit::textChanged, this, [this, id] { Notify(id, EN_CHANGE); });
    } else if (auto* picker = dynamic_cast<QDateTimeEdit*>(control)) {
        // Only what the user types or steps counts as a change, as with the native picker.
        QObject::connect(picker, &QDateTimeEdit::dateTimeChanged, this, [this, id, picker] {
            if (picker->hasFocus()) Notify(id, DTN_DATETIMECHANGE);
        });
    }
}

void CDialog::ClickRadio(int id)
{
    for (const auto& group : m_radioGroups) {
        if (std::find(group.begin(), group.end(), id) == group.end()) continue;
        for (int other : group) CheckDlgButton(other, other == id ? BST_CHECKED : BST_UNCHECKED);
    }
    Notify(id, BN_CLICKED);
}

void CDialog::Notify(int id, UINT code)
{
    if (m_updateDepth > 0) return;
    OnCommand(id, code);
}

QWidget* CDialog::GetDlgItem(int id) const
{
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CDialog::SetDlgItemText(int id, const CString& text)
{
    QWidget* control = GetDlgItem(id);
    const QString qtext = platform::ToQString(text);
    if (auto* edit = dynamic_cast<QLineEdit*>(control)) {
        // Windows sends EN_CHANGE for every write, also of the same text; Qt only for a change.
        if (edit->text() == qtext)
            Notify(id, EN_CHANGE);
        else
            edit->setText(qtext);
    } else if (auto* button = dynamic_cast<QAbstractButton*>(control)) {
        button->setText(qtext);
    } else if (auto* label = dynamic_cast<QLabel*>(control)) {
        label->setText(qtext);
    } else if (auto* combo = dynamic_cast<QComboBox*>(control)) {
        if (combo->isEditable()) combo->setEditText(qtext);
    } else if (control) {
        control->setWindowTitle(qtext);
    }
}

CString CDialog::GetDlgItemText(int id) const
{
    QWidget* control = GetDlgItem(id);
    if (auto* edit = dynamic_cast<QLineEdit*>(control)) return platform::FromQString(edit->text());
    if (auto* button = dynamic_cast<QAbstractButton*>(control)) return platform::FromQString(button->text());
    if (auto* label = dynamic_cast<QLabel*>(control)) return platform::FromQString(label->text());
    if (auto* combo = dynamic_cast<QComboBox*>(control)) return platform::FromQString(combo->currentText());
    if (control) return platform::FromQString(control->windowTitle());
    return CString();
}

void CDialog::CheckDlgButton(int id, UINT check)
{
    if (auto* button = Item<QAbstractButton>(id)) {
        const QSignalBlocker block(button);
        button->setChecked(check != BST_UNCHECKED);
    }
}

UINT CDialog::IsDlgButtonChecked(int id) const
{
    auto* button = Item<QAbstractButton>(id);
    return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CDialog::EnableDlgItem(int id, bool enable)
{
    if (QWidget* control = GetDlgItem(id)) control->setEnabled(enable);
}

void CDialog::ShowDlgItem(int id, bool show)
{
    if (QWidget* control = GetDlgItem(id)) control->setVisible(show);
}

bool CDialog::IsDlgItemEnabled(int id) const
{
    QWidget* control = GetDlgItem(id);
    return control && control->isEnabled();
}

int CDialog::ComboResetContent(int id)
{
    auto* combo = Item<QComboBox>(id);
    if (!combo) return -1;
    const QSignalBlocker block(combo);
    combo->clear();
    combo->setCurrentIndex(-1);
    return 0;
}

int CDialog::ComboAddString(int id, const CString& text)
{
    auto* combo = Item<QComboBox>(id);
    if (!combo) return -1;
    const QSignalBlocker block(combo);
    const int selected = combo->currentIndex();
    combo->addItem(platform::ToQString(text));
    // A Windows combo keeps "no selection" when an item is added; Qt selects the first one.
    combo->setCurrentIndex(selected);
    return combo->count() - 1;
}

int CDialog::ComboGetCount(int id) const
{
    auto* combo = Item<QComboBox>(id);
    return combo ? combo->count() : -1;
}

int CDialog::ComboGetCurSel(int id) const
{
    auto* combo = Item<QComboBox>(id);
    return combo ? combo->currentIndex() : -1;
}

int CDialog::ComboSetCurSel(int id, int index)
{
    auto* combo = Item<QComboBox>(id);
    if (!combo) return -1;
    const QSignalBlocker block(combo);
    if (index < 0 || index >= combo->count()) {
        combo->setCurrentIndex(-1);
        return -1;
    }
    combo->setCurrentIndex(index);
    return index;
}

CString CDialog::ComboGetText(int id, int index) const
{
    auto* combo = Item<QComboBox>(id);
    if (!combo || index < 0 || index >= combo->count()) return CString();
    return platform::FromQString(combo->itemText(index));
}

void CDialog::SetWindowText(const CString& text)
{
    setWindowTitle(platform::ToQString(text));
}

CString CDialog::GetWindowText() const
{
    return platform::FromQString(windowTitle());
}

BOOL CDialog::InitDialog()
{
    if (m_initialised) return TRUE;
    m_initialised = true;
    return OnInitDialog();
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    ++m_updateDepth;
    bool ok = true;
    try {
        DoDataExchange(dx);
    } catch (const DataExchangeFailed&) {
        ok = false;
    }
    --m_updateDepth;
    return ok;
}

int CDialog::DoModal()
{
    setWindowFlag(Qt::Dialog, true);
    setWindowModality(Qt::ApplicationModal);
    InitDialog();
    show();
    QEventLoop loop;
    m_modalLoop = &loop;
    const int result = loop.exec();
    m_modalLoop = nullptr;
    hide();
    return result;
}

void CDialog::EndDialog(int result)
{
    m_modalResult = result;
    if (m_modalLoop)
        m_modalLoop->exit(result);
    else
        hide();
}

void CDialog::OnCommand(int id, UINT code)
{
    if (code != BN_CLICKED) return;
    if (id == IDOK) OnOK();
    if (id == IDCANCEL) OnCancel();
}

void CDialog::OnOK()
{
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool CDialog::PreTranslateKey(int virtualKey, bool keyDown)
{
    // Only a dialog that is a window of its own ends on Enter and Escape. A page laid into
    // another window has nothing to end: the key goes on to the focused control (an edit takes
    // its value) and stops at the page.
    if (!keyDown || IsPageInWindow()) return false;
    if (virtualKey == platform::VK_RETURN) {
        OnOK();
        return true;
    }
    if (virtualKey == platform::VK_ESCAPE) {
        OnCancel();
        return true;
    }
    return false;
}

bool CDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int vk = platform::VirtualKeyFromQt(key->key());
        if ((vk == platform::VK_RETURN || vk == platform::VK_ESCAPE) && PreTranslateKey(vk, event->type() == QEvent::KeyPress)) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CDialog::keyPressEvent(QKeyEvent* event)
{
    const int vk = platform::VirtualKeyFromQt(event->key());
    if ((vk == platform::VK_RETURN || vk == platform::VK_ESCAPE) && (PreTranslateKey(vk, true) || IsPageInWindow())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CDialog::closeEvent(QCloseEvent* event)
{
    if (m_modalLoop) {
        // The modal run ends through EndDialog; the window stays until DoModal returns.
        event->ignore();
        OnCancel();
        return;
    }
    QWidget::closeEvent(event);
}
