#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

// One status lamp on the device picture: a small circle whose colour the status poll sets.
// Its blink flag says whether the blink timers toggle it.
class StatusLamp : public QWidget {
    Q_OBJECT
public:
    static const QColor kOn;   // lime
    static const QColor kOff;  // black

    StatusLamp(const QString& name, QWidget* parent);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    bool blink() const { return m_blink; }
    void setBlink(bool blink) { m_blink = blink; }
    // Black becomes lime, any other colour black.
    void toggle() { setColor(m_color == kOff ? kOn : kOff); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor m_color = kOff;
    bool m_blink = false;
};

// The front panel of the access point, 390 x 94, with the four lamps at their places.
class DevicePicture : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 390;
    static constexpr int kHeight = 94;

    explicit DevicePicture(QWidget* parent = nullptr);

    StatusLamp* Sh_power;
    StatusLamp* Sh_Lan;
    StatusLamp* Sh_11a;
    StatusLamp* Sh_11g;

protected:
    void paintEvent(QPaintEvent*) override;
};

// The module's 32 x 32 icon: a small access point with its antennas.
QPixmap ModuleIcon();
