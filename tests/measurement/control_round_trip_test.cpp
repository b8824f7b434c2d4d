// Every operable control of every page and every entry of the main menu, round trip. The
// table below names each one with where its choice is kept (in the sensor, in the settings
// file) or, for a control whose choice is kept nowhere, what it does instead. The inventory
// is taken from the forms themselves: a control added to a form without a row here fails.
//
// A row probed round trip is changed as the user changes it, with the real frame and the
// simulated sensors of each set-up it names: the change reaches the sensor it belongs to (or
// the settings), changes no other control of its page and no block of another sensor, and after
// the window's close and a new start the control shows the choice again. A control that is
// kept nowhere shows the state a fresh start gives it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTimer>
#include <QXmlStreamReader>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/km3_view.h"
#include "app/menu_model.h"
#include "app/page_table.h"
#include "controls/browse_ctrl.h"
#include "measurement/channel_scaling_widget.h"
#include "measurement/measure_setup_ids.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "tests/measurement/frame_fixture.h"

namespace {

// The set-ups a row is probed with.
enum SetUp : unsigned {
    kOneSensor = 1u << 0,      // a sensor with channel A alone
    kTwoChannels = 1u << 1,    // a streaming sensor with channels A and B and their filters
    kTorqueEncoder = 1u << 2,  // a multiport device: two pairs of a torque sensor and an encoder counting the speed
    kTwoSensors = 1u << 3,     // a multiport device of two torque sensors
    kFourSensors = 1u << 4,    // a multiport device of four
};
constexpr int kSetUpCount = 5;
const char* const kSetUpNames[kSetUpCount] = {"OneSensor", "TwoChannels", "TorqueEncoder", "TwoSensors", "FourSensors"};

enum class Keep {
    Sensor,    // written into its sensor at once, read back from it at the next start
    AtClose,   // written into the sensors by the configuration write at the window's close
    Settings,  // kept in the settings file
    Nowhere,   // kept nowhere: the next start shows what `what` says instead
    Action,    // does something and holds no choice of its own: probed, it writes its block alone
};

// What the user does first to make a control operable: clicks a button, chooses the entry
// with a datum in a combo of the set-up page, types a number into an edit. A step done again
// after the restart brings back what the page does not keep (its details shown).
struct Step {
    int id;
    long long datum = 0;
    bool again = false;
    int waitMs = 1000;
    const char* form = nullptr;  // a control of another page (that page is shown for it)
    unsigned setUps = ~0u;       // done with these set-ups only
};

struct Row {
    const char* form;  // the form under res/forms without ".ui"; "menu" for the main menu
    int id;            // the control's ctrlId, or the menu entry's text id
    Keep keep;
    const char* what;  // where it is kept, or what it does instead
    unsigned setUps = 0;         // probed round trip with these set-ups
    std::vector<int> also = {};  // controls of the page that follow it (the first shows a button's effect)
    int sensor = -1;             // with several sensors: the only one it is written into
    const char* why = nullptr;   // why it is probed as it is, or not probed
    std::vector<Step> first = {};
    // The block a choice written at once goes into, as the simulated sensor keeps it (slot 3 the
    // software configuration, 2 the stator operation block); a choice written at the close goes
    // into the rotor operation block (slot 7).
    int slot = 3;
};
constexpr int kSlotStatorOperation = 2;
constexpr int kSlotRotorOperation = 7;

constexpr const char* kSetup = "measurement/measure_setup";
constexpr const char* kPanel = "measurement/measure_control";
constexpr const char* kScaling = "measurement/channel_scaling";
constexpr const char* kDoc = "documentation/documentation_page";
constexpr const char* kConn = "sensor_admin/sensor_connection";
constexpr const char* kStartUp = "sensor_admin/start_up";
constexpr const char* kInfo = "sensor_admin/sensor_information";
constexpr const char* kCal = "sensor_admin/sensor_calibration";
constexpr const char* kCalZero = "sensor_admin/calib_msg_zero";
constexpr const char* kCalEnd = "sensor_admin/calib_msg_end";
constexpr const char* kDiag = "sensor_admin/diagnostic";
constexpr const char* kChannelView = "views/channel_view";
constexpr const char* kDiagramView = "views/diagram_view";
constexpr const char* kMenu = "menu";
constexpr const char* kModal = "set by the scaling buttons' rows as a user does";
constexpr const char* kScalingScenarios = "used by the control frame test's scaling scenarios";

constexpr unsigned kSingle = kOneSensor | kTwoChannels;
constexpr unsigned kSeveral = kTwoSensors | kFourSensors;

// The rows of the set-up page's channel table, A to D and P1, P2.
std::vector<Row> ChannelRows()
{
    using namespace measurement;
    std::vector<Row> rows;
    for (int r = 0; r < 4; ++r) {
        // Rows A and B are a single sensor's channels; with several sensors row r is sensor r.
        const unsigned single = r == 0 ? kSingle : r == 1 ? kTwoChannels : 0u;
        const unsigned several = r < 2 ? kSeveral : kFourSensors;
        const unsigned both = single | several;
        rows.push_back({kSetup, kDecimalsCombo[r], Keep::Sensor, "decimals of its channel, software configuration", both, {}, r});
        rows.push_back({kSetup, kUnitCombo[r], Keep::Sensor, "unit of its channel, software configuration", both, {}, r});
        rows.push_back({kSetup, kAveragingCombo[r], Keep::Sensor, "averaging of its channel, software configuration", both, {}, r});
        rows.push_back({kSetup, kSignCombo[r], Keep::Sensor, "sign of its channel, software configuration", both, {}, r});
        rows.push_back({kSetup, kLowPassCombo[r], Keep::Sensor, "low-pass filter, stator operation block",
                        r < 2 ? kTwoChannels : r == 2 ? kTorqueEncoder : 0u, {}, r, nullptr, {}, kSlotStatorOperation});
        rows.push_back({kSetup, kChannelButton[r], Keep::Sensor, "channel state, software configuration", r == 1 ? kTwoChannels | kFourSensors : kFourSensors,
                        // Condition 2 needs two channels; the Y axis of the channel goes with it.
                        {kConditionCheck[1], kConditionCombo[1], kAxisCombo[r + 1]}, r});
        // Its page: the user reads the value and gives the channel a unit of his own; the row's
        // unit follows.
        rows.push_back({kSetup, kScalingButton[r], Keep::Sensor, "opens the channel-scaling page: factor and unit, software configuration",
                        r == 0 ? kTwoChannels | kFourSensors : r == 1 ? kTwoSensors : kFourSensors, {kUnitCombo[r]}, r});
    }
    for (int g = 0; g < 2; ++g) {
        // The power of torque and encoder pair g, switched on first; its encoder is sensor e.
        const unsigned pair = kTorqueEncoder;
        const int e = 2 * g + 1;
        const std::vector<Step> on = {{kPowerButton[g]}};
        rows.push_back({kSetup, kDecimalsCombo[4 + g], Keep::Settings, "power decimals: settings file", pair, {}, -1, nullptr, on});
        rows.push_back({kSetup, kUnitCombo[4 + g], Keep::AtClose, "power unit: power byte of the torque sensor", pair, {}, -1, nullptr, on});
        rows.push_back({kSetup, kAveragingCombo[4 + g], Keep::AtClose, "power averaging: power byte, bits 4 to 1", pair, {}, -1, nullptr, on});
        rows.push_back({kSetup, kSignCombo[4 + g], Keep::AtClose, "power sign: power byte, bit 0", pair, {}, -1, nullptr, on});
        rows.push_back({kSetup, kPowerButton[g], Keep::AtClose, "power computed: display bits of the encoder of the pair", pair});
        // The selectors show with the details; a switch of the encoder's mode disables the page
        // for 15 s while both sensors start again. (A single sensor offers no encoder modes: the
        // selectors belong to an encoder paired with a torque sensor of a multiport device.)
        const Step details = {IDC_EXPAND, 0, true};
        const Step toAngle = {kAngleSelector[g], 0, false, 16000};
        // (The switch collapses the page.)
        rows.push_back({kSetup, kTorqueSelector[g], Keep::Sensor, "encoder to the speed: stator operation block", pair,
                        {kAngleSelector[g], kOptionBox[g], kUnitCombo[e]}, e,
                        nullptr, {{IDC_EXPAND}, toAngle, details}, kSlotStatorOperation});
        rows.push_back({kSetup, kAngleSelector[g], Keep::Sensor, "encoder to the angle: stator operation block", pair,
                        {kTorqueSelector[g], kOptionBox[g], kUnitCombo[e], kPowerButton[g]}, e,
                        nullptr, {details}, kSlotStatorOperation});
        rows.push_back({kSetup, kOptionBox[g], Keep::Sensor, "angle with option: stator operation block", pair, {}, e, nullptr,
                        {details, toAngle}, kSlotStatorOperation});
    }
    return rows;
}

std::vector<Row> SetupRows()
{
    using namespace measurement;
    std::vector<Row> rows = ChannelRows();
    const std::vector<Step> startA = {{IDC_START_SOURCE, 1}};
    const std::vector<Step> stopB = {{IDC_STOP_SOURCE, 2}};
    const std::vector<Step> judged = {{kConditionCheck[0]}, {kConditionCombo[0], 0}, {kLimitEdit[0], -5}, {kLimitEdit[1], 100}};
    const std::vector<Step> judgedB = {{kConditionCheck[1]}, {kConditionCombo[1], 1}, {kLimitEdit[2], -5}, {kLimitEdit[3], 100}};
    const std::vector<Row> more = {
        {kSetup, IDC_RATE_COMBO, Keep::Sensor, "measure rate index, software configuration of every sensor", kTwoChannels | kFourSensors},
        {kSetup, IDC_REDUCTION_EDIT, Keep::Sensor, "rate reduction, software configuration of every sensor", kTwoChannels},
        {kSetup, IDC_TEST_BUTTON, Keep::Action, "tries the start trigger's add-on program"},
        {kSetup, IDC_Y_BUTTON, Keep::Action, "arranges the Y axes anew"},
        {kSetup, IDC_EXPAND, Keep::Nowhere, "details on/off: the page starts collapsed"},
        {kSetup, IDC_ACCEPT, Keep::Action, "sends every sensor its configuration; hidden"},
        {kSetup, IDC_START_SOURCE, Keep::AtClose, "start trigger source: trigger part of the rotor operation block", kTwoChannels},
        {kSetup, IDC_START_DIRECTION, Keep::AtClose, "start direction: trigger byte", kTwoChannels, {}, -1, nullptr, startA},
        {kSetup, IDC_START_VALUE, Keep::AtClose, "start value: trigger part", kTwoChannels, {}, -1, nullptr, startA},
        {kSetup, IDC_START_TIME, Keep::Nowhere, "system-time start: the time of day the page shows at a start"},
        {kSetup, IDC_STOP_SOURCE, Keep::AtClose, "stop trigger source: trigger byte", kTwoChannels},
        {kSetup, IDC_STOP_DIRECTION, Keep::AtClose, "stop direction: trigger byte", kTwoChannels, {}, -1, nullptr, stopB},
        {kSetup, IDC_STOP_VALUE, Keep::AtClose, "stop value: trigger part", kTwoChannels, {}, -1, nullptr, stopB},
        {kSetup, IDC_DURATION_EDIT, Keep::AtClose, "measuring duration: stop count of the trigger part", kTwoChannels, {}, -1,
         nullptr, {{IDC_STOP_SOURCE, kStopByDuration}}},
        {kSetup, IDC_COUNT_EDIT, Keep::AtClose, "number of measurements: stop count of the trigger part", kTwoChannels, {}, -1,
         nullptr, {{IDC_STOP_SOURCE, kStopByCount}}},
        {kSetup, kConditionCheck[0], Keep::AtClose, "condition 1 on: limit part", 0, {}, -1, "kept with its limits, probed by the limit rows: a condition without limits is not stored"},
        {kSetup, kConditionCheck[1], Keep::AtClose, "condition 2 on: limit part", 0, {}, -1, "kept with its limits, probed by the limit rows: a condition without limits is not stored"},
        {kSetup, kConditionCombo[0], Keep::AtClose, "condition 1 measurand: limit part (a new one empties the limits)", 0, {}, -1, "kept with its limits, probed by the limit rows: a condition without limits is not stored"},
        {kSetup, kConditionCombo[1], Keep::AtClose, "condition 2 measurand: limit part", 0, {}, -1, "kept with its limits, probed by the limit rows: a condition without limits is not stored"},
        {kSetup, kLimitEdit[0], Keep::AtClose, "lower limit 1: limit part", kTwoChannels, {}, -1, nullptr, judged},
        {kSetup, kLimitEdit[1], Keep::AtClose, "upper limit 1: limit part", kTwoChannels, {}, -1, nullptr, judged},
        {kSetup, kLimitEdit[2], Keep::AtClose, "lower limit 2: limit part", kTwoChannels, {}, -1, nullptr, judgedB},
        {kSetup, kLimitEdit[3], Keep::AtClose, "upper limit 2: limit part", kTwoChannels, {}, -1, nullptr, judgedB},
        {kSetup, kAddProgBrowse[0], Keep::Settings, "start add-on program: settings file", kTwoChannels},
        {kSetup, kAddProgBrowse[1], Keep::Settings, "stop add-on program: settings file", kTwoChannels},
        {kSetup, kAddProgButton[0], Keep::Action, "runs the start add-on program"},
        {kSetup, kAddProgButton[1], Keep::Action, "runs the stop add-on program"},
    };
    rows.insert(rows.end(), more.begin(), more.end());
    // A channel chosen on an axis leaves the axes after it that showed it (the next entry is the
    // channel of the next axis). Channel A on X takes B to Y1. Y1 "off" with a single sensor is
    // not probed: its channel on no axis brings channel B to Y1 at the next start. X with
    // four sensors is probed with row D switched off first.
    // A power's axis, its power switched on first, is kept apart from the power computed.
    const std::vector<Step> rowDOff = {{kChannelButton[3], 0, false, 1000, nullptr, kFourSensors}};
    const std::vector<int> later[7] = {{kAxisCombo[1], kAxisCombo[2], kAxisCombo[3], kAxisCombo[4]},
                                       {kAxisCombo[2], kAxisCombo[3], kAxisCombo[4]},
                                       {kAxisCombo[3], kAxisCombo[4]}, {kAxisCombo[4]}, {}, {}, {}};
    const unsigned probed[5] = {kTwoChannels | kFourSensors, kFourSensors, kTwoChannels | kFourSensors, kFourSensors, kFourSensors};
    for (int k = 0; k < 5; ++k)
        rows.push_back({kSetup, kAxisCombo[k], Keep::AtClose, "axis of a channel: display bytes of the rotor operation block",
                        probed[k], later[k], -1, nullptr, k == 0 ? rowDOff : std::vector<Step>{}});
    for (int g = 0; g < 2; ++g)
        rows.push_back({kSetup, kAxisCombo[5 + g], Keep::Settings, "power axis on/off: settings file", kTorqueEncoder, {}, -1,
                        nullptr, {{kPowerButton[g]}}});
    return rows;
}

std::vector<Row> PanelRows()
{
    const Step loss = {1777, 0, true};
    std::vector<int> area = {1777};  // the developer view with its receive counters
    for (int id = 1381; id <= 1449; ++id) area.push_back(id);
    const std::vector<Step> power = {{measurement::kPowerButton[0], 0, false, 1000, kSetup}, {measurement::kPowerButton[1], 0, false, 1000, kSetup}};
    std::vector<Row> rows = {
        {kPanel, 1150, Keep::Action, "starts a measurement"},
        {kPanel, 1151, Keep::Action, "stops the measurement"},
        {kPanel, 1152, Keep::Action, "arms or releases the trigger"},
        {kPanel, 1154, Keep::Action, "switches the sensor's control signal"},
        {kPanel, 1162, Keep::Action, "one single shot"},
        {kPanel, 1203, Keep::Action, "places the diagram beside the pages"},
        {kPanel, 1157, Keep::Action, "run lamp: shows the state, a click does nothing"},
        {kPanel, 1158, Keep::Action, "trigger lamp: shows the state, a click does nothing"},
        {kPanel, 1159, Keep::Action, "busy lamp: shows the state, a click does nothing"},
        {kPanel, 1390, Keep::Action, "state lamp: shows the state, a click does nothing"},
        {kPanel, 1341, Keep::Nowhere, "auto repeat: off at every start (panel's start-up defaults)", kOneSensor},
        {kPanel, 1375, Keep::Action, "shows or hides the view of power 1"},
        {kPanel, 1376, Keep::Action, "shows or hides the view of power 2"},
        // Shown and ticked as the set-up page computes a power; box 2 only while both are.
        {kPanel, 1487, Keep::AtClose, "power 1 view: display bits of the encoder of the pair", kTorqueEncoder, {}, -1, nullptr, {power[0]}},
        {kPanel, 1488, Keep::AtClose, "power 2 view: display bits of the second encoder", kTorqueEncoder, {}, -1, nullptr, power},
        {kPanel, 1485, Keep::Nowhere, "angle zero at the start: connection state of this run"},
        {kPanel, 1486, Keep::Nowhere, "angle zero at the trigger: connection state of this run"},
        {kPanel, 1467, Keep::Action, "sets the angle to zero"},
        {kPanel, 1433, Keep::Nowhere, "measuring duration limit: the panel's start-up default", kOneSensor},
        // The developer view, shown to the program's developers at every start.
        {kPanel, 1770, Keep::Nowhere, "hides the developer view: shown again at the next start", kOneSensor, area},
        {kPanel, 1777, Keep::Nowhere, "value-loss test: off at every start", kOneSensor},
        {kPanel, 1778, Keep::Nowhere, "one simulated gap: off at every start", kOneSensor, {}, -1, nullptr, {loss}},
        {kPanel, 1779, Keep::Nowhere, "two simulated gaps: off at every start", kOneSensor, {}, -1, nullptr, {loss}},
        {kPanel, 1784, Keep::Nowhere, "first gap: empty at every start", kOneSensor, {}, -1, nullptr, {loss, {1778, 0, true}}},
    };
    for (int k = 0; k < 4; ++k)
        rows.push_back({kPanel, 1371 + k, Keep::Nowhere, "sensor in the diagram: follows the axes of the set-up page at each start",
                        k < 2 ? kTwoSensors : kFourSensors});
    for (int k = 0; k < 6; ++k)
        rows.push_back({kPanel, 1771 + k, Keep::Nowhere, "simulated gap field: empty at every start", kOneSensor, {}, -1, nullptr,
                        {loss, {k < 2 ? 1778 : 1779, 0, true}}});
    return rows;
}

std::vector<Row> OtherRows()
{
    std::vector<Row> rows = {
        // The channel-scaling page, a modal page of a scaling button: probed through those rows.
        {kScaling, 1301, Keep::Action, "reads the channel's value with one single shot", 0, {}, -1, kScalingScenarios},
        {kScaling, 1298, Keep::Sensor, "reference value: the factor, software configuration at OK", 0, {}, -1, kModal},
        {kScaling, 1299, Keep::Sensor, "value in the user's unit: the factor, software configuration at OK", 0, {}, -1, kModal},
        {kScaling, 1300, Keep::Sensor, "the user's unit: software configuration at OK", 0, {}, -1, kModal},
        {kScaling, 1, Keep::Action, "OK: writes the scaling", 0, {}, -1, kModal},
        {kScaling, 2, Keep::Action, "Cancel: changes nothing", 0, {}, -1, kScalingScenarios},
        // The documentation page keeps every choice in the settings file at once.
        {kDoc, 1600, Keep::Settings, "automatic storage on/off", kOneSensor},
        {kDoc, 1633, Keep::Settings, "field separator of the files", kOneSensor},
        {kDoc, 1635, Keep::Settings, "decimal separator of the files", kOneSensor},
        {kDoc, 1643, Keep::Settings, "report header text 1", kOneSensor},
        {kDoc, 1645, Keep::Settings, "report header text 2", kOneSensor},
        {kDoc, 1647, Keep::Settings, "report header text 3", kOneSensor},
        // The connection page.
        {kConn, 1701, Keep::Nowhere, "the sensors found: listed anew by each search"},
        {kConn, 1702, Keep::Action, "searches the ports"},
        {kConn, 1703, Keep::Action, "connects the chosen sensor"},
        {kConn, 1704, Keep::Action, "disconnects"},
        {kConn, 1705, Keep::Settings, "USB ports only: settings file", kOneSensor},
        {kConn, 1706, Keep::Nowhere, "baud rate to change to: the list's first at every start", kOneSensor},
        {kConn, 1707, Keep::Sensor, "changes the baud rate: stator operation block, then a search at the new rate", kOneSensor,
         {1701}, -1, "the sensor's row shows the rate it is connected at, which it keeps", {{1706, 1}}, kSlotStatorOperation},
        {kStartUp, 1714, Keep::Nowhere, "search USB ports only: the start-up search under way", 0, {}, -1,
         "the start-up window shows only while the program starts, before any page"},
        // The information page.
        {kInfo, 1725, Keep::Nowhere, "sensor shown: the first at every start", kTwoSensors},
        {kInfo, 1721, Keep::Nowhere, "the sensor's blocks as read"},
        {kInfo, 1722, Keep::Action, "reads the sensor's blocks"},
        {kInfo, 1723, Keep::Action, "stores the set-up in the sensors"},
        // The calibration page: its fields serve one calibration and are kept nowhere.
        {kCal, 1752, Keep::Nowhere, "sensor calibrated: the first at every start", kTwoSensors},
        {kCal, 1734, Keep::Nowhere, "reference value A: empty at every start", kTwoChannels},
        {kCal, 1736, Keep::Nowhere, "reference value B: empty at every start", kTwoChannels},
        {kCal, 1747, Keep::Nowhere, "inaccuracy: empty at every start", kTwoChannels},
        {kCal, 1737, Keep::Action, "starts a calibration"},
        {kCal, 1738, Keep::Action, "activates the stored user calibration: its block of the chosen sensor alone", kTwoSensors, {}, 1,
         "an erased block disables it: the end-to-end configuration test", {{1752, 1}}, sim::BlockSlot(0x82)},
        {kCal, 1739, Keep::Action, "switches the user calibration off"},
        {kCal, 1742, Keep::Nowhere, "change inaccuracy A: choice of this write (the first at every start)"},
        {kCal, 1743, Keep::Nowhere, "change inaccuracy B: choice of this write (the other choices are let go)",
         kTwoChannels, {1742, 1744, 1745}},
        {kCal, 1744, Keep::Nowhere, "delete inaccuracy A: choice of this write", kTwoChannels, {1742, 1743, 1745}},
        {kCal, 1745, Keep::Nowhere, "delete inaccuracy B: choice of this write", kTwoChannels, {1742, 1743, 1744}},
        {kCal, 1748, Keep::Nowhere, "allows the write: off at every start", kTwoChannels},
        {kCal, 1749, Keep::Action, "writes the inaccuracy into the user calibration block"},
        {kCalZero, 1762, Keep::Nowhere, "zero without the control signal: this calibration only"},
        {kCalZero, 1, Keep::Action, "goes on with the calibration"},
        {kCalZero, 2, Keep::Action, "cancels the calibration"},
        {kCalEnd, 1, Keep::Action, "goes on with the calibration"},
        {kCalEnd, 2, Keep::Action, "cancels the calibration"},
        {kDiag, 1773, Keep::Action, "asks the sensor for its status"},
        {kDiag, 1776, Keep::Nowhere, "the sensors of the device as connected"},
        // The views.
        {kChannelView, 2101, Keep::Action, "the value: a click tares as the tare button"},
        {kChannelView, 2102, Keep::Action, "the minimum: a click resets it"},
        {kChannelView, 2103, Keep::Action, "the maximum: a click resets it"},
        {kChannelView, 2104, Keep::Action, "tares the channel"},
        {kDiagramView, 2302, Keep::Action, "opens the chart's property pages"},
        // The main menu.
        {kMenu, 5720, Keep::Action, "shows the start page"},
        {kMenu, 5719, Keep::Action, "resets the settings at the next close"},
        {kMenu, 5716, Keep::Action, "closes the program"},
        {kMenu, 5726, Keep::Action, "shows the control panel"},
        {kMenu, 5723, Keep::Action, "shows the set-up page"},
        {kMenu, 5724, Keep::Action, "shows the documentation page"},
        {kMenu, 5721, Keep::Action, "shows the connection page"},
        {kMenu, 5722, Keep::Action, "shows the information page"},
        {kMenu, 5725, Keep::Action, "shows the calibration page"},
        {kMenu, 5727, Keep::Action, "shows the diagnostics page"},
        {kMenu, 5730, Keep::Settings, "navigation bar shown: bar state in the settings file", kOneSensor},
        {kMenu, 5731, Keep::Settings, "channel views shown: bar state in the settings file", kOneSensor},
        {kMenu, 5732, Keep::Settings, "status light shown: bar state in the settings file", kOneSensor},
        {kMenu, 5733, Keep::Settings, "status bar shown: settings file", kOneSensor},
        {kMenu, 5740, Keep::Settings, "German: language in the settings file", 0, {}, -1,
         "chosen already at a first start, which the other languages' rows leave"},
        {kMenu, 5741, Keep::Settings, "English: language in the settings file", kOneSensor},
        {kMenu, 5742, Keep::Settings, "French: language in the settings file", kOneSensor},
        {kMenu, 5743, Keep::Settings, "Spanish: language in the settings file", kOneSensor},
        {kMenu, 5717, Keep::Action, "shows the about window"},
    };
    for (int k = 0; k < 3; ++k) {
        const int base = 1600 + 10 * k;
        rows.push_back({kDoc, base + 3, Keep::Settings, "folder of the files of its kind", kOneSensor});
        rows.push_back({kDoc, base + 5, Keep::Settings, "file-name prefix of its kind", kOneSensor});
        // (Offered while automatic storage is on.)
        rows.push_back({kDoc, base + 6, Keep::Settings, "storage mode of its kind", kOneSensor, {}, -1, nullptr, {{1600}}});
    }
    return rows;
}

const std::vector<Row>& Table()
{
    static const std::vector<Row> table = [] {
        std::vector<Row> rows = SetupRows();
        for (const std::vector<Row>& more : {PanelRows(), OtherRows()}) rows.insert(rows.end(), more.begin(), more.end());
        return rows;
    }();
    return table;
}

// ---- The inventory ----------------------------------------------------------------------------

// What a user cannot operate: texts, frames, bars, pictures, read-only fields.
bool IsOperable(const QString& widgetClass, const std::map<QString, QString>& properties)
{
    static const std::set<QString> passive = {"QLabel", "QFrame", "QProgressBar", "QWidget", "QScrollArea"};
    if (passive.count(widgetClass)) return false;
    if (widgetClass == "QGroupBox") return properties.count("checkable") && properties.at("checkable") == "true";
    return !(properties.count("readOnly") && properties.at("readOnly") == "true");
}

// Every operable control of every form: (form, id).
std::set<std::pair<std::string, int>> FormInventory()
{
    std::set<std::pair<std::string, int>> found;
    const QDir root(QString(KM3_SOURCE_DIR) + "/res/forms");
    for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QString& name : QDir(root.filePath(folder)).entryList({"*.ui"}, QDir::Files)) {
            QFile file(root.filePath(folder + "/" + name));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            const std::string form = (folder + "/" + name.chopped(3)).toStdString();
            QXmlStreamReader xml(&file);
            // The open widgets, each with the class and the properties read so far.
            std::vector<std::pair<QString, std::map<QString, QString>>> open;
            QString property;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == u"widget") {
                    open.push_back({xml.attributes().value("class").toString(), {}});
                } else if (xml.isStartElement() && xml.name() == u"property" && !open.empty()) {
                    property = xml.attributes().value("name").toString();
                } else if (xml.isStartElement() && (xml.name() == u"number" || xml.name() == u"bool") && !property.isEmpty()) {
                    open.back().second[property] = xml.readElementText();
                } else if (xml.isEndElement() && xml.name() == u"property") {
                    property.clear();
                } else if (xml.isEndElement() && xml.name() == u"widget" && !open.empty()) {
                    const auto& [widgetClass, properties] = open.back();
                    if (properties.count("ctrlId") && IsOperable(widgetClass, properties))
                        found.insert({form, properties.at("ctrlId").toInt()});
                    open.pop_back();
                }
            }
            EXPECT_FALSE(xml.hasError()) << form << ": " << xml.errorString().toStdString();
        }
    }
    return found;
}

