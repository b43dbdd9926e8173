#pragma once

#include <string>

class QWidget;

// The input checks the pages share.

// A unicast host address of classes A to C: four dotted decimal numbers, the first 1..223 but
// not 127, the middle two 0..255, the last 1..254. A part that is not a number throws
// ConversionError (its message ends the page action that asked).
bool IsValidIpAddress(const std::string& text);

// A contiguous mask of at least two and at most 31 one-bits, written as four dotted numbers.
bool IsValidSubnetMask(const std::string& text);

// Secret mode (RADIUS secrets): letters and digits only, not empty. Otherwise: no double
// quote. Shows its own warning and returns false when the text is refused.
bool CheckText(const std::string& text, bool secretMode, QWidget* parent = nullptr);
