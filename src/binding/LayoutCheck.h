#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a user would see as broken in a window as it stands: a visible text that does not fit
// its control (labels, check boxes, radio buttons, buttons, group titles, tab captions, list
// headers and the rows under them) and visible controls that overlap a sibling, cover a
// group's title or run past the edge of what holds them. Each finding names the controls and
// says by how much, so a report says where to look.
struct LayoutFindings {
    QStringList clippedTexts;
    QStringList overlaps;

    bool empty() const { return clippedTexts.isEmpty() && overlaps.isEmpty(); }
    // Adds what other found that this does not hold yet.
    void add(const LayoutFindings& other);
    // "2 clipped texts, 1 overlap" followed by one line per finding.
    QString report() const;
};

// The window as it is shown now (call it after the window has been shown and laid out).
LayoutFindings CheckLayout(QWidget* window);

// The same for every visible tab of every page control of the window, each brought to the
// front in turn; the tabs that were current are current again afterwards.
LayoutFindings CheckLayoutOnEveryTab(QWidget* window);
