#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a screen reader user and a user of a dark colour scheme would find wrong in a window as
// it is shown, read through Qt's accessibility interface (what reaches the accessibility bus):
// a control without a name, a control named by its value (a combo box read as its current
// item), two controls seen together under one name, and a visible text that does not stand
// out from its background by WCAG's 4.5:1 (disabled controls are exempt).
struct AccessibilityFindings {
    QStringList unnamed;
    QStringList namedByValue;
    QStringList sharedNames;
    QStringList lowContrast;

    bool empty() const;
    void add(const AccessibilityFindings& other);
    // "2 unnamed, 1 low contrast" followed by one line per finding.
    QString report() const;
};

// The window as it is shown now.
AccessibilityFindings CheckAccessibility(QWidget* window);
// The same for every visible tab of every tab control of the window, each brought to the
// front in turn; the tabs that were current are current again afterwards.
AccessibilityFindings CheckAccessibilityOnEveryTab(QWidget* window);
