#pragma once

#include <QObject>
#include <QTimer>

class DevicePicture;

// Drives the four lamps from the device's status flags. Each lamp has an on-bit and a
// blink-bit; blinking lamps toggle on their timer (power and radios every 500 ms, LAN every
// 100 ms) and start again from the polled colour at every poll.
class StatusLamps : public QObject {
    Q_OBJECT
public:
    explicit StatusLamps(DevicePicture* picture, QObject* parent = nullptr);

    // A successful poll: colours and blink flags from the flags, blink timers started.
    void showFlags(int flags);
    // A failed poll: all lamps black, blinking stopped.
    void showNoAnswer();

    QTimer Timer2;  // power, 802.11a, 802.11g
    QTimer Timer3;  // LAN

    // The blink ticks.
    void Timer2Timer();
    void Timer3Timer();

signals:
    // After every blink tick (the main window copies its status text then).
    void ticked();

private:
    DevicePicture* m_picture;
};