TEST(ControlTable, NamesEveryOperableControlOfTheFormsAndTheMenuOnce)
{
    std::set<std::pair<std::string, int>> present = FormInventory();
    ASSERT_GT(present.size(), 100u);
    for (const app::Menu& menu : app::MainMenu())
        for (const app::MenuEntry& entry : menu.entries) present.insert({kMenu, static_cast<int>(entry.textId)});
    std::set<std::pair<std::string, int>> listed;
    for (const Row& row : Table()) {
        EXPECT_TRUE(listed.insert({row.form, row.id}).second) << "listed twice: " << row.form << " " << row.id;
        EXPECT_TRUE(present.count({row.form, row.id})) << "no such operable control: " << row.form << " " << row.id;
    }
    for (const auto& [form, id] : present)
        EXPECT_TRUE(listed.count({form, id})) << "control without a row in the round-trip table: " << form << " " << id;
}

// ---- The round trip ---------------------------------------------------------------------------

struct Case {
    std::size_t row;
    int setUp;  // index of the SetUp bit
};

void PrintTo(const Case& c, std::ostream* out) { *out << Table()[c.row].form << " " << Table()[c.row].id << " " << kSetUpNames[c.setUp]; }

std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    const Row& row = Table()[info.param.row];
    std::string form = row.form;
    form = form.substr(form.find('/') + 1);
    return form + "_" + std::to_string(row.id) + "_" + kSetUpNames[info.param.setUp];
}

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    for (std::size_t r = 0; r < Table().size(); ++r)
        for (int s = 0; s < kSetUpCount; ++s)
            if (Table()[r].setUps & (1u << s)) cases.push_back({r, s});
    return cases;
}

