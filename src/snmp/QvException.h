#pragma once

#include <stdexcept>
#include <string>

// A failure of the SNMP library or its helpers: the catalogue text and its numeric code.
class QvException : public std::runtime_error {
public:
    QvException(const std::string& text, int code)
        : std::runtime_error(text), m_code(code)
    {
    }
    int code() const { return m_code; }

private:
    int m_code;
};
