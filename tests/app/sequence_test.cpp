// Sequences of what a user does and what the sensors do, drawn at random from a seed and run
// against the real main frame with simulated sensors on virtual time: Start, Stop, single
// shots, the trigger, the connection page (search, connect, disconnect, baud rate), page
// switches (the calibration page among them), set-up choices and Accept, an encoder's mode,
// the language, a sensor whose power is cut and comes back, a full disk and space freed, and
// the window closed and the program started again. Each action waits a random time first, or
// for the instant its control becomes enabled; some steps are two actions at once. After every
// step the program's promises are checked (Invariant below). One seed draws the device too: one
// sensor, a two-sensor device or a torque sensor with an encoder, with the factory contents
// present, zeros or erased, and the sensors' set-up where it differs from the defaults (Variant).
//
// A failing sequence prints its seed and its steps. KM3_SEQUENCE_SEED=n replays seed n alone;
// KM3_SEQUENCE_SEEDS=n runs the seeds 1 to n (CI runs a few), KM3_SEQUENCE_STEPS=n makes each
// sequence n steps long, KM3_SEQUENCE_KEEP=1 keeps its files, and KM3_SEQUENCE_CHECKS=all (or a
// list of names, "buttons,choices") adds the checks left out while the faults they find are open.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/page_table.h"
#include "documentation/documentation_texts.h"
#include "environment/number_text.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_setup_ids.h"
#include "res/string_table.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "sensor_admin/sensor_admin_pages.h"
#include "tests/documentation/file_size_limit.h"
#include "tests/measurement/frame_fixture.h"
#include "workflow/workflow_texts.h"

using namespace measurement;

namespace {

int EnvInt(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::atoi(text) : fallback;
}

// Seeds that once found a fault, with the steps it took: the default run takes them too.
struct SeedThatFoundAFault {
    unsigned seed;
    int steps;
};
constexpr std::array<SeedThatFoundAFault, 23> kSeedsThatFoundFaults{
    {{31, 60}, {41, 60}, {73, 60}, {285, 60}, {332, 60}, {369, 60}, {562, 60}, {742, 60}, {748, 60}, {1007, 60}, {972, 80}, {2637, 127},
     {9817, 17}, {9880, 97}, {12619, 138}, {12383, 106}, {14849, 28}, {13495, 51}, {1722, 240}, {17767, 151}, {20926, 51}, {21394, 63}, {5605, 201}}};
int StepsThatFoundAFault(unsigned seed)
{
    for (const SeedThatFoundAFault& found : kSeedsThatFoundFaults)
        if (found.seed == seed) return found.steps;
    return 0;
}
constexpr unsigned kTextSetupNotWrittenAtClose = 5697;

// The seeds of this run: KM3_SEQUENCE_SEED alone, or 1 to KM3_SEQUENCE_SEEDS (by default 24 and
// those that found faults).
std::vector<unsigned> Seeds()
{
    if (const int seed = EnvInt("KM3_SEQUENCE_SEED", 0); seed > 0) return {static_cast<unsigned>(seed)};
    std::vector<unsigned> seeds;
    for (int s = 1; s <= EnvInt("KM3_SEQUENCE_SEEDS", 24); ++s) seeds.push_back(static_cast<unsigned>(s));
    if (EnvInt("KM3_SEQUENCE_SEEDS", 0) == 0)
        for (const SeedThatFoundAFault& found : kSeedsThatFoundFaults)
            if (std::find(seeds.begin(), seeds.end(), found.seed) == seeds.end()) seeds.push_back(found.seed);
    return seeds;
}

// The promises checked after every step.
enum Invariant {
    kButtons,        // Start and Stop enabled as the measurement's state says
    kFiles,          // every set measured in the value or recovery file, once and in order
    kNoNul,          // no NUL byte in any file
    kBlocks,         // no sensor block changed but by an action that writes it
    kChoices,        // what the user set shows on the page, and after a restart comes from the sensor
    kMessages,       // no message that contradicts the state
    kInvariantCount
};
constexpr const char* kInvariantNames[kInvariantCount] = {"buttons", "files", "no NUL", "blocks", "choices", "messages"};
// Checks whose faults are still open on this branch: left out unless KM3_SEQUENCE_CHECKS=all.
constexpr bool kOpenFault[kInvariantCount] = {false, false, false, false, false, false};

enum DeviceKind { kOneSensor, kTwoSensors, kTorqueAndEncoder };

// The sensors' set-up where it differs from the simulator's defaults, drawn from the seed apart
// from the steps: the line, the rate they keep, a later stator, display bytes never written or
// erased, pass/fail limits and a start trigger kept from an earlier set-up, a block they refuse,
// slow restarts, and what the device carries.
struct Variant {
    bool rs485 = false;
    int storedRate = 6;
    int statorRevision = 0;  // 0: the first the program takes
    int display = -1;  // both display bytes 0x00 or 0xFF; -1: the simulator's
    bool keptSetup = false;
    int refusal = 0;  // 1: no user calibration block, 2: no software configuration, 3: one set-up write refused
    int restartMs = 200;
    int encoderMode = 3;
    bool noDigitalInput = false;
    int sensors = 2;  // of a multiport device
};
Variant DrawVariant(unsigned seed)
{
    std::mt19937 rng(seed * 2654435761u + 17u);
    auto draw = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    Variant v;
    v.rs485 = draw(4) == 0;
    if (draw(3) == 0) v.storedRate = std::array{3, 9, 13, 14}[static_cast<std::size_t>(draw(4))];
    if (draw(3) == 0) v.statorRevision = draw(2) == 0 ? 8 : 13;  // with the low-pass filters
    if (const int d = draw(4); d < 2) v.display = d == 0 ? 0x00 : 0xFF;
    v.keptSetup = draw(3) == 0;
    if (const int r = draw(6); r < 3) v.refusal = r + 1;
    if (draw(4) == 0) v.restartMs = 1000 + 500 * draw(8);
    v.encoderMode = std::array{3, 4, 7}[static_cast<std::size_t>(draw(3))];
    v.noDigitalInput = draw(4) == 0;
    if (draw(4) == 0) v.sensors = 3;
    return v;
}

// A float into four block bytes, lowest first.
void KeepFloat(sim::SensorConfig& config, std::uint8_t block, int position, float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i) measurement_test::KeepBlockBits(config, block, position + i, static_cast<std::uint8_t>(bits >> (8 * i)));
}

enum Action {
    kStart, kStop, kSingleShot, kTrigger, kSearch, kConnect, kDisconnect, kBaudRate, kPage, kSetupChoice,
    kAccept, kModeSwitch, kLanguage, kPowerCut, kPowerBack, kDiskFull, kDiskFreed, kCloseAndStart, kAutoRepeat,
    kPassFailStorage, kChannelB, kOverlap, kActionCount
};
constexpr const char* kActionNames[kActionCount] = {
    "Start", "Stop", "single shot", "trigger", "search", "connect", "disconnect", "baud rate", "page",
    "set-up choice", "accept", "mode switch", "language", "power cut", "power back", "disk full", "disk freed",
    "close and start again", "trigger auto repeat", "pass/fail storage", "channel B", "two at once"};
