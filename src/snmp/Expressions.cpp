#include "snmp/Expressions.h"

#include "snmp/DateTimeNumber.h"
#include "snmp/ErrorCatalogue.h"
#include "snmp/QvException.h"
#include "snmp/ValueText.h"

#include <algorithm>
#include <cctype>

namespace Expressions {

namespace {

constexpr int kBadLogicOperandLine = 2;  // "common.err"
constexpr int kBadLogicOperandCode = -1;

bool equalsIgnoringCase(const std::string& a, const char* b)
{
    const std::string other(b);
    return a.size() == other.size()
        && std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The ")" that closes the "(" at open, or npos.
size_t matchingBracket(const std::string& text, size_t open)
{
    int depth = 1;
    for (size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] == '(')
            ++depth;
        else if (text[i] == ')' && --depth == 0)
            return i;
    }
    return std::string::npos;
}

double operand(const std::string& text)
{
    if (equalsIgnoringCase(text, "NOW"))
        return DateTimeNumber::Now();
    return ValueText::ReadReal(text);
}

[[noreturn]] void badLogicOperand()
{
    throw QvException(Message(MessageTable::Common, kBadLogicOperandLine), kBadLogicOperandCode);
}

std::string comparisonSide(std::string side)
{
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!side.empty() && blank(side.back()))
        side.pop_back();
    size_t start = 0;
    while (start < side.size() && blank(side[start]))
        ++start;
    side.erase(0, start);
    if (side.size() >= 2 && side.front() == '"' && side.back() == '"')
        side = side.substr(1, side.size() - 2);
    if (equalsIgnoringCase(side, "NOW"))
        side = ValueText::Real(DateTimeNumber::Now());
    return side;
}

bool comparison(const std::string& text)
{
    static const char* const operators[] = {"<>", ">=", "<=", ">", "<", "="};
    for (const char* op : operators) {
        const size_t at = text.find(op);
        if (at == std::string::npos)
            continue;
        const std::string left = comparisonSide(text.substr(0, at));
        const std::string right = comparisonSide(text.substr(at + std::char_traits<char>::length(op)));
        const int order = left.compare(right);  // byte order; a prefix sorts first
        const std::string o(op);
        if (o == "<>")
            return order != 0;
        if (o == ">=")
            return order >= 0;
        if (o == "<=")
            return order <= 0;
        if (o == ">")
            return order > 0;
        if (o == "<")
            return order < 0;
        return order == 0;
    }
    if (equalsIgnoringCase(text, "true"))
        return true;
    if (equalsIgnoringCase(text, "false"))
        return false;
    badLogicOperand();
}

} // namespace

double EvaluateArithmetic(const std::string& text)
{
    if (const size_t open = text.find('('); open != std::string::npos) {
        if (const size_t close = matchingBracket(text, open); close != std::string::npos) {
            const double inner = EvaluateArithmetic(text.substr(open + 1, close - open - 1));
            return EvaluateArithmetic(text.substr(0, open) + ValueText::Real(inner) + text.substr(close + 1));
        }
    }
    if (const size_t at = text.find('+'); at != std::string::npos)
        return EvaluateArithmetic(text.substr(0, at)) + EvaluateArithmetic(text.substr(at + 1));
    if (const size_t at = text.find('-'); at != std::string::npos)
        return EvaluateArithmetic(text.substr(0, at)) - EvaluateArithmetic(text.substr(at + 1));
    if (const size_t at = text.find('*'); at != std::string::npos)
        return operand(text.substr(0, at)) * EvaluateArithmetic(text.substr(at + 1));
    if (const size_t at = text.find('/'); at != std::string::npos) {
        const double divisor = EvaluateArithmetic(text.substr(at + 1));
        if (divisor == 0)
            throw QvException("(QvSNMP++) Division by zero in the expression!", -513);
        return operand(text.substr(0, at)) / divisor;
    }
    return operand(text);
}

bool EvaluateLogical(const std::string& text)
{
    const size_t q1 = text.find('"');
    const size_t q2 = q1 == std::string::npos ? std::string::npos : text.find('"', q1 + 1);
    const auto quoted = [&](size_t p) { return q2 != std::string::npos && q1 < p && p < q2; };

    const size_t open = text.find('(');
    const size_t close = open == std::string::npos ? std::string::npos : matchingBracket(text, open);
    if (close != std::string::npos && !quoted(open) && !quoted(close)) {
        const bool inner = EvaluateLogical(text.substr(open + 1, close - open - 1));
        return EvaluateLogical(text.substr(0, open) + (inner ? "true" : "false") + text.substr(close + 1));
    }
    if (const size_t at = text.find('|'); at != std::string::npos && !quoted(at))
        return EvaluateLogical(text.substr(0, at)) || EvaluateLogical(text.substr(at + 1));
    if (const size_t at = text.find('&'); at != std::string::npos && !quoted(at))
        return EvaluateLogical(text.substr(0, at)) && EvaluateLogical(text.substr(at + 1));
    if (const size_t at = text.find('!'); at != std::string::npos && !quoted(at))
        return !EvaluateLogical(text.substr(1));
    return comparison(text);
}

} // namespace Expressions
