#pragma once
// The display tables the main frame holds: one per channel (A, B, C, D, P1, P2) with how the
// channel is shown (decimals, unit, averaging, sign, on/off/absent, power mark, the unit list
// with factors, count values and percentages), and one record per sensor slot with the channel
// position and the range end and unit text per position.
//
// A table is a workflow::DisplayChannelEntry and a slot a workflow::DisplaySlotRecord, so the
// frame hands them to the controller as they are. The parallel unit vectors are kept in step by
// SetUnitList; every other reader tolerates vectors of different lengths.

#include <array>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"
#include "workflow/workflow_peers.h"

namespace views {

constexpr int kChannelCount = 6;  // A, B, C, D, P1, P2
constexpr int kSlotCount = 4;
constexpr int kChannelP1 = 4;
constexpr int kChannelP2 = 5;

constexpr int kChannelOn = 1;
constexpr int kChannelOff = 2;
constexpr int kChannelAbsent = 3;

// The id that ends a unit list: the entry after the last unit.
constexpr int kUnitListEnd = -6;
// The id of the sensor's own unit, whose text is the sensor's and no text of the string table.
constexpr int kOwnUnitId = 0;
constexpr int kDefaultCountValue = 25000;

// One selectable unit of a channel.
struct UnitEntry {
    int textId = kUnitListEnd;
    CString text;
    double factor = 1.0;             // from the sensor's own unit (watts for power)
    int countValue = kDefaultCountValue;
    // The trigger hysteresis' share of the range (in the sensor's own unit) in per cent,
    // converted into this unit.
    double percent = 1.0;
};

struct DisplayTable : workflow::DisplayChannelEntry {
    int decimals = 2;
    // The unit index is DisplayChannelEntry::selectedUnit.
    int averaging = 0;
    int sign = 0;                    // 1: shown negated
    int state = kChannelAbsent;
    char powerMark = 0;              // 'P' for a shown power channel
    // The unit list's entry of the sensor's own unit: the unit text and factor of the user
    // scaling the sensor keeps for the channel, after the units of its measurand; its factor is
    // 0 while the sensor keeps none. -1: the list has no such entry (power channels).
    int ownUnit = -1;
    // The unit the channel is shown in; the software configuration writes it in place of the
    // chosen one while a new user scaling is on its way to the sensor.
    int shownUnit = 0;
    // Parallel to unitIds and unitFactors. Only the sensor's own unit and the end entry are
    // named by these texts; every other unit is named by its id, in the language shown now
    // (UnitText).
    std::vector<CString> unitTexts;
    std::vector<int> unitCountValues;
    std::vector<double> unitPercents;
    // What the sensor carrying this channel says about it.
    BYTE typeClass = 0;              // the measurand letter, 0 when unknown
    DWORD nominalCode = 0;           // range end as a 16-bit decimal code
    double nominalValue = 0.0;       // range end in the sensor's own unit
    bool encoder = false;            // an encoder counts on the channel: its range end is its kind's
    CString nominalText = "n.a.";    // range end with unit, as shown
    CString designation;

    void SetUnitList(const std::vector<UnitEntry>& units);
    int UnitCount() const { return static_cast<int>(unitIds.size()); }
    // The name of unit k: the string table's text of its id in the current language, the
    // stored text for the sensor's own unit and the end entry; "n.a." out of range.
    CString UnitText(int k) const;
    // The selected unit's id, text and factor; 0, "n.a." and 0.0 when the index is out of range.
    UINT SelectedUnitId() const;
    CString SelectedUnitText() const;
    double SelectedUnitFactor() const;
    int SelectedCountValue() const;
    double SelectedPercent() const;
    // Back to "nothing known": absent, no units.
    void Clear();
};

class DisplayTables {
public:
    DisplayTable* Entry(int channel);
    const DisplayTable* Entry(int channel) const;
    workflow::DisplaySlotRecord* Slot(int slot);
    const workflow::DisplaySlotRecord* Slot(int slot) const;

private:
    std::array<DisplayTable, kChannelCount> m_tables{};
    std::array<workflow::DisplaySlotRecord, kSlotCount> m_slots{};
};

// Power units from watts: 0 "MW", 1 "kW", 2 "W", 3 "hp"; any other index gives kUnitListEnd
// and the factor 0.0.
void GetPowerUnit(int index, int& textId, double& factor);
// The four power units followed by the list's end entry ("n.a.").
std::vector<UnitEntry> PowerUnitList();

}  // namespace views
