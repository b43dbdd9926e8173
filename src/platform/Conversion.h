#pragma once

#include <stdexcept>
#include <string>

// Raised when a text that should hold a whole number does not. Its message is the
// wording the host platform's own conversion used, so users see the familiar text.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& text);
};

// Decimal text to a 32-bit integer, as the original platform converted it: leading
// blanks and a sign are allowed, "$" or "0x" introduces hexadecimal, nothing may follow
// the digits, and the value must fit in 32 bits. Throws ConversionError otherwise.
int StrToInt(const std::string& text);

// The same, returning the fallback instead of throwing.
int StrToIntDef(const std::string& text, int fallback);

// Plain decimal digits only (no blanks, sign or hexadecimal prefix), as the parts of a dotted
// address and a pool size are read. Throws ConversionError for anything else or a value over
// 32 bits.
int DecimalStrToInt(const std::string& text);
