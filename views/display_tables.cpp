#include "views/display_tables.h"

#include "views/view_texts.h"

namespace views {

namespace {

template <class T>
bool InRange(const std::vector<T>& list, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

}  // namespace

void DisplayTable::SetUnitList(const std::vector<UnitEntry>& units)
{
    unitIds.clear();
    unitFactors.clear();
    unitTexts.clear();
    unitCountValues.clear();
    unitPercents.clear();
    for (const UnitEntry& unit : units) {
        unitIds.push_back(static_cast<UINT>(unit.textId));
        unitFactors.push_back(unit.factor);
        unitTexts.push_back(unit.text);
        unitCountValues.push_back(unit.countValue);
        unitPercents.push_back(unit.percent);
    }
}

UINT DisplayTable::SelectedUnitId() const { return InRange(unitIds, selectedUnit) ? unitIds[selectedUnit] : 0; }

CString DisplayTable::UnitText(int k) const
{
    const bool byId = InRange(unitIds, k) && static_cast<int>(unitIds[k]) > kOwnUnitId;
    if (byId) return ViewText(unitIds[k]);
    return InRange(unitTexts, k) ? unitTexts[k] : CString("n.a.");
}

CString DisplayTable::SelectedUnitText() const { return UnitText(selectedUnit); }

double DisplayTable::SelectedUnitFactor() const
{
    return InRange(unitFactors, selectedUnit) ? unitFactors[selectedUnit] : 0.0;
}

int DisplayTable::SelectedCountValue() const
{
    return InRange(unitCountValues, selectedUnit) ? unitCountValues[selectedUnit] : kDefaultCountValue;
}

double DisplayTable::SelectedPercent() const
{
    return InRange(unitPercents, selectedUnit) ? unitPercents[selectedUnit] : 1.0;
}

void DisplayTable::Clear()
{
    const BYTE flags = flagByte;
    *this = DisplayTable{};
    // The power display bits belong to the set-up, not to the sensor that left.
    flagByte = flags;
}

DisplayTable* DisplayTables::Entry(int channel)
{
    return channel >= 0 && channel < kChannelCount ? &m_tables[static_cast<std::size_t>(channel)] : nullptr;
}

const DisplayTable* DisplayTables::Entry(int channel) const
{
    return channel >= 0 && channel < kChannelCount ? &m_tables[static_cast<std::size_t>(channel)] : nullptr;
}

workflow::DisplaySlotRecord* DisplayTables::Slot(int slot)
{
    return slot >= 0 && slot < kSlotCount ? &m_slots[static_cast<std::size_t>(slot)] : nullptr;
}

const workflow::DisplaySlotRecord* DisplayTables::Slot(int slot) const
{
    return slot >= 0 && slot < kSlotCount ? &m_slots[static_cast<std::size_t>(slot)] : nullptr;
}

void GetPowerUnit(int index, int& textId, double& factor)
{
    static constexpr UINT kIds[] = {kTextPowerMW, kTextPowerKW, kTextPowerW, kTextPowerHp};
    static constexpr double kFactors[] = {0.000001, 0.001, 1.0, 0.001341022};
    if (index < 0 || index > 3) {
        textId = kUnitListEnd;
        factor = 0.0;
        return;
    }
    textId = static_cast<int>(kIds[index]);
    factor = kFactors[index];
}

std::vector<UnitEntry> PowerUnitList()
{
    std::vector<UnitEntry> units;
    for (int i = 0;; ++i) {
        UnitEntry unit;
        GetPowerUnit(i, unit.textId, unit.factor);
        if (unit.textId < 0) {
            unit.text = "n.a.";
            units.push_back(unit);
            return units;
        }
        unit.text = ViewText(static_cast<UINT>(unit.textId));
        units.push_back(unit);
    }
}

}  // namespace views
