#pragma once
// Qt's own texts (the standard buttons of message boxes, the file and folder dialogs, the
// context menus of edit fields) in the program's language: Qt's translation catalogue of that
// language is loaded from the folder of Qt's translations and installed on the application,
// in place of the one before.

#include <QString>
#include <QTranslator>

namespace platform {

class QtTranslations {
public:
    // The folder of Qt's catalogues ("qt_de.qm", ...); by default where Qt keeps them.
    explicit QtTranslations(QString folder = DefaultFolder());
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Switches to the catalogue of a language ("de", "en", "fr", "es"); English is Qt's own
    // and needs none. False when the language's catalogue is missing or unreadable: Qt's
    // texts are then English.
    bool Load(const QString& language);
    QString Language() const { return m_language; }
    static QString DefaultFolder();

private:
    QString m_folder;
    QString m_language;
    QTranslator m_translator;
    bool m_installed = false;
};

}  // namespace platform
