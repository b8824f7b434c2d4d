#include "app/km3_view.h"

#include "environment/frame_registration.h"

CKm3View::CKm3View(QWidget* parent) : QStackedWidget(parent)
{
    for (const app::PageSlot& slot : app::PageTable()) {
        QWidget* page = slot.make(this, slot.index);
        m_pages[static_cast<std::size_t>(slot.index)] = page;
        addWidget(page);
    }
    ShowPage(app::kPageLogo);
}

void CKm3View::ShowPage(int pageIndex)
{
    if (pageIndex < 0 || pageIndex >= app::kPageCount) return;
    setCurrentIndex(pageIndex);
}

int CKm3View::ActiveKind() const
{
    const int index = currentIndex();
    return index < 0 ? 0 : app::PageTable()[static_cast<std::size_t>(index)].kind;
}

QWidget* CKm3View::Page(int pageIndex) const
{
    if (pageIndex < 0 || pageIndex >= app::kPageCount) return nullptr;
    return m_pages[static_cast<std::size_t>(pageIndex)];
}

void CKm3View::LoadLanguageTexts()
{
    for (QWidget* page : m_pages)
        if (auto* texts = dynamic_cast<ILanguageTexts*>(page)) texts->LoadLanguageTexts();
}
