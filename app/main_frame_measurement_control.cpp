// The main frame as the measurement control panel sees it (measurement::IControlFrame), and
// the channel scaling page opened for the set-up page with its single-shot reading.

#include "app/main_frame_measurement_control.h"

#include <QPointer>

#include <algorithm>
#include <vector>

#include "app/main_frame.h"
#include "app/main_frame_documentation.h"
#include "app/main_frame_views.h"
#include "app/page_table.h"
#include "documentation/dlg_documentation.h"
#include "documentation/pass_fail_file.h"
#include "measurement/channel_scaling_widget.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_rate_table.h"
#include "measurement/measure_setup_page.h"
#include "measurement/measure_setup_widget.h"
#include "platform/message_loop.h"
#include "res/string_table.h"
#include "sensor_admin/sensor_admin_pages.h"
#include "views/aform_channel.h"
#include "views/aform_diagram.h"
#include "views/aform_light.h"
#include "views/display_update.h"
#include "views/view_texts.h"
#include "workflow/com_port.h"

void CMainFrame::StoreChannelSetup(int channel)
{
    if (channel < 0 || channel >= views::kChannelCount) return;
    FrameMeasureFields::ChannelSetup& setup = m_fields.channelSetup[static_cast<std::size_t>(channel)];
    setup = {};
    const views::DisplayTable* table = DisplayTable(channel);
    if (!table) return;
    for (int k = 0; k < table->UnitCount(); ++k) setup.unitNames.push_back(table->UnitText(k));
    setup.countsToUnit = table->perCount;
    setup.nominalCounts = table->divisor;
    // The user factor the sensor keeps for the channel.
    const bool several = m_com.m_nCountActivePorts >= 2;
    const int sensor = several ? channel : 0;
    if (channel >= views::kChannelP1 || sensor >= kMaxSensorPorts) return;
    const CSensorRecord& record = m_com.m_Sensor[static_cast<std::size_t>(sensor)];
    const bool useB = record.KeepsScalingInB(!several && channel == 1);
    setup.userFactors = {useB ? record.m_sSwConfig.dScaleB : record.m_sSwConfig.dScaleA};
    setup.selectedFactor = 0;
}

namespace app {

namespace {

using measurement::FrameFlag;

// The set-up page among the frame's widgets; null when there is none (or no longer).
measurement::MeasureSetupWidget* FindSetupPage(const CMainFrame& frame)
{
    for (QWidget* widget : frame.findChildren<QWidget*>())
        if (auto* setup = dynamic_cast<measurement::MeasureSetupWidget*>(widget)) return setup;
    return nullptr;
}

// A channel's nominal value (its display table's nominal-value code) and unit as its channel
// view formats them; false without a view or a table for the channel.
bool FormatNominalValue(ViewsWiring* views, int channel, CString& value, CString& unit, double& factor)
{
    const CAFormChannelX* view = views ? views->ChannelView(channel) : nullptr;
    const views::DisplayTable* table = views ? views->Tables().Entry(channel) : nullptr;
    if (!view || !table) return false;
    value = "Val.?";
    unit = "Unit.?";
    return view->FormatValueText(CString::Formatted("%04x", table->nominalCode), value, unit, factor);
}

class ControlFrameAdapter : public measurement::IControlFrame {
public:
    explicit ControlFrameAdapter(CMainFrame& frame) : m_frame(frame) {}

    CComPort& Com() override { return m_frame.Com(); }
    BYTE& Flag(FrameFlag flag) override
    {
        FrameMeasureFields& f = m_frame.Fields();
        switch (flag) {
        case FrameFlag::TriggerCycle: return f.triggerCycle;
        case FrameFlag::WaitingForStart: return f.waitingForStart;
        case FrameFlag::StartPending: return f.startPending;
        case FrameFlag::ProtocolError: return f.protocolError;
        case FrameFlag::MultiportGap: return f.multiportGap;
        case FrameFlag::ClosePending: return f.closePending;
        case FrameFlag::CloseAfterWrite: return f.closeAfterWrite;
        case FrameFlag::EndRequest: return f.endRequest;
        case FrameFlag::DataReceived: return f.dataReceived;
        case FrameFlag::RawRequest: return f.rawRequest;
        case FrameFlag::LayoutPending: return f.layoutPending;
        case FrameFlag::ShuttingDown: return f.shuttingDown;
        default: return m_ownFlags[static_cast<std::size_t>(flag)];
        }
    }
    measurement::TriggerState& Triggers() override { return m_frame.Fields().triggers; }
    std::int64_t Now() const override { return platform::CalendarSeconds(); }

