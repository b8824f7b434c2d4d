#include "platform/qt_sinks.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "platform/qt_text.h"
#include "platform/quit_on_signal.h"
#include "platform/wnd.h"

namespace platform {
namespace {

constexpr const char* kNoticeProperty = "km3Notice";

QMessageBox::StandardButtons ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_ABORTRETRYIGNORE: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MB_YESNOCANCEL: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO: return QMessageBox::Yes | QMessageBox::No;
    case MB_RETRYCANCEL: return QMessageBox::Retry | QMessageBox::Cancel;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::StandardButton ToQt(int answer)
{
    switch (answer) {
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    case IDNO: return QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

int FromQt(int button, UINT type)
{
    switch (button) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Abort: return IDABORT;
    case QMessageBox::Retry: return IDRETRY;
    case QMessageBox::Ignore: return IDIGNORE;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;  // closed by the window button
    }
}

QMessageBox::Icon IconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

}  // namespace

int QtMessageBoxSink::Show(const CString& text, const CString& caption, UINT type)
{
    if (!qApp || QThread::currentThread() != qApp->thread()) return ShowOnStandardError(text, caption, type);
    if (TerminationRequested()) {
        // Nobody is there to answer any more: the box is taken as closed by its window button.
        ShowOnStandardError(text, caption, type);
        return FromQt(QMessageBox::NoButton, type);
    }
    QMessageBox box(IconOf(type), ToQString(caption), ToQString(text), ButtonsOf(type), QApplication::activeWindow());
    box.setDefaultButton(ToQt(DefaultAnswer(type)));
    return FromQt(box.exec(), type);
}

void QtMessageBoxSink::Notify(const CString& text, const CString& caption, UINT icon)
{
    if (!qApp) {
        ShowOnStandardError(text, caption, MB_OK);
        return;
    }
    const QString title = ToQString(caption), body = ToQString(text);
    QMetaObject::invokeMethod(qApp, [title, body, icon] {
        // A fault that repeats (every measurement into an unwritable folder) brings its open
        // notice to the front instead of stacking one more box on it.
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* open = qobject_cast<QMessageBox*>(widget);
            if (open && open->isVisible() && open->property(kNoticeProperty).toBool() && open->windowTitle() == title &&
                open->text() == body) {
                open->raise();
                return;
            }
        }
        auto* box = new QMessageBox(IconOf(icon), title, body, QMessageBox::Ok, QApplication::activeWindow());
        box->setProperty(kNoticeProperty, true);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->show();
    });
}

void QtWaitCursorSink::Show(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

}  // namespace platform
