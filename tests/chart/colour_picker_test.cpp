// The colour picker: its layout and key rules, and the button and pop-up as the pages use them.
#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

#include "chart/colour_button.h"
#include "chart/colour_popup.h"
#include "chart/colour_popup_logic.h"
#include "chart/common_dialogs.h"
#include "platform/dialog.h"
#include "platform/message_loop.h"
#include "platform/sys_color.h"

using namespace chart;

namespace {

struct Received {
    UINT message;
    COLORREF colour;
    LPARAM id;
};

// A dialog that records what its colour buttons tell it.
class RecordingDialog : public CDialog {
public:
    RecordingDialog() : CDialog(1) {}
    std::vector<Received> received;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.push_back({message, static_cast<COLORREF>(wParam), lParam});
        return 0;
    }
};

class AnsweringDialogs : public CommonDialogs {
public:
    bool ok = false;
    COLORREF answer = 0;
    int opened = 0;
    bool ChooseColour(COLORREF, COLORREF& chosen, QWidget*) override
    {
        ++opened;
        if (ok) chosen = answer;
        return ok;
    }
};

ColourPopupGeometryInput BothTexts()
{
    ColourPopupGeometryInput input;
    input.left = 100;
    input.top = 200;
    input.buttonHeight = 22;
    input.hasDefault = true;
    input.hasCustom = true;
    input.defaultExtent = {60, 13};
    input.customExtent = {80, 13};
    return input;
}

}  // namespace

TEST(ColourPopupLayout, GridOfFortyWithBothTextCells)
{
    const ColourPopupLayout layout = LayoutColourPopup(BothTexts());
    EXPECT_EQ(layout.rows, 5);
    EXPECT_EQ(layout.boxSize, 18);
    // 8 columns of 18 plus the margins; the text cells are 13 + 2*2 + 2 = 19 high.
    EXPECT_EQ(layout.window.Width(), 148);
    EXPECT_EQ(layout.defaultText.top, 2);
    EXPECT_EQ(layout.defaultText.bottom, 23);
    EXPECT_EQ(layout.window.Height(), 94 + 21 + 4 + 21 + 4);
    // The first grid cell sits below the "Automatic" cell.
    EXPECT_EQ(layout.CellRectOf(0).top, 2 + 21 + 2);
    EXPECT_EQ(layout.CellRectOf(9).left, 2 + 18);
    EXPECT_TRUE(layout.CellRectOf(40).IsEmpty());
}

TEST(ColourPopupLayout, KeepsOnScreenAndOpensAboveAtTheBottom)
{
    ColourPopupGeometryInput input = BothTexts();
    input.left = 1000;
    input.top = 700;
    input.screenWidth = 1024;
    input.screenHeight = 768;
    const ColourPopupLayout layout = LayoutColourPopup(input);
    EXPECT_EQ(layout.window.right, 1024);
    EXPECT_EQ(layout.window.bottom, 700 - 22);

    input.left = -30;
    input.top = 10;
    EXPECT_EQ(LayoutColourPopup(input).window.left, 0);
}

TEST(ColourPopupLayout, MouseFindsCellsAndTextCells)
{
    const ColourPopupLayout layout = LayoutColourPopup(BothTexts());
    EXPECT_EQ(layout.CellAt(10, 10), kDefaultCell);
    EXPECT_EQ(layout.CellAt(layout.customText.left + 10, layout.customText.top + 5), kCustomCell);
    EXPECT_EQ(layout.CellAt(5 + 18 * 3, 30 + 18 * 1), 11);
    EXPECT_EQ(layout.CellAt(147, 60), kNoCell);
}

TEST(ColourPopupChoice, OpensOnTheCellOfTheColour)
{
    EXPECT_EQ(FindChosenIndex(CLR_DEFAULT, true, true), kDefaultCell);
    EXPECT_EQ(FindChosenIndex(RGB(255, 0, 0), true, true), 16);
    EXPECT_EQ(FindChosenIndex(RGB(1, 2, 3), true, true), kCustomCell);
    EXPECT_EQ(FindChosenIndex(RGB(1, 2, 3), true, false), kNoCell);
    // Without the "Automatic" cell the automatic colour is just not in the table.
    EXPECT_EQ(FindChosenIndex(CLR_DEFAULT, false, true), kCustomCell);
}

TEST(ColourPopupKeys, LeaveTheGridToTheTextCells)
{
    for (int cell = 32; cell < 40; ++cell)
        EXPECT_EQ(NextHotIndex(PopupKey::Down, cell, 40, 8, true, true), kCustomCell) << cell;
    EXPECT_EQ(NextHotIndex(PopupKey::Right, 39, 40, 8, true, true), kCustomCell);
    EXPECT_EQ(NextHotIndex(PopupKey::Right, 7, 40, 8, true, true), 8);
    EXPECT_EQ(NextHotIndex(PopupKey::Up, 3, 40, 8, true, true), kDefaultCell);
    EXPECT_EQ(NextHotIndex(PopupKey::Left, 0, 40, 8, false, true), kCustomCell);
    EXPECT_EQ(NextHotIndex(PopupKey::Left, 0, 40, 8, false, false), 39);
    EXPECT_EQ(NextHotIndex(PopupKey::Down, 35, 40, 8, false, false), 0);
}

