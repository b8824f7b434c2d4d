// The control panel and the channel scaling page on the screen (offscreen): their texts in the
// four languages, and the user's clicks, selections and edits reaching the logic. With
// KM3_RENDER_DIR set, both are also written there as PNG files to be looked at.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <cstdlib>

#include "controls/kombi_box.h"
#include "measurement/channel_scaling_numbers.h"
#include "measurement/channel_scaling_widget.h"
#include "measurement/measure_control_widget.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "tests/measurement/control_bench.h"

using namespace measurement;

namespace {

const char* const kLanguageNames[] = {"de", "en", "fr", "es"};

void Render(QWidget& widget, const char* name, int language)
{
    const char* folder = std::getenv("KM3_RENDER_DIR");
    if (folder == nullptr) return;
    widget.adjustSize();
    QApplication::processEvents();
    widget.grab().save(QString("%1/%2-%3.png").arg(folder, name, kLanguageNames[language]));
}

struct ScalingHost : measurement_test::ScalingHostDefaults {
    ScalingChannelInfo ChannelInfo(int) override
    {
        ScalingChannelInfo info;
        info.measurandText = "Drehmoment";
        info.nominalValueText = "100.000";
        info.unitText = "N\xB7m";
        info.countsToUnit = 0.01;
        info.nominalCounts = 10000.0;
        return info;
    }
    void RequestSingleShot(int channel) override { shots.push_back(channel); }
    BYTE* PanelRunningByte() override { return &running; }
    std::vector<int> shots;
    BYTE running = 0;
};

}  // namespace

TEST(ControlWidget, TextsFollowTheLanguageAndClicksReachThePanel)
{
    control_test::ControlBench b;
    b.cframe.setup.samplePeriod = 0.01;
    b.cframe.valuesPerSet = 2;
    MeasureControlWidget page(b.cframe);
    page.resize(700, 560);
    page.show();
    for (int language = 0; language < 4; ++language) {
        SetLanguage(language * 1000);
        page.LoadLanguageTexts();
        EXPECT_EQ(page.Item<QAbstractButton>(IDC_MC_START)->text(), platform::ToQString(LoadLangString(kTextStart)));
        EXPECT_EQ(page.Item<QAbstractButton>(IDC_MC_AUTO_REPEAT)->text(), platform::ToQString(LoadLangString(kTextAutoRepeat)));
        Render(page, "control-panel", language);
    }
    SetLanguage(0);
    if (std::getenv("KM3_RENDER_DIR") != nullptr) {
        // The developer view with the diagnostics and the around-trigger area, for a look.
        setenv("USERNAME", "t.ost", 1);
        MeasureControlWidget developer(b.cframe);
        developer.show();
        developer.Logic().ShowAroundTriggerPanel(true);
        for (int language : {0, 1}) {
            SetLanguage(language * 1000);
            developer.LoadLanguageTexts();
            Render(developer, "control-panel-developer", language);
        }
        unsetenv("USERNAME");
        SetLanguage(0);
    }

    // The auto-repeat box: the panel reads what the user ticked.
    auto* repeat = page.Item<QAbstractButton>(IDC_MC_AUTO_REPEAT);
    repeat->setEnabled(true);
    repeat->click();
    EXPECT_EQ(page.Logic().IsAutoRepeatChecked(), repeat->isChecked());

    // A duration chosen in the list is the panel's number of value sets.
    page.Logic().BuildDurationOptions();
    page.Sync();
    auto* durations = page.Item<CKombiBox>(IDC_MC_DURATION_COMBO);
    ASSERT_GE(durations->count(), 2);
    durations->setCurrentIndex(1);
    Q_EMIT durations->activated(1);
    EXPECT_EQ(page.Logic().Controls().Selection(IDC_MC_DURATION_COMBO), 1);
    EXPECT_EQ(page.Logic().Controls().Text(IDC_MC_VALUE_SETS), CString::Formatted("%d", static_cast<int>(durations->GetItemData(1))));
}

TEST(ScalingWidget, EditsReadingAndSaveReachTheScalingLogic)
{
    for (int language = 0; language < 4; ++language) {
        SetLanguage(language * 1000);
        ScalingHost host;
        ChannelScalingWidget page(host);
        page.show();
        EXPECT_EQ(host.running, 1);
        Render(page, "channel-scaling", language);
        if (language != 0) continue;

        page.Item<QAbstractButton>(IDC_SCALE_READ)->click();
        EXPECT_EQ(host.shots, std::vector<int>{0});
        page.SetCurrentMeasuredValue(2500, 0);
        EXPECT_EQ(page.Item<QLineEdit>(IDC_SCALE_REFERENCE)->text(), platform::ToQString(FormatScalingReading(25.0, 0)));

        page.Item<QLineEdit>(IDC_SCALE_REFERENCE)->setText("20");
        page.Item<QLineEdit>(IDC_SCALE_TARGET)->setText("5");
        page.Item<QLineEdit>(IDC_SCALE_UNIT)->setText("kg");
        EXPECT_EQ(page.Logic().m_sUserUnit, CString("kg"));
        page.Item<QAbstractButton>(IDC_SCALE_SAVE)->click();
        EXPECT_DOUBLE_EQ(page.Logic().m_dScaleFactor, 0.25);
        // Closing gives the panel's running byte back.
        EXPECT_EQ(host.running, 0);
    }
    SetLanguage(0);
}
