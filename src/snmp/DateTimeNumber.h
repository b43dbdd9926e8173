#pragma once

#include <optional>
#include <string>

// Date-time numbers: days since 1899-12-30 as a real number, the time of day as the
// fraction (the form the bcdatetime syntax carries in 8 octets and expressions compute with).
namespace DateTimeNumber {

// The current local date and time.
double Now();

// "yyyy/mm/dd hh:nn:ss am/pm" (12-hour clock: "2006/03/07 02:05:09 pm").
std::string Format(double number);

// Reads "yyyy/mm/dd[ hh:nn[:ss][ am|pm]]" ("-" also separates the date); nothing for any
// other text or an impossible date or time.
std::optional<double> Parse(const std::string& text);

} // namespace DateTimeNumber
