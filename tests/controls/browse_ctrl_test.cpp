// The browse control: a long path is only shown shortened, the page always reads the full
// one, and a browse tells the page what it did.
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "controls/browse_ctrl.h"
#include "controls/browse_path.h"
#include "platform/qt_text.h"
#include "test_page.h"

namespace {

using controls_test::Message;
using controls_test::RecordingPage;

CString LongPath()
{
    CString path("/home/user");
    for (int i = 0; path.GetLength() <= 1500; ++i) path += CString::Formatted("/folder%03d", i);
    return path + "/start.bat";
}

class BrowseCtrlTest : public ::testing::Test {
protected:
    BrowseCtrlTest()
    {
        page.RegisterControl(1527, browse);
        browse->SetNotifyMessageID(311);
        browse->SetPathCallback([this](CBrowseCtrl* control) {
            EXPECT_EQ(control, browse);
            copied = control->GetPathName();
            ++callbacks;
        });
        CBrowseCtrl::SetBrowseDialog([this](const CBrowseCtrl&, CString& path) {
            if (!answer) return false;
            path = *answer;
            return true;
        });
        page.show();
    }
    ~BrowseCtrlTest() override { CBrowseCtrl::SetBrowseDialog({}); }

    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    RecordingPage page;
    CBrowseCtrl* browse = new CBrowseCtrl(&page);
    const CString* answer = nullptr;
    CString copied;
    int callbacks = 0;
};

TEST_F(BrowseCtrlTest, ALongPathIsShownShortenedButAlwaysReadBackWhole)
{
    const CString path = LongPath();
    browse->SetPathName(path);
    const CString shown = platform::FromQString(browse->Edit()->text());
    EXPECT_EQ(shown.GetLength(), kBrowseMaxShownLength);
    EXPECT_GE(shown.Find(kBrowseShortMark), 0);
    EXPECT_EQ(shown.Left(10), "/home/user");
    EXPECT_EQ(shown.Right(10), "/start.bat");
    EXPECT_EQ(browse->GetPathName(), path);
    EXPECT_EQ(browse->GetWindowText(), path);
    EXPECT_EQ(page.GetDlgItemText(1527), path) << "the page's own read of the control";
    page.SetDlgItemText(1527, "/opt/a.exe");
    EXPECT_EQ(browse->GetPathName(), "/opt/a.exe");
    page.SetDlgItemText(1527, path);
    EXPECT_EQ(browse->GetPathName(), path);
    EXPECT_EQ(platform::FromQString(browse->Edit()->text()), shown);

    // Browsing to the same long path changes nothing and calls nobody back with the display.
    answer = &path;
    EXPECT_FALSE(browse->Browse());
    EXPECT_EQ(callbacks, 0);

    const CString shortPath("/opt/tools/stop.exe");
    browse->SetPathName(shortPath);
    EXPECT_EQ(platform::FromQString(browse->Edit()->text()), shortPath);
    answer = &path;
    EXPECT_TRUE(browse->Browse());
    EXPECT_EQ(callbacks, 1);
    EXPECT_EQ(copied, path) << "the callback reads the full path, never the shortened one";
}

TEST_F(BrowseCtrlTest, EachBrowseSendsItsMessageAndOnlyAChangeCallsBack)
{
    const CString chosen("/opt/tools/start.bat");
    answer = &chosen;
    QTest::mouseClick(browse->findChild<QToolButton*>(), Qt::LeftButton);
    EXPECT_EQ(browse->GetPathName(), chosen);
    EXPECT_EQ(callbacks, 1);
    const LPARAM self = reinterpret_cast<LPARAM>(browse);
    ASSERT_EQ(page.messages.size(), 1u);
    EXPECT_EQ(page.messages[0], (Message{311, IDOK, self}));

    answer = nullptr;  // the user cancels
    browse->Browse();
    EXPECT_EQ(browse->GetPathName(), chosen);
    EXPECT_EQ(callbacks, 1);
    ASSERT_EQ(page.messages.size(), 2u);
    EXPECT_EQ(page.messages[1], (Message{311, IDCANCEL, self}));

    browse->SetNotifyMessageID(0);
    browse->Browse();
    EXPECT_EQ(page.messages.size(), 2u);

    // Typing is the path as well.
    browse->Edit()->clear();
    QTest::keyClicks(browse->Edit(), "/tmp/x.exe");
    EXPECT_EQ(browse->GetPathName(), "/tmp/x.exe");
    EXPECT_EQ(page.GetDlgItemText(1527), "/tmp/x.exe");
}

TEST(BrowsePath, StylesAndFilterReadAsTheyAreMeant)
{
    EXPECT_EQ(controls::QtFileFilter("Executables (*.bat,*.exe)|*.bat;*.exe||"),
              QStringLiteral("Executables (*.bat,*.exe) (*.bat *.exe)"));
    EXPECT_EQ(controls::QtFileFilter("A|*.a|B|*.b||"), QStringLiteral("A (*.a);;B (*.b)"));
    EXPECT_EQ(controls::QtFileFilter(""), QString());
    EXPECT_EQ(controls::QtFileFilter("no bar"), QString());
    EXPECT_EQ(controls::ShortenPathForDisplay("/a/b", 1023), "/a/b");

    CBrowseCtrl browse;
    EXPECT_FALSE(browse.IsFolderMode());
    // The set-up page's change of style: clear 0x18, set 0x66, stays a file browser.
    browse.SetBrowseStyle((browse.GetBrowseStyle() & ~0x18u) | 0x66u);
    EXPECT_FALSE(browse.IsFolderMode());
    browse.SetBrowseStyle(browse.GetBrowseStyle() | BC_FOLDER_MODE);
    EXPECT_TRUE(browse.IsFolderMode());
}

}  // namespace
