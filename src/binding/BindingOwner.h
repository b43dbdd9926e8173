#pragma once

#include "binding/QvSNMPRequest2Controls.h"

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

class QWidget;

// Owns the bindings of one window (a page, the configuration form, the main window) and
// ends them in the one safe order: stop new exchanges, wait for those under way, destroy.
// A window whose members may already be gone cuts the bindings' handlers first, so a late
// completion can never call into a half-destroyed window.
class BindingOwner {
public:
    explicit BindingOwner(QWidget* form) : m_form(form) {}
    ~BindingOwner() { Release(true); }
    BindingOwner(const BindingOwner&) = delete;
    BindingOwner& operator=(const BindingOwner&) = delete;

    // A new binding with the window as its form.
    template <typename Binding>
    Binding& New()
    {
        static_assert(std::is_base_of_v<QvSNMPRequest2Controls, Binding>);
        return Adopt(std::make_unique<Binding>(m_form));
    }

    // Takes a binding built elsewhere.
    template <typename Binding>
    Binding& Adopt(std::unique_ptr<Binding> binding)
    {
        Binding& result = *binding;
        // A window that has let go sends nothing more, also from bindings made afterwards.
        if (m_abandoned)
            result.Abandon();
        m_bindings.push_back(std::move(binding));
        return result;
    }

    bool AnyBusy() const;
    // A waiting exchange of one of the bindings is under way, below on the stack.
    bool AnyWaiting() const;
    // Every answer read ahead and not taken is dropped.
    void DropReadAhead();
    bool Empty() const { return m_bindings.empty(); }
    const std::vector<std::unique_ptr<QvSNMPRequest2Controls>>& All() const { return m_bindings; }

    // Runs just before each binding is destroyed (a panel that shows it lets go of it).
    std::function<void(QvSNMPRequest2Controls&)> OnRelease;

    // Stops every binding from sending, waits until none is busy (events keep running, so
    // completions still arrive), then destroys them all. cutHandlers: no completion handler
    // of the window runs any more (for a window that is being destroyed). Without
    // waitForExchanges the bindings go at once; each request then waits a few seconds at most
    // for its exchanges (the module's end must not wait out a silent device's long time-outs).
    void Release(bool cutHandlers = false, bool waitForExchanges = true);
    // Lets go of every binding's exchanges at once (the window closes without them); the
    // bindings themselves stay until Release, as one of them may be below us on the stack.
    void Abandon();

private:
    QWidget* m_form;
    std::vector<std::unique_ptr<QvSNMPRequest2Controls>> m_bindings;
    bool m_abandoned = false;
};
