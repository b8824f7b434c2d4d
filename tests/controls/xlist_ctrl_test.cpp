// The list control as the connection and start-up pages use it: cells, row colours, check
// boxes and progress cells, with notifications from the user's actions only.
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/xlist_ctrl.h"
#include "test_page.h"

namespace {

using controls_test::Message;
using controls_test::RecordingPage;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMarked = RGB(255, 255, 128);

class XListCtrlTest : public ::testing::Test {
protected:
    XListCtrlTest()
    {
        page.RegisterControl(1010, list);
        list->setGeometry(0, 0, 400, 200);
        const char* headings[] = {"Port", "Type", "Status", "OK"};
        for (int col = 0; col < 4; ++col) list->InsertColumn(col, headings[col], LVCFMT_LEFT, 90);
        for (int row = 0; row < 3; ++row) {
            list->InsertItem(row, CString::Formatted("(COM%d)", row + 3), kBlack, kWhite);
            list->SetItemText(row, 2, "verfügbar");
            list->SetCheckbox(row, 3, 0);
        }
        page.show();
    }

    QPoint CellCentre(int row, int col) const
    {
        return list->visualRect(list->model()->index(row, col)).center();
    }

    // The colour the list shows at the right end of a cell, clear of text and check box.
    QColor Shown(int row, int col) const
    {
        const QRect cell = list->visualRect(list->model()->index(row, col));
        return list->viewport()->grab().toImage().pixelColor(cell.right() - 3, cell.center().y());
    }

    // A double click as the user makes it: press, release, then the second press.
    void DoubleClick(QPoint at)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    RecordingPage page;
    CXListCtrl* list = new CXListCtrl(&page);
};

TEST_F(XListCtrlTest, CellsKeepTheirTextColoursAndDataAndOutsideCellsAreRefused)
{
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(list->GetItemText(1, 0), "(COM4)");
    EXPECT_EQ(list->GetItemText(1, 2), "verfügbar");
    // A marked row is drawn in its colour, every cell of it; the text takes its own colour.
    EXPECT_TRUE(list->SetRowColors(1, kBlack, kMarked));
    for (int col = 0; col < 4; ++col) EXPECT_EQ(Shown(1, col), QColor(255, 255, 128)) << col;
    EXPECT_EQ(Shown(0, 0), QColor(Qt::white));
    EXPECT_TRUE(list->SetItemText(2, 2, "aktiv", RGB(200, 0, 0), kWhite));
    const QImage text = list->viewport()->grab().toImage().copy(list->visualRect(list->model()->index(2, 2)));
    bool red = false;
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x) red = red || text.pixelColor(x, y) == QColor(200, 0, 0);
    EXPECT_TRUE(red);

    EXPECT_FALSE(list->SetItemText(3, 0, "x"));
    EXPECT_FALSE(list->SetItemText(0, 4, "x"));
    EXPECT_FALSE(list->SetRowColors(-1, kBlack, kMarked));
    EXPECT_FALSE(list->SetCheckbox(0, 3, 2));
    EXPECT_TRUE(list->GetItemText(9, 9).IsEmpty());
    EXPECT_EQ(list->InsertItem(-1, "x"), -1);
    EXPECT_EQ(list->InsertItem(99, "(COM9)"), 3) << "beyond the last row appends";

    list->DeleteAllItems();
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_TRUE(list->GetItemText(0, 0).IsEmpty());
    EXPECT_EQ(list->GetColumnCount(), 4);
    EXPECT_EQ(list->InsertItem(0, "(COM7)"), 0);
    EXPECT_EQ(list->GetCheckbox(0, 3), -1) << "a new row starts without the old row's cells";
    EXPECT_TRUE(page.messages.empty());
    EXPECT_TRUE(page.notes.empty()) << "nothing of the program's writing notifies";
}

TEST_F(XListCtrlTest, TheUsersClickTogglesACheckAndIsReported)
{
    list->SetCheckbox(1, 3, 1);
    EXPECT_TRUE(page.messages.empty());

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCentre(0, 3));
    EXPECT_EQ(list->GetCheckbox(0, 3), 1);
    ASSERT_EQ(page.messages.size(), 1u);
    EXPECT_EQ(page.messages[0], (Message{CXListCtrl::CheckboxClickedMessage(), 0, 3}));
    ASSERT_EQ(page.notes.size(), 1u);
    EXPECT_EQ(page.notes[0], std::make_pair(1010, NM_CLICK));

    // A click on an ordinary cell selects the row and toggles nothing.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCentre(2, 1));
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_EQ(list->GetCheckbox(2, 3), 0);
    EXPECT_EQ(page.messages.size(), 1u);
    int row = -1, col = -1;
    list->GetLastClick(row, col);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(col, 1);

    DoubleClick(CellCentre(1, 2));
    EXPECT_EQ(page.notes.back(), std::make_pair(1010, NM_DBLCLK));
    EXPECT_EQ(list->findChild<QLineEdit*>(), nullptr) << "no cell opens an editor";
}

TEST_F(XListCtrlTest, ProgressCellsShowTheirShareAndRefuseWhatIsNoProgressCell)
{
    EXPECT_FALSE(list->UpdateProgress(0, 2, 50)) << "not a progress cell yet";
    EXPECT_EQ(list->GetProgress(0, 2), -1);
    EXPECT_TRUE(list->SetProgress(0, 2));
    EXPECT_TRUE(list->UpdateProgress(0, 2, 150));
    EXPECT_EQ(list->GetProgress(0, 2), 100);
    EXPECT_TRUE(list->UpdateProgress(0, 2, 50));
    EXPECT_EQ(list->GetProgress(0, 2), 50);

    const QImage shot = list->viewport()->grab().toImage();
    const QRect cell = list->visualRect(list->model()->index(0, 2));
    const QColor bar = shot.pixelColor(cell.left() + 5, cell.top() + 4);
    const QColor rest = shot.pixelColor(cell.right() - 6, cell.top() + 4);
    EXPECT_GT(bar.green(), bar.red() + 60) << "the filled half is the bar";
    EXPECT_EQ(rest, QColor(Qt::white)) << "the rest is empty";

    EXPECT_TRUE(list->DeleteProgress(0, 2));
    EXPECT_EQ(list->GetProgress(0, 2), -1);
    EXPECT_EQ(list->GetItemText(0, 2), "verfügbar") << "the text was kept under the bar";
}

}  // namespace
