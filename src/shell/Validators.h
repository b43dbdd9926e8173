#pragma once

#include <cstdint>
#include <string>

class QLineEdit;
class QWidget;

// The input checks the pages share.

// A unicast host address of classes A to C: four dotted decimal numbers, the first 1..223 but
// not 127, the middle two 0..255, the last 1..254. A part that is not plain decimal digits
// ("0x0A", "$A", " 1") throws ConversionError (its message ends the page action that asked); a
// part of more than three digits is refused, as every write would refuse it.
bool IsValidIpAddress(const std::string& text);

// A contiguous mask of at least two and at most 31 one-bits, written as four dotted numbers.
bool IsValidSubnetMask(const std::string& text);

// Secret mode (RADIUS secrets): letters and digits only, not empty. Otherwise: no double
// quote. Shows its own warning and returns false when the text is refused.
bool CheckText(const std::string& text, bool secretMode, QWidget* parent = nullptr);

// Whether the text holds a character beyond ASCII (a byte of 128 or more in its UTF-8 form),
// which the device's SSIDs and ASCII keys cannot hold: "Don't support chinese characters !".
bool HasNonAsciiCharacter(const std::string& text);

// The dotted text as one 32-bit number, the first part in the top byte (192.168.0.10 is
// C0A8000A); a text without dots is its own number (a pool size). Each part is converted as
// plain decimal digits: one that is not throws ConversionError. "010.7.0.10" is 10.7.0.10.
uint32_t IPTextToNumber(const std::string& text);
uint32_t IPTextToNumber(const QLineEdit* edit);

// Whether another host already uses the address: true when it answers an ICMP echo (three
// attempts of one second, the first reply ends the probe). A text that is neither a host
// name nor an address shows "Unable to resolve " and counts as unused.
bool IsAddressInUse(const std::string& text, QWidget* parent = nullptr);
