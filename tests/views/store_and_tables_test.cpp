// The curve store never moves an array the chart holds; the display tables filled from a
// sensor's record and cleared when it leaves; the power units.

#include <gtest/gtest.h>

#include "res/string_table.h"
#include "tests/views/views_test_support.h"
#include "views/curve_recorder.h"
#include "views/data_manager.h"
#include "views/display_update.h"

using namespace views_test;

TEST(CurveStore, GrowthNeverFreesOrChangesAnArrayTheChartHolds)
{
    CDataManager store;
    ASSERT_TRUE(store.Reset(2, 4));
    EXPECT_FALSE(store.Reset(11, 4));
    for (int i = 0; i < 4; ++i) store.AddPoint(0, i, 10.0 * i);
    const ChartPoint* held = nullptr;
    int heldCount = 0;
    auto chart = [&](int curve, const ChartPoint* points, int count) {
        if (curve == 0) {
            held = points;
            heldCount = count;
        }
        return true;
    };
    store.Lend(chart);
    ASSERT_EQ(4, heldCount);
    // Past the reserve: a new array takes the points, the held one stays as it was.
    for (int i = 4; i < 100; ++i) store.AddPoint(0, i, 10.0 * i);
    EXPECT_EQ(100, store.GetPointCount(0));
    EXPECT_GE(store.GetCapacity(0), 100);
    EXPECT_EQ(1, store.RetiredArrayCount());
    for (int i = 0; i < heldCount; ++i) EXPECT_DOUBLE_EQ(10.0 * i, held[i].y) << i;
    const ChartPoint* before = held;
    store.Lend(chart);
    EXPECT_NE(before, held);
    EXPECT_EQ(100, heldCount);
    EXPECT_EQ(0, store.RetiredArrayCount());
    EXPECT_DOUBLE_EQ(990.0, held[99].y);
    // A reset while the chart holds arrays keeps them until the chart lets go.
    store.Reset(1, 8);
    EXPECT_EQ(1, store.RetiredArrayCount());
    EXPECT_DOUBLE_EQ(990.0, held[99].y);
    store.ForgetLent();
    EXPECT_EQ(0, store.RetiredArrayCount());
    EXPECT_EQ(0, store.GetPointCount(0));
}

TEST(CurveStore, ALongCurveFilledAheadIntoLargerArraysKeepsEveryPointInOrder)
{
    // Many doublings, the chart taking the array at odd moments: each array it took keeps its
    // points, and the store ends with every point in order.
    CDataManager store;
    ASSERT_TRUE(store.Reset(2, 3));
    std::vector<std::pair<const ChartPoint*, int>> taken;
    auto chart = [&](int curve, const ChartPoint* points, int count) {
        if (curve == 1) taken.emplace_back(points, count);
        return true;
    };
    const int total = 200'000;
    for (int i = 0; i < total; ++i) {
        const double y[2] = {-1.0 * i, 0.5 * i};
        for (int curve = 0; curve < 2; ++curve) store.AddPoint(curve, i, y[curve]);
        if (i % 7919 == 0 || i == 5) {
            store.Lend(chart);
            const auto& [points, count] = taken.back();
            for (int k = 0; k < count; k += 97) ASSERT_DOUBLE_EQ(0.5 * k, points[k].y) << k;
        }
    }
    ASSERT_EQ(total, store.GetPointCount(1));
    EXPECT_LE(store.GetCapacity(1), 2 * total);
    for (int curve = 0; curve < 2; ++curve)
        for (int i = 0; i < total; ++i) {
            const ChartPoint p = store.GetPoint(curve, i);
            ASSERT_TRUE(p.x == i && p.y == (curve == 0 ? -1.0 : 0.5) * i) << curve << " " << i;
        }
    // The array the chart holds now is still whole after the store has grown beyond it.
    const auto [held, heldCount] = taken.back();
    for (int i = total; i < 2 * total; ++i) store.AddPoint(1, i, 0.5 * i);
    for (int k = 0; k < heldCount; ++k) ASSERT_DOUBLE_EQ(0.5 * k, held[k].y) << k;
    EXPECT_GE(store.ArrayBytes(), 3LL * total * static_cast<long long>(sizeof(ChartPoint)));
}

