#include "platform/message_box.h"
#include "platform/multimedia_timer.h"
#include "platform/wait_cursor.h"
#include "platform/wnd.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using namespace platform;

TEST(MessageBoxes, RecorderAnswersInOrderThenWithTheDefault)
{
    RecordingMessageBoxSink recorder;
    ScopedMessageBoxSink install(&recorder);
    recorder.PresetAnswers({IDNO});
    EXPECT_EQ(IDNO, AfxMessageBox("Weiter?", MB_YESNO));
    EXPECT_EQ(IDYES, AfxMessageBox("Weiter?", MB_YESNO));
    EXPECT_EQ(IDNO, AfxMessageBox("Weiter?", MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(IDCANCEL, MessageBox("x", "caption", MB_RETRYCANCEL | MB_DEFBUTTON2));
    const auto boxes = recorder.Boxes();
    ASSERT_EQ(4u, boxes.size());
    EXPECT_EQ(CString("Weiter?"), boxes[0].text);
    EXPECT_EQ(CString("caption"), boxes[3].caption);
}

TEST(MessageBoxes, WithoutASinkNobodyIsWaitedFor)
{
    ScopedMessageBoxSink none(nullptr);
    EXPECT_EQ(IDOK, AfxMessageBox("Fehler", MB_OK | MB_ICONERROR));
    EXPECT_EQ(IDYES, AfxMessageBox("Frage", MB_YESNOCANCEL));
}

TEST(WaitCursor, NestsAndNeverGoesBelowZero)
{
    struct Sink : WaitCursorSink {
        std::vector<bool> shown;
        void Show(bool busy) override { shown.push_back(busy); }
    } sink;
    SetWaitCursorSink(&sink);
    sink.shown.clear();
    {
        CWaitCursor outer;
        CWaitCursor inner;
        EXPECT_EQ(2, WaitCursorDepth());
    }
    EndWaitCursor();
    EXPECT_EQ(0, WaitCursorDepth());
    EXPECT_EQ((std::vector<bool>{true, false}), sink.shown);
    SetWaitCursorSink(nullptr);
}

class TickCounter : public CWnd {
public:
    using CWnd::CWnd;
    std::vector<std::int64_t> at;

protected:
    LRESULT OnMessage(UINT message, WPARAM, LPARAM) override
    {
        if (message == WM_USER + 7) at.push_back(loop().NowMs());
        return 0;
    }
};

TEST(MultimediaTimer, VirtualTicksAtExactTimes)
{
    MessageLoop loop(MessageLoop::Time::Virtual);
    TickCounter target(loop);
    CMultimediaTimer timer;
    const std::int64_t start = loop.NowMs();
    ASSERT_TRUE(timer.Start(target, WM_USER + 7, 5));  // finer than a window timer
    loop.RunFor(20);
    timer.Stop();
    loop.RunFor(50);
    ASSERT_EQ(4u, target.at.size());
    EXPECT_EQ(start + 5, target.at[0]);
    EXPECT_EQ(start + 20, target.at[3]);
    EXPECT_FALSE(timer.IsRunning());
}

TEST(MultimediaTimer, RealTicksArePostedFromItsThread)
{
    MessageLoop loop(MessageLoop::Time::Real);
    TickCounter target(loop);
    CMultimediaTimer timer;
    ASSERT_TRUE(timer.Start(target, WM_USER + 7, 2));
    EXPECT_TRUE(loop.RunUntil([&] { return target.at.size() >= 3; }, 10000));
    timer.Stop();
    timer.Stop();
}

}  // namespace