    const measurement::CMeasureSetup* SetupRecord() const override
    {
        const measurement::CDlgMeasureAdjust* page = SetupPage();
        return page ? &page->Setup() : &m_emptySetup;
    }
    measurement::IoNioInputs GetIoNioInputs() const override
    {
        const measurement::CDlgMeasureAdjust* page = SetupPage();
        return page ? page->GetIoNioInputs() : measurement::IoNioInputs{};
    }
    CString AddOnProgramPath(bool start) const override
    {
        const FrameMeasureFields& f = m_frame.Fields();
        return start ? f.startAddProgramPart : f.stopAddProgramPart;
    }
    int ValuesPerSet() const override { return m_frame.Fields().valuesPerSet > 0 ? m_frame.Fields().valuesPerSet : 1; }
    // Without a set-up page there is no power channel whose units could be refused.
    bool CheckPowerUnits() const override
    {
        const measurement::CDlgMeasureAdjust* page = SetupPage();
        return !page || page->CheckPowerUnits();
    }
    CString SetupText(int controlId) const override
    {
        const measurement::CDlgMeasureAdjust* page = SetupPage();
        return page ? page->Controls().Text(controlId) : CString();
    }
    // The rate the set-up page chose; the frame keeps its index.
    UINT MeasureRateTextId() const override { return measurement::GetMeasureRateTextId(m_frame.Fields().measureRateIndex); }
    double SetPeriodSeconds() const override
    {
        return measurement::GetSetPeriod(m_frame.Fields().measureRateIndex, m_frame.Fields().averagingCount);
    }

    // Busy also while the set-up waits to be written into the sensors: a measurement started
    // before would run on the old one.
    bool IsBusy() const override
    {
        const measurement::CDlgMeasureAdjust* page = SetupPage();
        return m_frame.m_bWaitCursorShown != 0 || (page && page->IsWritePausing());
    }
    bool AreSensorsTakenApart() const override { return m_frame.AreSensorsTakenApart(); }
    void BeginWaitCursorOnce() override { m_frame.BeginWaitCursorOnce(); }
    void EndWaitCursorOnce() override { m_frame.EndWaitCursorOnce(); }
    void SetStatusText(UINT id) override { m_frame.SetStatusText(id); }
    int ActiveViewKind() const override { return m_frame.GetActiveViewKind(); }
    void OnChannelView(int index) override { m_frame.OnChannelView(index); }
    bool IsChannelViewShown(int index) const override
    {
        return index >= 0 && index < views::kChannelCount && m_frame.m_channelViewVisible[static_cast<std::size_t>(index)];
    }
    void ConfigureMovingAverages(int mode) override { m_frame.ConfigureMovingAverages(mode); }
    void StoreTriggerModes() override { m_frame.StoreTriggerModes(); }
    void UpdateTriggerFlags() override { m_frame.UpdateTriggerFlags(); }
    void ScanViewListItems(int which) override { m_frame.ScanViewListItems(which); }
    bool HandleKeyMessage(int virtualKey, bool keyDown) override { return m_frame.HandleKeyMessage(virtualKey, keyDown); }
    void PostCloseMainWindow() override { m_frame.RequestClose(); }
    // The frame's dispatch gives an id it does not know no work of its own.
    void ArmFrameTimer(UINT_PTR id, UINT ms) override { m_frame.SetTimer(id, ms); }
    // A sensor that is ready brings back the calibration page's controls (a step entry hides
    // them) and its calibration state as the sensor now reports it.
    void ShowCalibrationControls(bool show) override
    {
        if (sensor_admin::SensorAdminPages* pages = m_frame.SensorAdmin()) pages->calibration.ShowControls(show);
    }
    void CloseCalibrationEndPrompt() override
    {
        if (sensor_admin::SensorAdminPages* pages = m_frame.SensorAdmin()) pages->calibration.EndPrompt().CloseIfVisible();
    }
    void MarkInformationRefresh() override
    {
        if (sensor_admin::SensorAdminPages* pages = m_frame.SensorAdmin()) pages->information.SetRefresh();
    }
    void SetupCheckSameSensor() override
    {
        if (measurement::CDlgMeasureAdjust* page = SetupPage()) page->CheckSameSensor();
    }
    void HideSetupSensorControls() override
    {
        if (measurement::CDlgMeasureAdjust* page = SetupPage()) page->HideSensorControls();
    }
    // The panel's connection events go to the per-sensor log: each sensor of the connection
    // once, with the port it is reached on. A disconnection is reported after the sensor records
    // were cleared, so it is logged for the sensors the connection named.
    void WriteLogFile(const CString& event) override
    {
        documentation::CSensorLog& log = m_frame.Documentation().Log();
        log.SetSwitch(m_frame.LogSwitch());
        if (event == "connected") {
            const CComPort& com = m_frame.Com();
            const int sensors = com.m_nCountActivePorts >= 2 ? com.m_nCountActivePorts : 1;
            std::vector<documentation::CSensorLog::ConnectedSensor> connected;
            for (int s = 0; s < sensors && s < kMaxSensorPorts; ++s)
                connected.push_back({com.m_Sensor[static_cast<std::size_t>(s)], com.PortNameOfSensor(s)});
            log.LogConnections(connected);
        } else if (event == "Sensor getrennt") {
            log.LogDisconnections();
        }
    }
    void SetAngleZeroOptions(const std::array<BYTE, 2>& options) override { m_frame.Fields().angleZeroOption = options; }
    void ResetAngleReference() override { m_frame.Fields().angleReference = 0.0; }
    void MarkConfigWritePending() override { m_frame.SetConfigWritePending(true); }

