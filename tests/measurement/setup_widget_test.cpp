// The set-up page's widget maps the user's clicks, selections and edits onto the page logic,
// and the program's own refills notify nothing. With KM3_SHOT_DIR set, the page is also saved
// as a picture in each of the four languages.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QTest>

#include <gtest/gtest.h>

#include "measurement/measure_setup_widget.h"
#include "res/string_table.h"
#include "workflow/connection_state.h"
#include "tests/measurement/setup_bench.h"

using namespace measurement;
using namespace measurement_test;

namespace {

struct WidgetBench : SetupBench {
    WidgetBench()
    {
        widget = std::make_unique<MeasureSetupWidget>(measureFrame);
        workflow::WorkflowPeers peers = com.Peers();
        peers.measureSetup = &widget->Logic();
        com.SetPeers(peers);
        connected = ConnectSensor(TwoChannelSensor());
        loop.RunFor(100);
        widget->Logic().SetTimer(kTimerRefresh, 20);
        loop.RunFor(30);
        widget->show();
        loop.RunFor(300);
        ports.writes.clear();
    }
    template <class T>
    T* Control(int id) { return widget->Item<T>(id); }
    std::unique_ptr<MeasureSetupWidget> widget;
    bool connected = false;
};

// Chooses the entry with that datum as the user does (the activated signal).
void UserSelects(QComboBox* combo, long long datum)
{
    ASSERT_NE(combo, nullptr);
    const int index = combo->findData(QVariant::fromValue<qulonglong>(static_cast<qulonglong>(datum)));
    ASSERT_GE(index, 0);
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

}  // namespace

TEST(SetupWidget, ARefillByTheProgramNotifiesNothing)
{
    WidgetBench b;
    ASSERT_TRUE(b.connected);
    b.widget->LoadLanguageTexts();
    b.widget->Logic().SetTimer(kTimerRefresh, 20);
    b.loop.RunFor(300);
    EXPECT_TRUE(b.ports.writes.empty());
    auto* decimals = b.Control<QComboBox>(kDecimalsCombo[0]);
    ASSERT_NE(decimals, nullptr);
    EXPECT_EQ(decimals->count(), 5);
    EXPECT_TRUE(b.Control<QWidget>(kChannelButton[0])->isVisibleTo(b.widget.get()));
    EXPECT_FALSE(b.Control<QWidget>(kChannelButton[2])->isVisibleTo(b.widget.get()));
}

TEST(SetupWidget, SelectionsClicksAndEditsReachTheLogic)
{
    WidgetBench b;
    ASSERT_TRUE(b.connected);
    UserSelects(b.Control<QComboBox>(kDecimalsCombo[0]), 4);
    EXPECT_EQ(b.measureFrame.tables[0].field[static_cast<int>(DisplayField::Decimals)], 4);
    b.loop.RunFor(300);
    EXPECT_EQ(b.SwConfigByte(26) >> 5, 4);

    auto* channelB = b.Control<QCheckBox>(kChannelButton[1]);
    ASSERT_NE(channelB, nullptr);
    ASSERT_TRUE(channelB->isChecked());
    channelB->click();
    EXPECT_FALSE(b.widget->Logic().Setup().channel[1].active);

    UserSelects(b.Control<QComboBox>(IDC_STOP_SOURCE), kStopByDuration);
    auto* duration = b.Control<QLineEdit>(IDC_DURATION_EDIT);
    ASSERT_NE(duration, nullptr);
    EXPECT_TRUE(duration->isVisibleTo(b.widget.get()));
    duration->clear();
    QTest::keyClicks(duration, "2,5");
    EXPECT_DOUBLE_EQ(b.widget->Logic().Setup().duration, 2.5);
    EXPECT_EQ(b.measureFrame.durationSeconds, 3);
}

// "+" adds the power details below the channel rows, whose drop-downs stay; the wheel over a
// drop-down scrolls the page unless the drop-down has the focus.
TEST(SetupWidget, PlusExpandsThePageAndTheWheelScrollsItPastTheDropDowns)
{
    WidgetBench b;
    ASSERT_TRUE(b.connected);
    auto* plus = b.Control<QPushButton>(IDC_EXPAND);
    auto* decimals = b.Control<QComboBox>(kDecimalsCombo[0]);
    EXPECT_FALSE(plus->isEnabled());  // no power channel shown: no details
    SetDisplayFlag(0, 0);
    b.widget->Logic().RefreshChannelRows();
    b.widget->Sync();
    ASSERT_TRUE(plus->isEnabled());
    plus->click();
    EXPECT_TRUE(decimals->isVisible());
    EXPECT_TRUE(b.Control<QWidget>(kTorqueSelector[0])->isVisible());
    EXPECT_EQ(plus->text(), "-");
    plus->click();
    EXPECT_FALSE(b.Control<QWidget>(kTorqueSelector[0])->isVisible());
    SetDisplayFlag(0, 1);

    b.widget->resize(700, 250);
    QApplication::processEvents();
    auto* area = b.widget->findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    QScrollBar* bar = area->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(0);
    const int chosen = decimals->currentIndex();
    const QPoint at = decimals->rect().center();
    auto turn = [&] {
        QWheelEvent wheel(at, decimals->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(decimals, &wheel);
    };
    turn();
    EXPECT_EQ(decimals->currentIndex(), chosen);
    EXPECT_GT(bar->value(), 0);
    decimals->setFocus();
    ASSERT_TRUE(decimals->hasFocus());
    const int scrolled = bar->value();
    turn();
    EXPECT_NE(decimals->currentIndex(), chosen);
    EXPECT_EQ(bar->value(), scrolled);

    // On a tall page the groups stay together at the top; the room is left below them.
    b.widget->resize(700, 1600);
    QApplication::processEvents();
    const QWidget* axes = b.widget->findChild<QWidget*>("g1600");
    const QWidget* triggers = b.widget->findChild<QWidget*>("g1127");
    ASSERT_TRUE(axes && triggers);
    EXPECT_LT(triggers->y() - axes->geometry().bottom(), 30);
}

TEST(SetupWidget, ThePageInFourLanguages)
{
    const QByteArray dir = qgetenv("KM3_SHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "KM3_SHOT_DIR names the folder for the pictures";
    WidgetBench b;
    ASSERT_TRUE(b.connected);
    b.widget->resize(1400, 440);
    for (int language : {0, 1000, 2000, 3000}) {
        SetLanguage(language);
        b.widget->LoadLanguageTexts();
        b.widget->Logic().SetTimer(kTimerRefresh, 20);
        b.loop.RunFor(30);
        QApplication::processEvents();
        const QString file = QDir(QString::fromLocal8Bit(dir)).filePath(QString("measure_setup_%1.png").arg(language));
        EXPECT_TRUE(b.widget->grab().save(file));
    }
    // The trigger rows of a start by system time and a stop by duration, and the expanded page.
    UserSelects(b.Control<QComboBox>(IDC_START_SOURCE), kStartBySystemTime);
    UserSelects(b.Control<QComboBox>(IDC_STOP_SOURCE), kStopByDuration);
    b.Control<QPushButton>(IDC_EXPAND)->click();
    EXPECT_TRUE(b.widget->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath("measure_setup_triggers.png")));
    SetLanguage(0);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
