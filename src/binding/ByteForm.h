#pragma once

#include <cstdint>
#include <string>

// The byte form of a value text for a syntax: what a control's text becomes before it is
// laid over the variable's value, and back. Integers are 4 bytes in host order, addresses one
// byte per dotted part, MAC addresses and octet strings the bytes of their hex digits,
// display strings their characters. A text that no number can be read from becomes 0; the
// text "(NULL)" stays a null value for the syntaxes whose text cannot be made up (addresses,
// identifiers, octet strings, dates).
namespace ByteForm {

struct Value {
    std::string bytes;
    bool null = false;
};

// Throws QvException -511 for a syntax without a byte form.
Value FromText(int32_t syntax, const std::string& text);

// Writes over the bytes of value from its first byte on; bytes beyond the new ones stay.
void Overlay(Value& value, const Value& with);

// Throws -511 for a syntax without a byte form and -518 for bytes too short for their
// syntax (an IP address under 4 bytes, a MAC address under 6).
std::string ToText(int32_t syntax, const Value& value);

} // namespace ByteForm
