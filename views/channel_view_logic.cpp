#include "views/channel_view_logic.h"

#include "views/display_update.h"
#include "views/value_text.h"
#include "views/view_texts.h"
#include "workflow/com_port.h"

namespace views {

ChannelViewLogic::ChannelViewLogic(int channel, IViewsFrame& frame, ChannelRefresher& refresher)
    : m_channel(channel), m_frame(frame), m_refresher(refresher)
{
}

const DisplayTable* ChannelViewLogic::Table() const { return m_frame.Tables().Entry(m_channel); }

bool ChannelViewLogic::IsAbsent() const
{
    const DisplayTable* table = Table();
    if (!table) return true;
    // A power channel is there while it is marked for display.
    if (m_channel >= kChannelP1) return table->powerMark != 'P' && table->state != kChannelOn;
    return table->state == kChannelAbsent;
}

CString ChannelViewLogic::CaptionText() const
{
    if (m_channel >= kChannelP1) return CString::Formatted("%s %d", ViewText(kTextPower).GetString(), m_channel - kChannelP1 + 1);
    const CComPort* com = m_frame.ComPort();
    if (com && com->m_nCountActivePorts > 1)
        return CString::Formatted("%s %d", ViewText(kTextSensor).GetString(), m_channel + 1);
    return ViewText(kTextChannelA + static_cast<UINT>(m_channel));
}

CString ChannelViewLogic::UnitText() const
{
    const DisplayTable* table = Table();
    if (!table || IsAbsent()) return kNotAvailable;
    return table->SelectedUnitText();
}

CString ChannelViewLogic::Format(double value) const
{
    const DisplayTable* table = Table();
    if (!table || IsAbsent()) return kNotAvailable;
    return FormatValue(value, table->decimals, ViewLanguage());
}

CString ChannelViewLogic::ValueText() const { return Format(m_refresher.ShownValueOf(m_channel)); }

CString ChannelViewLogic::MinimumText() const { return Format(m_refresher.ShownMinimumOf(m_channel)); }

CString ChannelViewLogic::MaximumText() const { return Format(m_refresher.ShownMaximumOf(m_channel)); }

CString ChannelViewLogic::FieldText(int field) const
{
    switch (field) {
    case 0:
        return CaptionText() + " [" + UnitText() + "]";
    case 1:
        return ValueText();
    case 2:
        return MinimumText();
    case 3:
        return MaximumText();
    default:
        return CString();
    }
}

bool ChannelViewLogic::IsTared() const { return m_refresher.Values(m_channel).tared; }

bool ChannelViewLogic::IsFirstValue() const { return m_refresher.Values(m_channel).firstValue; }

void ChannelViewLogic::Tare() { m_refresher.Tare(m_channel); }

void ChannelViewLogic::TareIfNotTared() { m_refresher.TareIfNotTared(m_channel); }

void ChannelViewLogic::ClearTare() { m_refresher.ClearTare(m_channel); }

void ChannelViewLogic::ResetMinimum() { m_refresher.Values(m_channel).ResetMinimum(); }

void ChannelViewLogic::ResetMaximum() { m_refresher.Values(m_channel).ResetMaximum(); }

bool ChannelViewLogic::FormatValueText(const CString& codeText, CString& valueText, CString& unitText,
                                       double& factor) const
{
    const DisplayTable* table = Table();
    if (!table || IsAbsent()) {
        valueText = kNotAvailable;
        unitText = kNotAvailable;
        return false;
    }
    return FormatRangeEnd(*table, codeText, ViewLanguage(), valueText, unitText, factor);
}

}  // namespace views