TEST(CurveStore, TheRecorderKeepsEveryValidValueAndHonoursTheRunState)
{
    CDataManager store;
    views::CurveRecorder recorder(store);
    views::DiagramSetup setup;
    setup.channelShown = {true, false, true, false, false, true};
    setup.samplePeriod = 0.5;
    ASSERT_TRUE(recorder.Setup(setup, 2));
    EXPECT_EQ(3, recorder.CurveCount());
    EXPECT_EQ(1, recorder.CurveOfChannel(2));
    EXPECT_EQ(5, recorder.ChannelOfCurve(2));
    views::ValueSet set;
    set.valid = {true, true, true, true, true, false};
    set.value = {1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(recorder.Add(set));  // idle
    recorder.SetRunState(views::CurveRecorder::kRunLimited, 3);
    for (int i = 0; i < 5; ++i) recorder.Add(set);
    EXPECT_EQ(3, store.GetPointCount(0));
    EXPECT_EQ(0, store.GetPointCount(2));  // P2 had no value
    EXPECT_DOUBLE_EQ(1.0, store.GetPoint(1, 2).x);
    EXPECT_DOUBLE_EQ(3.0, store.GetPoint(1, 2).y);
}

TEST(DisplayTables, ASensorsRecordFillsItsChannelsAndItsLeavingClearsThem)
{
    CComPort com;
    views::DisplayTables tables;
    com.m_nCountActivePorts = 1;
    CSensorRecord record;
    record.m_sIdent[kIdentHmbUsb] = 0;  // channels A and B
    record.m_sRotorHeader.cTypeClass = 'D';
    record.m_sRotorHeader.nFullScaleCodeA = 0x2500;
    record.m_sRotorHeader.dFullScaleA = 500.0;
    record.m_sSwConfig.cCode5A = 3;   // cN·m
    record.m_sSwConfig.cCode3A = 1;
    record.m_sSwConfig.cCode4A = 2;
    record.m_sSwConfig.cFlagA = 1;
    record.m_sSwConfig.cCode2A = 1;
    record.m_sSwConfig.cCode2B = 2;
    record.m_sSwConfig.cCode5B = 31;  // beyond the list: the first unit
    record.m_sEncoder.cPresent = 1;
    views::UpdateDisplayValues(tables, com, 0, 1, &record, 1000);
    const views::DisplayTable& a = *tables.Entry(0);
    EXPECT_EQ(views::kChannelOn, a.state);
    EXPECT_EQ(3, a.selectedUnit);
    EXPECT_EQ(CString("cN·m"), a.SelectedUnitText());
    EXPECT_EQ(1, a.decimals);
    EXPECT_EQ(2, a.averaging);
    EXPECT_EQ(1, a.sign);
    EXPECT_EQ(CString("5.00 N·m"), a.nominalText);
    EXPECT_EQ(views::kUnitListEnd, static_cast<int>(a.unitIds.back()));
    const views::DisplayTable& b = *tables.Entry(1);
    EXPECT_EQ(views::kChannelOff, b.state);
    EXPECT_EQ('Y', b.typeClass);
    EXPECT_EQ(0, b.selectedUnit);
    EXPECT_EQ(CString("1/min"), b.SelectedUnitText());
    // The tables are what the controller works with.
    workflow::DisplayChannelEntry* entry = tables.Entry(0);
    EXPECT_EQ(a.unitFactors.size(), entry->unitIds.size());
    views::UpdateDisplayValues(tables, com, 0, 0, nullptr, 1000);
    EXPECT_EQ(views::kChannelAbsent, tables.Entry(0)->state);
    EXPECT_EQ(0, tables.Entry(1)->UnitCount());
    EXPECT_EQ(nullptr, tables.Entry(6));
    EXPECT_EQ(nullptr, tables.Slot(4));
}

TEST(DisplayTables, PowerUnitsEndWithTheNotAvailableEntry)
{
    int id = 0;
    double factor = 0.0;
    const std::pair<int, double> expected[] = {{5105, 1e-6}, {5106, 0.001}, {5107, 1.0}, {5108, 0.001341022}};
    for (int i = 0; i < 4; ++i) {
        views::GetPowerUnit(i, id, factor);
        EXPECT_EQ(expected[i].first, id);
        EXPECT_DOUBLE_EQ(expected[i].second, factor);
    }
    views::GetPowerUnit(4, id, factor);
    EXPECT_LT(id, 0);
    views::GetPowerUnit(-1, id, factor);
    EXPECT_LT(id, 0);
    // The fourth unit's factor is the mechanical horsepower's (745.7 W), and so is its name in
    // every language; the metric one (735.5 W) would read 1.4 % higher.
    for (int language = 0; language < 4000; language += 1000) {
        SetLanguage(language);
        EXPECT_EQ(std::string("hp"), LoadLangString(5108).GetString()) << language;
    }
    SetLanguage(0);
    const std::vector<views::UnitEntry> units = views::PowerUnitList();
    ASSERT_EQ(5u, units.size());
    EXPECT_EQ(-6, units[4].textId);
    EXPECT_EQ(CString("n.a."), units[4].text);
}
