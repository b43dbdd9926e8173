// Numbers in text as agents and pages hand them on: delimited numeric lists (selections,
// numbers of an edit), times in ticks, date-time texts and numbers, reals and integers as the
// C library reads them, dotted addresses.
#include "platform/DottedAddress.h"
#include "snmp/DateTimeNumber.h"
#include "snmp/QvDateTime.h"
#include "snmp/QvNumList.h"
#include "snmp/ValueText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const char delimiter = static_cast<char>(data[0]);
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    QvNumList<int> selection;
    selection.delimiter = delimiter;
    selection.Parse(text);
    (void)selection.IndexOf(3);
    QvNumList<unsigned int> numbers;
    numbers.delimiter = delimiter;
    numbers.Parse(text);
    (void)numbers.AllWithin(1, 4094);

    if (const auto ticks = ValueText::ParseTimeTicks(text))
        (void)ValueText::TimeTicks(*ticks);
    if (const auto number = DateTimeNumber::Parse(text))
        (void)DateTimeNumber::Format(*number);
    (void)QvDateTime::FromText(text).ToOctets();
    (void)ValueText::Real(ValueText::ReadReal(text));
    (void)ValueText::ReadInteger(text);
    (void)ValueText::ReadUnsigned(text);
    (void)ValueText::BytesFromHex(text);
    (void)ValueText::ParseIpAddress(text);
    (void)ParseDottedAddress(text);
    return 0;
}
