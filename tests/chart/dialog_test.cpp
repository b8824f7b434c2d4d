// The dialog layer the chart's pages stand on: data exchange, notifications and radio groups.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

#include "platform/dialog.h"
#include "platform/message_loop.h"

namespace {

struct Notification {
    int id;
    UINT code;
};

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(100)
    {
        RegisterControl(10, new QLineEdit(this));
        RegisterControl(11, new QLineEdit(this));
        RegisterControl(12, new QComboBox(this));
        RegisterControl(20, new QRadioButton(this));
        RegisterControl(21, new QRadioButton(this));
        RegisterControl(22, new QRadioButton(this));
        RegisterRadioGroup({20, 21, 22});
        auto* spinEdit = new QLineEdit(this);
        RegisterControl(30, spinEdit);
        auto* spin = new CSpinButtonCtrl(this);
        spin->SetBuddy(spinEdit);
        RegisterControl(31, spin);
    }

    int number = 0;
    double value = 0.0;
    int choice = -1;
    int radio = -1;
    std::vector<Notification> notes;

protected:
    void DoDataExchange(CDataExchange& dx) override
    {
        DDX_Text(dx, 10, number);
        DDV_MinMaxInt(dx, number, 0, 100);
        DDX_Text(dx, 11, value);
        DDX_CBIndex(dx, 12, choice);
        DDX_Radio(dx, 20, radio);
    }
    void OnCommand(int id, UINT code) override { notes.push_back({id, code}); }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetDialogMessageHandler([this](const CString& text) { shown.push_back(text); });
    }
    void TearDown() override { platform::SetDialogMessageHandler({}); }

    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    std::vector<CString> shown;
    TestDialog dialog;
};

}  // namespace

TEST_F(DialogTest, NumbersAreReadInTheCFormAndCheckedAgainstTheirRange)
{
    dialog.SetDlgItemText(10, " 42 ");
    dialog.SetDlgItemText(11, "1.5");
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.number, 42);
    EXPECT_EQ(dialog.value, 1.5);
    EXPECT_TRUE(shown.empty());

    dialog.SetDlgItemText(11, "1,5");
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.value, 1.5);
    ASSERT_EQ(shown.size(), 1u);

    dialog.SetDlgItemText(11, "2");
    dialog.SetDlgItemText(10, "12abc");
    EXPECT_FALSE(dialog.UpdateData(true));
    dialog.SetDlgItemText(10, "101");
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.number, 101);  // read, then refused by its range check
    EXPECT_EQ(shown.size(), 3u);
    dialog.SetDlgItemText(10, "99999999999");
    EXPECT_FALSE(dialog.UpdateData(true));
}

TEST_F(DialogTest, WritingTheControlsSendsNoNotificationsButOtherWritesDo)
{
    dialog.number = 7;
    dialog.value = 0.25;
    ASSERT_TRUE(dialog.UpdateData(false));
    EXPECT_EQ(dialog.GetDlgItemText(10), CString("7"));
    EXPECT_EQ(dialog.GetDlgItemText(11), CString("0.25"));
    EXPECT_TRUE(dialog.notes.empty());
    // A program's own write of an edit is a change, even of the same text, as on Windows.
    dialog.SetDlgItemText(10, "7");
    ASSERT_EQ(dialog.notes.size(), 1u);
    EXPECT_EQ(dialog.notes[0].code, EN_CHANGE);
}

TEST_F(DialogTest, CombosKeepNoChoiceAndReportOnlyTheUsersChoice)
{
    dialog.ComboAddString(12, "a");
    dialog.ComboAddString(12, "b");
    EXPECT_EQ(dialog.ComboGetCurSel(12), -1);
    dialog.ComboSetCurSel(12, 1);
    EXPECT_TRUE(dialog.notes.empty());
    EXPECT_EQ(dialog.ComboSetCurSel(12, 5), -1);
    EXPECT_EQ(dialog.ComboGetCurSel(12), -1);
    Q_EMIT dialog.Item<QComboBox>(12)->activated(0);
    ASSERT_EQ(dialog.notes.size(), 1u);
    EXPECT_EQ(dialog.notes[0].code, CBN_SELCHANGE);
}

TEST_F(DialogTest, RadioGroupsCheckOneAndExchangeItsIndex)
{
    dialog.radio = -1;
    dialog.UpdateData(false);
    for (int id : {20, 21, 22}) EXPECT_EQ(dialog.IsDlgButtonChecked(id), BST_UNCHECKED);
    dialog.Item<QRadioButton>(22)->click();
    dialog.Item<QRadioButton>(21)->click();
    EXPECT_EQ(dialog.IsDlgButtonChecked(22), BST_UNCHECKED);
    ASSERT_FALSE(dialog.notes.empty());
    EXPECT_EQ(dialog.notes.back().id, 21);
    EXPECT_EQ(dialog.notes.back().code, BN_CLICKED);
    dialog.SetDlgItemText(10, "1");
    dialog.SetDlgItemText(11, "1");
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.radio, 1);
}

TEST_F(DialogTest, SpinStepsTheBuddyWithinItsRange)
{
    auto* spin = dialog.Item<CSpinButtonCtrl>(31);
    spin->SetRange(1, 3);
    spin->SetPos(2);
    spin->Step(+1);
    spin->Step(+1);
    EXPECT_EQ(dialog.GetDlgItemText(30), CString("3"));
    spin->SetPos(-5);
    EXPECT_EQ(spin->GetPos(), 1);
}

TEST_F(DialogTest, EnterEndsAModalRunWithOkAndEscapeWithCancel)
{
    dialog.SetDlgItemText(10, "5");
    dialog.SetDlgItemText(11, "5");
    QTimer::singleShot(0, [&] { QTest::keyClick(dialog.GetDlgItem(10), Qt::Key_Return); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.number, 5);
    QTimer::singleShot(0, [&] { QTest::keyClick(dialog.GetDlgItem(10), Qt::Key_Escape); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}
