#pragma once
// The logo page: the page the program opens with, naming the program, its maker and version.

#include <QWidget>

#include "environment/frame_registration.h"

class QLabel;

namespace app {

class LogoPage : public QWidget, public ILanguageTexts {
public:
    explicit LogoPage(QWidget* parent);
    void LoadLanguageTexts() override;

private:
    QLabel* m_program;
    QLabel* m_subtitle;
    QLabel* m_version;
};

}  // namespace app
