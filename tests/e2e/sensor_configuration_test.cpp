// The whole application in one process against km3-sensor-sim as its own process, in real time:
// what the user sets on the measurement set-up page (written at once, or stored with the sensor
// information page's button) and what a user calibration on the calibration page computes must
// end up in the sensor. The sensor is checked from outside the
// program: the simulator writes its blocks to a file on SIGUSR1 (--dump-blocks), and the test
// reads the bytes at their places in the block itself, without the program's codec. The
// program then reads them back after a reconnection (or after the sensor's own restart).
#include <gtest/gtest.h>

#include <tuple>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

#include <csignal>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <map>
#include <unistd.h>

#include "app/page_table.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
#include "platform/dialog.h"
#include "platform/qt_text.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/dlg_sensor_calibration.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "sensor_admin/sensor_admin_pages.h"
#include "res/string_table.h"
#include "tests/e2e/whole_app.h"
#include "views/display_tables.h"
#include "workflow/workflow_texts.h"

namespace {

using namespace e2e;
using Block = std::vector<unsigned char>;  // frame bytes 6 to 37: code byte, content, check words

using app_test::FindPage;

// What the simulated sensor holds, as its dump says.
struct SensorDump {
    int calibrationState = -1;
    std::map<int, Block> blocks;  // by block number

    // A byte by its position in the 40-byte block frame (7 to 37).
    int At(int blockNumber, int framePosition) const { return blocks.at(blockNumber).at(framePosition - 6); }
    int Word(int blockNumber, int framePosition) const
    {
        return At(blockNumber, framePosition) << 8 | At(blockNumber, framePosition + 1);
    }
    // Code byte and both check words right: the sensor takes the block as valid. The check words
    // are the byte sum A of the 28 bytes and the running sum B of A with end-around carry.
    bool Sealed(int blockNumber) const
    {
        const Block& b = blocks.at(blockNumber);
        unsigned a = 0, sum = 0;
        for (int i = 0; i < 28; ++i) {
            a = (a + b[i]) & 0xFFFF;
            sum += a;
            if (sum > 0xFFFF) sum -= 0xFFFF;
        }
        return (b[28] << 8 | b[29]) == static_cast<int>(a) && (b[30] << 8 | b[31]) == static_cast<int>(sum);
    }
};

struct SensorConfiguration : ::testing::Test, WholeApp {
    std::string dumpPath = (profile.dir.path() + "/sensor-blocks.txt").toStdString();

    void StartSensor(std::vector<std::string> args)
    {
        args.push_back("--dump-blocks=" + dumpPath);
        ASSERT_TRUE(WholeApp::StartSensor(std::move(args)));
    }

