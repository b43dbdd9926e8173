#include "snmp/QvOptionList.h"

#include <QString>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

bool sameTextIgnoringCase(const std::string& a, const std::string& b)
{
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
               .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())), Qt::CaseInsensitive)
        == 0;
}

// Optional sign and decimal digits only, within 32 bits.
bool parseDecimal(const std::string& text, int32_t& value)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i == text.size())
        return false;
    for (size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9')
            return false;
    errno = 0;
    const long long number = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || number < INT32_MIN || number > INT32_MAX)
        return false;
    value = static_cast<int32_t>(number);
    return true;
}

} // namespace

QvOptionList::QvOptionList(const OptionRow* table) { AddRows(table); }

int QvOptionList::CountRows(const OptionRow* table)
{
    int count = 0;
    if (table)
        while (table[count].text)
            ++count;
    return count;
}

void QvOptionList::AddRows(const OptionRow* table)
{
    const int count = CountRows(table);
    m_rows.reserve(m_rows.size() + static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        m_rows.push_back({table[i].value, table[i].text});
}

int QvOptionList::IndexOfText(const std::string& text) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (sameTextIgnoringCase(m_rows[i].text, text))
            return static_cast<int>(i);
    return -1;
}

int QvOptionList::IndexOfValue(const std::string& text) const
{
    // "(NULL)" is the text of a variable without value: it never stands for a row.
    if (text == "(NULL)")
        return -1;
    int32_t value = 0;
    if (!parseDecimal(text, value))
        return -1;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].value == value)
            return static_cast<int>(i);
    return -1;
}

std::string QvOptionList::ValueToText(const std::string& text) const
{
    const int i = IndexOfValue(text);
    return i < 0 ? text : m_rows[static_cast<size_t>(i)].text;
}

std::string QvOptionList::TextToValue(const std::string& text) const
{
    const int i = IndexOfText(text);
    return i < 0 ? text : std::to_string(m_rows[static_cast<size_t>(i)].value);
}