// The page of a form.
int PageOfForm(const std::string& form)
{
    static const std::map<std::string, int> pages = {{kSetup, app::kPageMeasureSetup}, {kPanel, app::kPageMeasureControl},
        {kDoc, app::kPageDocumentation}, {kConn, app::kPageConnection}, {kInfo, app::kPageInformation},
        {kCal, app::kPageCalibration}, {kDiag, app::kPageDiagnostics}};
    const auto found = pages.find(form);
    return found == pages.end() ? -1 : found->second;
}

// What a control shows: its check, its choice, its text.
std::string StateOf(const QWidget* widget)
{
    if (auto* browse = dynamic_cast<const CBrowseCtrl*>(widget)) return "<" + browse->Edit()->text().toStdString() + ">";
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->isCheckable() ? (button->isChecked() ? "on" : "off") : "";
    if (auto* combo = qobject_cast<const QComboBox*>(widget)) return "[" + combo->currentText().toStdString() + "]";
    if (auto* time = qobject_cast<const QDateTimeEdit*>(widget)) return time->dateTime().toString().toStdString();
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return "'" + edit->text().toStdString() + "'";
    if (auto* list = qobject_cast<const QTableWidget*>(widget)) {
        std::string state = std::to_string(list->currentRow());
        for (int c = 0; list->rowCount() > 0 && c < list->columnCount(); ++c)
            if (list->item(0, c)) state += "|" + list->item(0, c)->text().toStdString();
        return state;
    }
    return "";
}

