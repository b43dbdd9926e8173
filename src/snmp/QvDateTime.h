#pragma once

#include <cstdint>
#include <string>

// The SNMP DateAndTime value: 11 octets, year first in network order on the wire. Its
// text is "year-month-day,hour:minutes:seconds.deciSeconds" with ",+h:m" or ",-h:m" when it
// carries an offset from UTC ("2006-3-7,14:5:9.0,+8:0").
struct QvDateTime {
    uint16_t year = 0;
    uint8_t month = 0;
    uint8_t day = 0;
    uint8_t hour = 0;
    uint8_t minutes = 0;
    uint8_t seconds = 0;
    uint8_t deciSeconds = 0;
    char direction = '+';
    uint8_t utcHours = 0;
    uint8_t utcMinutes = 0;

    // The current local date and time, no offset.
    static QvDateTime Now();
    // Reads the text; fields a malformed text does not supply are 0.
    static QvDateTime FromText(const std::string& text);
    std::string ToText() const;

    // The 11 octets as sent (year in network order), and back. Fewer octets (an 8-octet
    // value without zone) leave the missing fields 0.
    std::string ToOctets() const;
    static QvDateTime FromOctets(const std::string& octets);
};
