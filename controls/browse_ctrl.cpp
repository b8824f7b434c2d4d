#include "controls/browse_ctrl.h"

#include <QEvent>
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

// Qt's own file or folder dialog, set up from the control: the title as its caption, in
// folder mode the prompt above the folders.
bool ShowQtDialog(const CBrowseCtrl& control, CString& chosen)
{
    QFileDialog dialog(const_cast<CBrowseCtrl&>(control).window(), platform::ToQString(control.GetDialogTitle()));
    const QString current = platform::ToQString(control.GetPathName());
    if (control.IsFolderMode()) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (!control.GetFolderPrompt().IsEmpty())
            dialog.setLabelText(QFileDialog::LookIn, platform::ToQString(control.GetFolderPrompt()));
        if (!current.isEmpty()) dialog.setDirectory(current);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
        const QString filter = controls::QtFileFilter(control.GetFilter());
        if (!filter.isEmpty()) dialog.setNameFilter(filter);
        if (!current.isEmpty()) dialog.selectFile(current);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = platform::FromQString(dialog.selectedFiles().front());
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

void CBrowseCtrl::ShowPath()
{
    m_edit->setText(platform::ToQString(controls::ShortenPathForDisplay(m_path, kBrowseMaxShownLength)));
    m_edit->setCursorPosition(0);
    // The dialog's GetDlgItemText of a plain widget reads its window title: keep the full path there.
    setWindowTitle(platform::ToQString(m_path));
}

void CBrowseCtrl::changeEvent(QEvent* event)
{
    // The dialog's SetDlgItemText of a plain widget writes its window title: take it as the path.
    if (event->type() == QEvent::WindowTitleChange && platform::FromQString(windowTitle()) != m_path)
        SetPathName(platform::FromQString(windowTitle()));
    QWidget::changeEvent(event);
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
