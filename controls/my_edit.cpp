#include "controls/my_edit.h"

#include <QEvent>
#include <QValidator>

#include "controls/number_entry.h"
#include "platform/qt_text.h"

namespace {

// Drops the characters the field does not allow from what the user types or pastes. Only the
// inserted part is looked at: a text the program wrote stays as it was written.
class AllowedCharsValidator : public QValidator {
public:
    AllowedCharsValidator(const QString& allowed, const QString& before, const bool* userInput, QObject* parent)
        : QValidator(parent), m_allowed(allowed), m_before(before), m_userInput(userInput)
    {
    }

    // The text as last accepted (the validator is asked after the line has changed).
    void SetBefore(const QString& text) { m_before = text; }

    State validate(QString& input, int& pos) const override
    {
        if (!*m_userInput) return Acceptable;
        qsizetype prefix = 0;
        while (prefix < input.size() && prefix < m_before.size() && input[prefix] == m_before[prefix]) ++prefix;
        qsizetype suffix = 0;
        while (suffix < input.size() - prefix && suffix < m_before.size() - prefix &&
               input[input.size() - 1 - suffix] == m_before[m_before.size() - 1 - suffix])
            ++suffix;
        QString kept = input.left(prefix);
        for (qsizetype i = prefix; i < input.size() - suffix; ++i) {
            if (m_allowed.contains(input[i]))
                kept += input[i];
            else if (i < pos)
                --pos;
        }
        kept += input.right(suffix);
        input = kept;
        return Acceptable;
    }

private:
    QString m_allowed;
    QString m_before;
    const bool* m_userInput;
};

}  // namespace

CMyEdit::CMyEdit(QWidget* parent) : QLineEdit(parent)
{
    QObject::connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (auto* filter = dynamic_cast<AllowedCharsValidator*>(const_cast<QValidator*>(validator())))
            filter->SetBefore(text);
    });
}

void CMyEdit::Init(const CString& allowedChars, int german, int english, int french, int spanish,
                   const int* languageOffset, bool numeric, char separator, int option)
{
    m_allowed = allowedChars;
    m_languageCodes[0] = german;
    m_languageCodes[1] = english;
    m_languageCodes[2] = french;
    m_languageCodes[3] = spanish;
    m_languageOffset = languageOffset;
    m_numeric = numeric;
    m_separator = separator != 0 ? separator : ',';
    m_option = option;
    delete validator();
    setValidator(allowedChars.IsEmpty() ? nullptr
                                        : new AllowedCharsValidator(platform::ToQString(allowedChars), text(), &m_userInput, this));
}

bool CMyEdit::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::Drop:
    case QEvent::ContextMenu:  // its Paste
    case QEvent::MouseButtonRelease: {  // a middle-click paste
        const bool outer = m_userInput;
        m_userInput = true;
        const bool handled = QLineEdit::event(event);
        m_userInput = outer;
        return handled;
    }
    default:
        return QLineEdit::event(event);
    }
}

void CMyEdit::SetLimitText(int maxChars)
{
    setMaxLength(maxChars > 0 ? maxChars : 32767);
}

char CMyEdit::DecimalSeparator() const
{
    const int language = m_languageOffset ? *m_languageOffset : m_languageCodes[0];
    return language == m_languageCodes[1] ? '.' : m_separator;
}

void CMyEdit::SetText(const CString& text)
{
    setText(platform::ToQString(m_numeric ? controls::WithDecimalSeparator(text, DecimalSeparator()) : text));
}

CString CMyEdit::GetText() const
{
    return platform::FromQString(text());
}

int CMyEdit::CheckValue()
{
    if (m_locked) return 0;
    if (m_numeric) m_dValue = controls::LeadingNumber(GetText());
    return 1;
}
