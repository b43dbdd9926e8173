#pragma once

#include "platform/ExchangeWait.h"

#include <QPointer>
#include <QWidget>

#include <functional>

// Which windows have a waiting exchange under way. While one runs the event loop goes on (the
// windows paint, timers run), but what would act on that window in the middle of its handler
// waits until the exchange has ended, as it did when the wait froze the window: the
// completions of the window's notifying exchanges and the ticks of its page's timers.
namespace WindowWaits {

// A waiting exchange (or another nested wait) of the form's window runs while this lives; the
// waits begun meanwhile belong to the window, so its close ends them.
class Scope {
public:
    explicit Scope(QWidget* form);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    QPointer<QWidget> m_window;
    const QWidget* m_key;  // also when the window has gone meanwhile
    ExchangeWait::Owner m_owner;
};

bool Waiting(const QWidget* widget);
// Runs the action now, or (in the order asked) once no waiting exchange of the widget's
// window runs any more, from the event loop. Dropped when the window goes first.
void WhenNotWaiting(QWidget* widget, std::function<void()> action);

} // namespace WindowWaits
