#include "app/about_window.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "environment/lang_ui.h"
#include "platform/profile.h"
#include "platform/qt_text.h"
#include "res/string_table.h"

namespace app {

namespace {
constexpr UINT kTextAboutTitle = 5717;
constexpr UINT kTextProgramTitle = 5680;
constexpr UINT kTextVersion = 5681;
constexpr UINT kTextSettingsFile = 5682;
constexpr UINT kTextDataFolder = 5683;
constexpr UINT kTextClose = 5684;
}  // namespace

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent), m_program(new QLabel(this)), m_details(new QLabel(this)), m_close(new QPushButton(this))
{
    setObjectName("AboutWindow");
    QFont font = m_program->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    m_program->setFont(font);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_program);
    layout->addWidget(m_details);
    layout->addWidget(m_close, 0, Qt::AlignRight);
    QObject::connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    LoadLanguageTexts();
}

void AboutWindow::LoadLanguageTexts()
{
    SetLangWindowText(this, kTextAboutTitle);
    SetLangWindowText(m_program, kTextProgramTitle);
    SetLangWindowText(m_close, kTextClose);
    CString details;
    details += LoadLangString(kTextVersion) + " " + kProgramVersion + "\n\n";
    details += LoadLangString(kTextSettingsFile) + "\n    " + platform::ProfileFilePath() + "\n";
    details += LoadLangString(kTextDataFolder) + "\n    " + platform::LocalAppDataFolder();
    m_details->setText(platform::ToQString(details));
}

}  // namespace app
