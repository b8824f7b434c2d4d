#include "app/logo_page.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/about_window.h"
#include "environment/lang_ui.h"
#include "platform/qt_text.h"
#include "res/string_table.h"

namespace app {

namespace {
constexpr UINT kTextProgramTitle = 5680;
constexpr UINT kTextSubtitle = 5688;
constexpr UINT kTextVersion = 5681;
}  // namespace

LogoPage::LogoPage(QWidget* parent)
    : QWidget(parent), m_program(new QLabel(this)), m_subtitle(new QLabel(this)), m_version(new QLabel(this))
{
    setObjectName("LogoPage");
    QFont big = m_program->font();
    big.setPointSizeF(big.pointSizeF() * 3.0);
    big.setBold(true);
    m_program->setFont(big);
    QFont medium = m_subtitle->font();
    medium.setPointSizeF(medium.pointSizeF() * 1.4);
    m_subtitle->setFont(medium);
    m_subtitle->setWordWrap(true);
    for (QLabel* label : {m_program, m_subtitle, m_version}) label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addWidget(m_program);
    layout->addWidget(m_subtitle);
    layout->addSpacing(12);
    layout->addWidget(m_version);
    layout->addStretch(3);
    LoadLanguageTexts();
}

void LogoPage::LoadLanguageTexts()
{
    SetLangWindowText(this, kTextProgramTitle);
    SetLangWindowText(m_program, kTextProgramTitle);
    SetLangWindowText(m_subtitle, kTextSubtitle);
    SetLangWindowText(m_version, kTextVersion, CString(" ") + kProgramVersion);
}

}  // namespace app
