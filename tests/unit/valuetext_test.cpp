#include "support/ErrorCode.h"
#include "snmp/DateTimeNumber.h"
#include "snmp/QvException.h"
#include "snmp/ValueText.h"
#include "snmp/VariableDescriptor.h"

#include <cstring>
#include <gtest/gtest.h>

#include <cmath>

namespace {

SnmpVarBind vb(uint8_t type, int64_t integer = 0, std::string bytes = {}, OidValue oid = {})
{
    SnmpVarBind b;
    b.type = type;
    b.integer = integer;
    b.bytes = std::move(bytes);
    b.oidValue = std::move(oid);
    return b;
}

SnmpVarBind counter64(uint64_t value)
{
    SnmpVarBind b = vb(SnmpType::Counter64);
    b.counter64 = value;
    return b;
}

std::string doubleOctets(double value)
{
    std::string octets(8, '\0');
    std::memcpy(octets.data(), &value, 8);
    return octets;
}

struct ReceivedCase {
    const char* name;
    int32_t syntax;
    SnmpVarBind received;
    const char* text;
};

class ReceivedValueTest : public ::testing::TestWithParam<ReceivedCase> {};

TEST_P(ReceivedValueTest, BecomesTheTextOfItsSyntax)
{
    EXPECT_EQ(ValueText::FromVarBind(GetParam().syntax, GetParam().received), GetParam().text);
}

// 2006-03-07 14:05:09 as a date-time number.
const double kAfternoon = 38783.0 + (14 * 3600 + 5 * 60 + 9) / 86400.0;

INSTANTIATE_TEST_SUITE_P(
    Syntaxes, ReceivedValueTest,
    ::testing::Values(
        ReceivedCase{"boolTrue", kSyntaxBoolean, vb(SnmpType::Integer, 5), "true"},
        ReceivedCase{"boolFalse", kSyntaxBoolean, vb(SnmpType::Integer, 0), "false"},
        ReceivedCase{"negative", kSyntaxInteger, vb(SnmpType::Integer, -2147483648LL), "-2147483648"},
        ReceivedCase{"octets", kSyntaxOctetString, vb(SnmpType::OctetString, 0, std::string("\x00\x0a\xff", 3)),
                     "000AFF"},
        ReceivedCase{"bits", kSyntaxBitString, vb(SnmpType::OctetString, 0, "\x80"), "80"},
        ReceivedCase{"opaque", kSyntaxOpaque, vb(SnmpType::Opaque, 0, "\x01\x02"), "0102"},
        ReceivedCase{"mac", kSyntaxMacAddress, vb(SnmpType::OctetString, 0, std::string("\x00\x1b\x2c\x3d\x4e\x5f", 6)),
                     "001B2C3D4E5F"},
        ReceivedCase{"nullSyntax", kSyntaxNull, vb(SnmpType::Integer, 1), "(NULL)"},
        ReceivedCase{"oid", kSyntaxObjectId, vb(SnmpType::ObjectId, 0, {}, {1, 3, 6, 1, 4, 1, 8072}),
                     "1.3.6.1.4.1.8072"},
        ReceivedCase{"ip", kSyntaxIpAddress, vb(SnmpType::IpAddress, 0, std::string("\xc0\xa8\x00\x01", 4)), "192.168.0.1"},
        ReceivedCase{"nsap", kSyntaxNsapAddress, vb(SnmpType::IpAddress, 0, std::string("\x0a\x00\x00\xfe", 4)), "10.0.0.254"},
        ReceivedCase{"counter", kSyntaxCounter, vb(SnmpType::Counter32, 4294967295LL), "4294967295"},
        ReceivedCase{"gauge", kSyntaxGauge, vb(SnmpType::Gauge32, 7), "7"},
        ReceivedCase{"uinteger", kSyntaxUInteger, vb(SnmpType::Gauge32, 3000000000LL), "3000000000"},
        ReceivedCase{"ticksZero", kSyntaxTimeTicks, vb(SnmpType::TimeTicks, 0), "0:00:00.00"},
        ReceivedCase{"ticksHours", kSyntaxTimeTicks, vb(SnmpType::TimeTicks, 8639999), "23:59:59.99"},
        ReceivedCase{"ticksOneDay", kSyntaxTimeTicks, vb(SnmpType::TimeTicks, 8640000 + 366101),
                     "1 day 1:01:01.01"},
        ReceivedCase{"ticksDays", kSyntaxTimeTicks, vb(SnmpType::TimeTicks, 4294967295LL),
                     "497 days, 2:27:52.95"},
        ReceivedCase{"counter64", kSyntaxCounter64, counter64(18446744073709551615ULL), "18446744073709551615"},
        ReceivedCase{"double", kSyntaxDouble, vb(SnmpType::OctetString, 0, doubleOctets(-2.5)), "-2.5"},
        ReceivedCase{"doubleDigits", kSyntaxDouble, vb(SnmpType::OctetString, 0, doubleOctets(1.0 / 3)),
                     "0.333333333333333"},
        ReceivedCase{"datetime", kSyntaxDateTime,
                     vb(SnmpType::OctetString, 0, std::string("\x07\xD6\x03\x07\x0E\x05\x09\x00+\x08\x00", 11)),
                     "2006-3-7,14:5:9.0,+8:0"},
        ReceivedCase{"bcdatetime", kSyntaxBcDateTime, vb(SnmpType::OctetString, 0, doubleOctets(kAfternoon)),
                     "2006/03/07 02:05:09 pm"},
        ReceivedCase{"text", kSyntaxDisplayString, vb(SnmpType::OctetString, 0, "VTA-3100QX"), "VTA-3100QX"},
        ReceivedCase{"textToZero", kSyntaxDisplayString, vb(SnmpType::OctetString, 0, std::string("ab\0cd", 5)),
                     "ab"},
        // No value: "(NULL)", but an empty text for display strings and hex texts.
        ReceivedCase{"nullInteger", kSyntaxInteger, vb(SnmpType::Null), "(NULL)"},
        ReceivedCase{"nullText", kSyntaxDisplayString, vb(SnmpType::Null), ""},
        ReceivedCase{"nullHex", kSyntaxOctetString, vb(SnmpType::Null), ""},
        ReceivedCase{"noSuchObject", kSyntaxIpAddress, vb(SnmpType::NoSuchObject), "(NULL)"},
        ReceivedCase{"endOfMib", kSyntaxCounter, vb(SnmpType::EndOfMibView), "(NULL)"},
        ReceivedCase{"emptyText", kSyntaxDisplayString, vb(SnmpType::OctetString), ""},
        ReceivedCase{"emptyDateTime", kSyntaxDateTime, vb(SnmpType::OctetString), "(NULL)"},
        ReceivedCase{"emptyMac", kSyntaxMacAddress, vb(SnmpType::OctetString), ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct SentCase {
    const char* name;
    int32_t syntax;
    const char* text;
    uint8_t type;
    int64_t integer;
    std::string bytes;
};

class SentValueTest : public ::testing::TestWithParam<SentCase> {};

TEST_P(SentValueTest, BecomesTheValueOfItsSyntax)
{
    const SnmpVarBind sent = ValueText::ToVarBind(GetParam().syntax, GetParam().text);
    EXPECT_EQ(sent.type, GetParam().type);
    EXPECT_EQ(sent.integer, GetParam().integer);
    EXPECT_EQ(sent.bytes, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Syntaxes, SentValueTest,
    ::testing::Values(
        SentCase{"boolTrue", kSyntaxBoolean, "true", SnmpType::Integer, 1, ""},
        SentCase{"boolOther", kSyntaxBoolean, "TRUE", SnmpType::Integer, 0, ""},
        SentCase{"integer", kSyntaxInteger, "-42", SnmpType::Integer, -42, ""},
        SentCase{"integerLeadingNumber", kSyntaxInteger, "  17abc", SnmpType::Integer, 17, ""},
        SentCase{"integerNoNumber", kSyntaxInteger, "abc", SnmpType::Integer, 0, ""},
        SentCase{"hex", kSyntaxOctetString, "0a0B", SnmpType::OctetString, 0, "\x0a\x0b"},
        SentCase{"hexBlanks", kSyntaxOctetString, "00 1B 2C", SnmpType::OctetString, 0, std::string("\x00\x1b\x2c", 3)},
        SentCase{"hexOdd", kSyntaxOctetString, "ABC", SnmpType::OctetString, 0, "\x0a\xbc"},
        SentCase{"hexOther", kSyntaxMacAddress, "1G", SnmpType::OctetString, 0, "\x10"},
        SentCase{"opaque", kSyntaxOpaque, "FF", SnmpType::Opaque, 0, "\xff"},
        SentCase{"null", kSyntaxNull, "anything", SnmpType::Null, 0, ""},
        SentCase{"ip", kSyntaxIpAddress, "192.168.0.254", SnmpType::IpAddress, 0, std::string("\xc0\xa8\x00\xfe", 4)},
        SentCase{"counter", kSyntaxCounter, "4294967295", SnmpType::Gauge32, 4294967295LL, ""},
        SentCase{"gauge", kSyntaxGauge, "12", SnmpType::Gauge32, 12, ""},
        SentCase{"ticksPrinted", kSyntaxTimeTicks, "1 day 1:01:01.01", SnmpType::TimeTicks, 9006101, ""},
        SentCase{"ticksDays", kSyntaxTimeTicks, "497 days, 2:27:52.95", SnmpType::TimeTicks, 4294967295LL, ""},
        SentCase{"ticksPlain", kSyntaxTimeTicks, "12345", SnmpType::TimeTicks, 12345, ""},
        SentCase{"double", kSyntaxDouble, "-2.5", SnmpType::OctetString, 0, doubleOctets(-2.5)},
        SentCase{"datetime", kSyntaxDateTime, "2006-3-7,14:5:9.0,+8:0", SnmpType::OctetString, 0,
                 std::string("\x07\xD6\x03\x07\x0E\x05\x09\x00+\x08\x00", 11)},
        SentCase{"bcdatetime", kSyntaxBcDateTime, "2006/03/07 02:05:09 pm", SnmpType::OctetString, 0,
                 doubleOctets(kAfternoon)},
        SentCase{"text", kSyntaxDisplayString, "Room 1", SnmpType::OctetString, 0, "Room 1"},
        // "(NULL)" sends NULL for every syntax.
        SentCase{"nullInteger", kSyntaxInteger, "(NULL)", SnmpType::Null, 0, ""},
        SentCase{"nullText", kSyntaxDisplayString, "(NULL)", SnmpType::Null, 0, ""},
        SentCase{"nullIp", kSyntaxIpAddress, "(NULL)", SnmpType::Null, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ValueText, OtherValueKindsRoundTrip)
{
    SnmpVarBind sent = ValueText::ToVarBind(kSyntaxObjectId, "1.3.6.1.2.1.1.1.0");
    EXPECT_EQ(sent.type, SnmpType::ObjectId);
    EXPECT_EQ(ValueText::FromVarBind(kSyntaxObjectId, sent), "1.3.6.1.2.1.1.1.0");

    sent = ValueText::ToVarBind(kSyntaxCounter64, "18446744073709551615");
    EXPECT_EQ(sent.type, SnmpType::Counter64);
    EXPECT_EQ(sent.counter64, 18446744073709551615ULL);
}

TEST(ValueText, RefusesSyntaxesWithoutValueTextAndUnreadableValues)
{
    for (int32_t syntax : std::initializer_list<int32_t>{0, 7, 63, 77, kSyntaxBool8, kSyntaxInt8, kSyntaxUInt16}) {
        EXPECT_EQ(errorCode([&] { ValueText::FromVarBind(syntax, vb(SnmpType::Integer, 1)); }), -511) << syntax;
        EXPECT_EQ(errorCode([&] { ValueText::ToVarBind(syntax, "1"); }), -511) << syntax;
    }
    // A value that cannot be read is an error, never a silent zero.
    EXPECT_EQ(errorCode([] { ValueText::ToVarBind(kSyntaxIpAddress, "192.168.0"); }), -518);
    EXPECT_EQ(errorCode([] { ValueText::ToVarBind(kSyntaxIpAddress, "256.1.1.1"); }), -518);
    EXPECT_EQ(errorCode([] { ValueText::ToVarBind(kSyntaxObjectId, "1.3.x"); }), -518);
    EXPECT_EQ(errorCode([] { ValueText::ToVarBind(kSyntaxTimeTicks, "soon"); }), -518);
    EXPECT_EQ(errorCode([] { ValueText::ToVarBind(kSyntaxTimeTicks, "1:60:00.00"); }), -518);
    // Numbers too long for any count are unreadable times too, however many digits they have.
    EXPECT_EQ(errorCode([] { ValueText::ToVarBind(kSyntaxTimeTicks, "111111111111111111111113 days, 4:02:07"); }), -518);
    EXPECT_EQ(errorCode([] { ValueText::ToVarBind(kSyntaxTimeTicks, "99999999999999999999999:00:00"); }), -518);
    EXPECT_FALSE(ValueText::ParseTimeTicks("99999 days, 0:00:00").has_value());
    EXPECT_EQ(errorCode([] { ValueText::ToVarBind(kSyntaxBcDateTime, "2006/02/30 01:00:00 pm"); }), -518);
}

TEST(ValueText, RealNumbersUseAPointAndNoPlusInTheExponent)
{
    EXPECT_EQ(ValueText::Real(14), "14");
    EXPECT_EQ(ValueText::Real(-0.25), "-0.25");
    EXPECT_EQ(ValueText::Real(0.1 + 0.2), "0.3");
    EXPECT_EQ(ValueText::Real(1e20), "1E20");
    EXPECT_EQ(ValueText::Real(1.5e-7), "1.5E-7");
    EXPECT_DOUBLE_EQ(ValueText::ReadReal("  2.5kg"), 2.5);
    EXPECT_DOUBLE_EQ(ValueText::ReadReal("abc"), 0);
    EXPECT_DOUBLE_EQ(ValueText::ReadReal("1E20"), 1e20);
}

TEST(ValueText, DateTimeNumbersUseTheTwelveHourClock)
{
    EXPECT_EQ(DateTimeNumber::Format(38783.0), "2006/03/07 12:00:00 am");
    EXPECT_EQ(DateTimeNumber::Format(38783.5), "2006/03/07 12:00:00 pm");
    EXPECT_EQ(DateTimeNumber::Format(0), "1899/12/30 12:00:00 am");
    EXPECT_DOUBLE_EQ(*DateTimeNumber::Parse("2006/03/07 12:00:00 pm"), 38783.5);
    EXPECT_DOUBLE_EQ(*DateTimeNumber::Parse("2006/03/07 12:00:00 am"), 38783.0);
    EXPECT_DOUBLE_EQ(*DateTimeNumber::Parse("2006-03-07 18:00"), 38783.75);
    EXPECT_DOUBLE_EQ(*DateTimeNumber::Parse("2006/3/7"), 38783.0);
    EXPECT_FALSE(DateTimeNumber::Parse("13:00:00 pm").has_value());
    EXPECT_FALSE(DateTimeNumber::Parse("2006/03/07 13:00:00 pm").has_value());
}

TEST(ValueText, DateTimeNumbersNoDateCanHoldReadAsTheEpoch)
{
    // Eight octets from an agent may hold any double: one whose day no date can hold reads
    // as the epoch, as one that is no number does.
    for (const double number : {1e300, -3.68935e19, 9.3e18, std::nan(""), HUGE_VAL})
        EXPECT_EQ(DateTimeNumber::Format(number), "1899/12/30 12:00:00 am") << number;
    EXPECT_EQ(DateTimeNumber::Format(2958465.5), "9999/12/31 12:00:00 pm");
}

} // namespace