struct RoundTrip : measurement_test::ConnectedFrame, ::testing::WithParamInterface<Case> {
    const Row& TheRow() const { return Table()[GetParam().row]; }
    unsigned TheSetUp() const { return 1u << GetParam().setUp; }

    std::unique_ptr<sim::SimDevice> MakeDevice() override
    {
        sim::SensorConfig base = control_test::RampSensor(1000.0, 500.0);
        switch (TheSetUp()) {
        case kOneSensor: return std::make_unique<sim::SimulatedSensor>(base, loop);
        case kTwoChannels:
            // A stator that streams and has the low-pass filters.
            base.identity.hmbUsb = false;
            base.identity.statorId = 5;
            base.identity.statorRevision = 7;
            return std::make_unique<sim::SimulatedSensor>(base, loop);
        case kTorqueEncoder: {
            sim::SensorConfig torque = workflow_test::AcceptedSensor(782);
            torque.identity.statorId = 5;  // a stator that streams
            std::vector<sim::SensorConfig> configs = sim::MultiportConfigs(4, torque);
            for (int i = 0; i < 4; ++i) configs[i].identity.rotorTypeClass = i % 2 ? 'Y' : 'D';
            for (int i : {1, 3}) {
                configs[i].identity.statorId = 9;
                configs[i].identity.encoderMode = 3;
                configs[i].identity.hmbUsb = false;
            }
            return std::make_unique<sim::MultiportDevice>(configs, loop);
        }
        case kTwoSensors: return std::make_unique<sim::MultiportDevice>(sim::MultiportConfigs(2, workflow_test::AcceptedSensor(777)), loop);
        default: return std::make_unique<sim::MultiportDevice>(sim::MultiportConfigs(4, workflow_test::AcceptedSensor(777)), loop);
        }
    }

