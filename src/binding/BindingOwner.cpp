#include "binding/BindingOwner.h"

#include "snmp/SnmpSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

// Longest a closing window waits for its exchanges: every exchange ends by its own
// time-out, so this only guards against one that never ends.
constexpr qint64 kReleaseWaitMilliseconds = 120000;

} // namespace

bool BindingOwner::AnyBusy() const
{
    for (const auto& binding : m_bindings)
        if (binding->Busy)
            return true;
    return false;
}

bool BindingOwner::AnyWaiting() const
{
    for (const auto& binding : m_bindings)
        if (binding->WaitingExchange())
            return true;
    return false;
}

void BindingOwner::DropReadAhead()
{
    for (auto& binding : m_bindings)
        binding->request.DropReadAhead();
}

void BindingOwner::Abandon()
{
    m_abandoned = true;
    for (auto& binding : m_bindings)
        binding->Abandon();
}

void BindingOwner::Release(bool cutHandlers, bool waitForExchanges)
{
    for (auto& binding : m_bindings) {
        binding->request.alive = false;
        if (cutHandlers)
            binding->CutHandlers();
    }
    QElapsedTimer waited;
    waited.start();
    while (waitForExchanges && AnyBusy() && waited.elapsed() < kReleaseWaitMilliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        SnmpSession::global().waitForEvents(20);
    }
    // A binding destroyed here may still be referred to by a handler that runs meanwhile:
    // take the list first, so All() never shows a binding being destroyed.
    auto ending = std::move(m_bindings);
    m_bindings.clear();
    for (auto& binding : ending) {
        if (OnRelease)
            OnRelease(*binding);
        binding.reset();
    }
}
