#pragma once
// ChannelScalingWidget: the channel scaling page on the screen, a thin modal shell over
// CDlgSoftwareConfig. It lays the page out from its Designer form, copies the logic's controls
// onto the widgets, and hands the user's edits and clicks to the logic; Save closes the page
// only when the logic accepts the numbers.

#include <memory>

#include "environment/frame_registration.h"
#include "measurement/channel_scaling_page.h"
#include "platform/dialog.h"

namespace Ui {
class ChannelScalingPage;
}

namespace measurement {

class ChannelScalingWidget : public CDialog, public ILanguageTexts {
public:
    explicit ChannelScalingWidget(IScalingHost& host, QWidget* parent = nullptr);
    ~ChannelScalingWidget() override;

    CDlgSoftwareConfig& Logic() { return m_logic; }
    // A single shot's reading for the page (the workflow's values of channels A and B).
    void SetCurrentMeasuredValue(LONG raw1, LONG raw2);
    void LoadLanguageTexts() override;
    void Sync();

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, UINT code) override;
    void OnOK() override;
    void OnCancel() override;
    void showEvent(class QShowEvent* event) override;

private:
    void SetUpFields();

    CDlgSoftwareConfig m_logic;
    std::unique_ptr<Ui::ChannelScalingPage> m_ui;
    int m_nLanguage = 0;  // read by the number fields at every write
    bool m_syncing = false;
};

}  // namespace measurement
