#pragma once
// CLedButton: a multi-state indicator (a lamp with an optional caption) that is also a button.
//
// A page places it in its form (promoted widget, property ctrlId) and sets it up once:
//     led->SetStateCount(3, FALSE);
//     led->SetStateIcon(0, 176, 16, 16);   // off
//     led->SetStateIcon(1, 177, 16, 16);   // on
//     led->SetStateIcon(2, 179, 16, 16);   // blinking phase
//     led->SetLedState(2, TRUE);
// The caption is the button's text (SetDlgItemText/setText), drawn to the right of the lamp.
// The icons are our own drawings (res/icons/indicator_icons.h), drawn at the size asked.
// Notifies: BN_CLICKED to the owning dialog when the user clicks it (never when the program
// changes its state).

#include <QAbstractButton>
#include <QImage>

#include <vector>

#include "platform/win_types.h"

class CLedButton : public QAbstractButton {
public:
    explicit CLedButton(QWidget* parent = nullptr);

    // Sets the number of states (at least 1). States beyond the new count lose their icon;
    // a shown state beyond it falls back to state 0. redraw repaints now. FALSE for count < 1.
    BOOL SetStateCount(int count, BOOL redraw = TRUE);
    int GetStateCount() const { return static_cast<int>(m_states.size()); }

    // Gives state its icon, drawn cx x cy pixels (0 or less: 16). FALSE, and nothing changes,
    // for a state outside 0..count-1 or an icon id that has no drawing.
    BOOL SetStateIcon(int state, UINT iconId, int cx, int cy);

    // Shows state. FALSE, and the shown state stays, for a state outside 0..count-1.
    // redraw repaints at once; otherwise the change shows with the next paint.
    BOOL SetLedState(int state, BOOL redraw = TRUE);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct State {
        UINT iconId = 0;
        QSize size;    // as asked, in device-independent pixels
        QImage image;  // drawn for the screen's pixel ratio, so it stays sharp there too
    };
    QSize IconSize() const;
    const QImage& ShownImage();

    std::vector<State> m_states;
    int m_state = 0;
};
