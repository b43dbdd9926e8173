#include "snmp/VariableKeywords.h"

namespace {

constexpr OptionRow kListKindRows[] = {
    {0, "SVT_SV"}, {1, "MVT_SV"}, {2, "MVT_FMV"}, {3, "MVT_UMV"}, {0, nullptr},
};

constexpr OptionRow kSyntaxRows[] = {
    {1, "boolean"}, {2, "integer"}, {3, "bitstr"}, {4, "octetstr"}, {5, "null"},
    {6, "objectid"}, {64, "ipaddress"}, {65, "counter"}, {66, "guage"}, {67, "timeticks"},
    {68, "opaque"}, {69, "nsapaddr"}, {70, "counter64"}, {71, "uinteger"}, {72, "double"},
    {73, "macaddress"}, {74, "datetime"}, {75, "bcdatetime"}, {76, "displaystr"},
    {193, "bool8"}, {194, "int8"}, {195, "uint8"}, {196, "bool16"}, {197, "int16"},
    {198, "uint16"}, {0, nullptr},
};

// Bit 64 (implied last key) has no keyword.
constexpr OptionRow kAccessRows[] = {
    {1, "notaccess"}, {2, "readonly"}, {4, "writeonly"}, {6, "readwrite"},
    {8, "derived"}, {16, "hidden"}, {32, "invalid"}, {0, nullptr},
};

} // namespace

const QvOptionList& ListKindKeywords()
{
    static const QvOptionList list(kListKindRows);
    return list;
}

const QvOptionList& SyntaxKeywords()
{
    static const QvOptionList list(kSyntaxRows);
    return list;
}

const QvOptionList& AccessKeywords()
{
    static const QvOptionList list(kAccessRows);
    return list;
}
