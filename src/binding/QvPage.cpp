#include "binding/QvPage.h"

#include "platform/ExceptionGuard.h"
#include "snmp/SnmpSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace {

// Longest a closing page waits for exchanges of its bindings: the longest request time-out
// used by any page (500 s) is far beyond what a person waits; every exchange ends by its own
// time-out, so this is only a guard against an exchange that never ends.
constexpr qint64 kReleaseWaitMilliseconds = 120000;

} // namespace

QvPage::QvPage(QWidget* parent) : QDialog(parent) {}

QvPage::~QvPage() { ReleaseBindings(); }

bool QvPage::Guard(const std::function<void()>& handler) { return RunGuarded(handler, this); }

bool QvPage::AnyBindingBusy() const
{
    for (const auto& binding : m_bindings)
        if (binding->Busy)
            return true;
    return false;
}

void QvPage::ReleaseBindings()
{
    QElapsedTimer waited;
    waited.start();
    while (AnyBindingBusy() && waited.elapsed() < kReleaseWaitMilliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        SnmpSession::global().waitForEvents(20);
    }
    m_bindings.clear();
}

void QvPage::done(int result)
{
    if (AnyBindingBusy()) {
        // An exchange is under way; a waiting table walk that lets messages run may even be
        // below us on the stack. Close once every exchange has ended, never under one.
        if (!m_closePending) {
            m_closePending = true;
            QTimer::singleShot(20, this, [this, result] {
                m_closePending = false;
                done(result);
            });
        }
        return;
    }
    ReleaseBindings();
    QDialog::done(result);
}