    void OpenMeasValueFiles(int reserved) override { m_frame.OpenMeasValueFiles(reserved); }
    void MeasurementStopping() override { m_frame.Documentation().Recorder().MeasurementStopping(); }
    // The documentation ends the measurement and calls the panel's end steps in their order.
    void FinishMeasurement() override { m_frame.FinishMeasurement(); }
    void FreeConvertList() override { m_frame.FreeConvertList(); }
    // The modes as they count now: nothing is stored while the automatic storage is off.
    int StorageMode(measurement::StorageKind kind) const override
    {
        const documentation::CDlgDocumentation* page = DocumentationPageOf(m_frame);
        if (!page) return documentation::kStorageOff;
        switch (kind) {
        case measurement::StorageKind::Values: return page->GetAutoStorageMode(documentation::kMeasValues);
        case measurement::StorageKind::IoNio: return page->GetAutoStorageMode(documentation::kIoNioResults);
        case measurement::StorageKind::Diagram: return page->GetAutoStorageMode(documentation::kDiagrams);
        }
        return documentation::kStorageOff;
    }
    // The panel's stop gives the measurement its time when no value set has arrived. The
    // documentation knows that for every mode: the controller's stream counter stays at 0 while
    // a polled measurement's sets arrive, and their first one keeps its time.
    void SetFirstRecordTime(std::int64_t seconds) override
    {
        documentation::CDlgDocumentation* page = DocumentationPageOf(m_frame);
        if (page && page->Times().firstRecord == 0) page->SetFirstRecordTime(seconds);
    }
    void SetDocumentationRunning(bool flag) override
    {
        if (documentation::CDlgDocumentation* page = DocumentationPageOf(m_frame)) page->SetMeasurementRunning(flag ? 1 : 0);
    }

