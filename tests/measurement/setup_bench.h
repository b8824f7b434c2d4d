#pragma once
// The set-up page against the workflow controller and simulated sensors under virtual time:
// fakes of the main frame (with its six display tables) and of the control panel, the page
// registered with the controller, and helpers to connect sensors and run the refresh.

#include <array>
#include <ostream>
#include <memory>
#include <vector>

#include "measurement/measure_frame.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_page.h"
#include "tests/measurement/frame_fakes.h"
#include "tests/workflow/workflow_bench.h"

// CString in test messages.
void PrintTo(const CString& text, std::ostream* os);

namespace measurement_test {

struct FakeTable {
    std::array<int, 8> field{};  // by DisplayField
    std::vector<measurement::DisplayUnit> units;
};

class FakePanel : public MeasurePanelDefaults {
public:
    explicit FakePanel(workflow::MeasureCtrlSettings& settings) : m_settings(settings) {}
    bool IsRunning() const override { return m_settings.bRunning == 1; }
    bool IsSensorConnected() const override { return connected; }
    void StopMeasurement() override { ++stops; }
    void SetAutoRepeat(bool checked, bool enabled) override
    {
        autoRepeatChecked = checked;
        autoRepeatEnabled = enabled;
    }
    bool IsAutoRepeatChecked() const override { return autoRepeatChecked; }
    void ClearSingleShotEnded() override { ++singleShotClears; }
    bool connected = true;
    int stops = 0;
    bool autoRepeatChecked = true;
    bool autoRepeatEnabled = true;
    int singleShotClears = 0;

private:
    workflow::MeasureCtrlSettings& m_settings;
};

class FakeMeasureFrame : public MeasureFrameDefaults {
public:
    FakeMeasureFrame(CComPort& com, FakePanel& panel);
    CComPort& Com() override { return m_com; }
    measurement::IMeasurePanel* Panel() override { return &m_panel; }
    int MeasureRateIndex() const override { return rate; }
    void SetMeasureRateIndex(int index) override { rate = index; }
    int AveragingCount() const override { return averaging; }
    void SetAveragingCount(int count) override { averaging = count; }
    int MeasuredChannelCount() const override { return channels; }
    void SetMeasuredChannelCount(int count) override { channels = count; }
    void SetMeasuringDurationSeconds(std::int32_t seconds) override { durationSeconds = seconds; }
    void SetStartTriggerThreshold(double value) override { startThreshold = value; }
    void SetStopTriggerThreshold(double value) override { stopThreshold = value; }
    void BeginWaitCursorOnce() override { waitCursor = true; }
    void EndWaitCursorOnce() override { waitCursor = false; }
    int DisplayValue(int channel, measurement::DisplayField field) const override;
    void SetDisplayValue(int channel, measurement::DisplayField field, int value) override;
    std::vector<measurement::DisplayUnit> DisplayUnits(int channel) const override;
    void SetDisplayUnits(int channel, const std::vector<measurement::DisplayUnit>& units) override;
    void SetMeasureMode(int mode) override { measureMode = mode; }
    void SetIoNioOutput(int value) override { ioNioOutput = value; }

    std::array<FakeTable, 6> tables;
    int rate = 3;
    int averaging = 1;
    int channels = 1;
    std::int32_t durationSeconds = 0;
    double startThreshold = 0.0, stopThreshold = 0.0;
    bool waitCursor = false;
    int measureMode = 0;
    int ioNioOutput = 0;

private:
    CComPort& m_com;
    FakePanel& m_panel;
};

// A bench with the real set-up page registered at the controller.
struct SetupBench : workflow_test::Bench {
    SetupBench();
    ~SetupBench();
    // Connects a sensor on COM3 and runs the page's refresh, as the frame does after a read.
    bool ConnectAndRefresh(const sim::SensorConfig& config);
    void Refresh();
    const sim::SensorEngine& SensorOf(int device = 0) const { return devices[static_cast<std::size_t>(device)]->Port(0).sensor(); }
    // Content byte (frame position 7 to 33) of the sensor's software-configuration block.
    int SwConfigByte(int framePosition, int device = 0) const;
    // Selects the entry with that datum as the user would, then runs the handler.
    void Choose(int combo, long long datum);

    FakePanel panel{control.settings};
    FakeMeasureFrame measureFrame{com, panel};
    std::unique_ptr<measurement::CDlgMeasureAdjust> page;
};

sim::SensorConfig TwoChannelSensor(std::uint32_t serial = 100001);

}  // namespace measurement_test
