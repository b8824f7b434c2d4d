// The indicator lamp draws each state visibly different and refuses what it cannot show without
// changing the picture.
#include <gtest/gtest.h>

#include <set>

#include "controls/led_button.h"
#include "res/icons/indicator_icons.h"

namespace {

QImage Render(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);  // no window background
    return image;
}

TEST(LedButtonPicture, EveryStateLooksDifferentAndRefusalsLeaveThePictureAlone)
{
    // The state indicator of the control panel: five states.
    CLedButton led;
    led.resize(24, 24);
    ASSERT_TRUE(led.SetStateCount(5, FALSE));
    const UINT iconIds[] = {176, 178, 177, 179, 313};
    for (int state = 0; state < 5; ++state) ASSERT_TRUE(led.SetStateIcon(state, iconIds[state], 20, 20));

    std::vector<QImage> shots;
    for (int state = 0; state < 5; ++state) {
        ASSERT_TRUE(led.SetLedState(state, TRUE));
        shots.push_back(Render(led));
    }
    std::set<QRgb> centres;
    for (const QImage& shot : shots) centres.insert(shot.pixel(10, 12));
    EXPECT_EQ(centres.size(), 5u) << "each state shows its own colour";
    for (std::size_t a = 0; a < shots.size(); ++a)
        for (std::size_t b = a + 1; b < shots.size(); ++b) EXPECT_NE(shots[a], shots[b]);

    // The lamp is drawn at the size asked: nothing outside 20 x 20 around the centre.
    EXPECT_EQ(shots[0].pixelColor(0, 0), QColor(Qt::white));

    ASSERT_TRUE(led.SetLedState(3));
    const QImage before = Render(led);
    EXPECT_FALSE(led.SetStateIcon(1, 9999, 20, 20)) << "an icon id without a drawing";
    EXPECT_FALSE(led.SetStateIcon(5, 176, 20, 20)) << "a state beyond the count";
    EXPECT_FALSE(led.SetLedState(5));
    EXPECT_FALSE(led.SetLedState(-1));
    EXPECT_EQ(Render(led), before);
    ASSERT_TRUE(led.SetLedState(1));
    EXPECT_EQ(Render(led), shots[1]) << "state 1 keeps its icon";

    // Fewer states: a shown state beyond the new count falls back to state 0.
    ASSERT_TRUE(led.SetLedState(3));
    ASSERT_TRUE(led.SetStateCount(2));
    EXPECT_EQ(Render(led), shots[0]);
    EXPECT_FALSE(led.SetStateCount(0));
}

TEST(LedButtonPicture, IconsAreDrawnCrispAtEverySize)
{
    for (UINT id : {176u, 177u, 178u, 179u, 214u, 313u}) {
        for (int side : {12, 16, 32, 64}) {
            const QImage icon = icons::DrawIndicatorIcon(id, side, side);
            ASSERT_EQ(icon.size(), QSize(side, side));
            EXPECT_GT(qAlpha(icon.pixel(side / 2, side / 2)), 200) << id << " " << side;
            EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << "transparent corner " << id;
        }
    }
    EXPECT_TRUE(icons::DrawIndicatorIcon(180, 16, 16).isNull());
    EXPECT_TRUE(icons::DrawIndicatorIcon(176, 0, 16).isNull());
}

}  // namespace
