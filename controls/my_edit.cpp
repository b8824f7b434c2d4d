#include "controls/my_edit.h"

#include <QValidator>

#include "controls/number_entry.h"
#include "platform/qt_text.h"

namespace {

// Drops every character the field does not allow from what the user types or pastes.
class AllowedCharsValidator : public QValidator {
public:
    AllowedCharsValidator(const QString& allowed, QObject* parent) : QValidator(parent), m_allowed(allowed) {}

    State validate(QString& input, int& pos) const override
    {
        QString kept;
        kept.reserve(input.size());
        int newPos = pos;
        for (int i = 0; i < input.size(); ++i) {
            if (m_allowed.contains(input[i]))
                kept += input[i];
            else if (i < pos)
                --newPos;
        }
        input = kept;
        pos = newPos;
        return Acceptable;
    }

private:
    QString m_allowed;
};

}  // namespace

CMyEdit::CMyEdit(QWidget* parent) : QLineEdit(parent) {}

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
                                        : new AllowedCharsValidator(platform::ToQString(allowedChars), this));
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
