#pragma once

#include <vector>

class QEventLoop;
class QSocketNotifier;

// The wait of a waiting exchange for its answer. In a program with a Qt event loop on this
// thread the loop runs meanwhile, so the windows paint and their timers and the other
// exchanges go on; user input is held back until the exchange has ended. Without one it
// blocks. An exchange whose wait is ended (End, or the application quitting) ends as a
// time-out would.
class ExchangeWait {
public:
    ExchangeWait() = default;
    ExchangeWait(const ExchangeWait&) = delete;
    ExchangeWait& operator=(const ExchangeWait&) = delete;

    // Until the socket is readable or milliseconds (-1: no limit) have passed; false once the
    // wait has been ended.
    bool Wait(int socket, int milliseconds);
    // From anywhere (a handler that runs while it waits): the exchange ends at once.
    void End();
    bool Ended() const { return m_ended; }
    // From a handler that runs while it waits (an answer that came by another way): the wait
    // returns now, as if its socket had become readable, so the waiter looks again.
    void Wake();

    // The application is quitting: waiting exchanges end at once and new ones are not sent.
    static bool Stopping();

private:
    // A wait started inside this one (by a handler that runs meanwhile) may read this one's
    // answer: this one stops watching its socket until it has ended, then looks again.
    void suspend();
    void resume();

    QEventLoop* m_loop = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    bool m_ended = false;
    bool m_lookAgain = false;
};
