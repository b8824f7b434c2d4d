#include "app/main_frame_views.h"

#include <algorithm>

#include <QDockWidget>
#include <QScrollArea>

#include "app/channel_strip.h"
#include "app/main_frame.h"
#include "app/main_frame_documentation.h"
#include "documentation/diagram_storage.h"
#include "documentation/dlg_documentation.h"
#include "measurement/diagram_axes.h"
#include "measurement/measure_rate_table.h"
#include "measurement/measure_setup_page.h"
#include "measurement/trigger_evaluation.h"
#include "platform/message_box.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "views/aform_channel.h"
#include "views/aform_diagram.h"
#include "views/aform_light.h"
#include "views/display_update.h"
#include "views/view_texts.h"
#include "workflow/workflow_peers.h"

void CMainFrame::InstallViews()
{
    m_views = std::make_shared<app::ViewsWiring>(*this);
    app::ViewsWiring& views = *m_views;
    m_hooks.configureMovingAverages = [&views](int mode) { views.Refresher().ConfigureMovingAverages(mode); };
    m_hooks.resetMovingAverages = [&views] { views.Refresher().ResetMovingAverages(); };
    m_hooks.updateDisplayValues = [this, &views](int sensor, int mode, const CSensorRecord* record) {
        views::UpdateDisplayValues(views.Tables(), m_com, sensor, mode, record, ::GetLanguage());
        if (mode == 1 && record) {
            views.Refresher().TakeSensor(m_com, sensor, record->m_sStatorHeader.nSerialNo);
            // The set-up page starts from the channels the sensor stores as on or off.
            for (const views::SensorChannel& c : views::ChannelsOfSensor(m_com, sensor))
                if (const views::DisplayTable* table = views.Tables().Entry(c.channel))
                    m_fields.channelState[static_cast<std::size_t>(c.channel)] = table->state;
        }
        views.SyncDiagramFlags();
        views.Refresher().RefreshChannelViews(3);
    };
    m_hooks.storeSensorDisplayValue = [this, &views](int sensor) {
        views::StoreSensorDisplayValue(views.Tables(), m_com, sensor, ::GetLanguage());
    };
    m_hooks.refreshChannelViews = [&views](int reason) { views.Refresher().RefreshChannelViews(reason); };
    m_hooks.onChannelView = [&views](int index) { views.OnChannelView(index); };
    m_hooks.displayEntry = [&views](int channel) -> workflow::DisplayChannelEntry* { return views.Tables().Entry(channel); };
    // A slot's current channel position is the unit its channel is shown in (a single sensor's
    // slots 0 and 1 are its channels A and B, a multiport sensor's slot is its own channel).
    m_hooks.displaySlot = [this, &views](int slot) {
        workflow::DisplaySlotRecord* record = views.Tables().Slot(slot);
        int channel = slot;
        if (m_com.m_nCountActivePorts >= 2) {
            const std::vector<views::SensorChannel> channels = views::ChannelsOfSensor(m_com, slot);
            channel = channels.empty() ? -1 : channels.front().channel;
        }
        if (const views::DisplayTable* table = views.Tables().Entry(channel); record && table)
            record->channelPosition = table->shownUnit;
        return record;
    };
    m_hooks.scanViewListItems = [&views](int) {
        views.ShowValueTexts();
        views.RedrawDiagram();
    };
    views.CreateViews();

    // The end of a measurement: the last values shown, the diagram drawn and, when the
    // documentation asks for it, stored under its naming scheme.
    if (m_documentation) {
        app::DocumentationHooks& end = m_documentation->hooks;
        end.describeMeasurement = [&views] { return views.DescribeMeasurement(); };
        end.updateValueTexts = [&views] { views.ShowValueTexts(); };
        end.redrawDiagram = [&views] { views.RedrawDiagram(); };
        end.checkDiagramAutoStorage = [this, &views] {
            documentation::CDlgDocumentation* page = app::DocumentationPageOf(*this);
            if (!page || !views.Diagram()) return;
            app::DiagramBitmapOfView source(*views.Diagram());
            CString fileName;
            const CString problem = documentation::StoreDiagramBitmap(page->Settings(), source, fileName);
            if (!problem.IsEmpty()) platform::ShowNotice(problem, platform::MB_ICONWARNING);
        };
    }
}

app::ViewsWiring* CMainFrame::Views() { return m_views.get(); }

views::DisplayTable* CMainFrame::DisplayTable(int channel) { return m_views ? m_views->Tables().Entry(channel) : nullptr; }

