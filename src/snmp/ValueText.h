#pragma once

#include "snmp/SnmpTypes.h"

#include <cstdint>
#include <optional>
#include <string>

// The value texts of the syntaxes: how a received value is written as an item's text and how
// a text becomes the value sent. "(NULL)" stands for no value; octet strings are upper-case
// hex without separators; addresses are dotted.
namespace ValueText {

inline constexpr const char* kNull = "(NULL)";
inline constexpr const char* kNotDone = "(NOTDONE)";

// The text of a received value for the syntax. Throws QvException -511 for a syntax that
// has no value text.
std::string FromVarBind(int32_t syntax, const SnmpVarBind& vb);

// The value sent for a text; "(NULL)" is a NULL for every syntax. Throws -511 for a syntax
// that has no value text, -518 for an address, OID, time or date that cannot be read.
SnmpVarBind ToVarBind(int32_t syntax, const std::string& text);

// Octets as upper-case hex, two digits each.
std::string Hex(const std::string& bytes);
// Octets from hex: blanks ignored, either case, any other character counts as 0, an odd
// number of digits makes the first digit an octet of its own.
std::string BytesFromHex(const std::string& text);

// "h:mm:ss.hh", "1 day h:mm:ss.hh", "N days, h:mm:ss.hh" from hundredths of a second.
std::string TimeTicks(uint32_t hundredths);
// Reads that form back, or a plain number of hundredths.
std::optional<uint32_t> ParseTimeTicks(const std::string& text);

// Dotted IPv4 (four decimal parts 0..255, nothing else) to its four octets.
std::optional<std::string> ParseIpAddress(const std::string& text);
std::string IpAddressText(const std::string& fourOctets);

// A real number in general format with up to 15 significant digits, "." as the decimal
// point and an exponent without "+" ("1E20", "1E-5"), as the expression evaluator reads it.
std::string Real(double value);
// The C library's strtod rules in the "C" locale: leading blanks skipped, the longest
// numeric prefix taken, 0 when there is none.
double ReadReal(const std::string& text);

// The 8 octets of a double in this machine's order, and back (fewer octets read as 0).
std::string DoubleOctets(double value);
double DoubleFromOctets(const std::string& octets);

// The decimal number at the start of text, as the C library's atol reads it.
long long ReadInteger(const std::string& text);
unsigned long long ReadUnsigned(const std::string& text);

} // namespace ValueText