    QWidget* Page(const char* form = nullptr)
    {
        CKm3View* view = measurement_test::FindPage<CKm3View>(*frame);
        return view ? view->Page(PageOfForm(form ? form : TheRow().form)) : nullptr;
    }
    // The window shown, with the row's page (the main menu has none).
    void ShowPage()
    {
        frame->show();
        if (std::string(TheRow().form) != kMenu) frame->ShowPage(PageOfForm(TheRow().form));
        loop.RunFor(500);
    }
    // The operable controls of the page, shown and enabled, by id.
    std::map<int, QWidget*> Controls(const char* form = nullptr)
    {
        std::map<int, QWidget*> controls;
        QWidget* page = Page(form);
        if (page == nullptr) return controls;
        for (QWidget* widget : page->findChildren<QWidget*>()) {
            const QVariant id = widget->property("ctrlId");
            if (id.isValid() && widget->isVisible() && widget->isEnabled()) controls[id.toInt()] = widget;
        }
        return controls;
    }
    std::map<int, std::string> States()
    {
        std::map<int, std::string> states;
        for (const auto& [id, widget] : Controls())
            if (!StateOf(widget).empty()) states[id] = StateOf(widget);
        return states;
    }
    // The eight blocks of every sensor, as the simulated sensors keep them: [sensor][slot].
    using Blocks = std::vector<std::vector<sim::BlockStore::Block>>;
    Blocks AllBlocks() const
    {
        Blocks blocks(static_cast<std::size_t>(sensor->PortCount()));
        for (std::size_t i = 0; i < blocks.size(); ++i)
            for (int slot = 0; slot < 8; ++slot) blocks[i].push_back(sensor->Port(static_cast<int>(i)).sensor().Blocks().Get(slot));
        return blocks;
    }
    void DoFirst(bool restarted)
    {
        for (const Step& step : TheRow().first) {
            if ((restarted && !step.again) || !(step.setUps & TheSetUp())) continue;
            if (step.form) frame->ShowPage(PageOfForm(step.form));
            std::map<int, QWidget*> controls = Controls(step.form);
            ASSERT_TRUE(controls.count(step.id)) << "control " << step.id << " to set first";
            QWidget* widget = controls.at(step.id);
            if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                button->click();
            } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                edit->setText(QString::number(step.datum));
            } else if (auto* combo = qobject_cast<QComboBox*>(widget); std::string(step.form ? step.form : TheRow().form) != kSetup) {
                combo->setCurrentIndex(static_cast<int>(step.datum));
                Q_EMIT combo->activated(static_cast<int>(step.datum));
            } else {
                auto* setup = measurement_test::FindPage<measurement::MeasureSetupWidget>(*frame);
                ASSERT_TRUE(measurement_test::ChooseDatum(*setup, step.id, step.datum)) << step.id;
            }
            loop.RunFor(step.waitMs);
            if (step.form) ShowPage();
        }
    }
    // The user changes the control to a value other than its present one.
    void Change(QWidget* widget)
    {
        if (auto* browse = dynamic_cast<CBrowseCtrl*>(widget)) {
            // The user types a path: a folder of the test's own.
            const QString path = profile.dir.path() + "/chosen";
            QDir().mkpath(path);
            browse->Edit()->setText(path);
            Q_EMIT browse->Edit()->textEdited(path);
            Q_EMIT browse->Edit()->editingFinished();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            // (A scaling button's modal page: the user's unit kV, twice the sensor's.)
            QTimer::singleShot(0, frame.get(), [this] {
                if (auto* page = measurement_test::FindPage<measurement::ChannelScalingWidget>(*frame)) {
                    page->Item<QLineEdit>(measurement::IDC_SCALE_REFERENCE)->setText("10");
                    page->Item<QLineEdit>(measurement::IDC_SCALE_TARGET)->setText("20");
                    page->Item<QLineEdit>(measurement::IDC_SCALE_UNIT)->setText("kV");
                    page->Item<QAbstractButton>(measurement::IDC_SCALE_SAVE)->click();
                }
            });
            button->click();
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            ASSERT_GT(combo->count(), 1) << "nothing else to choose";
            // An entry the page refuses (with a message) leaves the old one: the next is tried.
            const std::string old = StateOf(combo);
            const int start = combo->currentIndex();
            for (int k = 1; k < combo->count() && StateOf(combo) == old; ++k) {
                const int next = (start + k) % combo->count();
                combo->setCurrentIndex(next);
                Q_EMIT combo->activated(next);
                loop.RunFor(100);
            }
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            QString text = edit->text();
            bool number = false;
            const double value = QString(text).replace(',', '.').toDouble(&number);
            text = number ? QString::number(value + 1).replace('.', text.contains(',') ? ',' : '.') : QString("3");
            edit->setText(text);
            Q_EMIT edit->editingFinished();
        } else {
            FAIL() << "no way to change a " << widget->metaObject()->className();
        }
    }

    // The main menu's entry of the row and its menu, as the menu bar holds them.
    std::pair<QMenu*, QAction*> MenuEntry()
    {
        const std::vector<app::Menu>& model = app::MainMenu();
        const QList<QAction*> menus = frame->menuBar()->actions();
        for (std::size_t m = 0; m < model.size() && m < static_cast<std::size_t>(menus.size()); ++m)
            for (std::size_t e = 0; e < model[m].entries.size(); ++e)
                if (static_cast<int>(model[m].entries[e].textId) == TheRow().id) {
                    // By its text: the menu holds separators and the bars' own entries besides.
                    QMenu* menu = menus[static_cast<int>(m)]->menu();
                    for (QAction* action : menu->actions())
                        if (action->text() == platform::ToQString(LoadLangString(model[m].entries[e].textId))) return {menu, action};
                }
        return {nullptr, nullptr};
    }
    // Whether the entry shows checked when its menu opens.
    std::string MenuState()
    {
        auto [menu, action] = MenuEntry();
        if (action == nullptr) return "(no entry)";
        Q_EMIT menu->aboutToShow();
        return action->isChecked() ? "on" : "off";
    }
    void MenuRoundTrip()
    {
        ShowPage();
        const std::string before = MenuState();
        const Blocks blocks = AllBlocks();
        MenuEntry().second->trigger();
        loop.RunFor(1000);
        const std::string chosen = MenuState();
        EXPECT_NE(chosen, before);
        const Blocks now = AllBlocks();
        for (std::size_t i = 0; i < now.size(); ++i) EXPECT_EQ(now[i], blocks[i]) << "sensor " << i;
        ASSERT_NO_FATAL_FAILURE(CloseWindow());
        Restart();
        ShowPage();
        EXPECT_EQ(MenuState(), TheRow().keep == Keep::Nowhere ? before : chosen) << TheRow().what;
    }
};

