// The filtered entry field: what the user may type, the number it holds in German and English,
// and the lock that keeps the program's own writes out of the change handling.
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/my_edit.h"
#include "controls/number_entry.h"
#include "test_page.h"

namespace {

using controls_test::RecordingPage;

constexpr const char* kNumberChars = ".,0123456789-";

class MyEditTest : public ::testing::Test {
protected:
    MyEditTest()
    {
        page.RegisterControl(1298, edit);
        edit->SetLimitText(10);
        edit->Init(kNumberChars, 0, 1000, 2000, 3000, &language, true, ',', 0);
        page.show();
        edit->setFocus();
    }
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    int language = 0;
    RecordingPage page;
    CMyEdit* edit = new CMyEdit(&page);
};

TEST_F(MyEditTest, TheUserTypesOnlyAllowedCharactersAndTheNumberFollowsInBothLanguages)
{
    QTest::keyClicks(edit, "1x2,5e");
    EXPECT_EQ(edit->GetText(), "12,5");
    EXPECT_EQ(edit->CheckValue(), 1);
    EXPECT_DOUBLE_EQ(edit->m_dValue, 12.5);

    // A pasted text is filtered the same way.
    edit->clear();
    QApplication::clipboard()->setText("-3.75 Nm");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->GetText(), "-3.75");
    EXPECT_EQ(edit->CheckValue(), 1);
    EXPECT_DOUBLE_EQ(edit->m_dValue, -3.75);

    // The program's text shows the language's separator; the number reads the same.
    edit->SetText("0.125");
    EXPECT_EQ(edit->GetText(), "0,125");
    language = 1000;
    edit->SetText("0,125");
    EXPECT_EQ(edit->GetText(), "0.125");
    EXPECT_EQ(edit->CheckValue(), 1);
    EXPECT_DOUBLE_EQ(edit->m_dValue, 0.125);
    language = 2000;
    edit->SetText("7.5");
    EXPECT_EQ(edit->GetText(), "7,5");

    // Every write notifies the page, as an edit does; the page then checks the value.
    EXPECT_FALSE(page.notes.empty());
    for (const auto& note : page.notes) EXPECT_EQ(note, std::make_pair(1298, EN_CHANGE));
}

TEST_F(MyEditTest, ALockedFieldIgnoresTheChangeHandlingAndKeepsItsNumber)
{
    edit->SetText("2.5");
    ASSERT_EQ(edit->CheckValue(), 1);
    edit->Lock();
    edit->SetText("99");
    EXPECT_EQ(edit->CheckValue(), 0);
    EXPECT_DOUBLE_EQ(edit->m_dValue, 2.5);
    edit->Unlock();
    EXPECT_EQ(edit->CheckValue(), 1);
    EXPECT_DOUBLE_EQ(edit->m_dValue, 99.0);
}

TEST_F(MyEditTest, ATextFieldKeepsItsCharactersAndLimit)
{
    auto* unit = new CMyEdit(&page);
    unit->SetLimitText(5);
    unit->Init("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz°µ/", 0, 1000, 2000, 3000, &language, false, ',');
    unit->SetText("N.m");  // the program's text is not filtered, nor given a separator
    EXPECT_EQ(unit->GetText(), "N.m");
    unit->clear();
    unit->setFocus();
    QTest::keyClicks(unit, "kN.m/s2x");
    EXPECT_EQ(unit->GetText(), "kNm/s");
    EXPECT_EQ(unit->CheckValue(), 1);
    EXPECT_DOUBLE_EQ(unit->m_dValue, 0.0);
}

TEST(NumberEntry, LeadingNumberReadsOnlyAPlainDecimalNumber)
{
    using controls::LeadingNumber;
    EXPECT_DOUBLE_EQ(LeadingNumber("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("1,2.3"), 1.2);
    EXPECT_DOUBLE_EQ(LeadingNumber(",5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("-"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(""), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("1e5"), 1.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("0x10"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("inf"), 0.0);
    EXPECT_EQ(controls::WithDecimalSeparator("1.000,5", '.'), "1.000.5");
}

}  // namespace
