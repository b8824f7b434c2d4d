#pragma once
// The main frame's live views: the display tables, the new-values entry (RefreshChannelViews),
// the smoothing rings, the six channel views in the channel-view bar, the status light in its
// bar and the diagram in a bar of its own. The frame delegates its view operations here; the
// measurement sets the evaluation that receives every value set, and may give the diagram's
// set-up and the documentation the file a diagram is stored in at the end.

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "documentation/documentation_peers.h"
#include "documentation/measurement_description.h"
#include "views/channel_refresher.h"
#include "views/views_frame.h"

class CMainFrame;
class CAFormChannelX;
class CAFormDiagram;
class CAFormLight;
class QDockWidget;

namespace measurement {
struct CMeasureSetup;
}

namespace app {

// The diagram view as the documentation's bitmap source.
class DiagramBitmapOfView : public documentation::IDiagramBitmapSource {
public:
    explicit DiagramBitmapOfView(CAFormDiagram& diagram) : m_diagram(diagram) {}
    bool SaveBitmap(const CString& fileName) override;

private:
    CAFormDiagram& m_diagram;
};

class ViewsWiring : public views::IViewsFrame {
public:
    explicit ViewsWiring(CMainFrame& frame);
    ~ViewsWiring() override;

    // Made when the frame's bars exist: the views go into them.
    void CreateViews();

    views::ChannelRefresher& Refresher() { return m_refresher; }
    CAFormChannelX* ChannelView(int channel) const;
    CAFormDiagram* Diagram() const { return m_diagram; }
    CAFormLight* Light() const { return m_light; }
    QDockWidget* DiagramBar() const { return m_diagramBar; }

    // Shows or hides the view of a channel (0 to 5) or, for 6, the diagram.
    void OnChannelView(int index);
    // The channel views show their values again at once; the diagram draws what it holds.
    void ShowValueTexts();
    void RedrawDiagram();
    // The frame's per-channel "drawn in the diagram" bits from the channels shown.
    void SyncDiagramFlags();

    // What a measurement's set-up says of the diagram; empty: from the frame's fields.
    std::function<views::DiagramSetup()> diagramSetup;
    // The file the diagram is stored in at the end of a measurement when CAFormDiagram's
    // StoreDiagramAtEnd is called directly; empty: none. The frame's end of a measurement
    // stores it through the documentation's naming scheme instead.
    std::function<CString()> diagramFileAtEnd;

    // IViewsFrame
    views::DisplayTables& Tables() override { return m_tables; }
    CComPort* ComPort() override;
    workflow::MeasureCtrlSettings* MeasureSettings() override;
    bool IsMeasurementEnded() const override;
    views::DiagramSetup GetDiagramSetup() const override;
    void DocumentValueSet(const views::ValueSet& set) override;
    // The measured-value file's description of the measurement that starts: the channels the
    // diagram shows, with their units, and the set-up's measure rate. Later value sets are
    // documented with the same channels.
    documentation::MeasurementDescription DescribeMeasurement();
    CString DiagramFileAtEnd() override { return diagramFileAtEnd ? diagramFileAtEnd() : CString(); }
    void RegisterChannelView(int channel, CAFormChannelX* view) override;
    void RegisterDiagramView(CAFormDiagram* view) override;
    void RegisterLightView(CAFormLight* view) override;

private:
    // The set-up page's record; null while there is no page.
    const measurement::CMeasureSetup* SetupRecord() const;
    // A channel the sensor has on and the set-up page has not switched off (the sensor then
    // streams the others alone), or a power channel shown.
    bool IsChannelMeasured(int channel) const;

    CMainFrame& m_frame;
    views::DisplayTables m_tables;
    views::ChannelRefresher m_refresher;
    std::array<CAFormChannelX*, views::kChannelCount> m_channels{};
    CAFormDiagram* m_diagram = nullptr;
    CAFormLight* m_light = nullptr;
    std::vector<int> m_documentedChannels;
    QDockWidget* m_diagramBar = nullptr;
};

}  // namespace app
