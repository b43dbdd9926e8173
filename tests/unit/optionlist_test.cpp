#include "snmp/QvOptionList.h"
#include "snmp/VariableKeywords.h"

#include <gtest/gtest.h>

namespace {

constexpr OptionRow kSwitch[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
constexpr OptionRow kSigned[] = {{-3, "Minus three"}, {7, "Seven"}, {0, nullptr}};
constexpr OptionRow kDuplicates[] = {{1, "One"}, {1, "Uno"}, {2, "one"}, {0, nullptr}};
constexpr OptionRow kEmpty[] = {{5, nullptr}};
constexpr OptionRow kAccented[] = {{1, "Été"}, {0, nullptr}};

struct ConversionCase {
    const OptionRow* table;
    const char* argument;
    const char* valueToText;
    const char* textToValue;
};

class OptionConversionTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(OptionConversionTest, ConvertsBothWaysOrReturnsTheArgument)
{
    const QvOptionList list(GetParam().table);
    EXPECT_EQ(list.ValueToText(GetParam().argument), GetParam().valueToText);
    EXPECT_EQ(list.TextToValue(GetParam().argument), GetParam().textToValue);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, OptionConversionTest,
    ::testing::Values(
        ConversionCase{kSwitch, "1", "Enable", "1"},
        ConversionCase{kSwitch, "0", "Disable", "0"},
        ConversionCase{kSwitch, "Enable", "Enable", "1"},
        ConversionCase{kSwitch, "enable", "enable", "1"},      // texts match ignoring case
        ConversionCase{kSwitch, "DISABLE", "DISABLE", "0"},
        ConversionCase{kSwitch, "7", "7", "7"},                // no row: unchanged
        ConversionCase{kSwitch, "(NULL)", "(NULL)", "(NULL)"}, // never the row of value 0
        ConversionCase{kSwitch, "", "", ""},
        ConversionCase{kSwitch, " 1", " 1", " 1"},             // digits only
        ConversionCase{kSwitch, "1x", "1x", "1x"},
        ConversionCase{kSwitch, "+1", "Enable", "+1"},
        ConversionCase{kSwitch, "99999999999", "99999999999", "99999999999"},
        ConversionCase{kSigned, "-3", "Minus three", "-3"},
        ConversionCase{kSigned, "minus THREE", "minus THREE", "-3"},
        ConversionCase{kDuplicates, "1", "One", "1"},          // first row wins
        ConversionCase{kDuplicates, "ONE", "ONE", "1"},
        ConversionCase{kAccented, "été", "été", "1"},
        ConversionCase{kEmpty, "5", "5", "5"},
        ConversionCase{nullptr, "Enable", "Enable", "Enable"}));

TEST(OptionList, IndexLookupsFindTheFirstMatchingRowOrMinusOne)
{
    const QvOptionList list(kDuplicates);
    EXPECT_EQ(list.IndexOfValue("1"), 0);
    EXPECT_EQ(list.IndexOfValue("2"), 2);
    EXPECT_EQ(list.IndexOfText("one"), 0);
    EXPECT_EQ(list.IndexOfText("Uno"), 1);
    EXPECT_EQ(list.IndexOfText("Dos"), -1);
    EXPECT_EQ(list.IndexOfValue("abc"), -1);
    EXPECT_EQ(list.IndexOfValue(""), -1);

    const QvOptionList withZero(kSwitch);
    EXPECT_EQ(withZero.IndexOfValue("(NULL)"), -1);
    EXPECT_EQ(withZero.IndexOfValue("0"), 0);
}

TEST(OptionList, EmptyTablesGiveEmptyLists)
{
    EXPECT_EQ(QvOptionList(kEmpty).RowCount(), 0);
    EXPECT_EQ(QvOptionList(nullptr).RowCount(), 0);
    EXPECT_EQ(QvOptionList(kEmpty).IndexOfText("anything"), -1);
}

TEST(OptionList, AddRowsAppendsAfterTheExistingRowsAndCopiesTheTexts)
{
    QvOptionList list(kSwitch);
    list.AddRows(nullptr);
    list.AddRows(kEmpty);
    ASSERT_EQ(list.RowCount(), 2);

    char text[] = "Later";
    const OptionRow later[] = {{9, text}, {0, nullptr}};
    list.AddRows(later);
    text[0] = 'X';  // the list keeps its own copy
    ASSERT_EQ(list.RowCount(), 3);
    EXPECT_EQ(list.RowAt(0).text, "Disable");
    EXPECT_EQ(list.RowAt(1).value, 1);
    EXPECT_EQ(list.RowAt(2).text, "Later");
    EXPECT_EQ(list.ValueToText("9"), "Later");
}

TEST(OptionList, KeywordListsTurnCodesIntoKeywordsAndBack)
{
    EXPECT_EQ(SyntaxKeywords().ValueToText("66"), "guage");
    EXPECT_EQ(SyntaxKeywords().TextToValue("displaystr"), "76");
    EXPECT_EQ(SyntaxKeywords().TextToValue("uint16"), "198");
    EXPECT_EQ(SyntaxKeywords().RowCount(), 25);
    EXPECT_EQ(AccessKeywords().TextToValue("readwrite"), "6");
    EXPECT_EQ(AccessKeywords().ValueToText("32"), "invalid");
    EXPECT_EQ(AccessKeywords().ValueToText("64"), "64");  // the implied bit has no keyword
    EXPECT_EQ(ListKindKeywords().ValueToText("2"), "MVT_FMV");
    EXPECT_EQ(ListKindKeywords().TextToValue("SVT_SV"), "0");
}

} // namespace
