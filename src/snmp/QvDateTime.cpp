#include "snmp/QvDateTime.h"

#include <QDateTime>

#include <cstdio>

QvDateTime QvDateTime::Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    QvDateTime value;
    value.year = static_cast<uint16_t>(now.date().year());
    value.month = static_cast<uint8_t>(now.date().month());
    value.day = static_cast<uint8_t>(now.date().day());
    value.hour = static_cast<uint8_t>(now.time().hour());
    value.minutes = static_cast<uint8_t>(now.time().minute());
    value.seconds = static_cast<uint8_t>(now.time().second());
    return value;
}

QvDateTime QvDateTime::FromText(const std::string& text)
{
    int f[9] = {};
    QvDateTime value;
    if (std::sscanf(text.c_str(), "%d-%d-%d,%d:%d:%d.%d,+%d:%d", &f[0], &f[1], &f[2], &f[3], &f[4], &f[5],
                    &f[6], &f[7], &f[8])
        == 9) {
        value.direction = '+';
    } else if (std::sscanf(text.c_str(), "%d-%d-%d,%d:%d:%d.%d,-%d:%d", &f[0], &f[1], &f[2], &f[3], &f[4],
                           &f[5], &f[6], &f[7], &f[8])
               == 9) {
        value.direction = '-';
    } else {
        for (int& field : f)
            field = 0;
        std::sscanf(text.c_str(), "%d-%d-%d,%d:%d:%d.%d", &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6]);
        value.direction = '+';
    }
    value.year = static_cast<uint16_t>(f[0]);
    value.month = static_cast<uint8_t>(f[1]);
    value.day = static_cast<uint8_t>(f[2]);
    value.hour = static_cast<uint8_t>(f[3]);
    value.minutes = static_cast<uint8_t>(f[4]);
    value.seconds = static_cast<uint8_t>(f[5]);
    value.deciSeconds = static_cast<uint8_t>(f[6]);
    value.utcHours = static_cast<uint8_t>(f[7]);
    value.utcMinutes = static_cast<uint8_t>(f[8]);
    return value;
}

std::string QvDateTime::ToText() const
{
    char text[96];
    if ((utcHours != 0 || utcMinutes != 0) && (direction == '+' || direction == '-'))
        std::snprintf(text, sizeof text, "%d-%d-%d,%d:%d:%d.%d,%c%d:%d", year, month, day, hour, minutes,
                      seconds, deciSeconds, direction, utcHours, utcMinutes);
    else
        std::snprintf(text, sizeof text, "%d-%d-%d,%d:%d:%d.%d", year, month, day, hour, minutes, seconds,
                      deciSeconds);
    return text;
}

std::string QvDateTime::ToOctets() const
{
    std::string octets(11, '\0');
    octets[0] = static_cast<char>(year >> 8);
    octets[1] = static_cast<char>(year & 0xFF);
    octets[2] = static_cast<char>(month);
    octets[3] = static_cast<char>(day);
    octets[4] = static_cast<char>(hour);
    octets[5] = static_cast<char>(minutes);
    octets[6] = static_cast<char>(seconds);
    octets[7] = static_cast<char>(deciSeconds);
    octets[8] = direction;
    octets[9] = static_cast<char>(utcHours);
    octets[10] = static_cast<char>(utcMinutes);
    return octets;
}

QvDateTime QvDateTime::FromOctets(const std::string& octets)
{
    unsigned char o[11] = {};
    for (size_t i = 0; i < octets.size() && i < 11; ++i)
        o[i] = static_cast<unsigned char>(octets[i]);
    QvDateTime value;
    value.year = static_cast<uint16_t>((o[0] << 8) | o[1]);
    value.month = o[2];
    value.day = o[3];
    value.hour = o[4];
    value.minutes = o[5];
    value.seconds = o[6];
    value.deciSeconds = o[7];
    value.direction = static_cast<char>(o[8]);
    value.utcHours = o[9];
    value.utcMinutes = o[10];
    return value;
}
