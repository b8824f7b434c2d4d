// The main frame as the measurement set-up page sees it: the frame's fields, its display
// tables, its wait cursor and views behind measurement::IMeasureFrame, and the frame's hooks
// that lead to the page (the copy into the sensor record before a software-configuration
// write, the page's refresh after a sensor's configuration has been read).

#include "app/main_frame_measurement.h"

#include <QPointer>

#include "app/main_frame.h"
#include "app/main_frame_documentation.h"
#include "app/main_frame_views.h"
#include "app/page_table.h"
#include "documentation/dlg_documentation.h"
#include "measurement/measure_frame.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
#include "measurement/trigger_evaluation.h"
#include "res/string_table.h"
#include "views/display_tables.h"
#include "workflow/connection_state.h"

namespace app {

namespace {

using measurement::DisplayField;
using measurement::DisplayUnit;

class MeasureFrameAdapter : public measurement::IMeasureFrame {
public:
    explicit MeasureFrameAdapter(CMainFrame& frame) : m_frame(frame) {}

    CComPort& Com() override { return m_frame.Com(); }
    // Null until the control panel has registered.
    measurement::IMeasurePanel* Panel() override
    {
        auto* page = m_frame.RegisteredAs<workflow::IMeasureControlPage>(kFrameMeasureControlPage);
        return dynamic_cast<measurement::IMeasurePanel*>(page);
    }
    bool IsStartupPending() const override { return m_frame.m_bStartupPending != 0; }

    int MeasureRateIndex() const override { return m_frame.Fields().measureRateIndex; }
    void SetMeasureRateIndex(int index) override { m_frame.Fields().measureRateIndex = index; }
    int AveragingCount() const override { return m_frame.Fields().averagingCount; }
    void SetAveragingCount(int count) override { m_frame.Fields().averagingCount = count; }
    int MeasuredChannelCount() const override { return m_frame.Fields().measuredChannelCount; }
    void SetMeasuredChannelCount(int count) override { m_frame.Fields().measuredChannelCount = count; }
    void SetMeasuringDurationSeconds(std::int32_t seconds) override { m_frame.Fields().measuringSeconds = seconds; }
    void SetStartTriggerThreshold(double value) override { m_frame.Fields().startTriggerThreshold = value; }
    void SetStopTriggerThreshold(double value) override { m_frame.Fields().stopTriggerThreshold = value; }
    void BeginWaitCursorOnce() override { m_frame.BeginWaitCursorOnce(); }
    void EndWaitCursorOnce() override { m_frame.EndWaitCursorOnce(); }

