#pragma once

class QWidget;

// A window closed while a handler of its own still runs (it was closed during a waiting
// exchange, which the event loop lives inside). What that handler does afterwards must not
// reach the user or the device: no message box (a question gets its safe answer), no file
// dialog, no restart.
void LetGoOfWindow(QWidget* window);
// The widget's window, or a window it belongs to, has been let go.
bool LetGo(const QWidget* widget);