    void SetLight(int state) override
    {
        if (CAFormLight* light = Views() ? Views()->Light() : nullptr) light->SetLight(state);
    }
    void DiagramSetRunState(int state, int value) override
    {
        if (CAFormDiagram* diagram = Diagram()) diagram->SetRunState(state, value);
    }
    void DiagramStartGraph(bool now) override
    {
        if (CAFormDiagram* diagram = Diagram()) diagram->StartGraph(now);
    }
    void DiagramLoadChannelSetup() override
    {
        if (CAFormDiagram* diagram = Diagram()) diagram->LoadChannelSetup();
    }
    int DiagramPointCount() const override
    {
        const CAFormDiagram* diagram = Diagram();
        return diagram ? diagram->GetMaxChannelSetting() : 0;
    }
    // The frame's end of a measurement has stored the diagram under the documentation's naming
    // scheme already; the view stores it again only into a file given for it.
    void StoreDiagramAtEnd() override
    {
        if (CAFormDiagram* diagram = Diagram()) diagram->StoreDiagramAtEnd();
    }
    void SetSensorDisplayFlag(int sensor, bool shown) override
    {
        if (CAFormDiagram* diagram = Diagram()) diagram->SetSensorDisplayFlag(sensor, shown);
    }
    // The diagram keeps the size for the next start; the curves on show stay.
    void SetStorageBusy(int valueSets, const std::array<BYTE, 6>& channels) override
    {
        if (CAFormDiagram* diagram = Diagram()) diagram->SetStorageBusy(valueSets, channels);
    }
    void EnableChannelValueButtons(bool enable) override
    {
        ForEachChannelView([enable](CAFormChannelX& view) { view.EnableValueButtons(enable); });
    }
    void ClearChannelValueFields() override
    {
        ForEachChannelView([](CAFormChannelX& view) { view.ClearValueFields(); });
        if (Views()) Views()->Refresher().ForgetMeasuredValues();
    }
    void MarkChannelsWaitingForFirstValue() override
    {
        if (!Views()) return;
        for (int c = 0; c < views::kChannelCount; ++c) Views()->Refresher().Values(c).firstValue = true;
    }
    // The unit the channel is shown in decides: its count value and its share of the range.
    void FillHysteresisChannel(int channel, measurement::HysteresisChannel& entry) const override
    {
        const views::DisplayTable* table = Views() ? Views()->Tables().Entry(channel) : nullptr;
        if (!table) return;
        entry.unitIsAdu = table->SelectedUnitId() == views::kTextUnitAdu;
        entry.countValue = table->SelectedCountValue();
        entry.percent = table->SelectedPercent();
    }
    void UpdateDisplayValues(int sensor, int mode) override { m_frame.UpdateDisplayValues(sensor, mode, nullptr); }
    // The range end of the sensor's channel (0 A, 1 B) as its channel view formats it: the
    // nominal-value code in the unit of the sensor's measurand.
    CString ChannelRangeText(int sensor, int channel) const override
    {
        const CString none = "n.a.";
        const std::vector<views::SensorChannel> channels = views::ChannelsOfSensor(m_frame.Com(), sensor);
        if (!Views() || channel < 0 || channel >= static_cast<int>(channels.size())) return none;
        CString value, unit;
        double factor = 0.0;
        if (!FormatNominalValue(Views(), channels[static_cast<std::size_t>(channel)].channel, value, unit, factor)) return none;
        return value + " " + unit;
    }

private:
    measurement::CDlgMeasureAdjust* SetupPage() const
    {
        if (!m_setupPage) m_setupPage = FindSetupPage(m_frame);
        return m_setupPage ? &m_setupPage->Logic() : nullptr;
    }
    ViewsWiring* Views() const { return m_frame.Views(); }
    CAFormDiagram* Diagram() const { return Views() ? Views()->Diagram() : nullptr; }
    template <class Action>
    void ForEachChannelView(Action action)
    {
        if (!Views()) return;
        for (int c = 0; c < views::kChannelCount; ++c)
            if (CAFormChannelX* view = Views()->ChannelView(c)) action(*view);
    }

    CMainFrame& m_frame;
    std::array<BYTE, static_cast<std::size_t>(FrameFlag::Count)> m_ownFlags{};
    measurement::CMeasureSetup m_emptySetup;
    mutable QPointer<measurement::MeasureSetupWidget> m_setupPage;
};

// The channel scaling page for the set-up page: opened modally for one channel; a single shot
// asked for by the page comes back from the controller through the set-up page while it is open.
class ScalingOpener : public measurement::IScalingPage, public measurement::IScalingHost {
public:
    ScalingOpener(CMainFrame& frame, measurement::CDlgMeasureDiagram& panel) : m_frame(frame), m_panel(panel) {}

