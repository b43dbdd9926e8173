#pragma once

#include "platform/ExchangeWait.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <vector>

class QWidget;

// What the user does while an exchange waits for the device. A window's close request (its
// close box, Alt+F4) and Escape always get through, so a page that waits on a silent device
// closes at once. Other clicks and keys aimed at a window that was there when the wait began
// are refused visibly (a busy cursor, and the page's status bar says so), never held back and
// replayed later against a page that has changed meanwhile. A window the wait itself opened
// (a message box, the wait dialog) takes input as usual.
class WaitInputGate : public QObject, public ExchangeWait::InputGate {
    Q_OBJECT
public:
    // Once per program, by the first window that may wait: from then on every wait uses it.
    static void Install();

    void WaitBegins(int depth) override;
    void WaitEnds(int depth) override;

    // How long a wait runs before the cursor says the program is busy.
    static constexpr int kBusyCursorMs = 250;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    explicit WaitInputGate(QObject* parent);
    ~WaitInputGate() override;
    // The input reaches a window that was there when the innermost wait began.
    bool heldWindow(QObject* receiver) const;
    void refuse(QObject* receiver, bool pressed);
    void showBusyCursor();
    void restoreCursor();

    // The windows on the screen when each wait (outermost first) began.
    std::vector<std::vector<QPointer<QWidget>>> m_windowsAtStart;
    QTimer m_busyCursorDelay;
    QTimer m_restoreDelay;
    bool m_busyCursor = false;
};
