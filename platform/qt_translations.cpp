#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace platform {

QtTranslations::QtTranslations(QString folder) : m_folder(std::move(folder)) {}

QtTranslations::~QtTranslations()
{
    if (m_installed) QCoreApplication::removeTranslator(&m_translator);
}

QString QtTranslations::DefaultFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool QtTranslations::Load(const QString& language)
{
    if (m_installed) QCoreApplication::removeTranslator(&m_translator);
    m_installed = false;
    m_language = language;
    if (language == "en") return true;
    // "qt_<language>" names the catalogues of every Qt module the program uses.
    if (!m_translator.load("qt_" + language, m_folder)) return false;
    m_installed = QCoreApplication::installTranslator(&m_translator);
    return m_installed;
}

}  // namespace platform
