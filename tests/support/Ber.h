#pragma once

#include <cstddef>
#include <string>

// BER, just as far as the hand-made agents of the tests need it: building and reading the
// type-length-value triples of SNMP messages.
namespace Ber {

inline std::string Tlv(unsigned char tag, const std::string& content)
{
    std::string out(1, static_cast<char>(tag));
    const size_t n = content.size();
    if (n < 0x80) {
        out += static_cast<char>(n);
    } else if (n < 0x100) {
        out += '\x81';
        out += static_cast<char>(n);
    } else {
        out += '\x82';
        out += static_cast<char>(n >> 8);
        out += static_cast<char>(n & 0xFF);
    }
    return out + content;
}

inline std::string Integer(long long value, unsigned char tag = 0x02)
{
    std::string bytes;
    do {
        bytes.insert(bytes.begin(), static_cast<char>(value & 0xFF));
        value >>= 8;
    } while (value != 0 && value != -1);
    if (value == 0 && (static_cast<unsigned char>(bytes[0]) & 0x80))
        bytes.insert(bytes.begin(), '\0');
    return Tlv(tag, bytes);
}

inline std::string Octets(const std::string& value) { return Tlv(0x04, value); }
inline std::string Sequence(const std::string& content) { return Tlv(0x30, content); }

// Reads the TLV at `at`: its tag, and its content's position and length; `at` moves into the
// content. False when the data ends too soon.
inline bool ReadTlv(const std::string& data, size_t& at, unsigned char& tag, size_t& start, size_t& length)
{
    if (at + 2 > data.size())
        return false;
    tag = static_cast<unsigned char>(data[at]);
    size_t n = static_cast<unsigned char>(data[at + 1]);
    size_t header = 2;
    if (n & 0x80) {
        const size_t bytes = n & 0x7F;
        if (bytes == 0 || bytes > 2 || at + 2 + bytes > data.size())
            return false;
        n = 0;
        for (size_t i = 0; i < bytes; ++i)
            n = n << 8 | static_cast<unsigned char>(data[at + 2 + i]);
        header += bytes;
    }
    start = at + header;
    length = n;
    if (start + length > data.size())
        return false;
    at = start;
    return true;
}

inline long long ReadInteger(const std::string& data, size_t start, size_t length)
{
    long long value = length && (static_cast<unsigned char>(data[start]) & 0x80) ? -1 : 0;
    for (size_t i = 0; i < length; ++i)
        value = value << 8 | static_cast<unsigned char>(data[start + i]);
    return value;
}

}  // namespace Ber