namespace app {

bool DiagramBitmapOfView::SaveBitmap(const CString& fileName)
{
    m_diagram.RepaintSamples();
    return m_diagram.SaveBitmap(fileName);
}

namespace {

constexpr UINT kTextDiagramBar = views::kTextDiagram;

}  // namespace

ViewsWiring::ViewsWiring(CMainFrame& frame) : m_frame(frame), m_refresher(*this, frame.loop()) {}

ViewsWiring::~ViewsWiring() = default;

void ViewsWiring::CreateViews()
{
    // The channel views in rows of as many as fit the bar, A to D first, the power channels after.
    auto* strip = new app::ChannelStrip;
    for (int c = 0; c < views::kChannelCount; ++c) {
        m_channels[static_cast<std::size_t>(c)] = new CAFormChannelX(c, *this, m_refresher, strip);
        // A and B show from the start; the others when a sensor or the user asks for them.
        const bool shown = c < 2;
        m_channels[static_cast<std::size_t>(c)]->setVisible(shown);
        m_frame.m_channelViewVisible[static_cast<std::size_t>(c)] = shown;
        strip->AddView(m_channels[static_cast<std::size_t>(c)]);
    }
    m_frame.Bar(kBarChannelViews).setWidget(strip);

    m_light = new CAFormLight(this);
    m_frame.Bar(kBarStatusLight).setWidget(m_light);

    m_diagramBar = new QDockWidget(&m_frame);
    m_diagramBar->setObjectName("DiagramBar");
    m_diagramBar->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                              QDockWidget::DockWidgetFloatable);
    m_diagramBar->setWindowTitle(platform::ToQString(LoadLangString(kTextDiagramBar)));
    m_diagram = new CAFormDiagram(*this, m_refresher, m_diagramBar);
    m_diagramBar->setWidget(m_diagram);
    // Above the channel views, taking the height they leave.
    m_frame.addDockWidget(Qt::RightDockWidgetArea, m_diagramBar);
    m_frame.splitDockWidget(m_diagramBar, &m_frame.Bar(kBarChannelViews), Qt::Vertical);
    m_diagram->LoadChannelSetup();
}

CAFormChannelX* ViewsWiring::ChannelView(int channel) const
{
    return channel >= 0 && channel < views::kChannelCount ? m_channels[static_cast<std::size_t>(channel)] : nullptr;
}

void ViewsWiring::OnChannelView(int index)
{
    if (index == views::kChannelCount) {
        if (m_diagramBar) m_diagramBar->setVisible(!m_diagramBar->isVisible());
        return;
    }
    CAFormChannelX* view = ChannelView(index);
    if (!view) return;
    const bool shown = !m_frame.m_channelViewVisible[static_cast<std::size_t>(index)];
    view->setVisible(shown);
    m_frame.m_channelViewVisible[static_cast<std::size_t>(index)] = shown;
    if (shown) view->ShowValues();
}

void ViewsWiring::ShowValueTexts()
{
    m_refresher.RefreshChannelViews(4);
    m_refresher.FlushRepaint();
}

void ViewsWiring::RedrawDiagram()
{
    if (m_diagram) m_diagram->RepaintSamples();
}

CComPort* ViewsWiring::ComPort() { return &m_frame.Com(); }

workflow::MeasureCtrlSettings* ViewsWiring::MeasureSettings()
{
    auto* page = m_frame.RegisteredAs<workflow::IMeasureControlPage>(kFrameMeasureControlPage);
    return page ? page->Settings() : nullptr;
}

// A close ends the measured-value files as soon as it has stopped the measurement; the sets
// still on the line behind the stop are then neither drawn nor written, so that the curve holds
// no set that is in no file.
bool ViewsWiring::IsMeasurementEnded() const { return m_frame.IsMeasurementEnded() || m_frame.IsShuttingDown(); }

const measurement::CMeasureSetup* ViewsWiring::SetupRecord() const
{
    const auto* page = dynamic_cast<const measurement::CDlgMeasureAdjust*>(
        m_frame.RegisteredAs<workflow::IMeasureSetupPage>(kFrameMeasureSetupPage));
    return page ? &page->Setup() : nullptr;
}

bool ViewsWiring::IsChannelMeasured(int c) const
{
    const views::DisplayTable* table = m_tables.Entry(c);
    if (!table) return false;
    if (c >= views::kChannelP1) return table->powerMark == 'P';
    // The sensor's table keeps the state the sensor reported when it was read; the page's
    // choice since is the frame's.
    return table->state == views::kChannelOn && m_frame.Fields().channelState[static_cast<std::size_t>(c)] != views::kChannelOff;
}

