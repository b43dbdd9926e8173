#include "snmp/QvSNMPRequest.h"

#include "snmp/DateTimeNumber.h"
#include "snmp/ErrorCatalogue.h"
#include "snmp/Expressions.h"
#include "snmp/QvException.h"
#include "snmp/ValueText.h"

#include <cmath>
#include <limits>

// The derive expressions of the descriptors and the row conditions over a request's items.

namespace {

constexpr int kOutOfRangeLine = 13;  // "common.err": "Out of range at index of array or list!"
constexpr int kOutOfRangeCode = -12;

[[noreturn]] void raiseOutOfRange()
{
    throw QvException(Message(MessageTable::Common, kOutOfRangeLine), kOutOfRangeCode);
}

// x truncated toward zero into the range of a 64-bit integer (0 for a value that is not a number).
long long truncated(double x)
{
    if (!std::isfinite(x))
        return 0;
    x = std::trunc(x);
    if (x >= 9.2e18)
        return std::numeric_limits<long long>::max();
    if (x <= -9.2e18)
        return std::numeric_limits<long long>::min();
    return static_cast<long long>(x);
}

} // namespace

std::string QvSNMPRequest::SubstituteValues(const std::string& expression, bool quoteTexts, const std::string& marker)
{
    if (marker.empty())
        return expression;
    std::string text = expression;
    size_t from = 0;
    for (size_t at = text.find(marker[0], from); at != std::string::npos; at = text.find(marker[0], from)) {
        size_t end = at + 1;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
        const std::string digits = text.substr(at + 1, end - at - 1);
        text.erase(at, end - at);
        if (digits.size() > 9 || (digits.empty() ? 0 : std::stol(digits)) >= list.Count())
            raiseOutOfRange();
        const int32_t n = digits.empty() ? 0 : static_cast<int32_t>(std::stol(digits));
        const QvSNMPVarItem& item = list.Item(n);
        const std::string value = item.options ? item.options->TextToValue(item.value) : item.value;
        if (value == ValueText::kNull)
            RaiseQvSnmp(-512);
        std::string inserted;
        switch (item.syntax) {
        case kSyntaxBoolean:
        case kSyntaxBool8:
        case kSyntaxBool16:
            inserted = value == "true" ? "1" : "0";
            break;
        case kSyntaxInteger:
        case kSyntaxCounter:
        case kSyntaxGauge:
        case kSyntaxCounter64:
        case kSyntaxUInteger:
        case kSyntaxDouble:
        case kSyntaxInt8:
        case kSyntaxUInt8:
        case kSyntaxInt16:
        case kSyntaxUInt16:
            inserted = value;
            break;
        case kSyntaxTimeTicks: {
            const auto ticks = ValueText::ParseTimeTicks(value);
            if (!ticks)
                RaiseQvSnmp(-513);
            inserted = std::to_string(*ticks);
            break;
        }
        case kSyntaxBcDateTime: {
            const auto number = DateTimeNumber::Parse(value);
            if (!number)
                RaiseQvSnmp(-513);
            inserted = ValueText::Real(*number);
            break;
        }
        default:
            if (!quoteTexts)
                RaiseQvSnmp(-513);
            inserted = "\"" + value + "\"";
            break;
        }
        text.insert(at, inserted);
        // Go on after the inserted value: a value holding the marker is not read again.
        from = at + inserted.size();
    }
    return text;
}

void QvSNMPRequest::DeriveValue(int32_t i, bool afterGet)
{
    QvSNMPVarItem& item = list.Item(i);
    const std::optional<std::string>& expression = afterGet ? item.getExpression : item.setExpression;
    if (!expression)
        return;
    const double x = Expressions::EvaluateArithmetic(SubstituteValues(*expression, false, "$"));
    std::string value;
    switch (item.syntax) {
    case kSyntaxBoolean:
        value = x != 0 ? "true" : "false";
        break;
    case kSyntaxInteger:
        value = std::to_string(static_cast<int32_t>(truncated(x)));
        break;
    case kSyntaxCounter:
    case kSyntaxGauge:
    case kSyntaxUInteger:
        value = std::to_string(static_cast<uint32_t>(truncated(x)));
        break;
    case kSyntaxTimeTicks:
        value = ValueText::TimeTicks(static_cast<uint32_t>(truncated(x)));
        break;
    case kSyntaxCounter64:
        value = std::to_string(!std::isfinite(x) || x <= 0 ? 0ULL
                                   : x >= 1.8446744073709552e19 ? std::numeric_limits<unsigned long long>::max()
                                                                : static_cast<unsigned long long>(x));
        break;
    case kSyntaxDouble:
        value = ValueText::Real(x);
        break;
    case kSyntaxBcDateTime:
        value = DateTimeNumber::Format(x);
        break;
    default:
        RaiseQvSnmp(-513);
    }
    item.value = item.options ? item.options->ValueToText(value) : value;
}

bool QvSNMPRequest::Accepts(const std::string& expression)
{
    if (expression.empty())
        return true;
    return Expressions::EvaluateLogical(SubstituteValues(expression, true, "$"));
}
