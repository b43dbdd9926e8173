// A row's instance as an agent names it in a walk: the sub-identifiers after the column,
// read as the table's index keys (lengths first, unless the last key is IMPLIED), and each
// key's text encoded back as the page does when it writes to the row.
#include "AllSyntaxes.h"

#include "snmp/IndexCodec.h"
#include "snmp/QvException.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<int32_t> keys(input.ConsumeIntegralInRange<size_t>(1, 4));
    for (int32_t& key : keys)
        key = PickSyntax(input);
    const bool implied = input.ConsumeBool();
    OidValue instance;
    while (input.remaining_bytes() > 0) {
        // Small sub-identifiers are the usual ones (lengths, octets); any 32-bit one may come.
        instance.push_back(input.ConsumeBool() ? input.ConsumeIntegral<uint8_t>() : input.ConsumeIntegral<uint32_t>());
    }
    size_t pos = 0;
    for (size_t k = 0; k < keys.size(); ++k) {
        try {
            const std::string text = IndexCodec::Decode(keys[k], implied && k + 1 == keys.size(), instance, pos);
            if (pos > instance.size())
                __builtin_trap();  // read past the instance
            (void)IndexCodec::Encode(keys[k], implied && k + 1 == keys.size(), text);
        } catch (const QvException&) {
            break;
        }
    }
    return 0;
}