    // Decimals, unit, averaging, sign and the shown unit live in the frame's display
    // tables, which the channel views and the controller read too.
    int DisplayValue(int channel, DisplayField field) const override
    {
        if (channel < 0 || channel >= 6) return 0;
        if (field == DisplayField::Available) return IsChannelPresent(channel) ? 1 : 0;
        if (field == DisplayField::ChannelState) return m_frame.Fields().channelState[static_cast<std::size_t>(channel)];
        const views::DisplayTable* table = m_frame.DisplayTable(channel);
        if (!table) return 0;
        switch (field) {
        case DisplayField::Decimals: return table->decimals;
        case DisplayField::Unit: return table->selectedUnit;
        case DisplayField::Averaging: return table->averaging;
        case DisplayField::Sign: return table->sign;
        case DisplayField::ShownUnit: return table->shownUnit;
        case DisplayField::OwnUnit: return table->ownUnit;
        default: return 0;
        }
    }
    void SetDisplayValue(int channel, DisplayField field, int value) override
    {
        if (channel < 0 || channel >= 6) return;
        if (field == DisplayField::Available) return;
        if (field == DisplayField::ChannelState) {
            // What the user chose on the page; the views keep what the sensor reports.
            m_frame.Fields().channelState[static_cast<std::size_t>(channel)] = value;
            return;
        }
        views::DisplayTable* table = m_frame.DisplayTable(channel);
        if (!table) return;
        switch (field) {
        case DisplayField::Decimals: table->decimals = value; break;
        case DisplayField::Unit:
            // The channel is shown in the unit chosen for it.
            table->selectedUnit = table->shownUnit = value;
            break;
        case DisplayField::Averaging: table->averaging = value; break;
        case DisplayField::Sign: table->sign = value; break;
        case DisplayField::ShownUnit: table->shownUnit = value; break;
        case DisplayField::OwnUnit: table->ownUnit = value; break;
        default: break;
        }
        // The configuration write keeps a power channel's averaging and sign in the power byte
        // of its pair's torque sensor.
        if (channel >= views::kChannelP1) {
            table->secondValue = table->averaging & 0x0F;
            table->thirdValue = table->sign & 0x01;
        }
    }
    std::vector<DisplayUnit> DisplayUnits(int channel) const override
    {
        std::vector<DisplayUnit> units;
        const views::DisplayTable* table = m_frame.DisplayTable(channel);
        if (table)
            for (std::size_t k = 0; k < table->unitIds.size(); ++k) {
                // The list ends at its end entry, which names no unit.
                const int id = static_cast<int>(table->unitIds[k]);
                if (id < 0) break;
                const double factor = k < table->unitFactors.size() ? table->unitFactors[k] : 1.0;
                units.push_back({id, table->UnitText(static_cast<int>(k)), factor});
            }
        if (units.empty() && channel >= 0 && channel < 4) {
            // The views have not filled the table: the unit the sensor reports.
            const CComPort& com = m_frame.Com();
            const bool several = com.m_nCountActivePorts >= 2;
            const int sensor = several ? channel : 0;
            const CSensorSwConfig& sw = com.m_Sensor[static_cast<std::size_t>(sensor)].m_sSwConfig;
            const CString unit = CSensorSwConfig::ShownUnit((!several && channel == 1) ? sw.strUnitB : sw.strUnitA);
            if (!unit.IsEmpty()) units.push_back({0, unit, 1.0});
        }
        return units;
    }
    // The names go with the ids and factors: the views, the diagram and the files name the
    // channel's unit by them.
    void SetDisplayUnits(int channel, const std::vector<DisplayUnit>& units) override
    {
        views::DisplayTable* table = m_frame.DisplayTable(channel);
        if (!table) return;
        std::vector<views::UnitEntry> list;
        for (const DisplayUnit& unit : units) {
            if (unit.code < 0) break;
            views::UnitEntry entry;
            entry.textId = unit.code;
            entry.text = unit.name;
            entry.factor = unit.factor;
            list.push_back(entry);
        }
        table->SetUnitList(list);
    }
    // A shown power channel is computed and shown from the torque and speed of its group.
    void SetPowerMark(int channel, bool on) override
    {
        if (views::DisplayTable* table = m_frame.DisplayTable(channel)) table->powerMark = on ? 'P' : 0;
    }
    void SetStatusText(UINT id) override { m_frame.SetStatusText(id); }
    void RefreshChannelViews(int reason) override { m_frame.RefreshChannelViews(reason); }
    // A channel view keeps its tare in counts, which hold in every unit, sign and scaling: a
    // change of them needs no new tare, and taring the channel here would make the reading of
    // a loaded sensor zero.
    void TareIfNotTared(int) override {}
    // The channel views share one bar: a channel's "bar" is its view in it. The views of
    // channels A to D stay as the user arranged them, since no page of this window shows them
    // again (a refresh from the sensors on another page would otherwise take the values away);
    // a power channel's view goes when its group switches to angle, where it has no value.
    bool IsChannelBarVisible(int bar) const override
    {
        return bar >= 0 && bar < views::kChannelCount && m_frame.m_channelViewVisible[static_cast<std::size_t>(bar)];
    }
    void ShowChannelBar(int bar, bool show) override
    {
        if (bar < views::kChannelP1 || bar >= views::kChannelCount || IsChannelBarVisible(bar) == show) return;
        m_frame.OnChannelView(bar);
    }
    void UpdateDisplayValues(int sensor, int mode, const CSensorRecord* record) override
    {
        m_frame.UpdateDisplayValues(sensor, mode, record);
    }
    void SetChannelSelection(const std::array<BYTE, 6>& selection) override { m_frame.SetChannelSelection(selection.data()); }
    void SetMeasureMode(int mode) override { m_frame.SetMeasureMode(static_cast<WORD>(mode)); }
    void SetDisplayMode(int mode) override { m_frame.SetDisplayMode(mode); }
    int ActiveViewKind() const override { return m_frame.GetActiveViewKind(); }
    void SetChannelFlag(int group) override { m_frame.SetChannelFlag(group); }
    // The power marks of the display tables follow the connection state's display flags.
    void CopyPowerDisplayFlags() override
    {
        for (int k = 0; k < 2; ++k) SetPowerMark(views::kChannelP1 + k, GetDisplayFlag(k));
    }
    void SetEvaluationKind(int kind) override { m_frame.Fields().evaluationKind = kind; }
    bool IsCommonFilter() const override { return m_frame.Fields().commonFilter != 0; }
    void SetPowerSettings(int group, int unit, int a, int b, int c) override
    {
        if (group < 0 || group > 1) return;
        m_frame.Fields().power[static_cast<std::size_t>(group)] = {unit, {a, b, c}};
    }
    void SetIoNioOutput(int value) override
    {
        if (documentation::CDlgDocumentation* page = DocumentationPageOf(m_frame)) page->SetIoNioOutputSwitch(value);
    }
    void KeepProfileValues(const CString& startProg, const CString& stopProg) override
    {
        FrameMeasureFields& fields = m_frame.Fields();
        fields.startAddProgramPart = startProg;
        fields.stopAddProgramPart = stopProg;
    }
    void MarkConfigWritePending() override { m_frame.SetConfigWritePending(true); }
    bool IsConfigWritePending() const override { return m_frame.IsConfigWritePending(); }
    bool AreSensorsTakenApart() const override { return m_frame.AreSensorsTakenApart(); }
    void WritePendingConfigToReturnedSensor() override { m_frame.WritePendingConfigToReturnedSensor(); }

private:
    bool IsChannelPresent(int channel) const
    {
        const int sensors = m_frame.Com().m_nCountActivePorts;
        if (sensors < 1) return false;
        if (sensors >= 2) return channel < sensors || channel >= 4;
        // A single sensor has channel B as its layout says.
        if (channel == 1) return !m_frame.Com().m_Sensor[0].HasChannelAOnly();
        return channel == 0 || channel >= 4;
    }

