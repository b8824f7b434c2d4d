#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <cstdlib>

#include "controls/browse_ctrl.h"
#include "controls/check_box.h"
#include "controls/kombi_box.h"
#include "documentation/dlg_documentation.h"
#include "documentation/documentation_texts.h"
#include "platform/message_box.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "temp_folder.h"

using namespace documentation;
using documentation_test::TempFolder;

namespace {

class PageTest : public ::testing::Test {
protected:
    PageTest()
    {
        setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
        SetLanguage(0);
        page = std::make_unique<CDlgDocumentation>();
        page->InitDialog();
    }
    ~PageTest() override { SetLanguage(0); }

    // Picks an entry of a combo as the user does (the selection, then its notification).
    void Pick(int id, int index)
    {
        auto* combo = page->Item<CKombiBox>(id);
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
    }
    void Type(int id, const char* text)
    {
        auto* combo = page->Item<CKombiBox>(id);
        combo->lineEdit()->setText(text);
        Q_EMIT combo->lineEdit()->editingFinished();
    }

    TempFolder config;
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink sink{&boxes};
    std::unique_ptr<CDlgDocumentation> page;
};

TEST_F(PageTest, SeparatorsThatWouldSpoilTheFilesAreRefusedWithAMessageAndTheOldOnesShown)
{
    auto* field = page->Item<CKombiBox>(IDC_DOC_FIELD_SEPARATOR);
    auto* decimal = page->Item<CKombiBox>(IDC_DOC_DECIMAL_SEPARATOR);
    ASSERT_EQ(';', page->Settings().separators.field);
    ASSERT_EQ(',', page->Settings().separators.decimal);

    Pick(IDC_DOC_FIELD_SEPARATOR, field->FindItemData(','));  // equal to the decimal separator
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_EQ(LoadLangString(kTextSeparatorsEqual), boxes.Boxes()[0].text);
    EXPECT_EQ(';', page->Settings().separators.field);
    EXPECT_EQ(static_cast<UINT_PTR>(';'), field->GetItemData(field->GetCurSel()));

    Type(IDC_DOC_FIELD_SEPARATOR, "5");
    Type(IDC_DOC_FIELD_SEPARATOR, "-");
    Type(IDC_DOC_DECIMAL_SEPARATOR, "e");
    Type(IDC_DOC_FIELD_SEPARATOR, "ab");
    ASSERT_EQ(5u, boxes.Count());
    EXPECT_EQ(LoadLangString(kTextFieldInNumbers), boxes.Boxes()[1].text);
    EXPECT_EQ(LoadLangString(kTextFieldInNumbers), boxes.Boxes()[2].text);
    EXPECT_EQ(LoadLangString(kTextDecimalInNumbers), boxes.Boxes()[3].text);
    EXPECT_EQ(LoadLangString(kTextSeparatorUnusable), boxes.Boxes()[4].text);
    EXPECT_EQ(';', page->Settings().separators.field);
    EXPECT_EQ(',', page->Settings().separators.decimal);

    // Good choices are taken and kept in the profile: a point as decimal, then a comma field,
    // then a typed character of one's own.
    Pick(IDC_DOC_DECIMAL_SEPARATOR, decimal->FindItemData('.'));
    Pick(IDC_DOC_FIELD_SEPARATOR, field->FindItemData(','));
    EXPECT_EQ(5u, boxes.Count());
    Type(IDC_DOC_FIELD_SEPARATOR, "#");
    EXPECT_EQ(5u, boxes.Count());
    CDocumentationSettings stored;
    stored.Load();
    EXPECT_EQ('#', stored.separators.field);
    EXPECT_EQ('.', stored.separators.decimal);
}

TEST_F(PageTest, TheAutoStorageBoxIsParkedAndRestoredWithoutLosingTheUsersChoice)
{
    auto* box = page->Item<CCheckBox>(IDC_DOC_AUTO_STORAGE);
    QWidget* mode = page->GetDlgItem(DocKindBase(kIoNioResults) + kDocModeOffset);
    ASSERT_TRUE(box->isEnabled());  // settings can be made before a sensor is connected
    EXPECT_FALSE(mode->isEnabled());  // with automatic storage off no mode stores anything
    box->click();
    EXPECT_EQ(1, page->Settings().autoStorage);
    page->Settings().storageMode[kMeasValues] = kStorageIndexed;
    EXPECT_EQ(kStorageIndexed, page->GetAutoStorageMode(kMeasValues));

    page->SetMeasurementRunning(0);  // sensor gone
    EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(1, page->Settings().autoStorage);
    page->SetMeasurementRunning(1);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(box->isChecked());

    box->click();
    EXPECT_EQ(kStorageOff, page->GetAutoStorageMode(kMeasValues));
    EXPECT_EQ(kStorageOff, page->GetAutoStorageMode(kIoNioResults));
}

TEST_F(PageTest, EditsReachTheProfileAndABadPrefixIsRefused)
{
    const int base = DocKindBase(kDiagrams);
    page->Item<CCheckBox>(IDC_DOC_AUTO_STORAGE)->click();
    Pick(base + kDocModeOffset, 2);
    page->Item<QLineEdit>(base + kDocPrefixOffset)->setText("Lauf7");
    page->Item<QLineEdit>(DocHeaderEditId(2))->setText("Welle 3");
    auto* folder = page->Item<CBrowseCtrl>(base + kDocFolderOffset);
    folder->Edit()->setText("/tmp/bilder");
    Q_EMIT folder->Edit()->editingFinished();
    page->Item<QLineEdit>(base + kDocPrefixOffset)->setText("a/b");
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_EQ(LoadLangString(kTextBadPrefix), boxes.Boxes()[0].text);
    EXPECT_EQ("Lauf7", platform::FromQString(page->Item<QLineEdit>(base + kDocPrefixOffset)->text()));

    CDocumentationSettings stored;
    stored.Load();
    EXPECT_EQ(kStorageConstant, stored.storageMode[kDiagrams]);
    EXPECT_EQ("Lauf7", stored.prefix[kDiagrams]);
    EXPECT_EQ("Welle 3", stored.headerText[2]);
    EXPECT_EQ("/tmp/bilder", stored.directory[kDiagrams]);
}

// With KM3_SHOTS set, the page is rendered in the four languages to /tmp for a look.
TEST_F(PageTest, RendersInEveryLanguage)
{
    page->SetMeasurementRunning(1);
    for (int language : {0, 1000, 2000, 3000}) {
        SetLanguage(language);
        page->LoadLanguageTexts();
        EXPECT_EQ(LoadLangString(kTextMeasValues), platform::FromQString(page->findChild<QWidget*>("measValuesGroup")->property("title").toString()));
        if (std::getenv("KM3_SHOTS")) {
            page->resize(page->sizeHint());
            page->grab().save(QString("/tmp/km3-documentation-page-%1.png").arg(language));
        }
    }
}

}  // namespace