views::DiagramSetup ViewsWiring::GetDiagramSetup() const
{
    if (diagramSetup) return diagramSetup();
    views::DiagramSetup setup;
    const FrameMeasureFields& fields = m_frame.Fields();
    static constexpr const char* kNames[] = {"A", "B", "C", "D", "P1", "P2"};
    for (int c = 0; c < views::kChannelCount; ++c) {
        const views::DisplayTable* table = m_tables.Entry(c);
        setup.channelMeasured[static_cast<std::size_t>(c)] = IsChannelMeasured(c);
        if (table) setup.curveNames[static_cast<std::size_t>(c)] = CString(kNames[c]) + " [" + table->SelectedUnitText() + "]";
    }
    // A set's time: the sensor reduces a streamed rate by the sets it averages.
    setup.samplePeriod = measurement::GetSetPeriod(fields.measureRateIndex, fields.averagingCount);
    // Slow rates count minutes on the x axis, as the set-up page shows its durations (from the
    // rate while there is no set-up page).
    const measurement::CMeasureSetup* record = SetupRecord();
    const int unitId = record ? record->xAxisUnitTextId : measurement::XAxisUnitTextIdOfRate(fields.measureRateIndex);
    setup.xAxisFactor = measurement::GetXAxisUnitFactor(unitId);
    setup.xAxisUnit = LoadLangString(static_cast<UINT>(unitId));
    if (record) measurement::ApplyAxisAssignment(*record, setup);
    else setup.channelShown = setup.channelMeasured;
    return setup;
}

documentation::MeasurementDescription ViewsWiring::DescribeMeasurement()
{
    documentation::MeasurementDescription description;
    CComPort& com = m_frame.Com();
    const int sensors = com.m_nCountActivePorts >= 2 ? com.m_nCountActivePorts : 1;
    for (int s = 0; s < sensors && s < kMaxSensorPorts; ++s)
        description.sensorIdentity.push_back(
            CString::Formatted("%u", static_cast<unsigned>(com.m_Sensor[static_cast<std::size_t>(s)].m_sStatorHeader.nSerialNo)));
    static constexpr const char* kNames[] = {"A", "B", "C", "D", "P1", "P2"};
    m_documentedChannels.clear();
    for (int c = 0; c < views::kChannelCount; ++c) {
        const views::DisplayTable* table = m_tables.Entry(c);
        if (!table || !IsChannelMeasured(c)) continue;
        m_documentedChannels.push_back(c);
        documentation::ChannelDescription column;
        column.name = kNames[c];
        column.unit = table->SelectedUnitText();
        // The display rounds to what a reader needs; the file keeps the measured steps, which
        // lie below that.
        column.decimals = std::min(table->decimals + 3, 6);
        description.channels.push_back(column);
    }
    const FrameMeasureFields& fields = m_frame.Fields();
    if (const unsigned rateText = measurement::GetMeasureRateTextId(fields.measureRateIndex); rateText != 0)
        description.measureRateText = LoadLangString(rateText);
    description.intervalSeconds = measurement::GetSetPeriod(fields.measureRateIndex, fields.averagingCount);
    description.durationSeconds = fields.measuringSeconds;
    // A stop by count ends after exactly that many sets, not after the whole seconds they take,
    // whether started by hand or by the trigger.
    const measurement::CMeasureSetup* record = SetupRecord();
    if (record && record->stopSource == measurement::kStopByCount) {
        const int sets = measurement::DiagramPointLimit(measurement::kTriggerCount, 0.0, record->count, 0.0);
        description.setCount = static_cast<std::uint64_t>(sets);
    }
    return description;
}

void ViewsWiring::DocumentValueSet(const views::ValueSet& set)
{
    std::array<double, views::kChannelCount> values{};
    int count = 0;
    for (int c : m_documentedChannels) values[static_cast<std::size_t>(count++)] = set.value[static_cast<std::size_t>(c)];
    m_frame.CollectSample(values.data(), count);
}

void ViewsWiring::RegisterChannelView(int channel, CAFormChannelX* view)
{
    m_frame.RegisterObject(static_cast<FrameObjectKind>(kFrameChannelViewA + channel), view);
}

void ViewsWiring::RegisterDiagramView(CAFormDiagram* view)
{
    m_frame.RegisterObject(kFrameDiagramView, static_cast<workflow::IDiagramView*>(view));
}

void ViewsWiring::SyncDiagramFlags()
{
    const views::DiagramSetup setup = GetDiagramSetup();
    // The channel on the x axis is in the diagram as well, as the axis' values.
    for (int c = 0; c < views::kChannelCount; ++c)
        m_frame.m_channelInDiagram[static_cast<std::size_t>(c)] = setup.channelShown[static_cast<std::size_t>(c)] || c == setup.xChannel;
}

void ViewsWiring::RegisterLightView(CAFormLight* view) { m_frame.RegisterObject(kFrameStatusLightView, view); }

}  // namespace app