TEST(ColourPopupKeys, FromTheTextCellsAndFromNoCell)
{
    EXPECT_EQ(NextHotIndex(PopupKey::Down, kDefaultCell, 40, 8, true, true), 0);
    EXPECT_EQ(NextHotIndex(PopupKey::Up, kDefaultCell, 40, 8, true, true), kCustomCell);
    EXPECT_EQ(NextHotIndex(PopupKey::Up, kDefaultCell, 40, 8, true, false), 39);
    EXPECT_EQ(NextHotIndex(PopupKey::Down, kCustomCell, 40, 8, true, true), kDefaultCell);
    EXPECT_EQ(NextHotIndex(PopupKey::Left, kCustomCell, 40, 8, true, true), 39);
    EXPECT_EQ(NextHotIndex(PopupKey::Down, kNoCell, 40, 8, true, true), kCustomCell);
    EXPECT_EQ(NextHotIndex(PopupKey::Right, kNoCell, 40, 8, true, false), kDefaultCell);
    EXPECT_EQ(NextHotIndex(PopupKey::Up, kNoCell, 40, 8, true, true), kDefaultCell);
    EXPECT_EQ(NextHotIndex(PopupKey::Left, kNoCell, 40, 8, false, false), 39);
}

class ColourButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCommonDialogs(&answers);
        button = new CColorButton(&dialog);
        dialog.RegisterControl(6047, button);
        button->setGeometry(10, 10, 60, 22);
        dialog.resize(200, 100);
        dialog.show();
    }
    void TearDown() override { SetCommonDialogs(nullptr); }

    CColourPopup* Open()
    {
        QTest::mouseClick(button, Qt::LeftButton);
        return button->findChild<CColourPopup*>();
    }
    // The background of a text cell just inside its corner: lighter for the chosen one.
    static COLORREF TextCellBackground(CColourPopup& popup, int index)
    {
        const CellRect cell = popup.CellRect(index);
        const int top = cell.top + (index == kCustomCell ? 2 * popup.Layout().margin : 0) + 3;
        const QColor c = popup.grab().toImage().pixelColor(cell.left + 3, top);
        return RGB(c.red(), c.green(), c.blue());
    }
    std::vector<UINT> Messages() const
    {
        std::vector<UINT> out;
        for (const Received& r : dialog.received) out.push_back(r.message);
        return out;
    }

    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    AnsweringDialogs answers;
    RecordingDialog dialog;
    CColorButton* button = nullptr;
};

TEST_F(ColourButtonTest, AutomaticShowsTheDefaultSwatchAndOpensOnAutomatic)
{
    ASSERT_EQ(button->GetColor(), CLR_DEFAULT);
    const QImage picture = button->grab().toImage();
    const QColor swatch = picture.pixelColor(15, 11);
    EXPECT_EQ(RGB(swatch.red(), swatch.green(), swatch.blue()), platform::GetSysColor(platform::COLOR_APPWORKSPACE));

    CColourPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_NE(button->grab().toImage(), picture);  // pushed while the pop-up is open
    EXPECT_EQ(TextCellBackground(*popup, kDefaultCell), platform::GetSysColor(platform::COLOR_3DLIGHT));
    ASSERT_EQ(Messages(), std::vector<UINT>{CPN_DROPDOWN});
    EXPECT_EQ(dialog.received[0].id, 6047);
}

TEST_F(ColourButtonTest, AColourOutsideTheTableOpensOnMoreColors)
{
    button->SetColor(RGB(1, 2, 3));
    CColourPopup* popup = Open();
    EXPECT_EQ(TextCellBackground(*popup, kCustomCell), platform::GetSysColor(platform::COLOR_3DLIGHT));
    EXPECT_EQ(TextCellBackground(*popup, kDefaultCell), platform::GetSysColor(platform::COLOR_3DFACE));
}

TEST_F(ColourButtonTest, HoverAnnouncesWhileTheButtonKeepsItsColourAndEscapeRestores)
{
    button->SetColor(RGB(255, 0, 0));
    const QImage unpushed = button->grab().toImage();
    CColourPopup* popup = Open();
    const CellRect blue = popup->Layout().CellRectOf(13);
    QTest::mouseMove(popup, QPoint(blue.left + 9, blue.top + 9));
    ASSERT_EQ(dialog.received.back().message, CPN_SELCHANGE);
    EXPECT_EQ(dialog.received.back().colour, RGB(0, 0, 255));
    EXPECT_EQ(button->GetColor(), RGB(255, 0, 0));

    dialog.received.clear();
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_EQ(Messages(), (std::vector<UINT>{CPN_CLOSEUP, CPN_SELENDCANCEL}));
    EXPECT_EQ(dialog.received.back().colour, RGB(255, 0, 0));
    EXPECT_EQ(button->GetColor(), RGB(255, 0, 0));
    EXPECT_EQ(button->grab().toImage(), unpushed);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(button->findChild<CColourPopup*>(), nullptr);
}