    bool Run(int channel, const CString& unitText, double unitFactor, double scaleFactor, const CString& scaleUnit,
             measurement::ScalingResult& result) override
    {
        m_unitText = unitText;
        m_unitFactor = unitFactor;
        measurement::ChannelScalingWidget page(*this, &m_frame);
        page.setWindowFlag(Qt::Dialog);
        page.Logic().m_nChannel = channel;
        page.Logic().m_dScaleFactor = scaleFactor;
        page.Logic().m_sUserUnit = scaleUnit;
        m_open = &page;
        const int answer = page.DoModal();
        m_open = nullptr;
        if (answer != IDOK) return false;
        result.factor = page.Logic().m_dScaleFactor;
        result.unit = page.Logic().m_sUserUnit;
        return true;
    }

    bool ShowMeasuredValue(LONG valueA, LONG valueB) override
    {
        if (!m_open) return false;
        m_open->SetCurrentMeasuredValue(valueA, valueB);
        return true;
    }

    // The channel as the frame knows it: its set-up (counts to unit, nominal counts), its
    // measurand from the sensor information, and its nominal value and unit as its channel view
    // formats them. Angle and speed are the channel's measurand letter, for every sensor.
    measurement::ScalingChannelInfo ChannelInfo(int channel) override
    {
        measurement::ScalingChannelInfo info;
        CComPort& com = m_frame.Com();
        info.activePorts = com.m_nCountActivePorts;
        const bool several = info.activePorts >= 2;
        const int sensor = several ? channel : 0;
        info.sensorNumber = sensor + 1;
        info.unitText = m_unitText;
        info.unitFactor = m_unitFactor;
        if (sensor < 0 || sensor >= kMaxSensorPorts || channel < 0 || channel >= views::kChannelP1) return info;
        const CSensorRecord& record = com.m_Sensor[static_cast<std::size_t>(sensor)];
        m_frame.StoreChannelSetup(channel);
        const FrameMeasureFields::ChannelSetup& setup = m_frame.Fields().channelSetup[static_cast<std::size_t>(channel)];
        info.countsToUnit = setup.countsToUnit;
        info.nominalCounts = setup.nominalCounts;
        if (sensor_admin::SensorAdminPages* pages = m_frame.SensorAdmin())
            pages->information.FormatChannelValue(info.measurandText, 1, channel, 0, 0);
        const views::DisplayTable* table = m_frame.DisplayTable(channel);
        info.encoder = table && table->typeClass == 'Y';
        info.encoderAngle = info.encoder && record.m_sEncoder.cAngle != 0;
        CString value, unit;
        double factor = 0.0;
        if (FormatNominalValue(m_frame.Views(), channel, value, unit, factor)) {
            info.nominalValueText = value;
            info.unitText = unit;
            info.unitFactor = factor;
        } else {
            info.nominalValueText = CString::Formatted("%.3f", info.nominalCounts * info.countsToUnit * info.unitFactor);
        }
        return info;
    }
    void RequestSingleShot(int channel) override
    {
        CComPort& com = m_frame.Com();
        com.COM_SendSingleShot(true, com.m_nCountActivePorts >= 2 ? channel : 0);
    }
    BYTE* PanelRunningByte() override { return &m_panel.Settings()->bRunning; }
    bool IsReloadSuppressed() const override { return m_frame.Fields().suppressReload != 0; }

private:
    CMainFrame& m_frame;
    measurement::CDlgMeasureDiagram& m_panel;
    measurement::ChannelScalingWidget* m_open = nullptr;
    CString m_unitText;
    double m_unitFactor = 1.0;
};

// The wiring that needs the views and the set-up page's registration.
class LateWiring : public CWnd {
public:
    static constexpr UINT kMsgWire = WM_APP + 0x1380;
    LateWiring(CMainFrame& frame, measurement::CDlgMeasureDiagram& panel, std::shared_ptr<ScalingOpener> scaling)
        : CWnd(frame.loop()), m_frame(frame), m_panel(panel), m_scaling(std::move(scaling))
    {
    }
    void Unwire()
    {
        if (!m_wired) return;
        m_wired = false;
        if (ViewsWiring* views = m_frame.Views()) views->Refresher().SetEvaluation(nullptr);
        // The set-up page may have gone before the panel when the window closes.
        if (m_setupPage) m_setupPage->Logic().SetScalingPage(nullptr);
    }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != kMsgWire) return CWnd::OnMessage(message, wParam, lParam);
        if (m_wired) return 0;
        m_wired = true;
        if (ViewsWiring* views = m_frame.Views()) views->Refresher().SetEvaluation(&m_panel);
        m_setupPage = FindSetupPage(m_frame);
        if (m_setupPage) m_setupPage->Logic().SetScalingPage(m_scaling.get());
        return 0;
    }

private:
    CMainFrame& m_frame;
    measurement::CDlgMeasureDiagram& m_panel;
    std::shared_ptr<ScalingOpener> m_scaling;
    QPointer<measurement::MeasureSetupWidget> m_setupPage;
    bool m_wired = false;
};

}  // namespace

