#include "platform/ExchangeWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <poll.h>

#include <optional>

namespace {

std::vector<ExchangeWait*>& waits()
{
    static std::vector<ExchangeWait*> stack;
    return stack;
}

std::vector<QPointer<QObject>>& owners()
{
    static std::vector<QPointer<QObject>> stack;
    return stack;
}

ExchangeWait::InputGate*& gate()
{
    static ExchangeWait::InputGate* installed = nullptr;
    return installed;
}

bool& quitting()
{
    static bool value = false;
    return value;
}

// Whether the event loop of the application runs on this thread, so it can run while waiting.
bool eventLoopHere()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread())
        return false;
    static const bool watched = [application] {
        QObject::connect(application, &QCoreApplication::aboutToQuit, [] { quitting() = true; });
        return true;
    }();
    return watched;
}

bool readable(int socket, int milliseconds)
{
    pollfd ready{socket, POLLIN, 0};
    return ::poll(&ready, socket >= 0 ? 1 : 0, milliseconds) > 0;
}

} // namespace

ExchangeWait::Owner::Owner(const QObject* owner) { owners().emplace_back(const_cast<QObject*>(owner)); }

ExchangeWait::Owner::~Owner() { owners().pop_back(); }

bool ExchangeWait::AnyWaitOf(const OwnerTest& owned)
{
    for (const ExchangeWait* wait : waits())
        if (!wait->m_ended && wait->m_owner && owned(wait->m_owner))
            return true;
    return false;
}

void ExchangeWait::EndWaitsOf(const OwnerTest& owned)
{
    for (ExchangeWait* wait : std::vector<ExchangeWait*>(waits()))
        if (wait->m_owner && owned(wait->m_owner))
            wait->End();
}

void ExchangeWait::SetInputGate(InputGate* installed) { gate() = installed; }

int ExchangeWait::Depth() { return static_cast<int>(waits().size()); }

bool ExchangeWait::Stopping()
{
    eventLoopHere();
    return quitting();
}

void ExchangeWait::End()
{
    m_ended = true;
    if (m_loop)
        m_loop->quit();
}

void ExchangeWait::Wake()
{
    if (!m_loop)
        return;
    m_lookAgain = true;
    m_loop->quit();
}

void ExchangeWait::suspend()
{
    if (m_notifier)
        m_notifier->setEnabled(false);
}

void ExchangeWait::resume()
{
    if (m_notifier)
        m_notifier->setEnabled(true);
    m_lookAgain = true;
    if (m_loop)
        m_loop->quit();
}

bool ExchangeWait::Wait(int socket, int milliseconds)
{
    if (m_ended)
        return false;
    if (!eventLoopHere()) {
        readable(socket, milliseconds);
        return true;
    }
    if (quitting()) {
        m_ended = true;
        return false;
    }
    if (socket >= 0 && readable(socket, 0))
        return true;

    QEventLoop loop;
    std::optional<QSocketNotifier> notifier;
    bool ours = false;
    if (socket >= 0) {
        notifier.emplace(socket, QSocketNotifier::Read);
        QObject::connect(&*notifier, &QSocketNotifier::activated, &loop, [&] {
            ours = true;
            loop.quit();
        });
    }
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        ours = true;
        loop.quit();
    });
    if (milliseconds >= 0)
        deadline.start(milliseconds);

    if (!waits().empty())
        waits().back()->suspend();
    waits().push_back(this);
    m_owner = owners().empty() ? nullptr : owners().back();
    m_loop = &loop;
    m_notifier = notifier ? &*notifier : nullptr;
    m_lookAgain = false;
    InputGate* const judge = gate();
    if (judge) {
        judge->WaitBegins(Depth());
        loop.exec(QEventLoop::AllEvents);
    } else {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    m_loop = nullptr;
    m_notifier = nullptr;
    waits().pop_back();
    if (judge && gate() == judge)
        judge->WaitEnds(Depth());
    if (!waits().empty())
        waits().back()->resume();

    // Nothing of ours ended the loop: the application told every loop to stop, it is ending.
    if (!ours && !m_lookAgain && !m_ended) {
        m_ended = true;
        quitting() = true;
    }
    return !m_ended;
}
