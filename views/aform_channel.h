#pragma once
// CAFormChannelX: the view of one channel (A to D, P1, P2): a caption with the unit, the value
// in large figures, minimum and maximum (a click starts each again from the current value) and
// tare. The texts come from ChannelViewLogic; the view repaints when the refresher says so.

#include <memory>

#include "environment/frame_registration.h"
#include "platform/dialog.h"
#include "views/channel_view_logic.h"

namespace views {
class IViewsFrame;
class ChannelRefresher;
}

class CAFormChannelX : public CDialog, public views::IChannelDisplay, public ILanguageTexts {
public:
    static constexpr int IDC_CAPTION = 2100;
    static constexpr int IDC_VALUE = 2101;
    static constexpr int IDC_MINIMUM = 2102;
    static constexpr int IDC_MAXIMUM = 2103;
    static constexpr int IDC_TARE = 2104;
    static constexpr int IDC_TARE_STATE = 2105;
    static constexpr int IDC_MINIMUM_CAPTION = 2106;
    static constexpr int IDC_MAXIMUM_CAPTION = 2107;

    CAFormChannelX(int channel, views::IViewsFrame& frame, views::ChannelRefresher& refresher, QWidget* parent = nullptr);
    ~CAFormChannelX() override;

    int Channel() const { return m_logic.Channel(); }
    views::ChannelViewLogic& Logic() { return m_logic; }

    void UpdateField0();
    void UpdateField1();
    void UpdateField2();
    void UpdateField3();
    // The first value has not been shown yet.
    bool IsFirstValue() const { return m_logic.IsFirstValue(); }
    void Tare() { m_logic.Tare(); }
    void TareIfNotTared() { m_logic.TareIfNotTared(); }
    bool FormatValueText(const CString& codeText, CString& valueText, CString& unitText, double& factor) const
    {
        return m_logic.FormatValueText(codeText, valueText, unitText, factor);
    }
    void LoadLanguageTexts() override;
    // The three value buttons (minimum, maximum, tare): off while no sensor is active.
    void EnableValueButtons(bool enable);
    bool AreValueButtonsEnabled() const { return m_bButtonsEnabled; }
    // "---" in the four value fields until the buttons are enabled again (a sensor is active).
    void ClearValueFields();

    // IChannelDisplay
    void ShowValues() override;

protected:
    void OnCommand(int id, UINT code) override;

private:
    // A value field's text: "---" while the fields are cleared.
    CString ShownFieldText(int field) const;

    views::ChannelViewLogic m_logic;
    views::ChannelRefresher& m_refresher;
    bool m_bButtonsEnabled = true;
    bool m_bCleared = false;
};
