#include "snmp/QvNumList.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    char delimiter;
    const char* text;
    std::vector<int> elements;
};

class NumListParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(NumListParseTest, ParsesOneElementPerField)
{
    QvNumList<int> list;
    list.delimiter = GetParam().delimiter;
    list.Parse(GetParam().text);
    EXPECT_EQ(list.Items(), GetParam().elements);
    EXPECT_EQ(list.Count(), GetParam().elements.size());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumListParseTest,
    ::testing::Values(
        ParseCase{',', "1,3,5", {1, 3, 5}},
        ParseCase{',', "", {}},
        ParseCase{',', "7", {7}},
        ParseCase{',', "2.9", {2}},          // digits after a "." never change the element
        ParseCase{',', "1,,2", {1, 0, 2}},
        ParseCase{',', ",", {0, 0}},
        ParseCase{',', "12.99,3", {12, 3}},
        ParseCase{'.', "192.168.0.1", {192, 168, 0, 1}},
        ParseCase{'.', "10.", {10, 0}},
        // Not checked: a letter adds its code minus '0'.
        ParseCase{',', "a", {'a' - '0'}}));

TEST(NumList, ParseReplacesTheOldElements)
{
    QvNumList<int> list;
    list.delimiter = ',';
    list.Parse("4,5,6");
    list.Parse("9");
    EXPECT_EQ(list.Items(), std::vector<int>{9});
    list.Parse("");
    EXPECT_EQ(list.Count(), 0u);
}

TEST(NumList, IndexOfFindsTheFirstPosition)
{
    QvNumList<int> list;
    list.delimiter = ',';
    list.Parse("0,2,2");
    EXPECT_EQ(list.IndexOf(0), 0);
    EXPECT_EQ(list.IndexOf(2), 1);
    EXPECT_EQ(list.IndexOf(1), -1);
}

TEST(NumList, AllWithinChecksEveryElement)
{
    QvNumList<unsigned int> list;
    EXPECT_TRUE(list.AllWithin(1, 2));  // empty
    list.Parse("10.20.4094");
    EXPECT_TRUE(list.AllWithin(1, 4094));
    EXPECT_FALSE(list.AllWithin(11, 4094));
    EXPECT_FALSE(list.AllWithin(1, 4093));
    list.Parse("4294967295");
    EXPECT_EQ(list[0], 4294967295u);
    EXPECT_TRUE(list.AllWithin(0, 4294967295u));
}

} // namespace