QWidget* MakeMeasureControlPage(QWidget* parent, int pageIndex)
{
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (!frame) return MakePlaceholderPage(parent, pageIndex);
    auto* page = new measurement::MeasureControlWidget(std::make_unique<ControlFrameAdapter>(*frame), parent);
    measurement::CDlgMeasureDiagram& panel = page->Logic();
    frame->Com().m_pMeasureCtrlSettings = panel.Settings();
    auto scaling = std::make_shared<ScalingOpener>(*frame, panel);
    // The set-up page's registration is posted and the views are made after the pages: the
    // rest waits for a message posted behind them.
    auto late = std::make_shared<LateWiring>(*frame, panel, scaling);
    late->PostMessage(LateWiring::kMsgWire);

    const QPointer<measurement::MeasureControlWidget> guard(page);
    FrameHooks& hooks = frame->Hooks();
    hooks.stopMeasurement = [guard] {
        if (guard) guard->Logic().OnBnClickedStop();
    };
    QObject::connect(page, &QObject::destroyed, [frame, late] {
        frame->Com().m_pMeasureCtrlSettings = nullptr;
        late->Unwire();
    });

    DocumentationWiring& documentation = frame->Documentation();
    documentation.hooks.triggerWasActiveLastTime = [guard] {
        return guard && guard->Logic().Record().bTrggrWasActiveLastTime != 0;
    };
    documentation.hooks.ioNioLastEvaluation = [guard, frame](documentation::IoNioEvaluation& evaluation) {
        if (!guard || !guard->Logic().HasVerdict()) return false;
        const measurement::IoNioLastEvaluationRecord& last = measurement::IoNioLastEvaluation();
        const measurement::IoNioVerdict& verdict = guard->Logic().LastVerdict();
        const measurement::IoNioInputs& inputs = guard->Logic().LastIoNioInputs();
        evaluation.time = platform::CalendarSeconds();
        // A condition without a measurand in this evaluation keeps the last one's caption and
        // value in the record: it was not judged.
        const int measurands[2] = {last.measurand1, last.measurand2};
        const double values[2] = {last.value1, last.value2};
        const std::uint32_t captions[2] = {last.captionId1, last.captionId2};
        const BYTE passed[2] = {verdict.condition1, verdict.condition2};
        for (std::size_t k = 0; k < 2; ++k) {
            documentation::IoNioCondition& c = evaluation.conditions[k];
            c.defined = measurands[k] >= 0 && measurands[k] < measurement::kMeasurandCount;
            if (!c.defined) continue;
            c.measurand = LoadLangString(captions[k]);
            c.value = values[k];
            c.passed = passed[k] != 0;
            // The limits as the user typed them and the evaluation read them; an empty one is none.
            CString lower = inputs.limitText[2 * k], upper = inputs.limitText[2 * k + 1];
            lower.Trim();
            upper.Trim();
            c.hasLower = !lower.IsEmpty();
            c.hasUpper = !upper.IsEmpty();
            c.lower = measurement::ReadLimitText(lower);
            c.upper = measurement::ReadLimitText(upper);
            const views::DisplayTable* table = frame->Views() ? frame->Views()->Tables().Entry(measurands[k]) : nullptr;
            if (table) {
                c.unit = table->SelectedUnitText();
                c.decimals = std::min(table->decimals + 3, 6);
            }
        }
        return true;
    };
    return page;
}

}  // namespace app

bool CMainFrame::AreSensorsTakenApart()
{
    // The calibration page counts the sensors it took one of alone until it gives them back,
    // also those of a device whose first sensor a search opened alone for it.
    sensor_admin::SensorAdminPages* pages = SensorAdmin();
    return (pages && pages->calibration.SensorCount() > 0) || m_com.m_bOpenedAloneBySearch != 0;
}
