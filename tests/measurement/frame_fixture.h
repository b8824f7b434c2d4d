#pragma once
// The real main frame, offscreen, on a virtual-time loop with one simulated sensor in process
// (channel A climbs 1000 counts a second from 500), connected through the frame's own search
// before each test; the control panel page found in it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include <memory>

#include "app/main_frame.h"
#include "app/page_table.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
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
        sensor = std::make_unique<sim::SimulatedSensor>(control_test::RampSensor(1000.0, 500.0), loop);
        ports.Add("COM3", "Tessaline USB sensor interface Port", &sensor->Port(0));
        frame = std::make_unique<CMainFrame>(&ports);
        loop.RunUntilIdle();
        panel = FindPage<measurement::MeasureControlWidget>(*frame);
        ASSERT_NE(panel, nullptr);
        frame->Com().COM_SearchComPorts(0);
        ASSERT_TRUE(loop.RunUntil([this] { return frame->m_bSensorConnected && frame->Com().GetZMCOMConfgFlow() != ZM_START_INIT; }, 20000));
        loop.RunFor(500);
    }
    void TearDown() override
    {
        if (frame) {
            frame->Com().m_pPortMan.reset();
            for (auto& port : frame->Com().m_pPortManOfPort) port.reset();
        }
        frame.reset();
    }
    bool Running() const { return panel->Logic().Settings()->bRunning == 1; }
    void Click(int id)
    {
        auto* button = panel->Item<QAbstractButton>(id);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled()) << "control " << id;
        button->click();
    }
    // The user judges channel A with condition 1 of the set-up page, between 0 and upper.
    void JudgeChannelABelow(const char* upper)
    {
        auto* setup = FindPage<measurement::MeasureSetupWidget>(*frame);
        ASSERT_NE(setup, nullptr);
        frame->ShowPage(app::kPageMeasureSetup);
        auto* channelA = setup->Item<QAbstractButton>(measurement::kChannelButton[0]);
        if (!channelA->isChecked()) channelA->click();
        loop.RunFor(500);
        auto* channel = setup->Item<QComboBox>(measurement::kConditionCombo[0]);
        const auto& entries = setup->Logic().Controls()[measurement::kConditionCombo[0]].entries;
        int row = -1;
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].datum == 0) row = static_cast<int>(i);
        ASSERT_GE(row, 0);
        channel->setCurrentIndex(row);
        Q_EMIT channel->activated(row);
        setup->Item<QLineEdit>(measurement::kLimitEdit[0])->setText("0");
        setup->Item<QLineEdit>(measurement::kLimitEdit[1])->setText(upper);
        // Condition 1 is set; the sensor's blocks may hold a second one of their own.
        EXPECT_TRUE(setup->Logic().IoNioConditions() & 1);
    }
};

}  // namespace measurement_test
