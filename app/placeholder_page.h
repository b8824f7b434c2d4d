#pragma once
// The stand-in of a main page that is not built yet: its caption and a line saying so.

#include <QWidget>

#include "environment/frame_registration.h"
#include "platform/win_types.h"

class QLabel;

namespace app {

class PlaceholderPage : public QWidget, public ILanguageTexts {
public:
    PlaceholderPage(QWidget* parent, UINT captionId);
    void LoadLanguageTexts() override;

private:
    UINT m_captionId;
    QLabel* m_caption;
    QLabel* m_note;
};

}  // namespace app