TEST_P(RoundTrip, TheChoiceReachesItsPlaceAloneAndComesBackAfterARestart)
{
    const Row& row = TheRow();
    if (std::string(row.form) == kMenu) return MenuRoundTrip();
    ShowPage();
    ASSERT_NO_FATAL_FAILURE(DoFirst(false));
    std::map<int, QWidget*> controls = Controls();
    ASSERT_TRUE(controls.count(row.id)) << "not operable in this set-up";
    // A button holds no state: the control that shows its effect (its first follower) stands for
    // it; one without any is judged by what it writes.
    const int shown = StateOf(controls.at(row.id)).empty() && !row.also.empty() ? row.also[0] : row.id;
    const auto stateOf = [](const std::map<int, std::string>& states, int id) { return states.count(id) ? states.at(id) : std::string("(gone)"); };
    const std::map<int, std::string> before = States();
    const Blocks blocks = AllBlocks();
    Change(controls.at(row.id));
    loop.RunFor(3000);
    // (A page that starts sensors again is disabled until they are back.)
    loop.RunUntil([&] { return Controls().count(row.id) != 0; }, 20000);
    // (A change that collapses the page: the user opens its details again.)
    if (Controls().count(row.id) == 0) {
        ASSERT_NO_FATAL_FAILURE(DoFirst(true));
    }
    const std::map<int, std::string> after = States();
    const std::string chosen = stateOf(after, shown);
    if (before.count(shown)) {
        EXPECT_NE(chosen, before.at(shown));
    }
    for (const auto& [id, state] : before)
        if (id != row.id && std::find(row.also.begin(), row.also.end(), id) == row.also.end()) {
            EXPECT_EQ(stateOf(after, id), state) << "control " << id << " changed with it";
        }

    // Where it went: its block of its sensor alone, written at once; or nothing yet.
    const bool writes = row.keep == Keep::Sensor || row.keep == Keep::Action;
    const Blocks now = AllBlocks();
    for (std::size_t i = 0; i < now.size(); ++i) {
        for (std::size_t k = 0; k < 8; ++k)
            if (writes && static_cast<int>(k) != row.slot) {
                EXPECT_EQ(now[i][k], blocks[i][k]) << "sensor " << i << " block slot " << k;
            }
        // Every sensor's own choice (no sensor named) may reach any of them.
        if (!writes || row.sensor >= 0) {
            EXPECT_EQ(now[i] != blocks[i], writes && (now.size() == 1 || row.sensor == static_cast<int>(i))) << "sensor " << i;
        }
    }

    ASSERT_NO_FATAL_FAILURE(CloseWindow());
    if (row.keep == Keep::AtClose) {
        const Blocks closed = AllBlocks();
        bool stored = false;
        for (std::size_t i = 0; i < closed.size(); ++i) stored = stored || closed[i][kSlotRotorOperation] != blocks[i][kSlotRotorOperation];
        EXPECT_TRUE(stored) << "not written at the close";
    }
    // From the next start on, each sensor answers only at the rate it keeps.
    for (int i = 0; i < sensor->PortCount(); ++i)
        ports.Port(CString::Formatted("COM%d", 3 + i)).baudRate = sensor->Port(i).sensor().Blocks().ContentByte(kSlotStatorOperation, 16) == 2 ? 230400 : 0;
    Restart();
    ShowPage();
    ASSERT_NO_FATAL_FAILURE(DoFirst(true));
    const std::string expected = row.keep == Keep::Nowhere ? stateOf(before, shown) : chosen;
    EXPECT_EQ(stateOf(States(), shown), expected) << row.what;
}

INSTANTIATE_TEST_SUITE_P(Controls, RoundTrip, ::testing::ValuesIn(Cases()), CaseName);

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // A developer sees the panel's diagnostics at every start: their controls are probed too.
    setenv("USERNAME", "t.ost", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
