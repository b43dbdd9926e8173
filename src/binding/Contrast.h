#pragma once

#include <QColor>
#include <QPalette>

// Colours a text is read in, under any colour scheme of the desktop.

// WCAG's contrast ratio of two colours, 1 to 21; 4.5 is the least for text.
double ContrastRatio(const QColor& a, const QColor& b);
constexpr double kLeastTextContrast = 4.5;

// The colour made lighter or darker, its hue kept, until it stands out from the background
// by the least text contrast (a red warning stays red on a dark scheme and on a light one).
QColor ReadableOn(const QColor& wanted, const QColor& background);

// A dark colour scheme for checks and the demo: Fusion's colours, light text on dark grey.
QPalette DarkPalette();
