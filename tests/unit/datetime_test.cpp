#include "snmp/QvDateTime.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char* text;
    const char* printed;
    char direction;
    int utcHours, utcMinutes;
};

class DateTimeTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(DateTimeTextTest, ReadsAndPrintsTheText)
{
    const QvDateTime value = QvDateTime::FromText(GetParam().text);
    EXPECT_EQ(value.ToText(), GetParam().printed);
    EXPECT_EQ(value.direction, GetParam().direction);
    EXPECT_EQ(value.utcHours, GetParam().utcHours);
    EXPECT_EQ(value.utcMinutes, GetParam().utcMinutes);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DateTimeTextTest,
    ::testing::Values(
        TextCase{"2006-3-7,14:5:9.0,+8:0", "2006-3-7,14:5:9.0,+8:0", '+', 8, 0},
        TextCase{"2006-3-7,14:5:9.0", "2006-3-7,14:5:9.0", '+', 0, 0},
        TextCase{"1999-12-31,23:59:59.9,-5:30", "1999-12-31,23:59:59.9,-5:30", '-', 5, 30},
        TextCase{"2006-3-7,14:5:9.0,+0:0", "2006-3-7,14:5:9.0", '+', 0, 0},  // no offset: no zone
        // Fields a malformed text does not give are 0.
        TextCase{"2006-3-7", "2006-3-7,0:0:0.0", '+', 0, 0},
        TextCase{"garbage", "0-0-0,0:0:0.0", '+', 0, 0}));

TEST(DateTime, OctetsCarryTheYearInNetworkOrder)
{
    const QvDateTime value = QvDateTime::FromText("2006-3-7,14:5:9.3,-8:30");
    const std::string octets = value.ToOctets();
    ASSERT_EQ(octets.size(), 11u);
    EXPECT_EQ(octets, std::string("\x07\xD6\x03\x07\x0E\x05\x09\x03-\x08\x1E", 11));
    EXPECT_EQ(QvDateTime::FromOctets(octets).ToText(), "2006-3-7,14:5:9.3,-8:30");
    // The 8-octet form has no zone.
    EXPECT_EQ(QvDateTime::FromOctets(octets.substr(0, 8)).ToText(), "2006-3-7,14:5:9.3");
}

TEST(DateTime, NowHasNoOffset)
{
    const QvDateTime now = QvDateTime::Now();
    EXPECT_GE(now.year, 2024);
    EXPECT_EQ(now.deciSeconds, 0);
    EXPECT_EQ(now.direction, '+');
    EXPECT_EQ(now.utcHours, 0);
}

} // namespace
