#pragma once

#include <functional>

class QWidget;

// Runs an event handler and shows any exception that escapes it in the application's
// standard exception box (caption: the application name, Error icon), so no exception
// ever reaches Qt's event loop. Returns false when the handler threw.
bool RunGuarded(const std::function<void()>& handler, QWidget* parent = nullptr);

// The standard exception box itself.
void ShowExceptionBox(const char* message, QWidget* parent = nullptr);
