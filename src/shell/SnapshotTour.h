#pragma once

class TMainForm;

// For runs without a screen (scripts/demo on a machine with no display): when the
// environment variable VTA_SNAPSHOT_DIR names a folder, the module lets the main window
// settle, saves a PNG of it there, then opens every page of the menu one after another (also
// those behind items this model hides), saves a PNG of each once its first read has arrived
// (and one of each further tab and of each look the page registered, PageRegistry::View),
// prints each path with what the layout check finds in each picture (texts that do not fit,
// controls that overlap) and ends.
class SnapshotTour {
public:
    static bool requested();
    // Schedules the tour for the shown main window.
    static void start(TMainForm* mainWindow);
};
