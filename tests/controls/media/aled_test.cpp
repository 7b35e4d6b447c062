#include "controls/media/aled.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

TColor CentreColour(TALed& led)
{
    const QImage shot = led.grab().toImage();
    const QRgb c = shot.pixel(shot.width() / 2, shot.height() / 2);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

TEST(ALed, StylesGiveTheirSizesAndColouredFaces)
{
    struct Case {
        TLEDStyle style;
        int width, height;
    };
    const Case cases[] = {{TLEDStyle::LEDSmall, 16, 16},    {TLEDStyle::LEDLarge, 22, 22},
                          {TLEDStyle::LEDSqSmall, 16, 16},  {TLEDStyle::LEDSqLarge, 22, 22},
                          {TLEDStyle::LEDVertical, 14, 22}, {TLEDStyle::LEDHorizontal, 22, 14}};
    TALed led;
    EXPECT_EQ(led.LEDStyle(), TLEDStyle::LEDSmall);
    EXPECT_EQ(led.TrueColor(), clLime);
    EXPECT_EQ(led.FalseColor(), clSilver);
    for (const Case& c : cases) {
        led.SetLEDStyle(c.style);
        EXPECT_EQ(led.width(), c.width);
        EXPECT_EQ(led.height(), c.height);
        led.SetValue(false);
        EXPECT_EQ(CentreColour(led), clSilver);
        // The whole face is filled: a point between centre and rim too.
        const QImage off = led.grab().toImage();
        const QRgb inner = off.pixel(c.width / 2 + 2, c.height / 2 + 2);
        EXPECT_EQ(RGB(qRed(inner), qGreen(inner), qBlue(inner)), clSilver);
        // Around the lamp the control is see-through (no green left anywhere).
        for (int y = 0; y < off.height(); ++y)
            for (int x = 0; x < off.width(); ++x)
                ASSERT_NE(off.pixel(x, y) & 0xFFFFFF, 0x00FF00u);
    }
}

TEST(ALed, ValueBlinksAndTheFirstTickShowsOff)
{
    TALed led;
    led.SetTrueColor(clRed);
    led.SetInterval(20);
    QSignalSpy ticks(&led, &TALed::OnTimer);
    EXPECT_EQ(CentreColour(led), clSilver);
    led.SetValue(true);
    EXPECT_TRUE(led.Blinking());
    EXPECT_EQ(CentreColour(led), clRed);
    ASSERT_TRUE(ticks.wait(1000));
    EXPECT_EQ(led.ShownIndex(), 1);
    EXPECT_EQ(CentreColour(led), clSilver);
    ASSERT_TRUE(ticks.wait(1000));
    EXPECT_EQ(CentreColour(led), clRed);

    led.SetValue(false);
    EXPECT_FALSE(led.Blinking());
    EXPECT_EQ(CentreColour(led), clSilver);
}

TEST(ALed, ColourChangeWhileBlinkingRebuildsAndResumes)
{
    TALed led;
    led.SetInterval(20);
    led.SetValue(true);
    led.SetTrueColor(clBlue);
    EXPECT_TRUE(led.Blinking());
    EXPECT_EQ(led.ShownIndex(), 0);
    EXPECT_EQ(CentreColour(led), clBlue);
    led.SetFalseColor(clMaroon);
    QSignalSpy ticks(&led, &TALed::OnTimer);
    ASSERT_TRUE(ticks.wait(1000));
    EXPECT_EQ(CentreColour(led), clMaroon);
}

TEST(ALed, BlinkOffWhileOnStaysSteadilyOn)
{
    TALed led;
    led.SetInterval(10);
    led.SetValue(true);
    QSignalSpy ticks(&led, &TALed::OnTimer);
    ASSERT_TRUE(ticks.wait(1000));
    led.SetBlink(false);
    EXPECT_FALSE(led.Blinking());
    EXPECT_EQ(CentreColour(led), clLime);
    ticks.clear();
    QTest::qWait(60);
    EXPECT_EQ(ticks.count(), 0);
    EXPECT_EQ(CentreColour(led), clLime);
    // steady from the start when Blink is off
    TALed steady;
    steady.SetBlink(false);
    steady.SetValue(true);
    EXPECT_FALSE(steady.Blinking());
    EXPECT_EQ(CentreColour(steady), clLime);
}

} // namespace
} // namespace lumeno
