// The texts the expression evaluators take: a derived value's formula and a row's condition,
// with the agent's values already put in (so any bytes an agent sent may stand in them).
#include "snmp/Expressions.h"
#include "snmp/QvException.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        (void)Expressions::EvaluateArithmetic(text);
    } catch (const QvException&) {
    }
    try {
        (void)Expressions::EvaluateLogical(text);
    } catch (const QvException&) {
    }
    return 0;
}
