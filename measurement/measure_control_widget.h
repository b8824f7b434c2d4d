#pragma once
// MeasureControlWidget: the measurement control panel on the screen, a thin shell over
// CDlgMeasureDiagram. It lays the panel out from its Designer form, copies the logic's controls
// and indicator states onto the widgets after every change, and turns the user's clicks,
// selections and edits into the logic's handlers (after writing the new state into the logic's
// controls).

#include <functional>
#include <map>
#include <memory>

#include "environment/frame_registration.h"
#include "measurement/measure_control_panel.h"
#include "platform/dialog.h"

namespace Ui {
class MeasureControlPage;
}

namespace measurement {

class MeasureControlWidget : public CDialog, public ILanguageTexts {
public:
    explicit MeasureControlWidget(IControlFrame& frame, QWidget* parent = nullptr);
    // The panel keeps the frame's view of itself (the application's adapter).
    MeasureControlWidget(std::unique_ptr<IControlFrame> frame, QWidget* parent);
    ~MeasureControlWidget() override;

    CDlgMeasureDiagram& Logic() { return *m_logic; }
    void LoadLanguageTexts() override;
    // Copies the logic's controls and indicators onto the widgets.
    void Sync();

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, UINT code) override;
    void showEvent(class QShowEvent* event) override;
    void hideEvent(class QHideEvent* event) override;
    void paintEvent(class QPaintEvent* event) override;
    bool PreTranslateKey(int virtualKey, bool keyDown) override;

private:
    void SetUpIndicators();
    void MapHandlers();
    void TakeUserState(int id);
    void SyncControl(int id, const ControlState& state);
    void SyncIndicators();

    std::unique_ptr<IControlFrame> m_ownedFrame;
    std::unique_ptr<CDlgMeasureDiagram> m_logic;
    std::unique_ptr<Ui::MeasureControlPage> m_ui;
    std::map<int, std::function<void()>> m_handlers;
    bool m_syncing = false;
};

}  // namespace measurement
