#pragma once

#include <QString>

class QWidget;

// For runs without a screen (scripts/demo on a machine with no display): when the
// environment variable VTA_SNAPSHOT_DIR names a folder, the module waits until the window
// has settled, saves a PNG of it there, prints the path and ends.
class SnapshotTour {
public:
    static bool requested();
    // Schedules the tour for the shown main window.
    static void start(QWidget* mainWindow);
};
