#include "app/placeholder_page.h"

#include <QLabel>
#include <QVBoxLayout>

#include "environment/lang_ui.h"

namespace app {

namespace {
constexpr UINT kTextNotBuiltYet = 5687;
}

PlaceholderPage::PlaceholderPage(QWidget* parent, UINT captionId)
    : QWidget(parent), m_captionId(captionId), m_caption(new QLabel(this)), m_note(new QLabel(this))
{
    QFont font = m_caption->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    m_caption->setFont(font);
    m_note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_note);
    layout->addStretch();
    LoadLanguageTexts();
}

void PlaceholderPage::LoadLanguageTexts()
{
    SetLangWindowText(m_caption, m_captionId);
    SetLangWindowText(m_note, kTextNotBuiltYet);
    SetLangWindowText(this, m_captionId);
}

}  // namespace app
