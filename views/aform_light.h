#pragma once
// CAFormLight: the status light of the pass/fail evaluation. SetLight: -1 neutral (grey),
// 0 passed (green), 2 failed (red), 1 the third picture (amber); any other state is neutral.

#include <QImage>

#include "environment/frame_registration.h"
#include "platform/dialog.h"

namespace views {
class IViewsFrame;
}

class CAFormLight : public CDialog, public ILanguageTexts {
public:
    static constexpr int IDC_LAMP = 2200;
    static constexpr int IDC_VERDICT = 2201;

    explicit CAFormLight(views::IViewsFrame* frame = nullptr, QWidget* parent = nullptr);

    void SetLight(int state);
    int GetLight() const { return m_state; }
    // The picture shown now.
    const QImage& LampPicture() const { return m_picture; }
    void LoadLanguageTexts() override;

    static QImage PaintLamp(int state, int size);
    static COLORREF LampColour(int state);

private:
    int m_state = -1;
    QImage m_picture;
};
