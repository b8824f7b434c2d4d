#pragma once
// Message boxes go through a sink: the application installs one that shows a Qt box, tests
// install a recorder that answers from a list of preset answers. Without a sink, the text goes
// to standard error and the box's default button is the answer, so nothing ever waits for a
// person who is not there.

#include <deque>
#include <mutex>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

namespace platform {

// Buttons, icons and default-button flags, with the original's values.
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_OKCANCEL = 0x01;
constexpr UINT MB_ABORTRETRYIGNORE = 0x02;
constexpr UINT MB_YESNOCANCEL = 0x03;
constexpr UINT MB_YESNO = 0x04;
constexpr UINT MB_RETRYCANCEL = 0x05;
constexpr UINT MB_TYPEMASK = 0x0F;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONSTOP = MB_ICONERROR;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_ICONMASK = 0xF0;
constexpr UINT MB_DEFBUTTON1 = 0x000;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;
constexpr UINT MB_DEFMASK = 0xF00;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The answer a box of this type gives when its default button is taken.
int DefaultAnswer(UINT type);

class MessageBoxSink {
public:
    virtual ~MessageBoxSink() = default;
    // May be called from any thread; returns one of the ID answers.
    virtual int Show(const CString& text, const CString& caption, UINT type) = 0;
    // A message that asks nothing and stops nothing (a measurement goes on): it is shown and
    // left open, and the caller goes on at once. May be called from any thread.
    virtual void Notify(const CString& text, const CString& caption, UINT icon) = 0;
};

// Installs a sink for as long as the returned object lives (nullptr: the stderr fallback).
class ScopedMessageBoxSink {
public:
    explicit ScopedMessageBoxSink(MessageBoxSink* sink);
    ~ScopedMessageBoxSink();
    ScopedMessageBoxSink(const ScopedMessageBoxSink&) = delete;
    ScopedMessageBoxSink& operator=(const ScopedMessageBoxSink&) = delete;

private:
    MessageBoxSink* m_previous;
};

// For tests: records every box and answers with the preset answers in order, then with the
// default button.
class RecordingMessageBoxSink : public MessageBoxSink {
public:
    struct Shown {
        CString text;
        CString caption;
        UINT type;
        int answer;
        bool waited = true;  // false: a notice, the caller did not wait for it
    };
    void PresetAnswers(std::initializer_list<int> answers);
    int Show(const CString& text, const CString& caption, UINT type) override;
    void Notify(const CString& text, const CString& caption, UINT icon) override;
    std::vector<Shown> Boxes() const;
    std::size_t Count() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::deque<int> m_answers;
    std::vector<Shown> m_shown;
};

// The application's caption for message boxes.
void SetMessageBoxCaption(const CString& caption);

// A notice with the application's caption (see MessageBoxSink::Notify); icon: an MB_ICON flag.
void ShowNotice(const CString& text, UINT icon = MB_ICONINFORMATION);

// Where no box can be shown (no sink, no GUI, another thread): "[caption] text" on standard
// error, answered with the default button of the type.
int ShowOnStandardError(const CString& text, const CString& caption, UINT type);

}  // namespace platform

// The original's entry points.
int AfxMessageBox(const CString& text, UINT type = platform::MB_OK);
int MessageBox(const CString& text, const CString& caption, UINT type = platform::MB_OK);
