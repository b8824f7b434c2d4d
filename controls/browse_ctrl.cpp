#include "controls/browse_ctrl.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

#include "controls/browse_path.h"
#include "controls/owning_dialog.h"
#include "platform/dialog.h"
#include "platform/qt_text.h"

namespace {

CBrowseCtrl::BrowseDialog& InstalledDialog()
{
    static CBrowseCtrl::BrowseDialog dialog;
    return dialog;
}

// Qt's own file or folder dialog, set up from the control.
bool ShowQtDialog(const CBrowseCtrl& control, CString& chosen)
{
    QWidget* parent = const_cast<CBrowseCtrl&>(control).window();
    const QString current = platform::ToQString(control.GetPathName());
    QString result;
    if (control.IsFolderMode()) {
        QString caption = platform::ToQString(control.GetFolderPrompt());
        if (caption.isEmpty()) caption = platform::ToQString(control.GetDialogTitle());
        result = QFileDialog::getExistingDirectory(parent, caption, current);
    } else {
        result = QFileDialog::getOpenFileName(parent, platform::ToQString(control.GetDialogTitle()), current,
                                              controls::QtFileFilter(control.GetFilter()));
    }
    if (result.isEmpty()) return false;
    chosen = platform::FromQString(result);
    return true;
}

}  // namespace

void CBrowseCtrl::SetBrowseDialog(BrowseDialog dialog)
{
    InstalledDialog() = std::move(dialog);
}

CBrowseCtrl::CBrowseCtrl(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_edit = new QLineEdit(this);
    // Long paths are shortened by us, so the field itself takes any length.
    m_edit->setMaxLength(32767);
    m_button = new QToolButton(this);
    m_button->setText(QStringLiteral("..."));
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    QObject::connect(m_button, &QToolButton::clicked, this, [this] { Browse(); });
    // What the user types is the path.
    QObject::connect(m_edit, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_path = platform::FromQString(text);
        setWindowTitle(text);
    });
}

void CBrowseCtrl::SetPathName(const CString& path)
{
    m_path = path;
    ShowPath();
}

CString CBrowseCtrl::GetDisplayText() const
{
    return platform::FromQString(m_edit->text());
}

void CBrowseCtrl::ShowPath()
{
    m_edit->setText(platform::ToQString(controls::ShortenPathForDisplay(m_path, kBrowseMaxShownLength)));
    m_edit->setCursorPosition(0);
    // The dialog's GetDlgItemText of a plain widget reads its window title: keep the full path there.
    setWindowTitle(platform::ToQString(m_path));
}

void CBrowseCtrl::SetFilter(const CString& filter)
{
    m_filter = filter;
}

void CBrowseCtrl::SetTooltipText(const CString& text)
{
    m_button->setToolTip(platform::ToQString(text));
}

bool CBrowseCtrl::Browse()
{
    CString chosen;
    const BrowseDialog& installed = InstalledDialog();
    const bool accepted = installed ? installed(*this, chosen) : ShowQtDialog(*this, chosen);
    const bool changed = accepted && chosen != m_path;
    if (changed) SetPathName(chosen);

    if (m_notifyMessage != 0) {
        CWnd* receiver = m_notifyWindow ? m_notifyWindow : static_cast<CWnd*>(controls::OwningDialog(this));
        if (receiver)
            receiver->SendMessage(m_notifyMessage, accepted ? IDOK : IDCANCEL, reinterpret_cast<LPARAM>(this));
    }
    if (changed && m_pathCallback) m_pathCallback(this);
    return changed;
}
