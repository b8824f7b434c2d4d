#pragma once
// MeasureSetupWidget: the measurement set-up page on the screen, a thin shell over
// CDlgMeasureAdjust. It lays the page out from its Designer form, copies the logic's controls
// onto the widgets after every change, and turns the user's clicks, selections and edits into
// the logic's handlers (after writing the new state into the logic's controls).

#include <functional>
#include <map>
#include <memory>

#include "environment/frame_registration.h"
#include "measurement/measure_setup_page.h"
#include "platform/dialog.h"

namespace Ui {
class MeasureSetupPage;
}

namespace measurement {

class MeasureSetupWidget : public CDialog, public ILanguageTexts {
public:
    explicit MeasureSetupWidget(IMeasureFrame& frame, QWidget* parent = nullptr);
    // The page keeps the frame's view of itself (the application's adapter).
    MeasureSetupWidget(std::unique_ptr<IMeasureFrame> frame, QWidget* parent);
    ~MeasureSetupWidget() override;

    CDlgMeasureAdjust& Logic() { return *m_logic; }
    // Texts of the current language, and the refresh from the sensors that comes with them.
    void LoadLanguageTexts() override;
    // Copies the logic's controls onto the widgets.
    void Sync();

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, UINT code) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void showEvent(class QShowEvent* event) override;
    void hideEvent(class QHideEvent* event) override;

private:
    void MapHandlers();
    void SetupBrowseControls();
    void TakeUserState(int id);
    void SyncControl(int id, const ControlState& state);

    std::unique_ptr<IMeasureFrame> m_ownedFrame;
    std::unique_ptr<CDlgMeasureAdjust> m_logic;
    std::unique_ptr<Ui::MeasureSetupPage> m_ui;
    std::map<int, std::function<void()>> m_handlers;
    bool m_syncing = false;
};

}  // namespace measurement