TEST_F(ColourButtonTest, KeysChooseAndEnterEndsWithTheNewColour)
{
    button->SetColor(RGB(255, 0, 0));    // chosen, not hot
    CColourPopup* popup = Open();
    QTest::keyClick(popup, Qt::Key_Up);    // no hot cell: "Automatic"
    QTest::keyClick(popup, Qt::Key_Down);  // cell 0
    QTest::keyClick(popup, Qt::Key_Down);  // cell 8
    QTest::keyClick(popup, Qt::Key_Right); // cell 9, orange
    dialog.received.clear();
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(Messages(), (std::vector<UINT>{CPN_CLOSEUP, CPN_SELENDOK, CPN_SELCHANGE}));
    EXPECT_EQ(button->GetColor(), RGB(255, 104, 32));
}

TEST_F(ColourButtonTest, ChoosingTheSameColourAnnouncesNoChange)
{
    button->SetColor(RGB(255, 0, 0));
    CColourPopup* popup = Open();
    popup->ChangeSelection(16);
    dialog.received.clear();
    popup->EndSelection(CPN_SELENDOK);
    EXPECT_EQ(Messages(), (std::vector<UINT>{CPN_CLOSEUP, CPN_SELENDOK}));
}

TEST_F(ColourButtonTest, AutomaticChosenIsStoredAsTheDefaultColour)
{
    button->SetColor(RGB(255, 0, 0));
    CColourPopup* popup = Open();
    popup->ChangeSelection(kDefaultCell);
    popup->EndSelection(CPN_SELENDOK);
    EXPECT_EQ(button->GetColor(), CLR_DEFAULT);
    // What a page stores in a chart object is a real colour, never the automatic marker.
    EXPECT_EQ(button->GetResolvedColor(), platform::GetSysColor(platform::COLOR_APPWORKSPACE));
}

TEST_F(ColourButtonTest, MoreColorsCancelledEndsAsCancelWithTheInitialColour)
{
    button->SetColor(RGB(255, 0, 0));
    CColourPopup* popup = Open();
    popup->ChangeSelection(kCustomCell);
    dialog.received.clear();
    answers.ok = false;
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(answers.opened, 1);
    EXPECT_EQ(Messages(), (std::vector<UINT>{CPN_CLOSEUP, CPN_SELENDCANCEL}));
    EXPECT_EQ(dialog.received.back().colour, RGB(255, 0, 0));
}

TEST_F(ColourButtonTest, MoreColorsTakesTheDialogsColour)
{
    CColourPopup* popup = Open();
    popup->ChangeSelection(kCustomCell);
    answers.ok = true;
    answers.answer = RGB(12, 34, 56);
    popup->EndSelection(CPN_SELENDOK);
    EXPECT_EQ(button->GetColor(), RGB(12, 34, 56));
}

// A pop-up left other than by a choice cancels: the button keeps its colour and stands
// unpushed again.
struct LeavingThePopup {
    const char* way;
    void (*leave)(CColourPopup&);
};

class ColourPopupLeft : public ColourButtonTest, public ::testing::WithParamInterface<LeavingThePopup> {};

TEST_P(ColourPopupLeft, Cancels)
{
    button->SetColor(RGB(0, 0, 255));
    const QImage unpushed = button->grab().toImage();
    CColourPopup* popup = Open();
    popup->ChangeSelection(16);
    dialog.received.clear();
    GetParam().leave(*popup);
    EXPECT_EQ(Messages(), (std::vector<UINT>{CPN_CLOSEUP, CPN_SELENDCANCEL}));
    EXPECT_EQ(button->GetColor(), RGB(0, 0, 255));
    EXPECT_EQ(button->grab().toImage(), unpushed);
}

INSTANTIATE_TEST_SUITE_P(
    ColourButtonTest, ColourPopupLeft,
    ::testing::Values(LeavingThePopup{"ClosedFromOutside", [](CColourPopup& p) { p.hide(); }},  // what a click outside does
                      LeavingThePopup{"ReleasedOutside", [](CColourPopup& p) { QTest::mouseRelease(&p, Qt::LeftButton, {}, QPoint(-20, -20)); }},
                      LeavingThePopup{"ForAnotherApplication", [](CColourPopup&) { Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive); }}),
    [](const ::testing::TestParamInfo<LeavingThePopup>& info) { return std::string(info.param.way); });