    CMainFrame& m_frame;
};

}  // namespace

QWidget* MakeMeasureSetupPage(QWidget* parent, int pageIndex)
{
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (!frame) return MakePlaceholderPage(parent, pageIndex);
    auto* page = new measurement::MeasureSetupWidget(std::make_unique<MeasureFrameAdapter>(*frame), parent);
    const QPointer<measurement::MeasureSetupWidget> guard(page);
    FrameHooks& hooks = frame->Hooks();
    hooks.setSensorTriggerFlags = [guard](int sensor) {
        if (guard) guard->Logic().CopyToSensorRecord(sensor);
    };
    hooks.storeTriggerModes = [guard, frame] {
        if (guard) measurement::CopyTriggerModes(guard->Logic().Setup(), frame->Fields().triggers);
    };
    hooks.sensorConfigurationRead = [guard] {
        if (guard) guard->Logic().SetTimer(measurement::kTimerRefresh, 20);
    };
    hooks.refreshSetupIfDue = [guard] {
        if (guard) guard->Logic().RefreshIfDue();
    };
    hooks.writeProfileValues = [guard] {
        if (guard) guard->Logic().WriteProfileValues();
    };
    hooks.hasPostponedWrites = [guard] { return guard && guard->Logic().Writer().HasWritesWaiting(); };
    hooks.writePostponedNow = [guard](std::function<void()> done) {
        if (guard) guard->Logic().Writer().WritePostponedNow(std::move(done));
        else done();
    };
    return page;
}

}  // namespace app
