#include "fleet/StopSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

StopSignals* g_installed = nullptr;
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_count = 0;

void OnSignal(int number)
{
    g_count = g_count + 1;
    if (g_count > 1)
        ::_exit(130);
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

StopSignals& StopSignals::install()
{
    if (!g_installed)
        g_installed = new StopSignals();  // lives until the process ends
    return *g_installed;
}

StopSignals* StopSignals::installed() { return g_installed; }

StopSignals::StopSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;  // then the signals keep their default action: the process ends at once
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { announce(); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void StopSignals::announce()
{
    char number = 0;
    if (::read(g_pipe[0], &number, 1) == 1 && !m_received) {
        m_received = number;
        m_notifier->setEnabled(false);
        emit stopRequested();
    }
}
