#pragma once
// CDialog: a Qt widget whose controls are registered under the control ids of the original
// dialog templates, so that page logic reaches them by id (GetDlgItem, SetDlgItemText,
// CheckDlgButton, data exchange) as it always did.
//
// Notifications keep Windows' meaning and arrive at OnCommand(id, code):
//   - a button, check box or radio button: BN_CLICKED on clicked (user clicks only);
//   - a combo box: CBN_SELCHANGE on activated (the user's choice only);
//   - an edit: EN_CHANGE on textChanged, also when the program writes the text;
//   - a date or time picker: DTN_DATETIMECHANGE when the user changes it.
// While UpdateData runs, notifications to the dialog are dropped, so that writing the
// controls never feeds half-written values back into the members.
//
// The dialog is also a CWnd, so controls and other windows reach it with SendMessage and
// PostMessage (OnMessage).

#include <QWidget>

#include <functional>
#include <map>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"
#include "platform/wnd.h"

class QComboBox;
class QLineEdit;
class QToolButton;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

constexpr UINT BN_CLICKED = 0;
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT DTN_DATETIMECHANGE = 0xFFFFFD09;  // DTN_FIRST - 6
// List controls report a user's click and double click on a row.
constexpr UINT NM_CLICK = 0xFFFFFFFE;     // NM_FIRST - 2
constexpr UINT NM_DBLCLK = 0xFFFFFFFD;    // NM_FIRST - 3

constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;

namespace platform {

// Virtual-key codes of the keys that dialogs and controls look at.
constexpr int VK_RETURN = 0x0D;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;

// The virtual-key code of a Qt key, 0 for keys the system's code never asks about.
int VirtualKeyFromQt(int qtKey);

// The control id under which a dialog registered the widget; 0 for none.
int GetDlgCtrlID(const QWidget* control);
// A control that handles its own clicks (as a reflected notification does) sets this
// property to true before it is registered; its dialog then receives no BN_CLICKED from it.
inline constexpr const char* kReflectsClickProperty = "km3ReflectsClick";

// The dynamic property through which a Designer form gives each control its id.
inline constexpr const char* kCtrlIdProperty = "ctrlId";

// Where the data exchange shows its validation messages. The default shows a warning box;
// tests install a recorder. Passing an empty function restores the default.
using DialogMessageHandler = std::function<void(const CString& text)>;
void SetDialogMessageHandler(DialogMessageHandler handler);
void ShowDialogMessage(const CString& text);

}  // namespace platform

// An up-down control attached to an edit (its buddy): the arrows step the integer in the
// edit within the range, as a spin with "set buddy integer" does.
class CSpinButtonCtrl : public QWidget {
public:
    explicit CSpinButtonCtrl(QWidget* parent = nullptr);
    void SetBuddy(QLineEdit* buddy) { m_buddy = buddy; }
    void SetRange(int lower, int upper);
    // Writes the position into the buddy (clamped to the range); returns the previous one.
    int SetPos(int pos);
    int GetPos() const;
    // One step up (+1) or down (-1), as a click on an arrow.
    void Step(int delta);

private:
    QLineEdit* m_buddy = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    int m_lower = 0;
    int m_upper = 100;
};

class CDialog;

// The state of one UpdateData run, handed to DoDataExchange.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    // Shows the message, remembers the control and ends the exchange as failed.
    [[noreturn]] void Fail(const CString& message);
    // The control that the next validation belongs to (set by every DDX_ function).
    void PrepareCtrl(int id) { m_idLastControl = id; }

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;

private:
    int m_idLastControl = 0;
};

// Data exchange between members and controls, in the forms the pages use.
void DDX_Text(CDataExchange& dx, int id, CString& value);
void DDX_Text(CDataExchange& dx, int id, int& value);
void DDX_Text(CDataExchange& dx, int id, double& value);
void DDX_Check(CDataExchange& dx, int id, int& value);
void DDX_CBIndex(CDataExchange& dx, int id, int& index);
// The radio group registered under the id of its first button; -1 is no button checked.
void DDX_Radio(CDataExchange& dx, int firstId, int& index);
void DDV_MinMaxInt(CDataExchange& dx, int value, int minValue, int maxValue);
void DDV_MinMaxDouble(CDataExchange& dx, double value, double minValue, double maxValue);

class CDialog : public QWidget, public CWnd {
public:
    // The template id only names the dialog for its callers: the layout comes from the page's
    // form.
    CDialog(UINT templateId, QWidget* parent = nullptr);
    ~CDialog() override;

    // Controls
    // Registers a control under its id and connects its notifications.
    void RegisterControl(int id, QWidget* control);
    // Registers every child widget that carries the dynamic property kCtrlIdProperty (the
    // form of a Designer layout) under that id; returns how many were registered. Widgets
    // inside a child dialog belong to that dialog and are left to it; -1 (a static without an
    // id) is never registered.
    int RegisterControlsFromForm();
    // Buttons listed here form one radio group: a click checks it and clears the others.
    void RegisterRadioGroup(const std::vector<int>& ids);
    // The radio group whose first button has this id; null when there is none.
    const std::vector<int>* RadioGroup(int firstId) const;
    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* Item(int id) const { return dynamic_cast<T*>(GetDlgItem(id)); }
    void SetDlgItemText(int id, const CString& text);
    CString GetDlgItemText(int id) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void EnableDlgItem(int id, bool enable);
    void ShowDlgItem(int id, bool show);
    bool IsDlgItemEnabled(int id) const;

    // Combo boxes (each returns -1 when the id is not a combo box)
    int ComboResetContent(int id);
    int ComboAddString(int id, const CString& text);
    int ComboGetCount(int id) const;
    int ComboGetCurSel(int id) const;
    int ComboSetCurSel(int id, int index);
    CString ComboGetText(int id, int index) const;

    void SetWindowText(const CString& text);
    CString GetWindowText() const;

    // Life cycle
    // Runs OnInitDialog once; the creator calls it when the widget tree is ready.
    BOOL InitDialog();
    // Reads (true) or writes (false) every member through DoDataExchange; false when a value
    // failed its validation (the message has been shown and the members keep what they had).
    bool UpdateData(bool saveAndValidate = true);
    // Runs the dialog modally until EndDialog; returns EndDialog's result.
    int DoModal();
    void EndDialog(int result);
    bool IsModalRunning() const { return m_modalLoop != nullptr; }

    // Delivers a control notification as the control would (tests and the controls use it).
    void Notify(int id, UINT code);

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void DoDataExchange(CDataExchange&) {}
    // Control notifications. The default runs OnOK for IDOK and OnCancel for IDCANCEL clicks.
    virtual void OnCommand(int id, UINT code);
    virtual void OnOK();
    virtual void OnCancel();
    // A key on its way to the focused control; true when the dialog has handled it.
    // The default turns Enter into OnOK and Escape into OnCancel in a dialog window; in a page
    // laid into another window the two keys end nothing.
    virtual bool PreTranslateKey(int virtualKey, bool keyDown);
    // A page inside another window (the main window's pages and views), not a window itself.
    bool IsPageInWindow() const { return !isWindow(); }

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(class QKeyEvent* event) override;
    // The window's close box cancels, as the system menu's Close does in a dialog.
    void closeEvent(class QCloseEvent* event) override;

private:
    void ConnectNotifications(int id, QWidget* control);
    void ClickRadio(int id);

    std::map<int, QWidget*> m_controls;
    std::vector<std::vector<int>> m_radioGroups;
    bool m_initialised = false;
    int m_updateDepth = 0;
    class QEventLoop* m_modalLoop = nullptr;
    int m_modalResult = 0;
};
