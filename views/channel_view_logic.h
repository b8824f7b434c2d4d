#pragma once
// What a channel view shows and does, without widgets: the caption, the value, minimum and
// maximum texts in the channel's unit and decimals, tare and the resets of minimum and maximum.
// A channel that is absent, off or has no usable scale shows "n.a." in every value field.

#include "views/channel_refresher.h"
#include "views/display_helper.h"
#include "views/views_frame.h"

namespace views {

class ChannelViewLogic : public CDisplayHelper {
public:
    ChannelViewLogic(int channel, IViewsFrame& frame, ChannelRefresher& refresher);

    int Channel() const { return m_channel; }
    // "Channel A" .. "Channel D" (with several sensors "Sensor n"), "Power 1", "Power 2".
    CString CaptionText() const;
    CString UnitText() const;
    CString ValueText() const;
    CString MinimumText() const;
    CString MaximumText() const;
    // Field 0 the caption with the unit, 1 to 3 value, minimum, maximum.
    CString FieldText(int field) const;
    bool IsAbsent() const;
    bool IsTared() const;
    bool IsFirstValue() const;

    void Tare();
    void TareIfNotTared();
    void ClearTare();
    void ResetMinimum();
    void ResetMaximum();

    // The channel's nominal value and unit from a "%04x" nominal-value code (see CDisplayHelper).
    bool FormatValueText(const CString& codeText, CString& valueText, CString& unitText, double& factor) const;

private:
    const DisplayTable* Table() const;
    CString Format(double value) const;

    int m_channel;
    IViewsFrame& m_frame;
    ChannelRefresher& m_refresher;
};

}  // namespace views
