#include "support/ErrorCode.h"
#include "snmp/IndexCodec.h"
#include "snmp/QvException.h"
#include "snmp/QvSNMPRequest.h"
#include "snmp/VariableDescriptor.h"

#include <gtest/gtest.h>

namespace {

struct KeyCase {
    const char* name;
    int32_t syntax;
    bool impliedLast;
    const char* value;
    const char* subIds;
};

class IndexKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(IndexKeyTest, EncodesAndDecodesTheKey)
{
    const KeyCase& c = GetParam();
    EXPECT_EQ(IndexCodec::Encode(c.syntax, c.impliedLast, c.value), c.subIds);

    // Decoding takes exactly the key's sub-identifiers and leaves what follows.
    OidValue subIds;
    if (*c.subIds) {
        ASSERT_TRUE(ParseOid(c.subIds, subIds));
    }
    if (!c.impliedLast)
        subIds.push_back(99);
    size_t pos = 0;
    EXPECT_EQ(IndexCodec::Decode(c.syntax, c.impliedLast, subIds, pos), c.value);
    EXPECT_EQ(pos, subIds.size() - (c.impliedLast ? 0 : 1));
}

INSTANTIATE_TEST_SUITE_P(
    Syntaxes, IndexKeyTest,
    ::testing::Values(
        KeyCase{"boolTrue", kSyntaxBoolean, false, "true", "1"},
        KeyCase{"boolFalse", kSyntaxBoolean, false, "false", "0"},
        KeyCase{"integer", kSyntaxInteger, false, "17", "17"},
        KeyCase{"negativeInteger", kSyntaxInteger, false, "-1", "4294967295"},
        KeyCase{"octets", kSyntaxOctetString, false, "0A0B", "2.10.11"},
        KeyCase{"octetsImplied", kSyntaxOctetString, true, "0A0B", "10.11"},
        KeyCase{"emptyOctets", kSyntaxOctetString, false, "", "0"},
        KeyCase{"bits", kSyntaxBitString, false, "80", "1.128"},
        KeyCase{"opaque", kSyntaxOpaque, true, "FF00", "255.0"},
        KeyCase{"null", kSyntaxNull, false, "(NULL)", ""},
        KeyCase{"oid", kSyntaxObjectId, false, "1.3.6", "3.1.3.6"},
        KeyCase{"oidImplied", kSyntaxObjectId, true, "1.3.6", "1.3.6"},
        KeyCase{"ip", kSyntaxIpAddress, false, "192.168.0.1", "192.168.0.1"},
        KeyCase{"nsap", kSyntaxNsapAddress, false, "10.0.0.2", "10.0.0.2"},
        KeyCase{"counter", kSyntaxCounter, false, "4294967295", "4294967295"},
        KeyCase{"gauge", kSyntaxGauge, false, "5", "5"},
        KeyCase{"uinteger", kSyntaxUInteger, false, "3000000000", "3000000000"},
        KeyCase{"ticks", kSyntaxTimeTicks, false, "1 day 0:00:00.01", "8640001"},
        KeyCase{"counter64", kSyntaxCounter64, false, "4294967301", "1.5"},
        KeyCase{"double", kSyntaxDouble, false, "2", "0.1073741824"},
        KeyCase{"mac", kSyntaxMacAddress, false, "001B2C3D4E5F", "0.27.44.61.78.95"},
        KeyCase{"datetime", kSyntaxDateTime, false, "2006-3-7,14:5:9.0,+8:0", "7.214.3.7.14.5.9.0.43.8.0"},
        KeyCase{"bcdatetime", kSyntaxBcDateTime, false, "1899/12/31 12:00:00 am", "0.1072693248"},
        KeyCase{"text", kSyntaxDisplayString, false, "ab", "2.97.98"},
        KeyCase{"textImplied", kSyntaxDisplayString, true, "ab", "97.98"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IndexKey, EncodingFollowsTheTextRulesOfItsSyntax)
{
    // A MAC address key is six octets or nothing; hex follows the sending rules.
    EXPECT_EQ(IndexCodec::Encode(kSyntaxMacAddress, false, "0A0B"), "");
    EXPECT_EQ(IndexCodec::Encode(kSyntaxMacAddress, false, "00 1b 2c 3d 4e 5f 60"), "0.27.44.61.78.95");
    EXPECT_EQ(IndexCodec::Encode(kSyntaxOctetString, false, "ABC"), "2.10.188");
    EXPECT_EQ(IndexCodec::Encode(kSyntaxInteger, false, "12abc"), "12");
    EXPECT_EQ(IndexCodec::Encode(kSyntaxObjectId, false, ""), "0");
}

TEST(IndexKey, RefusesOtherSyntaxesShortSuffixesAndUnreadableValues)
{
    OidValue subIds{1, 2, 3};
    size_t pos = 0;
    EXPECT_EQ(errorCode([&] { IndexCodec::Decode(kSyntaxUInt8, false, subIds, pos); }), -511);
    EXPECT_EQ(errorCode([&] { IndexCodec::Encode(kSyntaxInt16, false, "1"); }), -511);
    EXPECT_EQ(errorCode([&] { IndexCodec::Decode(kSyntaxIpAddress, false, subIds, pos); }), -514);
    pos = 0;
    OidValue tooLong{5, 1, 2};
    EXPECT_EQ(errorCode([&] { IndexCodec::Decode(kSyntaxOctetString, false, tooLong, pos); }), -514);
    EXPECT_EQ(errorCode([] { IndexCodec::Encode(kSyntaxIpAddress, false, "1.2.3"); }), -518);
}

// Keys as a request reads and writes them: implied only for the last key, option lists
// applied both ways, the rest of the suffix handed on.
constexpr OptionRow kBandRows[] = {{1, "IEEE 802.11a"}, {2, "IEEE 802.11g"}, {0, nullptr}};
const QvOptionList kBand(kBandRows);
const VariableDescriptor kKeys[] = {
    {"1.3.6.1.4.1.32473.10.1.1", "band", kSyntaxInteger, kAccessNotAccessible, &kBand},
    {"1.3.6.1.4.1.32473.10.1.2", "name", kSyntaxDisplayString, kAccessNotAccessible | kAccessImplied},
    {"1.3.6.1.4.1.32473.10.1.3", "value", kSyntaxInteger, kAccessReadWrite},
    {nullptr, nullptr, 0, 0},
};

TEST(IndexKey, RequestKeysUseOptionListsAndTheImpliedBitOfTheLastKey)
{
    QvSNMPRequest request;
    request.list.Assign(QvSNMPVarList(kKeys, kListTable, 2));
    request.list.Item(0).value = "IEEE 802.11g";
    request.list.Item(1).value = "wds";
    EXPECT_EQ(request.RowIndex(), "2.119.100.115");

    request.DecodeRow("1.97.98");
    EXPECT_EQ(request.list.Item(0).value, "IEEE 802.11a");
    EXPECT_EQ(request.list.Item(1).value, "ab");
    // Keys that are not read get the row's OID, so a list view can address the row.
    EXPECT_EQ(request.list.Item(0).currentOid, "1.3.6.1.4.1.32473.10.1.1.1.97.98");

    // The implied bit on a key that is not the last one does not apply.
    request.list.Item(0).access |= kAccessImplied;
    request.list.Item(1).access &= ~kAccessImplied;
    EXPECT_EQ(request.RowIndex(), "1.2.97.98");
    EXPECT_EQ(request.DecodeIndex(0, "2.3.1.2.3.9"), "3.1.2.3.9");

    // Too few sub-identifiers for the keys.
    EXPECT_EQ(errorCode([&] { request.DecodeRow("2"); }), -514);
    EXPECT_EQ(errorCode([&] { request.DecodeRow(""); }), -514);
}

} // namespace
