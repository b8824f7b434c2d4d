#include "views/unit_lists.h"

#include <numbers>

#include "res/string_table.h"
#include "views/view_texts.h"

namespace views {

namespace {

struct UnitRow {
    UINT textId;
    double factor;
};

std::vector<UnitEntry> Build(std::initializer_list<UnitRow> rows)
{
    std::vector<UnitEntry> units;
    for (const UnitRow& row : rows) {
        UnitEntry unit;
        unit.textId = static_cast<int>(row.textId);
        unit.factor = row.factor;
        // The trigger hysteresis is one per cent of the range: the range is in the sensor's own
        // unit, so the share carries the unit's factor and the hysteresis comes out in the unit.
        unit.percent = row.factor;
        unit.text = ViewText(row.textId);
        units.push_back(unit);
    }
    UnitEntry end;
    end.text = "n.a.";
    end.factor = 0.0;
    units.push_back(end);
    return units;
}

}  // namespace

std::vector<UnitEntry> UnitListOf(BYTE typeClass, bool angle)
{
    constexpr double kPi = std::numbers::pi;
    switch (typeClass) {
    case 'D':  // from cN·m
        return Build({{kTextUnitNm, 0.01},
                      {kTextUnitKNm, 0.00001},
                      {kTextUnitMNm, 10.0},
                      {kTextUnitCNm, 1.0},
                      {kTextUnitLbfFt, 0.01 * 0.737562149},
                      {kTextUnitLbfIn, 0.01 * 8.850745792},
                      {kTextUnitOzfIn, 0.01 * 141.6119327},
                      {kTextUnitKgfM, 0.01 * 0.101971621},
                      {kTextUnitAdu, 1.0}});
    case 'K':  // from N
        return Build({{kTextUnitN, 1.0},
                      {kTextUnitKN, 0.001},
                      {kTextUnitMilliN, 1000.0},
                      {kTextUnitLbf, 0.224808943},
                      {kTextUnitKgf, 0.101971621},
                      {kTextUnitAdu, 1.0}});
    case 'W':  // from g
        return Build({{kTextUnitG, 1.0},
                      {kTextUnitKg, 0.001},
                      {kTextUnitT, 0.000001},
                      {kTextUnitMg, 1000.0},
                      {kTextUnitLb, 0.00220462262},
                      {kTextUnitAdu, 1.0}});
    case 'd':
        return Build({{kTextUnitMVV, 1.0}, {kTextUnitAdu, 1.0}});
    case 'A':
        return Build({{kTextUnitV, 1.0}, {kTextUnitMilliV, 1000.0}, {kTextUnitAdu, 1.0}});
    case 'S':
        return Build({{kTextUnitMilliA, 1.0}, {kTextUnitA, 0.001}, {kTextUnitAdu, 1.0}});
    case 'T':
        return Build({{kTextUnitCelsius, 1.0}, {kTextUnitAdu, 1.0}});
    case 'Y':
        if (angle) return Build({{kTextUnitDegree, 1.0}, {kTextUnitRad, kPi / 180.0}, {kTextUnitAdu, 1.0}});
        return Build({{kTextUnitRpm, 1.0},
                      {kTextUnitPerSecond, 1.0 / 60.0},
                      {kTextUnitRadPerSecond, 2.0 * kPi / 60.0},
                      {kTextUnitAdu, 1.0}});
    default:
        return Build({{kTextUnitAdu, 1.0}});
    }
}

CString UnitNameInLanguage(BYTE typeClass, const CString& germanName, int language)
{
    for (bool angle : {false, true})
        for (const UnitEntry& unit : UnitListOf(typeClass, angle)) {
            if (unit.textId <= kOwnUnitId) continue;
            const CString* german = km3_res::Find(static_cast<UINT>(unit.textId));
            const CString* shown = km3_res::Find(static_cast<UINT>(unit.textId + language));
            if (german && shown && *german == germanName) return *shown;
        }
    return germanName;
}

}  // namespace views
