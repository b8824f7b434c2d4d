#pragma once
// CBrowseCtrl: a path field with a browse button that opens a file or folder dialog.
//
// A page sets it up once and reads the chosen path back:
//     browse->SetFilter("Executables (*.bat,*.exe)|*.bat;*.exe||");
//     browse->SetNotifyMessageID(311);
//     browse->SetPathCallback([this](CBrowseCtrl* c) { m_sStartAddProg = c->GetPathName(); });
//     browse->SetPathName(m_sStartAddProg);
// A path over 1023 characters is shown shortened with "{...}" in the middle; the control
// keeps the full path, and GetPathName, GetWindowText and the dialog's GetDlgItemText of its
// id always return the full one, never the shortened display. The dialog's SetDlgItemText of
// its id sets the path, as SetPathName does.
// Notifies the owning dialog (or the window set with SetNotifyWindow):
//   - after each browse, when a message id is set: SendMessage(id, IDOK when the user chose a
//     path or IDCANCEL, the control as LPARAM);
//   - after a browse that changed the path: the path callback, with the control.
// Typing into the field changes the path as well (no notification).

#include <QWidget>

#include <functional>

#include "platform/cstring.h"
#include "platform/win_types.h"

class CWnd;
class QLineEdit;
class QToolButton;

// Style bit of SetBrowseStyle: browse for a folder instead of a file.
constexpr DWORD BC_FOLDER_MODE = 0x80;
// Longest path shown whole; longer ones are shown shortened with kBrowseShortMark.
constexpr int kBrowseMaxShownLength = 1023;
inline constexpr const char* kBrowseShortMark = "{...}";

class CBrowseCtrl : public QWidget {
public:
    // The dialog that a browse opens. It gets the control (mode, filter, title, prompt, current
    // path) and returns true with the chosen path, false when the user cancelled. The default
    // shows Qt's file or folder dialog; tests install their own.
    using BrowseDialog = std::function<bool(const CBrowseCtrl& control, CString& chosenPath)>;
    static void SetBrowseDialog(BrowseDialog dialog);

    explicit CBrowseCtrl(QWidget* parent = nullptr);

    void SetPathName(const CString& path);
    // The full path, also when the field shows it shortened.
    CString GetPathName() const { return m_path; }
    CString GetWindowText() const { return m_path; }

    // Filter in the form "Text (*.a,*.b)|*.a;*.b|Other|*.c||".
    void SetFilter(const CString& filter);
    CString GetFilter() const { return m_filter; }
    void SetNotifyMessageID(UINT messageId) { m_notifyMessage = messageId; }
    // The window that receives the notification; by default the owning dialog.
    void SetNotifyWindow(CWnd* window) { m_notifyWindow = window; }
    void SetBrowseStyle(DWORD style) { m_style = style; }
    DWORD GetBrowseStyle() const { return m_style; }
    bool IsFolderMode() const { return (m_style & BC_FOLDER_MODE) != 0; }
    void SetFolderFlags(UINT flags) { m_folderFlags = flags; }
    UINT GetFolderFlags() const { return m_folderFlags; }
    void SetTooltipText(const CString& text);
    void SetFolderPrompt(const CString& text) { m_folderPrompt = text; }
    CString GetFolderPrompt() const { return m_folderPrompt; }
    void SetDialogTitle(const CString& text) { m_dialogTitle = text; }
    CString GetDialogTitle() const { return m_dialogTitle; }

    // Called with the control after a browse that changed the path.
    using PathCallback = std::function<void(CBrowseCtrl* control)>;
    void SetPathCallback(PathCallback callback) { m_pathCallback = std::move(callback); }

    // Runs the browse as a click on the button does; true when the path changed.
    bool Browse();

    QLineEdit* Edit() const { return m_edit; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void ShowPath();

    QLineEdit* m_edit = nullptr;
    QToolButton* m_button = nullptr;
    CString m_path;
    CString m_filter;
    CString m_folderPrompt;
    CString m_dialogTitle;
    UINT m_notifyMessage = 0;
    CWnd* m_notifyWindow = nullptr;
    DWORD m_style = 0;
    UINT m_folderFlags = 0;
    PathCallback m_pathCallback;
};
