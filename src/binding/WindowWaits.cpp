#include "binding/WindowWaits.h"

#include <QTimer>

#include <map>
#include <vector>

namespace {

struct WindowState {
    int waits = 0;
    std::vector<std::function<void()>> held;
};

std::map<const QWidget*, WindowState>& windows()
{
    static std::map<const QWidget*, WindowState> states;
    return states;
}

const QWidget* windowOf(const QWidget* widget) { return widget ? widget->window() : nullptr; }

} // namespace

namespace WindowWaits {

Scope::Scope(QWidget* form)
    : m_window(form ? form->window() : nullptr), m_key(m_window.data()), m_owner(m_window.data())
{
    if (m_key)
        ++windows()[m_key].waits;
}

Scope::~Scope()
{
    auto found = windows().find(m_key);
    if (!m_key || found == windows().end() || --found->second.waits > 0)
        return;
    std::vector<std::function<void()>> held = std::move(found->second.held);
    windows().erase(found);
    QWidget* window = m_window.data();
    if (!window)
        return;
    // From the event loop: the handler the exchange belonged to goes on first.
    for (auto& action : held)
        QTimer::singleShot(0, window, [window, action = std::move(action)]() mutable {
            WhenNotWaiting(window, std::move(action));
        });
}

bool Waiting(const QWidget* widget)
{
    const auto found = windows().find(windowOf(widget));
    return found != windows().end() && found->second.waits > 0;
}

void WhenNotWaiting(QWidget* widget, std::function<void()> action)
{
    if (!Waiting(widget)) {
        action();
        return;
    }
    windows()[windowOf(widget)].held.push_back(std::move(action));
}

} // namespace WindowWaits
