#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A dotted IPv4 address as this module reads it everywhere it takes one from a user or a
// device: four parts of one to three decimal digits, each 0..255, and nothing else. No blanks,
// signs, "$" or "0x" hexadecimal, and no octal: "010.0.0.1" is 10.0.0.1, as a user means it.
// The checks, the echo probe, the writes and the duplicate checks all read an address here, so
// an address that one of them approved is the address another one sends.
std::optional<uint32_t> ParseDottedAddress(std::string_view text);

// The four bytes of the address, the first part first.
std::optional<std::array<uint8_t, 4>> DottedAddressOctets(std::string_view text);

// Whether two texts name the same address: both parse and their numbers are equal, or neither
// parses and the texts are equal.
bool SameDottedAddress(std::string_view a, std::string_view b);
