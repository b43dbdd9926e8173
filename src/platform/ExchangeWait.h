#pragma once

#include <QPointer>

#include <functional>
#include <vector>

class QEventLoop;
class QSocketNotifier;

// The wait of a waiting exchange for its answer (or of any other nested wait of a window: an
// address probe, a walk it must see end). In a program with a Qt event loop on this thread the
// loop runs meanwhile, so the windows paint and their timers and the other exchanges go on.
// What the user does meanwhile is for the input gate to judge (a window's close request must
// get through); without a gate user input is held back until the wait has ended. Without an
// event loop it blocks. A wait that is ended (End, its owner ending its waits, or the
// application quitting) ends as a time-out would.
class ExchangeWait {
public:
    ExchangeWait() = default;
    ExchangeWait(const ExchangeWait&) = delete;
    ExchangeWait& operator=(const ExchangeWait&) = delete;

    // Until the socket is readable (-1: no socket, only Wake or End) or milliseconds (-1: no
    // limit) have passed; false once the wait has been ended.
    bool Wait(int socket, int milliseconds);
    // From anywhere (a handler that runs while it waits): the exchange ends at once.
    void End();
    bool Ended() const { return m_ended; }
    // From a handler that runs while it waits (an answer that came by another way): the wait
    // returns now, as if its socket had become readable, so the waiter looks again.
    void Wake();

    // The application is quitting: waiting exchanges end at once and new ones are not sent.
    static bool Stopping();

    // Waits begun while this lives belong to the owner (a window): its close ends them.
    class Owner {
    public:
        explicit Owner(const QObject* owner);
        ~Owner();
        Owner(const Owner&) = delete;
        Owner& operator=(const Owner&) = delete;
    };
    using OwnerTest = std::function<bool(const QObject* owner)>;
    // Whether a wait of an owner the test accepts is under way (below on the stack).
    static bool AnyWaitOf(const OwnerTest& owned);
    // Ends every such wait at once.
    static void EndWaitsOf(const OwnerTest& owned);

    // What the user does while a wait runs is judged by the gate the program installs (the
    // window layer): the event loop then runs with user input, and the gate is told when the
    // outermost wait begins and ends and when a wait nests.
    class InputGate {
    public:
        virtual ~InputGate() = default;
        virtual void WaitBegins(int depth) = 0;
        virtual void WaitEnds(int depth) = 0;
    };
    static void SetInputGate(InputGate* gate);
    // How many waits run, one inside another.
    static int Depth();

private:
    // A wait started inside this one (by a handler that runs meanwhile) may read this one's
    // answer: this one stops watching its socket until it has ended, then looks again.
    void suspend();
    void resume();

    QEventLoop* m_loop = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    QPointer<QObject> m_owner;  // a window, which may go while the wait runs
    bool m_ended = false;
    bool m_lookAgain = false;
};
