#include "tests/measurement/setup_bench.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace measurement;

void PrintTo(const CString& text, std::ostream* os) { *os << '"' << text.GetString() << '"'; }

namespace measurement_test {

FakeMeasureFrame::FakeMeasureFrame(CComPort& com, FakePanel& panel) : m_com(com), m_panel(panel)
{
    for (std::size_t c = 0; c < tables.size(); ++c) {
        FakeTable& t = tables[c];
        t.field[static_cast<std::size_t>(DisplayField::ChannelState)] = c == 0 ? 1 : c == 1 ? 0 : 3;
        t.field[static_cast<std::size_t>(DisplayField::Available)] = c < 2 ? 1 : 0;
        t.units = {{0, "N·m", 1.0}, {1, "kN·m", 0.001}, {2, "lbf·in", 8.85}, {-1, "", 0.0}};
    }
}

int FakeMeasureFrame::DisplayValue(int channel, DisplayField field) const
{
    if (channel < 0 || channel >= 6) return 0;
    return tables[static_cast<std::size_t>(channel)].field[static_cast<std::size_t>(field)];
}

void FakeMeasureFrame::SetDisplayValue(int channel, DisplayField field, int value)
{
    if (channel < 0 || channel >= 6) return;
    tables[static_cast<std::size_t>(channel)].field[static_cast<std::size_t>(field)] = value;
}

std::vector<DisplayUnit> FakeMeasureFrame::DisplayUnits(int channel) const
{
    if (channel < 0 || channel >= 6) return {};
    return tables[static_cast<std::size_t>(channel)].units;
}

void FakeMeasureFrame::SetDisplayUnits(int channel, const std::vector<DisplayUnit>& units)
{
    if (channel >= 0 && channel < 6) tables[static_cast<std::size_t>(channel)].units = units;
}

namespace {

// Every bench keeps its settings in a folder of its own.
void IsolateProfile()
{
    static QTemporaryDir home;
    setenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit().constData(), 1);
}

}  // namespace

SetupBench::SetupBench()
{
    IsolateProfile();
    page = std::make_unique<CDlgMeasureAdjust>(measureFrame);
    workflow::WorkflowPeers peers = com.Peers();
    peers.measureSetup = page.get();
    com.SetPeers(peers);
    page->OnInitDialog();
}

SetupBench::~SetupBench()
{
    workflow::WorkflowPeers peers = com.Peers();
    peers.measureSetup = nullptr;
    com.SetPeers(peers);
}

bool SetupBench::ConnectAndRefresh(const sim::SensorConfig& config)
{
    if (!ConnectSensor(config)) return false;
    loop.RunFor(100);
    Refresh();
    ports.writes.clear();
    return true;
}

void SetupBench::Refresh()
{
    page->SetTimer(kTimerRefresh, 20);
    loop.RunFor(30);
}

int SetupBench::SwConfigByte(int framePosition, int device) const
{
    return SensorOf(device).Blocks().ContentByte(sim::BlockSlot(0x03), framePosition);
}

void SetupBench::Choose(int combo, long long datum)
{
    EXPECT_GE(page->Controls().SelectByDatum(combo, datum), 0) << "combo " << combo << " has no datum " << datum;
}

sim::SensorConfig TwoChannelSensor(std::uint32_t serial)
{
    sim::SensorConfig config = workflow_test::AcceptedSensor(serial);
    config.identity.statorId = 5;
    config.identity.statorRevision = 7;
    return config;
}

}  // namespace measurement_test
