#pragma once
// CAFormDiagram: the diagram view. It holds the diagram window (CGraphicDisplayWnd) with the
// chart, its sliders and its property sheet, takes every value set of a measurement from the
// new-values entry, and offers the measurement and the controller what they ask of the diagram.

#include <array>
#include <vector>

#include "environment/frame_registration.h"
#include "platform/dialog.h"
#include "views/channel_refresher.h"
#include "views/graphic_display_wnd.h"
#include "workflow/workflow_peers.h"

class CAFormDiagram : public CDialog, public views::ISampleSink, public workflow::IDiagramView, public ILanguageTexts {
public:
    static constexpr int IDC_GRAPH_AREA = 2300;
    static constexpr int IDC_POINTS = 2301;
    static constexpr int IDC_PROPERTIES = 2302;

    CAFormDiagram(views::IViewsFrame& frame, views::ChannelRefresher& refresher, QWidget* parent = nullptr);
    ~CAFormDiagram() override;

    CGraphicDisplayWnd& Display() { return *m_pDisplay; }

    // Copies the channel set-up of the measurement from the frame.
    void LoadChannelSetup();
    // Prepares the diagram for a measurement; with startNow it records at once.
    void StartGraph(bool startNow) override;
    // State 1 records up to `value` points; 0 idles; 2 records without a limit.
    void SetRunState(int state, int value) { m_pDisplay->SetRunState(state, value); }
    int GetMaxChannelSetting() const { return m_pDisplay->GetMaxChannelSetting(); }
    // Writes the diagram's picture where the documentation settings ask for it; false when
    // they do not ask or the file could not be written.
    bool StoreDiagramAtEnd();
    void SetSensorDisplayFlag(int sensor, bool shown) { m_pDisplay->SetSensorDisplayFlag(sensor, shown); }
    bool GetSensorDisplayFlag(int sensor) const { return m_pDisplay->GetSensorDisplayFlag(sensor); }
    void SetStorageBusy(int valueSets, const std::array<BYTE, views::kChannelCount>& flags)
    {
        m_pDisplay->SetStorageBusy(valueSets, flags);
    }

    bool SaveChart(const CString& fileName) { return m_pDisplay->SaveChart(fileName); }
    bool LoadChart(const CString& fileName) { return m_pDisplay->LoadChart(fileName); }
    bool Print() { return m_pDisplay->Print(); }
    void PrintGraph(CDC* dc) { m_pDisplay->PrintGraph(dc); }
    void PrintGraphRect(CDC* dc, int left, int top, int right, int bottom) { m_pDisplay->PrintGraphRect(dc, left, top, right, bottom); }
    bool SaveBitmap(const CString& fileName) { return m_pDisplay->SaveBitmap(fileName); }
    std::vector<BYTE> GetBitmap() { return m_pDisplay->GetBitmap(); }

    void LoadLanguageTexts() override;

    // ISampleSink
    void AddValueSet(const views::ValueSet& set) override { m_pDisplay->AddValueSet(set); }
    void RepaintSamples() override;

protected:
    void OnCommand(int id, UINT code) override;

private:
    void ShowPointCount();

    views::IViewsFrame& m_frame;
    views::ChannelRefresher& m_refresher;
    CGraphicDisplayWnd* m_pDisplay = nullptr;
    // Per channel the unit the measurement is drawn in, as the set-up was loaded: its text id
    // (0 for the sensor's own unit) and its text in the names, renamed with the language.
    std::array<UINT, views::kChannelCount> m_unitIds{};
    std::array<CString, views::kChannelCount> m_unitTexts;
};
