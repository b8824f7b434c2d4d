#include "platform/message_box.h"

#include <atomic>
#include <cstdio>

#include "platform/codepage.h"

namespace platform {
namespace {

std::atomic<MessageBoxSink*> g_sink{nullptr};
std::mutex g_captionMutex;
CString g_caption = "TSL-USB-KM3";

CString Caption()
{
    std::lock_guard lock(g_captionMutex);
    return g_caption;
}

}  // namespace

int ShowOnStandardError(const CString& text, const CString& caption, UINT type)
{
    const std::string utf8Caption = Cp1252ToUtf8(caption.view());
    const std::string utf8Text = Cp1252ToUtf8(text.view());
    std::fprintf(stderr, "[%s] %s\n", utf8Caption.c_str(), utf8Text.c_str());
    return DefaultAnswer(type);
}

int DefaultAnswer(UINT type)
{
    static const int kButtons[6][3] = {
        {IDOK, IDOK, IDOK},
        {IDOK, IDCANCEL, IDCANCEL},
        {IDABORT, IDRETRY, IDIGNORE},
        {IDYES, IDNO, IDCANCEL},
        {IDYES, IDNO, IDNO},
        {IDRETRY, IDCANCEL, IDCANCEL},
    };
    const UINT buttons = type & MB_TYPEMASK;
    const UINT which = (type & MB_DEFMASK) >> 8;
    if (buttons > 5) return IDOK;
    return kButtons[buttons][which > 2 ? 0 : which];
}

ScopedMessageBoxSink::ScopedMessageBoxSink(MessageBoxSink* sink) : m_previous(g_sink.exchange(sink)) {}

ScopedMessageBoxSink::~ScopedMessageBoxSink()
{
    g_sink.store(m_previous);
}

void RecordingMessageBoxSink::PresetAnswers(std::initializer_list<int> answers)
{
    std::lock_guard lock(m_mutex);
    m_answers.insert(m_answers.end(), answers.begin(), answers.end());
}

int RecordingMessageBoxSink::Show(const CString& text, const CString& caption, UINT type)
{
    std::lock_guard lock(m_mutex);
    int answer = DefaultAnswer(type);
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    m_shown.push_back({text, caption, type, answer});
    return answer;
}

void RecordingMessageBoxSink::Notify(const CString& text, const CString& caption, UINT icon)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back({text, caption, icon, IDOK, false});
}

std::vector<RecordingMessageBoxSink::Shown> RecordingMessageBoxSink::Boxes() const
{
    std::lock_guard lock(m_mutex);
    return m_shown;
}

std::size_t RecordingMessageBoxSink::Count() const
{
    std::lock_guard lock(m_mutex);
    return m_shown.size();
}

void RecordingMessageBoxSink::Clear()
{
    std::lock_guard lock(m_mutex);
    m_shown.clear();
    m_answers.clear();
}

void ShowNotice(const CString& text, UINT icon)
{
    if (MessageBoxSink* sink = g_sink.load()) {
        sink->Notify(text, Caption(), icon & MB_ICONMASK);
        return;
    }
    ShowOnStandardError(text, Caption(), MB_OK);
}

void SetMessageBoxCaption(const CString& caption)
{
    std::lock_guard lock(g_captionMutex);
    g_caption = caption;
}

}  // namespace platform

int AfxMessageBox(const CString& text, UINT type)
{
    return MessageBox(text, platform::Caption(), type);
}

int MessageBox(const CString& text, const CString& caption, UINT type)
{
    if (platform::MessageBoxSink* sink = platform::g_sink.load()) return sink->Show(text, caption, type);
    return platform::ShowOnStandardError(text, caption, type);
}
