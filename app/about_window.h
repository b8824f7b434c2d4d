#pragma once
// The about window: the program, its version, and where its settings and data live.

#include <QDialog>

#include "environment/frame_registration.h"

class QLabel;
class QPushButton;

namespace app {

constexpr const char* kProgramVersion = "2.04";

class AboutWindow : public QDialog, public ILanguageTexts {
public:
    explicit AboutWindow(QWidget* parent);
    void LoadLanguageTexts() override;

private:
    QLabel* m_program;
    QLabel* m_details;
    QPushButton* m_close;
};

}  // namespace app
