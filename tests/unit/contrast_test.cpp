#include "binding/Contrast.h"

#include <gtest/gtest.h>

// Text colours measured as WCAG measures them, and a warning colour kept readable on light and
// dark schemes alike.
namespace {

TEST(Contrast, RatiosAsWcagGivesThem)
{
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(Qt::white, Qt::white), 1.0, 0.01);
    EXPECT_NEAR(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);  // the grey just too light
    EXPECT_NEAR(ContrastRatio(Qt::black, QColor(53, 53, 53)), ContrastRatio(QColor(53, 53, 53), Qt::black), 1e-9);
}

TEST(Contrast, AColourIsMadeReadableKeepingItsHue)
{
    const QColor backgrounds[] = {QColor(239, 239, 239), QColor(53, 53, 53), Qt::white, Qt::black};
    for (const QColor& background : backgrounds) {
        const QColor red = ReadableOn(Qt::red, background);
        EXPECT_GE(ContrastRatio(red, background), kLeastTextContrast) << background.name().toStdString();
        EXPECT_EQ(red.hslHue(), 0) << red.name().toStdString();
    }
    EXPECT_EQ(ReadableOn(Qt::black, Qt::white), QColor(Qt::black));  // readable already: unchanged
}

} // namespace
