#pragma once

class QObject;

// A window closed while a handler of its own still runs (it was closed during a waiting
// exchange, which the event loop lives inside). What that handler does afterwards must not
// reach the user or the device: no message box (a question gets its safe answer), no file
// dialog, no restart.
void LetGoOfWindow(QObject* window);
// The object, or one it belongs to (its window, that window's owner), has been let go.
bool LetGo(const QObject* object);
