#include "environment/lang_ui.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextEdit>

#include "platform/qt_text.h"
#include "res/string_table.h"

bool SetLangWindowText(QWidget* window, UINT id, const CString& suffix)
{
    const CString* stored = km3_res::Find(id + static_cast<UINT>(GetLanguage()));
    CString text = stored != nullptr ? LoadLangString(id) : CString(">@<");
    text += suffix;
    if (window != nullptr) {
        const QString qtext = platform::ToQString(text);
        if (auto* label = qobject_cast<QLabel*>(window))
            label->setText(qtext);
        else if (auto* button = qobject_cast<QAbstractButton*>(window))
            button->setText(qtext);
        else if (auto* group = qobject_cast<QGroupBox*>(window))
            group->setTitle(qtext);
        else if (auto* edit = qobject_cast<QLineEdit*>(window))
            edit->setText(qtext);
        else
            window->setWindowTitle(qtext);
    }
    return stored != nullptr;
}

int LangMessageBox(UINT id, UINT type, UINT /*helpId*/)
{
    return AfxMessageBox(LoadLangString(id), type);
}

void ScrollEditToEnd(QWidget* edit)
{
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        line->end(false);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(edit)) {
        plain->moveCursor(QTextCursor::End);
        plain->ensureCursorVisible();
    } else if (auto* rich = qobject_cast<QTextEdit*>(edit)) {
        rich->moveCursor(QTextCursor::End);
        rich->ensureCursorVisible();
    }
}
