#include "shell/StatusLamps.h"

#include "shell/DevicePicture.h"
#include "platform/TimeScale.h"

namespace {

struct LampBits {
    StatusLamp* DevicePicture::*lamp;
    int on;
    int blink;
};

const LampBits kBits[] = {
    {&DevicePicture::Sh_power, 1, 2},
    {&DevicePicture::Sh_Lan, 4, 8},
    {&DevicePicture::Sh_11g, 16, 32},
    {&DevicePicture::Sh_11a, 64, 128},
};

} // namespace

StatusLamps::StatusLamps(DevicePicture* picture, QObject* parent)
    : QObject(parent), m_picture(picture)
{
    Timer2.setInterval(TimeScale::scaled(500));
    Timer3.setInterval(TimeScale::scaled(100));
    connect(&Timer2, &QTimer::timeout, this, &StatusLamps::Timer2Timer);
    connect(&Timer3, &QTimer::timeout, this, &StatusLamps::Timer3Timer);
}

void StatusLamps::showFlags(int flags)
{
    for (const LampBits& bits : kBits) {
        StatusLamp* lamp = m_picture->*bits.lamp;
        lamp->setColor(flags & bits.on ? StatusLamp::kOn : StatusLamp::kOff);
        lamp->setBlink(flags & bits.blink);
    }
    Timer2.start();
    Timer3.start();
}

void StatusLamps::showNoAnswer()
{
    Timer2.stop();
    Timer3.stop();
    for (const LampBits& bits : kBits)
        (m_picture->*bits.lamp)->setColor(StatusLamp::kOff);
}

void StatusLamps::Timer2Timer()
{
    for (StatusLamp* lamp : {m_picture->Sh_power, m_picture->Sh_11a, m_picture->Sh_11g})
        if (lamp->blink())
            lamp->toggle();
    emit ticked();
}

void StatusLamps::Timer3Timer()
{
    if (m_picture->Sh_Lan->blink())
        m_picture->Sh_Lan->toggle();
    emit ticked();
}