constexpr int kWeight[kActionCount] = {12, 9, 3, 4, 4, 2, 2, 2, 8, 10, 2, 3, 2, 2, 3, 2, 3, 1, 2, 3, 3, 4};

// A choice the user made on the set-up page: an entry's datum in a list, or a text in a field.
struct Choice {
    bool isText = false;
    long long datum = 0;
    std::string text;
};

double Number(std::string text)
{
    for (char& c : text)
        if (c == ',') c = '.';
    return std::strtod(text.c_str(), nullptr);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Sequence : measurement_test::ConnectedFrame, ::testing::WithParamInterface<unsigned> {
    const unsigned seed = GetParam();
    std::mt19937 rng{seed};
    const DeviceKind kind = static_cast<DeviceKind>(seed % 3);
    const sim::FactoryContents contents = static_cast<sim::FactoryContents>((seed / 3) % 3);
    // The value files: a new one for each measurement, or always the same name.
    const bool constantName = (seed / 9) % 2 == 1;
    const Variant variant = DrawVariant(seed);
    bool checked[kInvariantCount] = {};
    std::vector<std::string> steps;
    std::vector<std::string> faults;
    std::optional<documentation_test::FileSizeLimit> fullDisk;
    std::map<int, Choice> model;
    int passFailStorage = -1;                   // as the user left it on the documentation page
    std::optional<std::vector<std::string>> filesBeforeBOff;  // set while channel B is off
    int sensorsWhenBOff = 0;  // the sensors measuring then: a device's row B is its second sensor
    std::vector<bool> cut;
    std::vector<std::array<sim::BlockStore::Block, 8>> blocks;
    bool writeOwed = false;
    std::size_t boxesSeen = 0;
    std::optional<long long> rateGivenWay;      // the user's rate, given way on the page to one the sensors carry
    int diskEpoch = 0;                          // counts the times the disk became full
    std::map<std::string, int> toldFull;        // file -> the disk epoch it was last told full in
    int measurements = 0;
    int starts = 0;  // Start, single shot and trigger clicks: each may begin a measurement
    bool startedByHand = false;
    // Measurements the user started and stopped by hand while the sensors streamed: the value
    // file each went to and the records the master sent for it.
    std::vector<std::pair<std::string, long long>> stopped;
    bool wasRunning = false;
    int otherAction = -1;  // the first of two actions at once
    int secondAction = -1;

    int Draw(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    // The loop runs on, and each message shown is noted with whether a measurement ran when
    // it came, and which.
    std::vector<bool> runningWhenTold;
    std::vector<int> startsWhenTold;
    std::vector<int> diskEpochWhenTold;  // a box told while a step still waits belongs to the disk before it
    bool sensorsAway = false;
    void Watch()
    {
        // The sensors are read again whenever they are connected again, which may come a while
        // after the action that asked for it: a search first stores the set-up, the calibration
        // page gives a device's sensors back as it is left. What the user chose in between is
        // read over too.
        if (!AllConnected()) sensorsAway = true;
        else if (sensorsAway) sensorsAway = false, SensorsReadAgain();
        // A start that waits for its trigger event has begun the measurement too.
        while (runningWhenTold.size() < boxes.Count()) {
            // A set-up block the sensor refused to store (as a search or the close stores the
            // set-up) is told: the sensor keeps what it had, which the page shows once it is read.
            if (boxes.Boxes()[runningWhenTold.size()].text.Find(workflow::WorkflowText(workflow::kTextBlockRefused).Left(12)) == 0)
                model.clear(), filesBeforeBOff.reset();
            runningWhenTold.push_back(Running() || SetupPage().Logic().Setup().startSource != 0);
            startsWhenTold.push_back(starts);
            diskEpochWhenTold.push_back(diskEpoch);
        }
    }
    void Run(std::int64_t ms)
    {
        loop.RunUntil([this] { return Watch(), false; }, ms);
        Watch();
    }

    std::unique_ptr<sim::SimDevice> MakeDevice() override
    {
        std::vector<sim::SensorConfig> configs;
        sim::SensorConfig base = control_test::RampSensor(200.0, -20000.0);
        base.identity.statorId = 5;  // streams
        base.identity.hmbUsb = !variant.rs485;
        base.identity.rateIndex = static_cast<std::uint8_t>(variant.storedRate);
        if (variant.statorRevision > 0) base.identity.statorRevision = static_cast<std::uint8_t>(variant.statorRevision);
        base.identity.noDigitalInput = variant.noDigitalInput && kind == kOneSensor;
        base.restartMs = variant.restartMs;
        if (variant.refusal == 1) base.faults.refusals.push_back({'D', 0x82, 3, -1});
        if (variant.refusal == 2) base.faults.refusals.push_back({'D', 0x03, 3, -1});
        if (variant.refusal == 3) base.faults.refusals.push_back({'F', 0x83, 4, 1});
        if (kind == kOneSensor) {
            configs.push_back(base);
        } else {
            configs = sim::MultiportConfigs(kind == kTwoSensors ? variant.sensors : 2, base);
            if (kind == kTorqueAndEncoder) {
                configs[0].identity.rotorTypeClass = 'D';
                configs[1].identity.rotorTypeClass = 'Y';
                configs[1].identity.statorId = 9;
                configs[1].identity.encoderMode = static_cast<std::uint8_t>(variant.encoderMode);
            }
        }
        for (sim::SensorConfig& config : configs) {
            config.identity.factoryContents = contents;
            if (variant.display >= 0) config.identity.displayA = config.identity.displayB = static_cast<std::uint8_t>(variant.display);
        }
        if (variant.keptSetup) {
            // Condition 1 on the first sensor's channel, -50.0 to 150.0; a start when it rises over 40.0.
            KeepFloat(configs[0], 0x02, 23, -50.0f);
            KeepFloat(configs[0], 0x02, 27, 150.0f);
            measurement_test::KeepBlockBits(configs[0], 0x02, 31, (1 << 5) | (1 << 2));
            measurement_test::KeepBlockBits(configs[0], 0x83, 11, 0xC0);
            KeepFloat(configs[0], 0x83, 14, std::numeric_limits<float>::max());
            KeepFloat(configs[0], 0x83, 18, 40.0f);
            measurement_test::KeepBlockBits(configs[0], 0x83, 22, 1 << 2);
        }
        if (kind == kOneSensor) return std::make_unique<sim::SimulatedSensor>(configs[0], loop);
        return std::make_unique<sim::MultiportDevice>(configs, loop);
    }

    std::string DeviceText() const
    {
        const char* kinds[] = {"one sensor", "a two-sensor device", "a torque sensor and an encoder"};
        const char* fills[] = {"present", "zeros", "erased"};
        const char* refusals[] = {"", ", no user calibration block", ", no software configuration block", ", one set-up write refused"};
        const Variant& v = variant;
        std::ostringstream more;
        if (v.rs485) more << ", RS-485 line";
        if (v.storedRate != 6) more << ", stored rate " << v.storedRate;
        if (v.statorRevision > 0) more << ", stator revision " << v.statorRevision;
        if (v.display >= 0) more << ", display bytes " << v.display;
        if (v.keptSetup) more << ", limits and start trigger kept";
        if (v.restartMs != 200) more << ", restart " << v.restartMs << " ms";
        if (kind == kTorqueAndEncoder && v.encoderMode != 3) more << ", encoder mode " << v.encoderMode;
        if (kind == kOneSensor && v.noDigitalInput) more << ", no digital input";
        if (kind == kTwoSensors && v.sensors != 2) more << ", " << v.sensors << " sensors";
        return std::string(kinds[kind]) + ", factory contents " + fills[static_cast<int>(contents)] +
               (constantName ? ", value files under one name" : ", indexed value files") + refusals[v.refusal] + more.str();
    }

    void SetUp() override
    {
        // KM3_SEQUENCE_CHECKS names the checks added to the default ones ("buttons,choices"), or "all".
        const std::string wanted = "," + std::string(std::getenv("KM3_SEQUENCE_CHECKS") ? std::getenv("KM3_SEQUENCE_CHECKS") : "") + ",";
        for (int i = 0; i < kInvariantCount; ++i)
            checked[i] = !kOpenFault[i] || wanted == ",all," || wanted.find("," + std::string(kInvariantNames[i]) + ",") != std::string::npos;
        // KM3_SEQUENCE_KEEP=1 keeps the files of a replay for a look.
        if (std::getenv("KM3_SEQUENCE_KEEP") != nullptr) profile.dir.setAutoRemove(false);
        ConnectedFrame::SetUp();
        cut.assign(static_cast<std::size_t>(sensor->PortCount()), false);
        AfterStart();
        blocks = Blocks();
    }
    void TearDown() override
    {
        fullDisk.reset();
        ConnectedFrame::TearDown();
    }

    void AfterStart()
    {
        frame->show();
        auto* page = measurement_test::FindPage<documentation::CDlgDocumentation>(*frame);
        ASSERT_NE(page, nullptr);
        documentation::CDocumentationSettings& settings = page->Settings();
        settings.directory[documentation::kMeasValues] = CString(ValueFolder().c_str());
        settings.storageMode[documentation::kMeasValues] = constantName ? documentation::kStorageConstant : documentation::kStorageIndexed;
        settings.autoStorage = 1;
        frame->ShowPage(app::kPageMeasureControl);
        Run(500);
    }
    std::string ValueFolder() const { return profile.dir.path().toStdString(); }

    // ---- what the user and the sensors do ------------------------------------------------------

    MeasureSetupWidget& SetupPage() { return *measurement_test::FindPage<MeasureSetupWidget>(*frame); }
    documentation::CDlgDocumentation& DocPage() { return *measurement_test::FindPage<documentation::CDlgDocumentation>(*frame); }
    template <class Form>
    Form& AdminForm() { return *measurement_test::FindPage<Form>(*frame); }

    // Waits as the step drew (a time, or until the control is enabled), then clicks the
    // control when the user can: false when it stayed disabled.
    bool WaitAndClick(QAbstractButton* button, int waitMs)
    {
        if (button == nullptr) return false;
        if (waitMs < 0) loop.RunUntil([this, button] { return Watch(), button->isEnabled() && button->isVisible(); }, 10000);
        else Run(waitMs);
        if (!button->isEnabled() || !button->isVisible()) return false;
        button->click();
        return true;
    }
    bool OnPanel(int id, int waitMs)
    {
        frame->ShowPage(app::kPageMeasureControl);
        return WaitAndClick(panel->Item<QAbstractButton>(id), waitMs);
    }
    bool OnConnectionPage(int id, int waitMs)
    {
        frame->ShowPage(app::kPageConnection);
        return WaitAndClick(AdminForm<sensor_admin::SensorConnectionForm>().Item<QAbstractButton>(id), waitMs);
    }
    bool Choose(int comboId, int index, std::string& told)
    {
        auto* combo = SetupPage().Item<QComboBox>(comboId);
        const std::vector<ComboEntry>& entries = SetupPage().Logic().Controls()[comboId].entries;
        if (combo == nullptr || !combo->isEnabled() || !combo->isVisible() || entries.empty()) return false;
        index %= static_cast<int>(entries.size());
        const long long datum = entries[static_cast<std::size_t>(index)].datum;
        // A new start source on a channel or a power starts from the value 0 over-running; the
        // digital input, channel B of one sensor, keeps its direction and has a fixed threshold.
        if (comboId == IDC_START_SOURCE && datum >= 1 && datum <= 6 && datum != SetupPage().Logic().Setup().startSource) {
            const bool digitalInput = datum == 2 && kind == kOneSensor;
            if (digitalInput) model.erase(IDC_START_VALUE);
            else model[IDC_START_VALUE] = {true, 0, "0"}, model[IDC_START_DIRECTION] = {false, 0, {}};
        }
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
        model[comboId] = {false, datum, {}};
        if (comboId == IDC_RATE_COMBO) rateGivenWay.reset();
        told = std::to_string(comboId) + " := datum " + std::to_string(datum);
        return true;
    }
    bool Type(int editId, const std::string& text, std::string& told)
    {
        auto* edit = SetupPage().Item<QLineEdit>(editId);
        if (edit == nullptr || !edit->isEnabled() || !edit->isVisible()) return false;
        edit->setText(QString::fromStdString(text));
        model[editId] = {true, 0, text};
        told = std::to_string(editId) + " := \"" + text + "\"";
        return true;
    }
    bool SetupChoice(std::string& told)
    {
        frame->ShowPage(app::kPageMeasureSetup);
        Run(Draw(500));
        // The user sets up what the sensors measure while they are there.
        if (!AllConnected()) return false;
        switch (Draw(6)) {
        case 0: return Choose(IDC_RATE_COMBO, Draw(20), told);
        case 1: {
            // A condition is the channel it watches with its two limits.
            const int k = Draw(2);
            std::string limits;
            // The other condition may be one the sensors kept, not chosen since the model was
            // last emptied: it decides which of the two a sensor keeping one alone holds. It is
            // read once the choice is taken: chosen as the sensors had just been read, the page
            // first takes them, and the condition it showed before (channel B of the first
            // sensor, back alone) may be none of theirs.
            const std::size_t boxesBefore = boxes.Count();
            const bool chosen = Choose(kConditionCombo[k], Draw(6), told);
            // Chosen from the list as it stood before the sensors just read were taken, a row
            // they keep switched off is refused, and the user told: the condition is gone.
            const int row = chosen ? static_cast<int>(model[kConditionCombo[k]].datum) : -1;
            const CString refused = boxes.Count() > boxesBefore ? boxes.Boxes()[boxesBefore].text : CString();
            if (chosen && (refused == BuildNotActiveText(row, true) || refused == BuildNotActiveText(row, false))) {
                for (int id : {kConditionCombo[k], kLimitEdit[2 * k], kLimitEdit[2 * k + 1]}) model.erase(id);
                return true;
            }
            const long long other = SetupPage().Logic().Controls().SelectedDatum(kConditionCombo[1 - k]);
            if (chosen && other >= 0 && !model.count(kConditionCombo[1 - k])) model[kConditionCombo[1 - k]] = {false, other, {}};
            if (chosen && Type(kLimitEdit[2 * k], std::to_string(-10 - Draw(500)), limits)) told += ", " + limits;
            if (chosen && Type(kLimitEdit[2 * k + 1], std::to_string(10 + Draw(500)), limits)) told += ", " + limits;
            return chosen;
        }
        case 2: {
            const int k = Draw(4);
            const int value = (k % 2 == 0 ? -1 : 1) * (10 + Draw(500));
            // The limit belongs to the condition shown, which the sensors may have kept; so may
            // the other one, which decides whether a sensor keeping one alone holds this one.
            for (int combo : kConditionCombo) {
                const long long shown = SetupPage().Logic().Controls().SelectedDatum(combo);
                if (shown >= 0 && !model.count(combo)) model[combo] = {false, shown, {}};
            }
            return Type(kLimitEdit[k], std::to_string(value), told);
        }
        case 3: return Choose(IDC_START_SOURCE, Draw(4), told);
        case 4: return Type(IDC_START_VALUE, std::to_string(Draw(300) - 100), told);
        default: return Choose(IDC_START_DIRECTION, Draw(2), told);
        }
    }
    bool ModeSwitch(std::string& told)
    {
        frame->ShowPage(app::kPageMeasureSetup);
        Run(Draw(500));
        const int selector = Draw(2) == 0 ? kAngleSelector[0] : kTorqueSelector[0];
        auto* button = SetupPage().Item<QAbstractButton>(selector);
        if (button == nullptr) return false;
        if (!button->isVisible()) {
            auto* expand = SetupPage().Item<QAbstractButton>(IDC_EXPAND);
            if (expand == nullptr || !expand->isVisible() || !expand->isEnabled()) return false;
            expand->click();
        }
        told = selector == kAngleSelector[0] ? "angle" : "speed";
        if (!WaitAndClick(button, 0)) return false;
        // An encoder counting the angle computes no power.
        if (SetupPage().Item<QAbstractButton>(kAngleSelector[0])->isChecked()) RowGone(5, 4);
        return true;
    }
    // The choices on a row the user switched off go with it: the start trigger on it (source),
    // and the pass/fail conditions that watched it (measurand; -1: both, as after any switch of
    // a channel row, on or off), with their limits.
    void RowGone(long long source, long long measurand)
    {
        if (model.count(IDC_START_SOURCE) && model[IDC_START_SOURCE].datum == source) model.erase(IDC_START_SOURCE);
        for (int k = 0; k < 2; ++k)
            if (measurand < 0 || (model.count(kConditionCombo[k]) && model[kConditionCombo[k]].datum == measurand))
                for (int id : {kConditionCombo[k], kLimitEdit[2 * k], kLimitEdit[2 * k + 1]}) model.erase(id);
    }
    bool Calibration()
    {
        frame->ShowPage(app::kPageCalibration);
        auto* choice = AdminForm<sensor_admin::SensorCalibrationForm>().Item<QComboBox>(sensor_admin::IDC_CAL_SENSOR);
        Run(Draw(1500));
        if (choice != nullptr && choice->isVisible() && choice->isEnabled() && choice->count() > 1 && Draw(2) == 0) {
            const int index = Draw(choice->count());
            choice->setCurrentIndex(index);
            Q_EMIT choice->activated(index);
        }
        return true;
    }
    void CloseAndStart()
    {
        for (std::size_t i = 0; i < cut.size(); ++i)
            if (cut[i]) PowerBack(static_cast<int>(i));
        fullDisk.reset();
        // The user waits for the sensors to say they are back.
        Run(1000 + variant.restartMs);
        // With a sensor gone the set-up not yet written cannot reach it: it holds what it had.
        if (!AllConnected() && frame->IsConfigWritePending()) model.clear(), filesBeforeBOff.reset();
        const std::size_t told = boxes.Count();
        ASSERT_NO_FATAL_FAILURE(CloseWindow());
        // A choice held for a sensor still gone (a rate waiting for it to come back) is told as not
        // written, and the next start reads what the sensor kept.
        for (std::size_t k = told; k < boxes.Count(); ++k)
            if (boxes.Boxes()[k].text == LoadLangString(kTextSetupNotWrittenAtClose))
                model.clear(), filesBeforeBOff.reset();
        // A rate the page gave way to lives on the page alone (the sensors keep the user's, which
        // the line may still not carry): the program started again shows what it starts with.
        if (rateGivenWay) model.erase(IDC_RATE_COMBO), rateGivenWay.reset();
        SensorsReadAgain();
        ASSERT_NO_FATAL_FAILURE(Restart());
        ASSERT_NO_FATAL_FAILURE(AfterStart());
        wasRunning = false;
    }
    // A sensor that hides its software configuration gives back neither the rate nor channel
    // B's switch when it is read again, nor one without a user calibration block the fourth
    // limit it keeps there.
    void SensorsReadAgain()
    {
        // A start trigger that is off, or waits for a time, is read back without a direction: the
        // one the user chose for an earlier trigger is gone, also for the digital input chosen
        // later, which keeps only a direction the page still holds.
        const int startSource = SetupPage().Logic().Setup().startSource;
        if (startSource < 1 || startSource > 6) model.erase(IDC_START_DIRECTION);
        if (variant.refusal == 2) model.erase(IDC_RATE_COMBO), filesBeforeBOff.reset();
        if (variant.refusal == 1 && kind == kOneSensor) model.erase(kLimitEdit[3]);
    }
    void PowerBack(int port)
    {
        sensor->Port(port).PowerOn();
        cut[static_cast<std::size_t>(port)] = false;
    }

    // Does what the step drew: whether it was possible, what it did for the log, and whether it
    // may write the sensors.
    bool Act(int action, int waitMs, std::string& told, bool& writes)
    {
        bool done = true;
        const bool wasRunningBefore = Running();
        switch (action) {
        case kStart: done = OnPanel(IDC_MC_START, waitMs); break;
        case kStop: {
            frame->ShowPage(app::kPageMeasureControl);
            const sim::SensorEngine& master = sensor->Port(0).sensor();
            const bool plain = Running() && frame->Fields().triggers.recording == 0 && panel->Logic().Settings()->bSecond == 0 &&
                               SetupPage().Logic().Setup().startSource == 0 && master.IsStreaming() && startedByHand;
            done = OnPanel(IDC_MC_STOP, waitMs);
            if (done && plain && !master.IsStreaming() && !constantName) stopped.emplace_back(NewestValueFile(), master.RecordsSampled());
            break;
        }
        case kSingleShot: done = OnPanel(IDC_MC_SINGLE_SHOT, waitMs); break;
        case kTrigger: done = OnPanel(IDC_MC_TRIGGER, waitMs); break;
        case kAutoRepeat: done = OnPanel(IDC_MC_AUTO_REPEAT, waitMs); break;
        case kSearch: done = OnConnectionPage(sensor_admin::IDC_CONN_SEARCH, waitMs); writes = true; break;
        case kConnect: done = OnConnectionPage(sensor_admin::IDC_CONN_CONNECT, waitMs); writes = true; break;
        case kDisconnect: done = OnConnectionPage(sensor_admin::IDC_CONN_DISCONNECT, waitMs); break;
        case kBaudRate: {
            frame->ShowPage(app::kPageConnection);
            auto* baud = AdminForm<sensor_admin::SensorConnectionForm>().Item<QComboBox>(sensor_admin::IDC_CONN_BAUD);
            baud->setCurrentIndex(Draw(baud->count()));
            told = baud->currentText().toStdString();
            done = OnConnectionPage(sensor_admin::IDC_CONN_CHANGE_BAUD, waitMs);
            writes = true;
            break;
        }
        case kPage: {
            const int pages[] = {app::kPageLogo, app::kPageConnection, app::kPageInformation, app::kPageMeasureSetup,
                                 app::kPageDocumentation, app::kPageCalibration, app::kPageMeasureControl, app::kPageCalibration};
            const int page = pages[Draw(8)];
            told = std::to_string(page);
            Run(std::max(waitMs, 0));
            if (page == app::kPageCalibration) done = Calibration();
            else frame->ShowPage(page);
            break;
        }
        case kSetupChoice: done = SetupChoice(told); writes = true; break;
        case kAccept:
            frame->ShowPage(app::kPageMeasureSetup);
            done = WaitAndClick(SetupPage().Item<QAbstractButton>(IDC_ACCEPT), std::max(waitMs, 0));
            writes = true;
            break;
        case kModeSwitch: done = ModeSwitch(told); writes = true; break;
        case kLanguage: {
            const int language = Draw(4);
            told = std::to_string(language);
            Run(std::max(waitMs, 0));
            frame->SwitchLanguage(language * 1000);
            break;
        }
        case kPowerCut:
        case kPowerBack: {
            const int port = Draw(sensor->PortCount());
            told = "sensor " + std::to_string(port + 1);
            Run(std::max(waitMs, 0));
            done = cut[static_cast<std::size_t>(port)] == (action == kPowerBack);
            if (done && action == kPowerBack) PowerBack(port);
            else if (done) sensor->Port(port).HangUp(), cut[static_cast<std::size_t>(port)] = true;
            break;
        }
        case kDiskFull: {
            Run(std::max(waitMs, 0));
            const rlim_t room = static_cast<rlim_t>(LargestValueFile() + Draw(3000));
            told = std::to_string(room) + " bytes a file";
            fullDisk.reset();
            fullDisk.emplace(room);
            ++diskEpoch;
            break;
        }
        case kDiskFreed:
            Run(std::max(waitMs, 0));
            done = fullDisk.has_value();
            fullDisk.reset();
            break;
        case kPassFailStorage: {
            frame->ShowPage(app::kPageDocumentation);
            Run(std::max(waitMs, 0));
            auto* combo = DocPage().Item<QComboBox>(documentation::DocKindBase(documentation::kIoNioResults) + documentation::kDocModeOffset);
            const int mode = Draw(3);
            combo->setCurrentIndex(mode);
            Q_EMIT combo->activated(mode);
            told = combo->currentText().toStdString();
            break;
        }
        case kChannelB: {
            frame->ShowPage(app::kPageMeasureSetup);
            Run(std::max(waitMs, 0));
            auto* button = SetupPage().Item<QAbstractButton>(kChannelButton[1]);
            done = AllConnected() && button->isVisible() && button->isEnabled();
            if (!done) break;
            button->click();
            told = button->isChecked() ? "on" : "off";
            if (button->isChecked()) filesBeforeBOff.reset();
            else if (!filesBeforeBOff) filesBeforeBOff = ValueFiles(), sensorsWhenBOff = frame->Com().m_nCountActivePorts;
            RowGone(button->isChecked() ? -1 : 2, -1);
            // The encoder's channel B off takes its group's power off, and a start trigger on the power.
            if (!button->isChecked() && kind == kTorqueAndEncoder && model.count(IDC_START_SOURCE) && model[IDC_START_SOURCE].datum == 5)
                model.erase(IDC_START_SOURCE);
            writes = true;
            break;
        }
        case kCloseAndStart:
            Run(std::max(waitMs, 0));
            writes = true;
            CloseAndStart();
            break;
        }
        if (action == kStart && done && Running() && !wasRunningBefore) ++measurements;
        if ((action == kStart || action == kTrigger || action == kSingleShot) && done) ++starts;
        if (action == kStart || action == kTrigger || action == kSingleShot || action == kCloseAndStart)
            startedByHand = action == kStart && done && Running() && !wasRunningBefore;
        writeOwed = writeOwed || writes;
        // A baud change restarts the sensors and a sensor back on power is connected again: both read them anew.
        if (done && (action == kSearch || action == kConnect || action == kBaudRate || action == kPowerBack)) SensorsReadAgain();
        return done;
    }
    // Two actions, the second the instant the first is done or its control enabled: Start once a
    // baud change, a search or the calibration page left lets it, a new measurement while the
    // last is still written, a search or a mode switch over a set-up choice not yet stored.
    bool Overlap(int waitMs, std::string& told, bool& writes)
    {
        static constexpr std::array<std::array<int, 2>, 6> kPairs{{{kBaudRate, kStart}, {kStop, kStart}, {kSetupChoice, kSearch},
                                                                    {kSetupChoice, kModeSwitch}, {kSearch, kStart}, {kPage, kStart}}};
        std::array<int, 2> pair = kPairs[static_cast<std::size_t>(Draw(static_cast<int>(kPairs.size())))];
        if (pair[1] == kModeSwitch && kind != kTorqueAndEncoder) pair[1] = kCloseAndStart;
        std::string first, second;
        // The page left is the calibration page, which takes a sensor alone and connects the others again.
        if (pair[0] == kPage) {
            Run(std::max(waitMs, 0));
            Calibration();
            first = std::to_string(app::kPageCalibration);
        }
        const bool done = pair[0] == kPage || Act(pair[0], std::max(waitMs, 0), first, writes);
        if (HasFatalFailure()) return false;
        otherAction = pair[0];
        secondAction = pair[1];
        const bool then = Act(pair[1], pair[1] == kStart ? -1 : 0, second, writes);
        told = std::string(kActionNames[pair[0]]) + " " + first + (done ? "" : " (not possible)") + ", then " + kActionNames[pair[1]] +
               " " + second + (then ? "" : " (not possible)");
        return done || then;
    }

    // One step: an action, or two at once; then the promises.
    void Step(int number)
    {
        std::vector<int> pool;
        for (int a = 0; a < kActionCount; ++a) {
            if (a == kModeSwitch && kind != kTorqueAndEncoder) continue;
            for (int w = 0; w < kWeight[a]; ++w) pool.push_back(a);
        }
        const int action = pool[static_cast<std::size_t>(Draw(static_cast<int>(pool.size())))];
        const int waitKind = Draw(3);
        const int waitMs = waitKind == 0 ? 0 : waitKind == 1 ? Draw(3000) : -1;
        std::string told;
        steps.push_back(std::to_string(number) + ": " + kActionNames[action] + " ...");
        bool writes = false;
        otherAction = -1;
        const bool done = action == kOverlap ? Overlap(waitMs, told, writes) : Act(action, waitMs, told, writes);
        if (HasFatalFailure()) return;
        std::ostringstream line;
        line << number << ": " << kActionNames[action] << (told.empty() ? "" : " " + told) << ", waited "
             << (waitMs < 0 ? std::string("until enabled") : std::to_string(waitMs) + " ms") << (done ? "" : " (not possible)")
             << " at " << loop.NowMs() << " ms";
        steps.back() = line.str();
        // No user acts again within the same turn of the loop: what holds a few milliseconds
        // on is what the user sees.
        Run(20);
        CheckInvariants(action == kOverlap ? secondAction : action);
        // Then the program goes on for a while before the next step.
        Run(Draw(4) == 0 ? 0 : Draw(2000));
        CheckInvariants(-1);
    }

    long long LargestValueFile() const
    {
        long long largest = 0;
        QDirIterator it(QString::fromStdString(ValueFolder()), {"*.csv"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) largest = std::max<long long>(largest, QFileInfo(it.next()).size());
        return largest;
    }

    // ---- the promises ---------------------------------------------------------------------------

    void Fault(Invariant which, const std::string& what)
    {
        if (checked[which]) faults.push_back(std::string(kInvariantNames[which]) + ": " + what);
    }
    bool AllConnected() const
    {
        return frame->m_bSensorConnected && frame->Com().m_nCountActivePorts == sensor->PortCount() &&
               !frame->Com().m_bFurtherPortsPending;
    }
    std::vector<std::array<sim::BlockStore::Block, 8>> Blocks() const
    {
        std::vector<std::array<sim::BlockStore::Block, 8>> all;
        for (int p = 0; p < sensor->PortCount(); ++p) {
            all.emplace_back();
            for (int slot = 0; slot < 8; ++slot) all.back()[static_cast<std::size_t>(slot)] = sensor->Port(p).sensor().Blocks().Get(slot);
        }
        return all;
    }

    void CheckInvariants(int action)
    {
        Watch();
        const bool running = Running();
        // Start and Stop.
        auto* start = panel->Item<QAbstractButton>(IDC_MC_START);
        auto* stop = panel->Item<QAbstractButton>(IDC_MC_STOP);
        // An armed trigger waits for its start event with Start enabled and Stop disabled.
        const bool waitingForTrigger = panel->Logic().Settings()->bSecond != 0 && frame->Fields().triggers.recording == 0;
        if (running && !waitingForTrigger && (start->isEnabled() || !stop->isEnabled()))
            Fault(kButtons, std::string("a measurement runs while Start is ") + (start->isEnabled() ? "enabled" : "disabled") +
                                " and Stop " + (stop->isEnabled() ? "enabled" : "disabled"));
        if (!running && stop->isEnabled() && frame->Com().GetZMCOMConfgFlow() == ZM_STOP_MEASURE)
            Fault(kButtons, "nothing runs, yet Stop is enabled");
        // Every sensor of the connection, that is every port the connection page lists as
        // active: a device's sensor that had no power when it was searched for, or that a
        // Connect did not choose, is listed as available and rightly left out.
        const workflow::IConnectionPage& ports = *frame->Com().Peers().connection;
        int inUse = 0;
        for (int r = 0; r < ports.GetItemCount(); ++r) inUse += ports.GetItemText(r, 6) == workflow::WorkflowText(workflow::kTextPortActive);
        if (start->isEnabled() && !(AllConnected() || (frame->m_bSensorConnected && !frame->Com().m_bFurtherPortsPending &&
                                                       frame->Com().m_nCountActivePorts == std::max(inUse, 1))))
            Fault(kButtons, "Start is enabled while " + std::to_string(frame->Com().m_nCountActivePorts) + " of " +
                                std::to_string(inUse) + " sensors in use are active" +
                                (frame->m_bSensorConnected ? "" : ", none connected") +
                                (frame->Com().m_bFurtherPortsPending ? ", further ports pending" : ""));
        wasRunning = running;

        // No NUL byte in any file the program wrote.
        QDirIterator it(QString::fromStdString(ValueFolder()), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const std::string path = it.next().toStdString();
            if (ReadFile(path).find('\0') != std::string::npos) Fault(kNoNul, path + " holds a NUL byte");
        }

        // The sensors' blocks: headers and calibrations are written by nothing the user does here;
        // the set-up blocks only after an action that writes them.
        const auto now = Blocks();
        for (std::size_t p = 0; p < now.size(); ++p)
            for (std::size_t slot = 0; slot < 8; ++slot) {
                if (now[p][slot] == blocks[p][slot]) continue;
                const bool setup = sim::kBlockNumbers[slot] == 0x02 || sim::kBlockNumbers[slot] == 0x03 ||
                                   sim::kBlockNumbers[slot] == 0x82 || sim::kBlockNumbers[slot] == 0x83;
                if (!setup || !writeOwed)
                    Fault(kBlocks, "sensor " + std::to_string(p + 1) + "'s block " + std::to_string(sim::kBlockNumbers[slot]) +
                                       " changed with no action that writes it");
            }
        blocks = now;

        // The rate is sent at once: one the sensors, restarting, could not take is told and gone;
        // so is channel B switched then, which they keep as it was.
        for (std::size_t k = boxesSeen; k < boxes.Count(); ++k)
            if (boxes.Boxes()[k].text == LoadLangString(kTextNotWrittenWhileReconnecting)) {
                model.erase(IDC_RATE_COMBO);
                if (action == kChannelB) filesBeforeBOff.reset();
            }
        // A rate the sensors found now cannot carry (a device's sensor left out, found alone, a
        // slower line) gives way on the page to one they can, before the user's eyes: that one is
        // the set-up from then on. The sensors that were given the user's keep it, though: once
        // they carry it again, read again, they may bring it back. (Neither while the calibration
        // page has one sensor of a device alone: the device is still the one it was chosen for.)
        const PageControls& shownControls = SetupPage().Logic().Controls();
        if (frame->m_bSensorConnected && frame->Com().m_nCountActivePorts >= 1 && !frame->Com().m_bFurtherPortsPending &&
            !frame->AreSensorsTakenApart() && model.count(IDC_RATE_COMBO) &&
            !shownControls.HasDatum(IDC_RATE_COMBO, model[IDC_RATE_COMBO].datum)) {
            if (!rateGivenWay) rateGivenWay = model[IDC_RATE_COMBO].datum;
            model[IDC_RATE_COMBO].datum = shownControls.SelectedDatum(IDC_RATE_COMBO);
        }
        if (rateGivenWay && model.count(IDC_RATE_COMBO) && shownControls.SelectedDatum(IDC_RATE_COMBO) == *rateGivenWay)
            model[IDC_RATE_COMBO].datum = *rateGivenWay, rateGivenWay.reset();
        // What the user chose shows on the page once the sensors are connected (a sensor without
        // power has nothing to show).
        // The page takes the sensors' set-up a moment after the last of them is connected.
        if (AllConnected() && !frame->SensorAdmin()->connection.IsBusy() && std::count(cut.begin(), cut.end(), true) == 0 &&
            !SetupPage().Logic().IsTimerArmed(kTimerRefresh)) {
            const PageControls& controls = SetupPage().Logic().Controls();
            // Of two conditions on one of several sensors, or on one channel of a single sensor, the
            // sensor keeps the second alone, as the user is told when choosing them: the first is
            // gone once the sensors are read again.
            auto keeper = [this](int combo) {
                const long long m = model.count(combo) ? model[combo].datum : -1;
                return m < 0 ? -1 - combo : m < 4 ? m : m == 4 ? 1 : 3;
            };
            const bool firstGone = keeper(kConditionCombo[0]) == keeper(kConditionCombo[1]);
            // Once gone from the page it stays gone, also when the second moves to another sensor.
            if (firstGone && controls.SelectedDatum(kConditionCombo[0]) < 0)
                for (int id : {kConditionCombo[0], kLimitEdit[0], kLimitEdit[1]}) model.erase(id);
            // A start trigger that is off, or waits for a time, has no direction and no value.
            const long long source = controls.SelectedDatum(IDC_START_SOURCE);
            for (const auto& [id, choice] : model) {
                if (firstGone && (id == kConditionCombo[0] || id == kLimitEdit[0] || id == kLimitEdit[1])) continue;
                if ((source < 1 || source > 6) && (id == IDC_START_DIRECTION || id == IDC_START_VALUE)) continue;
                if (choice.isText) {
                    auto* edit = SetupPage().Item<QLineEdit>(id);
                    const std::string shown = edit ? edit->text().toStdString() : std::string();
                    if (std::fabs(Number(shown) - Number(choice.text)) > 1e-6 || shown.empty())
                        Fault(kChoices, "field " + std::to_string(id) + " shows \"" + shown + "\", the user typed \"" + choice.text + "\"");
                } else if (controls.SelectedDatum(id) != choice.datum &&
                           (id != IDC_RATE_COMBO || controls.HasDatum(id, choice.datum))) {  // the line may carry less now
                    Fault(kChoices, "list " + std::to_string(id) + " shows datum " + std::to_string(controls.SelectedDatum(id)) +
                                        ", the user chose " + std::to_string(choice.datum));
                }
            }
        }

        // The pass/fail storage changes by the user's hand alone: on the documentation page, or by
        // a condition set or cleared on the set-up page; a search or a refill leaves it.
        const int storage = DocPage().Settings().storageMode[documentation::kIoNioResults];
        const bool byUser = [&] {
            for (int a : {action, otherAction})
                if (a == kPassFailStorage || a == kSetupChoice || a == kChannelB || a == kModeSwitch) return true;
            return false;
        }();
        if (passFailStorage >= 0 && storage != passFailStorage && !byUser)
            Fault(kChoices, "the pass/fail storage turned from " + std::to_string(passFailStorage) + " to " + std::to_string(storage));
        passFailStorage = storage;
        // With channel B off a measurement records no channel B column, as long as it measures the
        // sensors it was switched off for: with one sensor of a device left, B is that sensor's own.
        auto sensorLines = [](const std::string& text) {
            std::size_t lines = text.rfind("Sensor;", 0) == 0 ? 1 : 0;
            for (std::size_t at = text.find("\nSensor;"); at != std::string::npos; at = text.find("\nSensor;", at + 1)) ++lines;
            return static_cast<int>(lines);
        };
        for (const std::string& file : filesBeforeBOff && !constantName ? ValueFiles() : std::vector<std::string>{})
            if (std::find(filesBeforeBOff->begin(), filesBeforeBOff->end(), file) == filesBeforeBOff->end() &&
                ReadFile(file).find(";B [") != std::string::npos && sensorLines(ReadFile(file).substr(0, 400)) == sensorsWhenBOff)
                Fault(kFiles, file + " has a channel B column while channel B is off");

        // Messages: a file that cannot be written while nothing runs is not told as if the
        // measurement went on.
        const CString goesOn = LoadLangString(documentation::kTextFileNotWritten);
        const CString marker = goesOn.Mid(goesOn.Find(").\n") + 3);
        for (; boxesSeen < boxes.Count(); ++boxesSeen) {
            const CString text = boxes.Boxes()[boxesSeen].text;
            steps.push_back(std::string("     told: ") + CString(text).Left(90).GetString());
            // With every sensor powered and answering, a device's slave set-up is never left
            // unanswered: a protocol error told then is a false alarm.
            if (text == "Protokollfehler erkannt. (002)" && std::count(cut.begin(), cut.end(), true) == 0 && action != kPowerCut &&
                action != kPowerBack)
                Fault(kMessages, "told a protocol error (002) with every sensor answering");
            if (marker.IsEmpty() || text.Find(marker) < 0) continue;
            if (!runningWhenTold[boxesSeen])
                Fault(kMessages, std::string("told \"") + text.GetString() + "\" with nothing running");
            // Once per file, measurement and full disk.
            const std::string file = std::string(text.GetString()) + " #" + std::to_string(startsWhenTold[boxesSeen]);
            const int epoch = diskEpochWhenTold[boxesSeen];
            if (toldFull.count(file) != 0 && toldFull[file] == epoch)
                Fault(kMessages, std::string("told again \"") + text.GetString() + "\" for the same full disk");
            toldFull[file] = epoch;
        }
    }

    std::vector<std::string> ValueFiles() const
    {
        std::vector<std::string> files;
        for (const QString& name : QDir(QString::fromStdString(ValueFolder())).entryList({"*.csv"}, QDir::Files, QDir::Name))
            files.push_back(ValueFolder() + "/" + name.toStdString());
        return files;
    }
    std::string NewestValueFile() const
    {
        const std::vector<std::string> files = ValueFiles();
        return files.empty() ? std::string() : files.back();
    }
    // The rows of a value file followed by those of the recovery files that continue it.
    std::vector<std::vector<double>> MeasurementRows(const std::string& valueFile) const
    {
        std::vector<std::vector<double>> rows = measurement_test::ValueRows(valueFile);
        const QString stem = QFileInfo(QString::fromStdString(valueFile)).completeBaseName();
        std::vector<std::string> rest;
        QDirIterator it(QString::fromStdString(ValueFolder()) + "/data", {stem + "_*.csv"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) rest.push_back(it.next().toStdString());
        std::sort(rest.begin(), rest.end());
        for (const std::string& path : rest) {
            const std::vector<std::vector<double>> more = measurement_test::ValueRows(path);
            rows.insert(rows.end(), more.begin(), more.end());
        }
        return rows;
    }

    // At the end: each measurement's sets are in its value file and the recovery files after it
    // once and in order: their times climb in equal steps (where the file's three decimals
    // can tell them apart), and a measurement started and stopped by hand holds every record
    // the sensors streamed for it.
    void CheckFiles()
    {
        // Under one name the value file holds the last measurement alone; each recovery file
        // continues one of the earlier ones.
        std::vector<std::vector<std::vector<double>>> tables;
        for (const std::string& file : ValueFiles()) tables.push_back(constantName ? measurement_test::ValueRows(file) : MeasurementRows(file));
        if (constantName) {
            QDirIterator it(QString::fromStdString(ValueFolder()) + "/data", {"*.csv"}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) tables.push_back(measurement_test::ValueRows(it.next().toStdString()));
        }
        for (std::size_t t = 0; t < tables.size(); ++t) {
            const std::vector<std::vector<double>>& rows = tables[t];
            const std::string file = "table " + std::to_string(t + 1);
            if (rows.size() < 3) continue;
            const double step = rows[1][0] - rows[0][0];
            for (std::size_t r = 1; r < rows.size(); ++r) {
                const double gap = rows[r][0] - rows[r - 1][0];
                const bool fine = step >= 0.002 ? std::fabs(gap - step) < 0.4 * step + 0.0006 : gap >= 0;
                if (!fine || rows[r].size() != rows[0].size()) {
                    Fault(kFiles, file + ": set " + std::to_string(r + 1) + " of " + std::to_string(rows.size()) + " at " +
                                      std::to_string(rows[r][0]) + " s follows one at " + std::to_string(rows[r - 1][0]) + " s");
                    break;
                }
            }
        }
        for (const auto& [file, sent] : stopped) {
            const long long rows = static_cast<long long>(MeasurementRows(file).size());
            if (rows + ToldLost(file) != sent)
                Fault(kFiles, file + " and its recovery files hold " + std::to_string(rows) + " sets, the sensors sent " +
                                  std::to_string(sent));
        }
    }

    // Sets that could be written neither to a value file nor to the recovery folder (the disk
    // full for both) are told lost, their count the first number of the message's first line (some
    // languages put words before it; the file's path, with digits of its own, follows). Sets told
    // saved in the recovery folder instead are in its files, and not lost.
    long long ToldLost(const std::string& file) const
    {
        // The message ends alike in whatever language it was told (read from the table, the
        // program's language left as it is).
        std::vector<std::string> lostEnds;
        for (int l = 0; l < km3_res::kLanguageCount; ++l) {
            const CString* stored =
                km3_res::Find(documentation::kTextSetsNotRecovered + static_cast<UINT>(l * km3_res::kLanguageStep));
            if (stored == nullptr) continue;
            const std::string lostText = stored->GetString();
            lostEnds.push_back(lostText.substr(lostText.rfind(')') + 1));
        }
        long long lost = 0;
        for (const auto& box : boxes.Boxes()) {
            const std::string text = box.text.GetString();
            const bool toldLost = std::any_of(lostEnds.begin(), lostEnds.end(), [&text](const std::string& end) {
                return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
            });
            if (toldLost && text.find(file) != std::string::npos && text.find(ValueFolder() + "/data") != std::string::npos) {
                const std::size_t digit = text.find_first_of("0123456789");
                if (digit < text.find('\n')) lost += std::atoll(text.c_str() + digit);
            }
        }
        return lost;
    }

    std::string Report() const
    {
        std::ostringstream out;
        out << "seed " << seed << " (" << DeviceText() << "); replay with KM3_SEQUENCE_SEED=" << seed << "\n";
        for (const std::string& fault : faults) out << "  FAULT " << fault << "\n";
        out << "steps:\n";
        for (const std::string& step : steps) out << "  " << step << "\n";
        for (std::size_t k = boxesSeen; k < boxes.Count(); ++k) out << "  then told: " << boxes.Boxes()[k].text.GetString() << "\n";
        std::string text = out.str();
        for (char& c : text)
            if (c == '\0') c = '@';  // a NUL would end the message
        return text;
    }
};

TEST_P(Sequence, EveryStepKeepsThePromises)
{
    const int foundFaultIn = StepsThatFoundAFault(seed);
    const int count = EnvInt("KM3_SEQUENCE_STEPS", foundFaultIn > 0 ? foundFaultIn : 40);
    for (int n = 1; n <= count && faults.empty(); ++n) {
        ASSERT_NO_FATAL_FAILURE(Step(n)) << Report();
    }
    if (faults.empty()) {
        // The end: the space freed and the sensors back, the measurement stopped, the writing done.
        fullDisk.reset();
        for (std::size_t i = 0; i < cut.size(); ++i)
            if (cut[i]) PowerBack(static_cast<int>(i));
        if (Running()) OnPanel(IDC_MC_STOP, 0);
        Run(70000);
        CheckInvariants(-1);
        CheckFiles();
    }
    EXPECT_TRUE(faults.empty()) << Report();
}

INSTANTIATE_TEST_SUITE_P(Seeds, Sequence, ::testing::ValuesIn(Seeds()),
                         [](const ::testing::TestParamInfo<unsigned>& info) { return "seed_" + std::to_string(info.param); });

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
