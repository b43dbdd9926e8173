#include "binding/Contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double Luminance(const QColor& colour)
{
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

} // namespace

QColor ReadableOn(const QColor& wanted, const QColor& background)
{
    if (ContrastRatio(wanted, background) >= kLeastTextContrast)
        return wanted;
    // Away from the background: darker on a light one, lighter on a dark one.
    const bool lighter = Luminance(background) < 0.18;
    QColor colour = wanted.toHsl();
    for (int step = 0; step < 100 && ContrastRatio(colour, background) < kLeastTextContrast; ++step) {
        const int lightness = std::clamp(colour.lightness() + (lighter ? 5 : -5), 0, 255);
        colour.setHsl(colour.hslHue(), colour.hslSaturation(), lightness);
    }
    return colour.toRgb();
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double first = Luminance(a);
    const double second = Luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QPalette DarkPalette()
{
    QPalette dark;
    const QColor window(53, 53, 53);
    const QColor base(42, 42, 42);
    const QColor disabledText(127, 127, 127);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    dark.setColor(QPalette::ToolTipBase, window);
    dark.setColor(QPalette::ToolTipText, Qt::white);
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::PlaceholderText, disabledText);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::BrightText, Qt::red);
    dark.setColor(QPalette::Link, QColor(42, 130, 218));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    dark.setColor(QPalette::Light, QColor(80, 80, 80));
    dark.setColor(QPalette::Midlight, QColor(66, 66, 66));
    dark.setColor(QPalette::Mid, QColor(40, 40, 40));
    dark.setColor(QPalette::Dark, QColor(30, 30, 30));
    dark.setColor(QPalette::Shadow, Qt::black);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, disabledText);
    return dark;
}