    // Asks the simulator for its blocks and reads them.
    SensorDump Dump()
    {
        std::remove(dumpPath.c_str());
        SensorDump dump;
        if (!Sensor().Signal(SIGUSR1) || !Pump([&] { return ::access(dumpPath.c_str(), F_OK) == 0; }, 10'000))
            return dump;
        std::ifstream in(dumpPath);
        std::string word, kind;
        int sensor = 0;
        while (in >> word) {
            if (word != "sensor") {
                std::getline(in, word);
                continue;
            }
            in >> sensor >> kind;
            if (kind == "calibration-state") {
                in >> dump.calibrationState;
            } else if (kind == "block") {
                std::string number, hex;
                in >> number >> hex;
                Block block;
                for (std::size_t i = 0; i + 1 < hex.size(); i += 2) block.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
                if (block.size() == 32) dump.blocks[std::stoi(number, nullptr, 16)] = block;
            }
        }
        return dump;
    }

    // The controller waits for no answer and shows no wait cursor: a write has been confirmed
    // (the workflow state stays at the write's code after its acknowledgement).
    bool AtRest(int boundMs = 10'000)
    {
        return Pump([&] { return frame->Com().m_pfnReplyHandler == nullptr && !frame->m_bWaitCursorShown; }, boundMs);
    }

    sensor_admin::SensorAdminPages& FrameSensorAdmin() { return *frame->SensorAdmin(); }

    std::string Messages() const
    {
        std::string text;
        for (const auto& box : boxes.Boxes()) text += std::string("\n") + box.text.GetString();
        return text;
    }
};

// ---- The set-up page -------------------------------------------------------------------------------

// Chooses, as the user does, the entry of a set-up combo whose datum is not the current one and
// differs from it most; returns that datum, or -1.
long long ChooseOther(measurement::MeasureSetupWidget& setup, int comboId, long long preferred)
{
    const std::vector<measurement::ComboEntry>& entries = setup.Logic().Controls()[comboId].entries;
    const int current = setup.Logic().Controls()[comboId].selection;
    int pick = -1;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].datum == preferred && static_cast<int>(i) != current) pick = static_cast<int>(i);
    for (std::size_t i = entries.size(); pick < 0 && i-- > 0;)
        if (static_cast<int>(i) != current) pick = static_cast<int>(i);
    auto* combo = setup.Item<QComboBox>(comboId);
    if (pick < 0 || combo == nullptr || !combo->isEnabled()) return -1;
    combo->setCurrentIndex(pick);
    Q_EMIT combo->activated(pick);
    return entries[static_cast<std::size_t>(pick)].datum;
}

// Chooses the entry with the datum, as the user does; false when there is none.
bool ChooseDatum(measurement::MeasureSetupWidget& setup, int comboId, long long datum)
{
    const std::vector<measurement::ComboEntry>& entries = setup.Logic().Controls()[comboId].entries;
    auto* combo = setup.Item<QComboBox>(comboId);
    for (std::size_t i = 0; combo != nullptr && i < entries.size(); ++i)
        if (entries[i].datum == datum) {
            combo->setCurrentIndex(static_cast<int>(i));
            Q_EMIT combo->activated(static_cast<int>(i));
            return true;
        }
    return false;
}

TEST_F(SensorConfiguration, SetupPageChoicesAreHeldByTheSensorAndReadBackAfterReconnecting)
{
    // A sensor with two channels (not the one whose channel B is a digital input).
    StartSensor({"--serial=6101", "--stator-id=5", "--stator-rev=6", "--hmb-usb=0"});
    ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor";
    ASSERT_TRUE(AtRest());
    const SensorDump before = Dump();
    ASSERT_TRUE(before.blocks.count(0x03)) << "no block dump from the simulator";

    frame->ShowPage(app::kPageMeasureSetup);
    PumpFor(300);
    auto* setup = FindPage<measurement::MeasureSetupWidget>(*frame);
    ASSERT_NE(setup, nullptr);

    using namespace measurement;
    // Each choice is written to the sensor at once; the next waits until it is confirmed.
    const std::vector<std::pair<int, long long>> wanted = {
        {kDecimalsCombo[0], 4}, {kDecimalsCombo[1], 1}, {kUnitCombo[0], 1},   {kAveragingCombo[0], 3},
        {kAveragingCombo[1], 5}, {kSignCombo[1], 1},    {IDC_RATE_COMBO, 9},
    };
    std::map<int, long long> chosen;
    for (const auto& [combo, preferred] : wanted) {
        const long long datum = ChooseOther(*setup, combo, preferred);
        ASSERT_GE(datum, 0) << "control " << combo << " offers no other entry";
        chosen[combo] = datum;
        ASSERT_TRUE(AtRest()) << "control " << combo << ": the write did not finish, flow "
                              << frame->Com().GetZMCOMConfgFlow() << Messages();
    }
    ASSERT_TRUE(boxes.Boxes().empty()) << Messages();

    const views::DisplayTable& a = *frame->DisplayTable(0);
    const views::DisplayTable& b = *frame->DisplayTable(1);
    EXPECT_EQ(a.decimals, chosen[kDecimalsCombo[0]]);
    EXPECT_EQ(b.decimals, chosen[kDecimalsCombo[1]]);
    EXPECT_EQ(a.selectedUnit, chosen[kUnitCombo[0]]);
    EXPECT_EQ(a.averaging, chosen[kAveragingCombo[0]]);
    EXPECT_EQ(b.averaging, chosen[kAveragingCombo[1]]);
    EXPECT_EQ(b.sign, chosen[kSignCombo[1]]);
    EXPECT_EQ(frame->Fields().measureRateIndex, chosen[IDC_RATE_COMBO]);

    // The sensor's software-configuration block, byte by byte: kind 4; channel A's unit in bits
    // 0-4 and decimals in bits 5-7 of byte 26 (B: 27); averaging in bits 0-3, the channel state
    // in bits 4-5 and the sign in bit 7 of byte 28 (B: 29); the rate reduction in bytes 30-31;
    // the rate index in byte 32.
    const SensorDump held = Dump();
    ASSERT_TRUE(held.blocks.count(0x03));
    EXPECT_TRUE(held.Sealed(0x03)) << "block 3 is not valid in the sensor";
    EXPECT_EQ(held.At(0x03, 6), 0x14);
    EXPECT_EQ(held.At(0x03, 7), 4);
    EXPECT_EQ(held.At(0x03, 26) & 0x1F, chosen[kUnitCombo[0]]);
    EXPECT_EQ(held.At(0x03, 26) >> 5, chosen[kDecimalsCombo[0]]);
    EXPECT_EQ(held.At(0x03, 27) >> 5, chosen[kDecimalsCombo[1]]);
    EXPECT_EQ(held.At(0x03, 28) & 0x0F, chosen[kAveragingCombo[0]]);
    EXPECT_EQ(held.At(0x03, 29) & 0x0F, chosen[kAveragingCombo[1]]);
    EXPECT_EQ(held.At(0x03, 28) >> 7, a.sign);
    EXPECT_EQ(held.At(0x03, 29) >> 7, chosen[kSignCombo[1]]);
    // The channel states: a ticked channel is measured (0 or 1), an unticked one not (2); none
    // of the sensor's own channels is absent (3).
    for (int row = 0; row < 2; ++row) {
        const int state = held.At(0x03, 28 + row) >> 4 & 0x03;
        const bool ticked = setup->Logic().Controls()[kChannelButton[row]].checked;
        EXPECT_TRUE(ticked ? state <= 1 : state == 2) << "channel " << row << " state " << state << " ticked " << ticked;
    }
    EXPECT_EQ(held.At(0x03, 28) >> 4 & 0x03, 1) << "channel A is measured";
    EXPECT_EQ(held.Word(0x03, 30), std::max(1, frame->Fields().averagingCount));
    EXPECT_EQ(held.At(0x03, 32), chosen[IDC_RATE_COMBO]);
    // The scaling, kept as it was.
    for (int position = 8; position <= 25; ++position)
        EXPECT_EQ(held.At(0x03, position), before.At(0x03, position)) << "byte " << position;

    // Pass/fail limits of channel A, stored in the sensor from the information page: the stator
    // operation block carries them as 32-bit floats, least significant byte first (lower limit in
    // bytes 23-26, upper in 27-30), their digits after the decimal point in byte 31 (lower in bits
    // 5-7, upper in bits 2-4).
    ASSERT_TRUE(ChooseDatum(*setup, kConditionCombo[0], 0)) << "condition 1 cannot watch channel A";
    PumpFor(200);
    setup->Item<QLineEdit>(kLimitEdit[0])->setText("-12,5");
    setup->Item<QLineEdit>(kLimitEdit[1])->setText("250,25");
    PumpFor(200);
    frame->ShowPage(app::kPageInformation);
    PumpFor(300);
    auto* information = FindPage<sensor_admin::SensorInformationForm>(*frame);
    ASSERT_NE(information, nullptr);
    QAbstractButton* store = ButtonOf(*information, sensor_admin::IDC_INFO_STORE);
    ASSERT_TRUE(store && store->isEnabled());
    store->click();
    ASSERT_TRUE(Pump([&] { return std::string(information->GetDlgItemText(sensor_admin::IDC_INFO_STATUS).GetString()) ==
                                  LoadLangString(sensor_admin::kTextSettingsStored).GetString(); }, 20'000))
        << "the settings were not stored; flow " << frame->Com().GetZMCOMConfgFlow() << Messages();
    // Storing the settings is not closing the program.
    PumpFor(2'000);
    ASSERT_FALSE(frame->IsClosed()) << "the program closed after storing the settings";
    const SensorDump stored = Dump();
    ASSERT_TRUE(stored.blocks.count(0x02));
    EXPECT_TRUE(stored.Sealed(0x02)) << "block 2 is not valid in the sensor";
    EXPECT_TRUE(stored.Sealed(0x83)) << "block 0x83 is not valid in the sensor";
    EXPECT_TRUE(stored.Sealed(0x82) == before.Sealed(0x82)) << "the user calibration changed its validity";
    auto floatAt = [&](int position) {
        const std::uint32_t bits = static_cast<std::uint32_t>(stored.At(0x02, position)) |
                                   static_cast<std::uint32_t>(stored.At(0x02, position + 1)) << 8 |
                                   static_cast<std::uint32_t>(stored.At(0x02, position + 2)) << 16 |
                                   static_cast<std::uint32_t>(stored.At(0x02, position + 3)) << 24;
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    };
    EXPECT_FLOAT_EQ(floatAt(23), -12.5f);
    EXPECT_FLOAT_EQ(floatAt(27), 250.25f);
    EXPECT_EQ(stored.At(0x02, 31), 1 << 5 | 2 << 2);
    // The block write kept the sensor's operation values: address and filters.
    EXPECT_EQ(stored.At(0x02, 13), before.At(0x02, 13));
    for (int position = 19; position <= 22; ++position)
        EXPECT_EQ(stored.At(0x02, position), before.At(0x02, position)) << "filter byte " << position;

    // A fresh start of the program reads the sensor's blocks and shows the same choices.
    Close();
    ASSERT_TRUE(Connect(1)) << "the sensor did not connect again";
    ASSERT_TRUE(AtRest());
    frame->ShowPage(app::kPageMeasureSetup);
    PumpFor(300);
    setup = FindPage<measurement::MeasureSetupWidget>(*frame);
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(frame->DisplayTable(0)->decimals, chosen[kDecimalsCombo[0]]);
    EXPECT_EQ(frame->DisplayTable(1)->decimals, chosen[kDecimalsCombo[1]]);
    EXPECT_EQ(frame->DisplayTable(0)->selectedUnit, chosen[kUnitCombo[0]]);
    EXPECT_EQ(frame->DisplayTable(0)->averaging, chosen[kAveragingCombo[0]]);
    EXPECT_EQ(frame->DisplayTable(1)->averaging, chosen[kAveragingCombo[1]]);
    EXPECT_EQ(frame->DisplayTable(1)->sign, chosen[kSignCombo[1]]);
    // The rate too, as the sensor keeps it.
    for (const auto& [combo, datum] : chosen) {
        const ControlState& shown = setup->Logic().Controls()[combo];
        ASSERT_GE(shown.selection, 0) << "control " << combo << " shows nothing";
        EXPECT_EQ(shown.entries.at(static_cast<std::size_t>(shown.selection)).datum, datum) << "control " << combo;
    }
    // The limits come back from the sensor, with their digits.
    EXPECT_EQ(std::string(setup->Logic().Controls()[kLimitEdit[0]].text.GetString()), "-12,5");
    EXPECT_EQ(std::string(setup->Logic().Controls()[kLimitEdit[1]].text.GetString()), "250,25");
    EXPECT_TRUE(boxes.Boxes().empty()) << Messages();
}

// ---- The calibration page ----------------------------------------------------------------------

// The visible button with ctrlId in a window of its own (a prompt), or null.
QAbstractButton* PromptButton(QWidget* prompt, int ctrlId)
{
    return prompt != nullptr && prompt->isVisible() ? ButtonOf(*prompt, ctrlId) : nullptr;
}

int Signed16(int word) { return word >= 0x8000 ? word - 0x10000 : word; }

// Constant signals make every reading known: zero point 32768 + base, control signal 4000 counts
// higher, the reference load (the simulator's test load, put on before the scale value is taken)
// `load` counts higher. With the reference value R the user enters, the new calibration is
// gain R / load, offset -base, control factor 4000 / load, each factor as a code of 32768 = 1.
TEST_F(SensorConfiguration, UserCalibrationFromTheCalibrationPageIsHeldValidByTheSensor)
{
    StartSensor({"--serial=6102", "--stator-id=5", "--stator-rev=6", "--hmb-usb=0", "--signal-a=constant:base=100",
                 "--signal-b=constant:base=-50", "--load-a=8000", "--load-b=5000", "--block=0x82:" + std::string(54, 'F')});
    ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor";
    ASSERT_TRUE(AtRest());
    const SensorDump before = Dump();
    ASSERT_EQ(before.calibrationState, 2) << "the simulator should start with its user calibration switched off";
    // The 300 readings of each phase are asked for every 5 ms: the simulator answers at once, and
    // the program's own pace of 25 ms is checked under virtual time.
    frame->Com().m_nCalibPollMs = 5;

    frame->ShowPage(app::kPageCalibration);
    PumpFor(300);
    auto* page = FindPage<sensor_admin::SensorCalibrationForm>(*frame);
    auto* zero = FindPage<sensor_admin::CalibZeroPromptForm>(*frame);
    auto* end = FindPage<sensor_admin::CalibEndPromptForm>(*frame);
    ASSERT_TRUE(page && zero && end);
    auto text = [&](int id) { return page->Item<QWidget>(id) ? page->GetDlgItemText(id) : CString("?"); };
    // Its user-calibration block is erased: there is nothing to switch on.
    EXPECT_NE(text(sensor_admin::IDC_CAL_STATE).Find(LoadLangString(sensor_admin::kTextNoUserCalibrationStored)), -1);
    EXPECT_FALSE(ButtonOf(*page, sensor_admin::IDC_CAL_ACTIVATE)->isEnabled());
    page->Item<QLineEdit>(sensor_admin::IDC_CAL_REF_A)->setText("10000");
    page->Item<QLineEdit>(sensor_admin::IDC_CAL_REF_B)->setText("6000");
    const std::time_t startedAt = std::time(nullptr);
    QAbstractButton* start = ButtonOf(*page, sensor_admin::IDC_CAL_START);
    ASSERT_TRUE(start && start->isEnabled());
    start->click();

    // Unloaded: zero point, then the control signal, until the scale-value prompt comes.
    ASSERT_TRUE(Pump([&] { return PromptButton(zero, IDOK) != nullptr; }, 5'000)) << "no zero-point prompt";
    PromptButton(zero, IDOK)->click();
    ASSERT_TRUE(Pump([&] { return PromptButton(end, IDOK) != nullptr; }, 90'000))
        << "no scale-value prompt; flow " << frame->Com().GetZMCOMConfgFlow() << " status "
        << text(sensor_admin::IDC_CAL_STATUS).GetString() << Messages();

    // The reference load goes on, then the scale value is taken and the calibration written.
    ASSERT_TRUE(Sensor().Signal(SIGUSR2));
    PumpFor(500);
    PromptButton(end, IDOK)->click();
    auto& logic = FrameSensorAdmin().calibration;
    ASSERT_TRUE(Pump([&] { return logic.CurrentActivity() == sensor_admin::CDlgSensorCalibration::Activity::Idle; }, 90'000))
        << "the calibration did not end; flow " << frame->Com().GetZMCOMConfgFlow() << Messages();
    EXPECT_EQ(std::string(text(sensor_admin::IDC_CAL_STATUS).GetString()),
              std::string(LoadLangString(sensor_admin::kTextCalibrationStored).GetString()))
        << Messages();
    // The sensor restarts with it and the program identifies it again.
    ASSERT_TRUE(Pump([&] { return frame->Com().m_Sensor[0].m_sIdent[kIdentCalibration] == 3 && frame->Com().m_pfnReplyHandler == nullptr; },
                     30'000))
        << "the program does not see the user calibration in force; flow " << frame->Com().GetZMCOMConfgFlow();
    PumpFor(300);
    EXPECT_EQ(std::string(text(sensor_admin::IDC_CAL_STATE).GetString()),
              std::string(LoadLangString(sensor_admin::kTextCalibrationUser).GetString()));
    const std::time_t endedAt = std::time(nullptr);

    // The sensor holds the new user calibration, valid, and reports state 3 since its restart.
    const SensorDump held = Dump();
    EXPECT_EQ(held.calibrationState, 3);
    ASSERT_TRUE(held.blocks.count(0x82));
    EXPECT_TRUE(held.Sealed(0x82)) << "the user calibration block is not valid in the sensor";
    EXPECT_EQ(held.At(0x82, 6), 0x42);
    const long long date = static_cast<long long>(held.Word(0x82, 7)) << 16 | held.Word(0x82, 9);
    EXPECT_GE(date, static_cast<long long>(startedAt));
    EXPECT_LE(date, static_cast<long long>(endedAt));
    EXPECT_EQ(held.Word(0x82, 11), 40960);            // gain A: 10000 / 8000 = 1.25
    EXPECT_EQ(Signed16(held.Word(0x82, 13)), -100);   // offset A
    EXPECT_EQ(held.Word(0x82, 15), 39322);            // gain B: 6000 / 5000 = 1.2
    EXPECT_EQ(Signed16(held.Word(0x82, 17)), 50);     // offset B
    EXPECT_EQ(held.Word(0x82, 19), 16384);            // control A: 4000 / 8000
    EXPECT_EQ(held.Word(0x82, 21), 26214);            // control B: 4000 / 5000
    EXPECT_EQ(held.Word(0x82, 23), 10000);            // reference values
    EXPECT_EQ(held.Word(0x82, 25), 6000);
    EXPECT_EQ(held.Word(0x82, 27), 0);                // no measuring inaccuracy
    EXPECT_EQ(held.Word(0x82, 29), 0);
    // The factory calibration is untouched.
    EXPECT_EQ(held.blocks.at(0x81), before.blocks.at(0x81));
    // The program read the new block back when it identified the restarted sensor.
    const RotorCalib& read = frame->Com().m_Sensor[0].m_sRotorUserCalib;
    EXPECT_TRUE(Pump([&] { return read.nGainCodeA == 40960; }, 10'000)) << read.nGainCodeA;
    EXPECT_EQ(read.nOffsetA, -100);
    EXPECT_EQ(read.nGainCodeB, 39322u);
    EXPECT_EQ(read.nOffsetB, 50);

    // Channel A's inaccuracy changed to 0,25 %, then deleted with 0,5 still in the field.
    for (const auto& [mode, field, code] : {std::tuple{sensor_admin::IDC_CAL_MODE_CHANGE_A, "0,25", 2500}, {sensor_admin::IDC_CAL_MODE_DELETE_A, "0,5", 0}}) {
        ButtonOf(*page, mode)->click();
        page->Item<QLineEdit>(sensor_admin::IDC_CAL_INACCURACY)->setText(field);
        if (!page->IsDlgButtonChecked(sensor_admin::IDC_CAL_WRITE_ALLOWED)) ButtonOf(*page, sensor_admin::IDC_CAL_WRITE_ALLOWED)->click();
        ButtonOf(*page, sensor_admin::IDC_CAL_WRITE)->click();
        ASSERT_TRUE(Pump([&] { return logic.CurrentActivity() == sensor_admin::CDlgSensorCalibration::Activity::Idle; }, 10'000) && AtRest());
        EXPECT_EQ(Dump().Word(0x82, 27), code) << field;
    }
    EXPECT_TRUE(boxes.Boxes().empty()) << Messages();
}

}  // namespace

// ---- A sensor behind an adapter that hands its answers on four bytes at a time ----------------

// The sensor refuses the first write of each block it is asked to store. Each refusal is named to
// the user and leaves the sensor's block as it was; the next attempt stores it. It takes four
// seconds to greet after a restart, the status bar saying meanwhile that it restarts.
TEST_F(SensorConfiguration, AnswersInPiecesAndARefusalOfEachKindOfWriteEndAsTheUserIsTold)
{
    StartSensor({"--serial=6103", "--stator-id=5", "--stator-rev=6", "--hmb-usb=0", "--pieces=4:10",
                 "--refuse=F82:4:1", "--refuse=F83:4:1", "--refuse=F03:4:1", "--restart-ms=4000"});
    ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor";
    ASSERT_TRUE(AtRest());
    const SensorDump before = Dump();
    ASSERT_EQ(before.calibrationState, 2);
    auto refusal = [](int block, UINT name) {
        return std::string(CString::Formatted(LoadLangString(workflow::kTextBlockRefused).GetString(), block,
                                              LoadLangString(name).GetString(), 4).GetString());
    };
    auto lastBox = [&] { return std::string(boxes.Boxes().back().text.GetString()); };

    // The calibration page switches the stored user calibration on: refused, then done, and the
    // sensor restarts with it in force.
    frame->ShowPage(app::kPageCalibration);
    PumpFor(300);
    auto* calibration = FindPage<sensor_admin::SensorCalibrationForm>(*frame);
    ASSERT_NE(calibration, nullptr);
    auto activate = [&] {
        QAbstractButton* button = ButtonOf(*calibration, sensor_admin::IDC_CAL_ACTIVATE);
        return button && button->isEnabled() && (button->click(), true);
    };
    ASSERT_TRUE(activate());
    ASSERT_TRUE(Pump([&] { return boxes.Count() == 1; }, 5'000)) << "flow " << frame->Com().GetZMCOMConfgFlow();
    EXPECT_EQ(lastBox(), refusal(0x82, workflow::kTextBlockRotorUserCalib));
    EXPECT_TRUE(Pump([&] { return calibration->GetDlgItemText(sensor_admin::IDC_CAL_STATUS) ==
                                  LoadLangString(sensor_admin::kTextStepRefused); }, 2'000));
    ASSERT_TRUE(Pump([&] { return activate(); }, 5'000)) << "the step cannot be tried again";
    EXPECT_TRUE(Pump([&] { return frame->StatusPane(0).text() == platform::ToQString(LoadLangString(workflow::kTextSensorRestarting)); },
                     2'000));
    ASSERT_TRUE(Pump([&] { return frame->Com().m_Sensor[0].m_sIdent[kIdentCalibration] == 3 && AtRest(0); }, 10'000))
        << "flow " << frame->Com().GetZMCOMConfgFlow() << Messages();
    const SensorDump calibrated = Dump();
    EXPECT_EQ(calibrated.calibrationState, 3);
    EXPECT_TRUE(calibrated.Sealed(0x82));

    // The information page stores the settings: the rotor operation block is refused, so they
    // are not stored; the next store takes them all.
    frame->ShowPage(app::kPageInformation);
    PumpFor(300);
    auto* information = FindPage<sensor_admin::SensorInformationForm>(*frame);
    ASSERT_NE(information, nullptr);
    auto store = [&](UINT expected) {
        QAbstractButton* button = ButtonOf(*information, sensor_admin::IDC_INFO_STORE);
        if (!button || !button->isEnabled()) return false;
        button->click();
        return Pump([&] { return std::string(information->GetDlgItemText(sensor_admin::IDC_INFO_STATUS).GetString()) ==
                                 LoadLangString(expected).GetString(); }, 10'000);
    };
    ASSERT_TRUE(store(sensor_admin::kTextSettingsNotStored)) << "flow " << frame->Com().GetZMCOMConfgFlow() << Messages();
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(lastBox(), refusal(0x83, workflow::kTextBlockRotorOperation));
    EXPECT_EQ(Dump().blocks.at(0x83), calibrated.blocks.at(0x83));
    ASSERT_TRUE(store(sensor_admin::kTextSettingsStored)) << "flow " << frame->Com().GetZMCOMConfgFlow() << Messages();
    EXPECT_TRUE(Dump().Sealed(0x83));

    // A choice on the set-up page is written at once: refused, the sensor keeps its block; the
    // next choice is held.
    frame->ShowPage(app::kPageMeasureSetup);
    PumpFor(300);
    auto* setup = FindPage<measurement::MeasureSetupWidget>(*frame);
    ASSERT_NE(setup, nullptr);
    const Block configuration = Dump().blocks.at(0x03);
    ASSERT_GE(ChooseOther(*setup, measurement::kDecimalsCombo[0], 4), 0);
    ASSERT_TRUE(Pump([&] { return boxes.Count() == 3; }, 5'000)) << Messages();
    EXPECT_EQ(lastBox(), refusal(0x03, workflow::kTextBlockStatorSwConfig));
    ASSERT_TRUE(AtRest());
    EXPECT_EQ(Dump().blocks.at(0x03), configuration);
    const long long decimals = ChooseOther(*setup, measurement::kDecimalsCombo[0], 2);
    ASSERT_GE(decimals, 0);
    ASSERT_TRUE(AtRest());
    PumpFor(200);
    EXPECT_EQ(Dump().At(0x03, 26) >> 5, decimals);
    EXPECT_EQ(boxes.Count(), 3u) << Messages();
}

// The sensor's baud rate changed on the connection page, two silent ports searched ahead of
// it: Start stays disabled until the sensor is connected again, and the first click on it once
// enabled streams at the rate chosen before.
TEST_F(SensorConfiguration, StartWaitsUntilTheSensorIsConnectedAgainAfterABaudRateChange)
{
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(WholeApp::StartSensor({"--stall=*:-1"}));
    StartSensor({"--serial=6104", "--stator-id=5", "--stator-rev=6"});
    ASSERT_TRUE(Connect(1)) << "the start-up search did not connect the sensor";
    ASSERT_TRUE(SetUpManualMeasurement(3));  // 1000/s
    frame->ShowPage(app::kPageConnection);
    PumpFor(300);
    auto* connection = FindPage<sensor_admin::SensorConnectionForm>(*frame);
    ControlOf<QComboBox>(*connection, sensor_admin::IDC_CONN_BAUD)->setCurrentIndex(1);  // 230400
    ButtonOf(*connection, sensor_admin::IDC_CONN_CHANGE_BAUD)->click();
    frame->ShowPage(app::kPageMeasureControl);
    ASSERT_TRUE(Pump([&] {
        QAbstractButton* start = ButtonOf(*frame, measurement::IDC_MC_START);
        return start && start->isEnabled() && (start->click(), true);
    }, 60'000)) << Messages();
    EXPECT_EQ(frame->Com().m_pMeasureCtrlSettings->bRunning, 1) << "an enabled Start did nothing";
    EXPECT_FALSE(FrameSensorAdmin().connection.IsBusy()) << "Start was taken during the reconnection";
    ASSERT_TRUE(Pump([&] { return Curves().GetPointCount(0) > 0; }, 10'000)) << Diagnosis();
    const int first = Curves().GetPointCount(0);
    PumpFor(1000);
    EXPECT_GE(Curves().GetPointCount(0) - first, 500) << Diagnosis();  // generous for 1000 a second
    ButtonOf(*frame, measurement::IDC_MC_STOP)->click();
    WaitUntilCurveStill();
    EXPECT_TRUE(boxes.Boxes().empty()) << Messages();
}
