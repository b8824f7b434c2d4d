// Qt's own texts follow the program's language, from Debian's catalogues of Qt's translations.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "platform/qt_translations.h"

namespace {

QString Cancel() { return QCoreApplication::translate("QPlatformTheme", "Cancel"); }
QString LookIn() { return QCoreApplication::translate("QFileDialog", "Look in:"); }

}  // namespace

TEST(QtTranslations, EachLanguageReplacesTheOneBeforeAndEnglishIsQtsOwn)
{
    platform::QtTranslations texts;
    ASSERT_TRUE(texts.Load("de")) << "Qt's catalogues missing in " << platform::QtTranslations::DefaultFolder().toStdString();
    EXPECT_EQ(Cancel(), "Abbrechen");
    EXPECT_EQ(LookIn(), "Suchen in:");
    ASSERT_TRUE(texts.Load("fr"));
    EXPECT_EQ(Cancel(), "Annuler");
    ASSERT_TRUE(texts.Load("es"));
    EXPECT_EQ(Cancel(), "Cancelar");
    EXPECT_TRUE(texts.Load("en"));
    EXPECT_EQ(Cancel(), "Cancel");
    EXPECT_EQ(texts.Language(), "en");

    // Without the catalogue Qt's texts stay English.
    QTemporaryDir empty;
    platform::QtTranslations elsewhere(empty.path());
    EXPECT_FALSE(elsewhere.Load("de"));
    EXPECT_EQ(Cancel(), "Cancel");
}
