#pragma once
// The real main frame, offscreen, on a virtual-time loop with simulated sensors in process,
// connected through the frame's own search before each test; the control panel page found in
// it. By default one sensor whose channel A climbs 1000 counts a second from 500; a fixture
// that derives gives its own device (one sensor or a multiport device) and port description.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/page_table.h"
#include "documentation/dlg_documentation.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
#include "platform/message_box.h"
#include "tests/app/app_test_support.h"
#include "tests/measurement/control_bench.h"
#include "workflow/connection_state.h"

namespace measurement_test {

using app_test::FindPage;

// The visible texts under root that still are the placeholders their forms carry, or hold the
// mark "@" of a text the string table lacks.
inline std::vector<std::string> PlaceholderTexts(QWidget& root)
{
    std::vector<std::string> found;
    for (QWidget* widget : root.findChildren<QWidget*>()) {
        if (!widget->isVisible()) continue;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
        if (auto* group = qobject_cast<QGroupBox*>(widget)) text = group->title();
        if (text.startsWith("IDC_") || text.contains('@')) found.push_back(text.toStdString());
    }
    return found;
}

// A sensor that keeps its own value in some bits of a block byte (frame position 7 to 33): the
// bits of mask take those of value.
inline void KeepBlockBits(sim::SensorConfig& config, std::uint8_t blockNumber, int framePosition, std::uint8_t value,
                          std::uint8_t mask = 0xFF)
{
    const sim::BlockStore store(config.identity);
    const sim::BlockStore::Block& block = store.Get(sim::BlockSlot(blockNumber));
    sim::Bytes content(block.begin() + 1, block.begin() + 28);
    std::uint8_t& byte = content[static_cast<std::size_t>(framePosition - 7)];
    byte = static_cast<std::uint8_t>((byte & ~mask) | (value & mask));
    config.identity.rawBlockContent[blockNumber] = content;
}

// Chooses the entry with the given datum in a combo of the set-up page, as the user does.
inline bool ChooseDatum(measurement::MeasureSetupWidget& setup, int comboId, long long datum)
{
    const std::vector<measurement::ComboEntry>& entries = setup.Logic().Controls()[comboId].entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].datum == datum) {
            auto* combo = setup.Item<QComboBox>(comboId);
            combo->setCurrentIndex(static_cast<int>(i));
            Q_EMIT combo->activated(static_cast<int>(i));
            return true;
        }
    return false;
}

// The lines of a measured-value file that start with a number, split at ';'.
inline std::vector<std::vector<double>> ValueRows(const std::string& path)
{
    std::vector<std::vector<double>> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || !(std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == '-')) continue;
        std::vector<double> row;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ';')) {
            for (char& c : field)
                if (c == ',') c = '.';
            row.push_back(std::strtod(field.c_str(), nullptr));
        }
        rows.push_back(row);
    }
    return rows;
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

    // The device of the test: by default one sensor of SensorConfig().
    virtual std::unique_ptr<sim::SimDevice> MakeDevice() { return std::make_unique<sim::SimulatedSensor>(SensorConfig(), loop); }
    virtual sim::SensorConfig SensorConfig() const { return control_test::RampSensor(1000.0, 500.0); }
    virtual CString PortDescription() const { return "Tessaline USB sensor interface Port"; }

    void SetUp() override
    {
        ResetConnectionState();
        connection_state::ResetAllForTest();
        sensor = MakeDevice();
        for (int i = 0; i < sensor->PortCount(); ++i)
            ports.Add(CString::Formatted("COM%d", 3 + i), PortDescription(), &sensor->Port(i));
        Open();
    }
    void TearDown() override { Close(); }
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
        const int count = static_cast<int>(ports.ListPorts().size());
        frame = std::make_unique<CMainFrame>(&ports);
        loop.RunUntilIdle();
        panel = FindPage<measurement::MeasureControlWidget>(*frame);
        ASSERT_NE(panel, nullptr);
        frame->Com().COM_SearchComPorts(0);
        ASSERT_TRUE(loop.RunUntil([this, count] {
            const CComPort& com = frame->Com();
            return frame->m_bSensorConnected && com.GetZMCOMConfgFlow() != ZM_START_INIT &&
                   (count == 1 || com.m_nCountActivePorts >= count);
        }, 20000));
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
    // The window's close, as the user closes it; it waits for what the close writes.
    void CloseWindow()
    {
        frame->close();
        ASSERT_TRUE(loop.RunUntil([this] { return frame->IsClosed(); }, 30000));
    }
    // The documentation page stores every measurement's values (or files of another kind) by
    // itself, in one file in the test's folder; its path.
    std::string StoreMeasuredValues(int kind = documentation::kMeasValues)
    {
        auto* page = FindPage<documentation::CDlgDocumentation>(*frame);
        if (page == nullptr) return std::string();
        documentation::CDocumentationSettings& settings = page->Settings();
        settings.directory[kind] = CString(profile.dir.path().toStdString().c_str());
        settings.storageMode[kind] = documentation::kStorageConstant;
        settings.autoStorage = 1;
        return profile.dir.path().toStdString() + "/" + settings.prefix[kind].GetString() + ".csv";
    }
    bool Running() const { return panel->Logic().Settings()->bRunning == 1; }
    // A configuration write is confirmed: its acknowledgement ended the wait for an answer and
    // the wait cursor. (The reply handler says nothing here: a multiport device's
    // acknowledgement leaves its analysis installed.)
    bool WriteConfirmed() const { return frame->Com().m_nAnswerWatchMs == 0 && !frame->m_bWaitCursorShown; }
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
        ASSERT_TRUE(ChooseDatum(*setup, measurement::kConditionCombo[0], 0));
        setup->Item<QLineEdit>(measurement::kLimitEdit[0])->setText("0");
        setup->Item<QLineEdit>(measurement::kLimitEdit[1])->setText(upper);
        // Condition 1 is set; the sensor's blocks may hold a second one of their own.
        EXPECT_TRUE(setup->Logic().GetIoNioInputs().conditions & 1);
    }
};

}  // namespace measurement_test
