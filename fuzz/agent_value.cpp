// A value as an agent answers it, under whatever syntax the page declared for the variable:
// its text (octet strings as hex, display strings, addresses, MAC addresses, date-time octets,
// doubles), the byte form a page lays a control's text over, and the value the text becomes
// when the page writes it back.
#include "AllSyntaxes.h"

#include "binding/ByteForm.h"
#include "snmp/QvDateTime.h"
#include "snmp/QvException.h"
#include "snmp/ValueText.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int32_t syntax = PickSyntax(input);
    SnmpVarBind vb;
    vb.type = kAllTypes[input.ConsumeIntegralInRange<size_t>(0, std::size(kAllTypes) - 1)];
    vb.integer = input.ConsumeIntegral<int64_t>();
    vb.counter64 = input.ConsumeIntegral<uint64_t>();
    const size_t arcs = input.ConsumeIntegralInRange<size_t>(0, 140);
    for (size_t i = 0; i < arcs && input.remaining_bytes() > 0; ++i)
        vb.oidValue.push_back(input.ConsumeIntegral<uint32_t>());
    vb.bytes = input.ConsumeRemainingBytesAsString();

    try {
        const std::string text = ValueText::FromVarBind(syntax, vb);
        (void)ValueText::ToVarBind(syntax, text);
    } catch (const QvException&) {
    }
    try {
        ByteForm::Value value{vb.bytes, vb.type == SnmpType::Null};
        const std::string text = ByteForm::ToText(syntax, value);
        ByteForm::Overlay(value, ByteForm::FromText(syntax, text));
    } catch (const QvException&) {
    }
    (void)QvDateTime::FromOctets(vb.bytes).ToText();
    return 0;
}
