#pragma once
// CMyEdit: an entry field that lets the user type only the characters it was given, and in
// numeric mode keeps the number it holds.
//
// A page sets it up once and checks it on every change:
//     edit->SetLimitText(10);
//     edit->Init(".,0123456789-", 0, 1000, 2000, 3000, &m_nLanguage, true, ',', 0);
//     const double* reference = &edit->m_dValue;
//     ...
//     void OnCommand(int id, UINT code) { if (code == EN_CHANGE) edit->CheckValue(); }
// While the program writes the field it locks it, so the change handling leaves it alone:
//     edit->Lock(); edit->SetText("12.5"); edit->Unlock();    // shows "12,5" in German
// "," and "." are both read as the decimal separator.
// Notifies: EN_CHANGE to the owning dialog on every change, the program's writes included.

#include <QLineEdit>

#include "platform/cstring.h"
#include "platform/win_types.h"

class CMyEdit : public QLineEdit {
public:
    explicit CMyEdit(QWidget* parent = nullptr);

    // allowedChars: the characters the user may type or paste (others are dropped); empty
    // allows all. languageCodes: the offsets of German, English, French and Spanish, in that
    // order. languageOffset: the page's current language offset, read at every SetText (null:
    // German). numeric: the field holds a number; it then shows "." in English and separator
    // in the other languages (0 stands for ','). option: kept for the caller.
    void Init(const CString& allowedChars, int german, int english, int french, int spanish,
              const int* languageOffset, bool numeric, char separator, int option = 0);

    void SetLimitText(int maxChars);
    // Writes text; in numeric mode its decimal separator becomes the language's.
    void SetText(const CString& text);
    CString GetText() const;

    // While locked, CheckValue does nothing (the program is writing the field).
    void Lock() { m_locked = true; }
    void Unlock() { m_locked = false; }

    // Reads the text after a change: 0 while locked; else 1, and in numeric mode m_dValue
    // takes the number the text begins with ("," or "." as separator; 0.0 for none).
    int CheckValue();

    // The decimal separator the field shows in the current language.
    char DecimalSeparator() const;

    // The field's number in numeric mode; callers may read it directly.
    double m_dValue = 0.0;

protected:
    // Marks the events through which the user types, pastes or drops text, so that the filter
    // applies to them alone.
    bool event(QEvent* event) override;

private:
    bool m_userInput = false;
    CString m_allowed;
    int m_languageCodes[4] = {0, 1000, 2000, 3000};
    const int* m_languageOffset = nullptr;
    bool m_numeric = false;
    char m_separator = ',';
    int m_option = 0;
    bool m_locked = false;
};
