#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class QWidget;
class TFM_Waiting;

// How a page covers a device restart (or only waits) with the wait dialog. The defaults are
// the dialog's own: 40 steps, the restart command at the first tick, "Settings saved." and
// "The device is restarting.". An empty text keeps the dialog's own line. E.g.
//   RunRestartWait({.countdown = 50});                                   // WDS modes
//   RunRestartWait({.countdown = 12, .sendReboot = false,
//                   .firstLine = "Please wait...", .secondLine = "Judge the IP whether can be used."});
struct RestartWait {
    int32_t countdown = 40;
    bool sendReboot = true;
    int32_t rebootDelay = 1;      // ticks before the restart command leaves
    // Empty texts keep the dialog's own ({} lets pages name only the fields they change).
    QString firstLine{};          // Label2
    QString secondLine{};         // Label3
    QString countdownLine{};      // Label1, before the number
    bool showCountdown = true;    // La_Time and "seconds"
    QString caption{};            // the window's title
};

// The dialog prepared as told, not shown yet: for a page that must have it before the command
// whose answer reshapes it leaves.
std::unique_ptr<TFM_Waiting> NewRestartWait(const RestartWait& wait = {}, QWidget* owner = nullptr);

// Shows the dialog modally until it closes, then destroys it.
void RunRestartWait(const RestartWait& wait = {}, QWidget* owner = nullptr);

// Changes a dialog that may be showing: its countdown, restart command and texts (a transfer
// the device took turns into its restart). Null is allowed: the dialog gave up already.
void ReshapeRestartWait(TFM_Waiting* dialog, const RestartWait& wait);
