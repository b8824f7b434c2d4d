// The combo box with item data and the check box: look-ups by datum, and notifications that
// come from the user only.
#include <QTest>

#include <gtest/gtest.h>

#include "controls/check_box.h"
#include "controls/kombi_box.h"
#include "test_page.h"

namespace {

using controls_test::RecordingPage;

class KombiBoxTest : public ::testing::Test {
protected:
    KombiBoxTest()
    {
        page.RegisterControl(1433, box);
        page.show();
    }
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    RecordingPage page;
    CKombiBox* box = new CKombiBox(&page);
};

TEST_F(KombiBoxTest, EntriesAreFoundByDatumAmongTheCountedEntriesOnly)
{
    EXPECT_EQ(box->AddItem("  5 min", 300), 0);
    EXPECT_EQ(box->AddItem(" 10 min", 600), 0);
    EXPECT_EQ(box->AddItem(" 10 min again", 600), 0);
    EXPECT_EQ(box->GetCurSel(), -1) << "adding never selects";
    EXPECT_EQ(box->FindItemData(600), 1) << "the first entry with the datum";
    EXPECT_EQ(box->FindItemData(300), 0);
    EXPECT_EQ(box->FindItemData(42), -1);
    // An entry that did not come through AddItem is not counted, so not found.
    page.ComboAddString(1433, "uncounted");
    box->setItemData(3, 900, Qt::UserRole);
    EXPECT_EQ(box->FindItemData(900), -1);

    // Selecting a datum that is not in the list selects nothing and says so.
    EXPECT_EQ(box->SetCurSel(box->FindItemData(42)), -1);
    EXPECT_EQ(box->GetCurSel(), -1);
    EXPECT_EQ(box->GetItemData(7), static_cast<UINT_PTR>(-1));
    EXPECT_TRUE(box->GetLBText(-1).IsEmpty());

    box->ResetContent();
    EXPECT_EQ(box->GetCount(), 0);
    EXPECT_EQ(box->GetItemCount(), 0);
    EXPECT_EQ(box->FindItemData(300), -1);
    box->AddItem("1 h", 3600);
    EXPECT_EQ(box->FindItemData(3600), 0);
    EXPECT_TRUE(page.notes.empty()) << "refills and selections by the program notify nothing";
}

TEST_F(KombiBoxTest, AddingToAnEditableBoxKeepsWhatIsTyped)
{
    box->setEditable(true);
    box->AddItem(";", 0);
    page.SetDlgItemText(1433, "|");
    box->AddItem(",", 1);
    EXPECT_EQ(page.GetDlgItemText(1433), "|");
    EXPECT_EQ(box->GetCurSel(), -1);
}

TEST_F(KombiBoxTest, TheUsersChoiceNotifiesThePage)
{
    box->AddItem("a", 1);
    box->AddItem("b", 2);
    box->SetCurSel(0);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    ASSERT_EQ(page.notes.size(), 1u);
    EXPECT_EQ(page.notes[0], std::make_pair(1433, CBN_SELCHANGE));
    EXPECT_EQ(box->GetItemData(box->GetCurSel()), 2u);
}

TEST(CheckBoxTest, SetCheckedChangesOnlyWhatDiffersAndNeverNotifies)
{
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    RecordingPage page;
    auto* box = new CCheckBox(&page);
    box->setText("Sensor 1");
    page.RegisterControl(1371, box);
    page.show();

    int toggles = 0;
    QObject::connect(box, &QCheckBox::toggled, [&toggles] { ++toggles; });
    EXPECT_TRUE(box->SetChecked(true));
    EXPECT_TRUE(box->SetChecked(true));
    EXPECT_EQ(toggles, 1);
    EXPECT_TRUE(box->IsChecked());
    EXPECT_FALSE(box->Enable(false));
    EXPECT_FALSE(box->isEnabled());
    EXPECT_TRUE(box->Enable(true));
    EXPECT_FALSE(box->Show(false));
    EXPECT_TRUE(box->isHidden());
    EXPECT_TRUE(box->Show(true));
    EXPECT_TRUE(page.notes.empty());

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    EXPECT_FALSE(box->IsChecked());
    ASSERT_EQ(page.notes.size(), 1u);
    EXPECT_EQ(page.notes[0], std::make_pair(1371, BN_CLICKED));
}

}  // namespace
