#pragma once

#include <functional>

class QWidget;

// Runs the check once for every other visible tab of the window's page controls, each brought
// to the front in turn, and gives every page control back the tab it showed. The checks of a
// whole window (layout, accessibility) look at what is on the screen only.
void OnEveryOtherTab(QWidget* window, const std::function<void()>& check);
