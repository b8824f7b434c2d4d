#pragma once
// A main frame for the views' tests: the display tables, a controller whose values the tests
// set, the measurement control page's settings record and the diagram's set-up. It is the
// test-side base of every views frame: the interface itself gives no bodies.

#include <vector>

#include "res/string_table.h"
#include "views/channel_refresher.h"
#include "views/unit_lists.h"
#include "views/view_texts.h"
#include "views/views_frame.h"
#include "workflow/com_port.h"
#include "workflow/workflow_peers.h"

namespace views_test {

class TestFrame : public views::IViewsFrame {
public:
    views::DisplayTables& Tables() override { return tables; }
    CComPort* ComPort() override { return com; }
    workflow::MeasureCtrlSettings* MeasureSettings() override { return &settings; }
    bool IsMeasurementEnded() const override { return ended; }
    views::DiagramSetup GetDiagramSetup() const override { return setup; }
    void DocumentValueSet(const views::ValueSet&) override {}
    CString DiagramFileAtEnd() override { return diagramFile; }
    void RegisterChannelView(int channel, CAFormChannelX*) override { registered.push_back(channel); }
    void RegisterDiagramView(CAFormDiagram*) override { registered.push_back(6); }
    void RegisterLightView(CAFormLight*) override { registered.push_back(7); }

    views::DisplayTables tables;
    CComPort* com = nullptr;
    workflow::MeasureCtrlSettings settings;
    bool ended = false;
    views::DiagramSetup setup;
    CString diagramFile;
    std::vector<int> registered;
};

// A torque channel shown in N·m: 25000 counts are the range end of 500 cN·m. The scale factor
// is the controller's: counts x per-count value x unit factor, counts alone for "ADU".
inline void MakeTorqueChannel(views::DisplayTable& table, CComPort& com, int channel, int unit = 0)
{
    table.SetUnitList(views::UnitListOf('D'));
    table.typeClass = 'D';
    table.state = views::kChannelOn;
    table.decimals = 2;
    table.selectedUnit = unit;
    table.divisor = 25000;
    table.perCount = 500.0 / 25000.0;
    com.m_adScaleFactor[static_cast<std::size_t>(channel)] =
        table.SelectedUnitId() == views::kTextUnitAdu ? 1.0 : table.perCount * table.SelectedUnitFactor();
}

// Counts the value sets handed to the evaluation.
class CountingEvaluation : public views::IValueEvaluation {
public:
    void EvaluateValueSet(const views::ValueSet& set) override { sets.push_back(set); }
    bool RecordsLastValueSet() const override { return true; }
    std::vector<views::ValueSet> sets;
};

}  // namespace views_test
