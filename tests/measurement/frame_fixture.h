#pragma once
// The real main frame, offscreen, on a virtual-time loop with one simulated sensor in process
// (channel A climbs 1000 counts a second from 500), connected through the frame's own search
// before each test; the control panel page found in it.

#include <gtest/gtest.h>

#include <QWidget>

#include <memory>

#include "app/main_frame.h"
#include "measurement/measure_control_widget.h"
#include "platform/message_box.h"
#include "tests/app/app_test_support.h"
#include "tests/measurement/control_bench.h"
#include "workflow/connection_state.h"

namespace measurement_test {

// The pages have no meta-object of their own, so findChild cannot tell them from other widgets.
template <class T>
T* FindPage(QWidget& root)
{
    for (QWidget* widget : root.findChildren<QWidget*>())
        if (auto* page = dynamic_cast<T*>(widget)) return page;
    return nullptr;
}

struct ConnectedFrame : ::testing::Test {
    app_test::TempProfile profile;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxScope{&boxes};
    workflow_test::SimPortFactory ports;
    std::unique_ptr<sim::SimDevice> sensor;
    std::unique_ptr<CMainFrame> frame;
    measurement::MeasureControlWidget* panel = nullptr;

    void SetUp() override
    {
        ResetConnectionState();
        connection_state::ResetAllForTest();
        sensor = std::make_unique<sim::SimulatedSensor>(SensorConfig(), loop);
        ports.Add("COM3", "Tessaline USB sensor interface Port", &sensor->Port(0));
        Open();
    }
    void TearDown() override { Close(); }
    virtual sim::SensorConfig SensorConfig() const { return control_test::RampSensor(1000.0, 500.0); }
    // The program started anew with the same settings and the same sensor.
    void Restart()
    {
        Close();
        ResetConnectionState();
        connection_state::ResetAllForTest();
        Open();
    }
    void Open()
    {
        frame = std::make_unique<CMainFrame>(&ports);
        loop.RunUntilIdle();
        panel = FindPage<measurement::MeasureControlWidget>(*frame);
        ASSERT_NE(panel, nullptr);
        frame->Com().COM_SearchComPorts(0);
        ASSERT_TRUE(loop.RunUntil([this] { return frame->m_bSensorConnected && frame->Com().GetZMCOMConfgFlow() != ZM_START_INIT; }, 20000));
        loop.RunFor(500);
    }
    void Close()
    {
        if (frame) {
            frame->Com().m_pPortMan.reset();
            for (auto& port : frame->Com().m_pPortManOfPort) port.reset();
        }
        frame.reset();
    }
    bool Running() const { return panel->Logic().Settings()->bRunning == 1; }
};

}  // namespace measurement_test
