#include "support/ErrorCode.h"
#include "snmp/DateTimeNumber.h"
#include "snmp/Expressions.h"
#include "snmp/QvException.h"
#include "snmp/QvSNMPRequest.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

struct ArithmeticCase {
    const char* text;
    double value;
};

class ArithmeticTest : public ::testing::TestWithParam<ArithmeticCase> {};

TEST_P(ArithmeticTest, EvaluatesByFirstOccurrence)
{
    EXPECT_DOUBLE_EQ(Expressions::EvaluateArithmetic(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ArithmeticTest,
    ::testing::Values(
        ArithmeticCase{"2+3*4", 14},
        ArithmeticCase{"(2+3)*4", 20},
        ArithmeticCase{"10-4-3", 9},       // split at the first "-": 10 - (4 - 3)
        ArithmeticCase{"8/2*3", 24},       // the text before "*" is read as one operand
        ArithmeticCase{"", 0},
        ArithmeticCase{"-5", -5},          // 0 minus the rest
        ArithmeticCase{"7", 7},
        ArithmeticCase{" 2.5 * 2", 5},
        ArithmeticCase{"((1+1)*(2+1))", 6},
        ArithmeticCase{"10-(2-5)", 13},
        ArithmeticCase{"8/4/2", 4},        // 8 / (4 / 2)
        ArithmeticCase{"abc+1", 1},        // no number: 0
        ArithmeticCase{"1E20/1E19", 10},
        ArithmeticCase{"(1+2", 2}));       // no matching bracket: "(1" reads as 0

TEST(Arithmetic, NowIsTheCurrentDateTimeNumber)
{
    const double before = DateTimeNumber::Now();
    const double now = Expressions::EvaluateArithmetic("now");
    EXPECT_GE(now, before);
    EXPECT_LT(now - before, 1.0 / 86400);
    EXPECT_NEAR(Expressions::EvaluateArithmetic("NOW-1"), now - 1, 1.0 / 86400);
    EXPECT_DOUBLE_EQ(Expressions::EvaluateArithmetic(" NOW"), 0);  // compared untrimmed
}

TEST(Arithmetic, DivisionByZeroIsAnErrorWithItsOwnMessage)
{
    try {
        Expressions::EvaluateArithmetic("5/(2-2)");
        FAIL() << "no error";
    } catch (const QvException& error) {
        EXPECT_EQ(error.code(), -513);
        EXPECT_STREQ(error.what(), "(QvSNMP++) Division by zero in the expression!");
    }
}

struct LogicalCase {
    const char* text;
    bool value;
};

class LogicalTest : public ::testing::TestWithParam<LogicalCase> {};

TEST_P(LogicalTest, EvaluatesConditions)
{
    EXPECT_EQ(Expressions::EvaluateLogical(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LogicalTest,
    ::testing::Values(
        LogicalCase{"(true)&(false)", false},
        LogicalCase{"true|false", true},
        LogicalCase{"TRUE", true},
        LogicalCase{"False", false},
        LogicalCase{"5>3", true},
        LogicalCase{"5>10", true},          // texts: "5" sorts after "10"
        LogicalCase{"10<9", true},
        LogicalCase{"5=5", true},
        LogicalCase{"!5=5", false},
        LogicalCase{"a<>b", true},
        LogicalCase{"ab>=ab", true},
        LogicalCase{"ab<=a", false},
        LogicalCase{"a<ab", true},          // a prefix sorts first
        LogicalCase{" abc = abc\t", true},  // sides trimmed
        LogicalCase{"\"a b\"=a b", true},   // quotes of a side removed
        LogicalCase{"\"x|y\"=x|y", true},   // the first "|" is quoted: one comparison
        LogicalCase{"\"a&b\"=\"a&b\"", true},
        LogicalCase{"(1=1)|(1=2)", true},
        LogicalCase{"true&(1=2|2=2)", true},
        LogicalCase{"\"(\"=\"(\"", true}));  // a quoted bracket is no bracket

TEST(Logical, OperandsThatAreNoComparisonNorTruthAreErrors)
{
    for (const char* text : {"true | false", "maybe", "", "(yes)"}) {
        try {
            Expressions::EvaluateLogical(text);
            ADD_FAILURE() << text;
        } catch (const QvException& error) {
            EXPECT_EQ(error.code(), -1) << text;
            EXPECT_STREQ(error.what(), "(QvCommon) Bad logic operand!");
        }
    }
    // The right side of "|" is not evaluated when the left holds.
    EXPECT_TRUE(Expressions::EvaluateLogical("true|nonsense"));
    EXPECT_FALSE(Expressions::EvaluateLogical("false&nonsense"));
}

// Expressions over the items of a request.
constexpr OptionRow kSwitchRows[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const QvOptionList kSwitch(kSwitchRows);
const VariableDescriptor kItems[] = {
    {"1.3.6.1.4.1.32473.1.1", "count", kSyntaxInteger, kAccessReadWrite},
    {"1.3.6.1.4.1.32473.1.2", "name", kSyntaxDisplayString, kAccessReadWrite},
    {"1.3.6.1.4.1.32473.1.3", "up", kSyntaxBoolean, kAccessReadOnly},
    {"1.3.6.1.4.1.32473.1.4", "uptime", kSyntaxTimeTicks, kAccessReadOnly},
    {"1.3.6.1.4.1.32473.1.5", "mode", kSyntaxInteger, kAccessReadWrite, &kSwitch},
    {"1.3.6.1.4.1.32473.1.6", "address", kSyntaxIpAddress, kAccessReadWrite},
    {"1.3.6.1.4.1.32473.1.7", "when", kSyntaxBcDateTime, kAccessReadWrite},
    {"1.3.6.1.4.1.32473.1.8", "ratio", kSyntaxDouble, kAccessReadWrite},
    {nullptr, nullptr, 0, 0},
};

class RequestExpressionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        request.list.Assign(QvSNMPVarList(kItems, kListScalars, 0));
        const char* values[] = {"5", "abc", "true", "1:00:00.00", "Enable", "10.0.0.1", "2006/03/07 12:00:00 pm",
                                "0.5"};
        for (int i = 0; i < 8; ++i)
            request.list.Item(i).value = values[i];
    }
    QvSNMPRequest request;
};

TEST_F(RequestExpressionTest, SubstitutesValuesByTheirSyntax)
{
    EXPECT_EQ(request.SubstituteValues("$0+$2+$3+$4", false, "$"), "5+1+360000+1");
    EXPECT_EQ(request.SubstituteValues("$6*2", false, "$"), "38783.5*2");
    EXPECT_EQ(request.SubstituteValues("$1=$5", true, "$"), "\"abc\"=\"10.0.0.1\"");
    EXPECT_EQ(request.SubstituteValues("$+1", false, "$"), "5+1");  // no digits: item 0
    EXPECT_EQ(request.SubstituteValues("#0>$0", false, "#"), "5>$0");
    EXPECT_EQ(errorCode([&] { request.SubstituteValues("$1", false, "$"); }), -513);
}

TEST_F(RequestExpressionTest, SubstitutionNeverReadsAnInsertedValueAgain)
{
    request.list.Item(1).value = "$1$1";
    EXPECT_EQ(request.SubstituteValues("$1=$1", true, "$"), "\"$1$1\"=\"$1$1\"");
    EXPECT_TRUE(request.Accepts("$1=$1"));
}

TEST_F(RequestExpressionTest, ReferencesToMissingItemsAndNullValuesAreErrors)
{
    try {
        request.SubstituteValues("$8+1", false, "$");
        FAIL() << "no error";
    } catch (const QvException& error) {
        EXPECT_EQ(error.code(), -12);
        EXPECT_STREQ(error.what(), "(QvCommon) Out of range at index of array or list!");
    }
    EXPECT_EQ(errorCode([&] { request.SubstituteValues("$99999999999", false, "$"); }), -12);
    request.list.Item(0).value = "(NULL)";
    EXPECT_EQ(errorCode([&] { request.Accepts("$0>3"); }), -512);
}

TEST_F(RequestExpressionTest, AcceptsComparesTheSubstitutedTexts)
{
    EXPECT_TRUE(request.Accepts(""));
    EXPECT_TRUE(request.Accepts("$0>3"));
    EXPECT_TRUE(request.Accepts("$0=5"));
    EXPECT_TRUE(request.Accepts("$0>10"));
    EXPECT_FALSE(request.Accepts("!$0=5"));
    EXPECT_TRUE(request.Accepts("$1=\"abc\""));
    EXPECT_TRUE(request.Accepts("$4=1&$2=1"));
    EXPECT_EQ(errorCode([&] { request.Accepts("$0"); }), -1);
}

struct DeriveCase {
    int32_t syntax;
    const char* expression;
    const char* value;
};

class DeriveValueTest : public ::testing::TestWithParam<DeriveCase> {};

TEST_P(DeriveValueTest, WritesTheResultInTheItemsSyntax)
{
    const VariableDescriptor rows[] = {
        {"1.3.6.1.4.1.32473.1.1", "source", kSyntaxInteger, kAccessReadWrite, nullptr, "$0", nullptr, nullptr, "7"},
        {"1.3.6.1.4.1.32473.1.2", "derived", GetParam().syntax, kAccessDerived, nullptr, GetParam().expression,
         "$0*2", nullptr, "old"},
        {nullptr, nullptr, 0, 0},
    };
    QvSNMPRequest request;
    request.list.Assign(QvSNMPVarList(rows, kListScalars, 0));
    request.DeriveValue(1, true);
    EXPECT_EQ(request.list.Item(1).value, GetParam().value);
    request.DeriveValue(1, false);  // the set expression
    if (GetParam().syntax == kSyntaxInteger) {
        EXPECT_EQ(request.list.Item(1).value, "14");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Syntaxes, DeriveValueTest,
    ::testing::Values(
        DeriveCase{kSyntaxBoolean, "$0-7", "false"},
        DeriveCase{kSyntaxBoolean, "$0", "true"},
        DeriveCase{kSyntaxInteger, "0-$0/2", "-3"},       // truncated toward zero
        DeriveCase{kSyntaxCounter, "$0*1000000000", "2705032704"},  // wraps at 32 bits
        DeriveCase{kSyntaxGauge, "$0/2", "3"},
        DeriveCase{kSyntaxTimeTicks, "$0*100", "0:00:07.00"},
        DeriveCase{kSyntaxCounter64, "$0*1000000000", "7000000000"},
        DeriveCase{kSyntaxDouble, "$0/2", "3.5"},
        DeriveCase{kSyntaxBcDateTime, "38783+$0/28", "2006/03/07 06:00:00 am"}));

TEST(DeriveValue, NoExpressionChangesNothingAndOtherSyntaxesAreErrors)
{
    const VariableDescriptor rows[] = {
        {"1.3.6.1.4.1.32473.1.1", "plain", kSyntaxInteger, kAccessReadWrite, &kSwitch, nullptr, nullptr, nullptr,
         "1"},
        {"1.3.6.1.4.1.32473.1.2", "text", kSyntaxDisplayString, kAccessReadWrite, nullptr, "1+1", nullptr, nullptr,
         "keep"},
        {"1.3.6.1.4.1.32473.1.3", "mode", kSyntaxInteger, kAccessReadWrite, &kSwitch, "$0-1", nullptr, nullptr, "x"},
        {"1.3.6.1.4.1.32473.1.4", "fromNull", kSyntaxInteger, kAccessReadWrite, nullptr, "$3*100", nullptr,
         nullptr, "(NULL)"},
        {nullptr, nullptr, 0, 0},
    };
    QvSNMPRequest request;
    request.list.Assign(QvSNMPVarList(rows, kListScalars, 0));
    request.DeriveValue(0, true);
    EXPECT_EQ(request.list.Item(0).value, "1");
    EXPECT_EQ(errorCode([&] { request.DeriveValue(1, true); }), -513);
    EXPECT_EQ(request.list.Item(1).value, "keep");
    // Option lists apply both ways: "Enable" reads as 1, the result 0 shows as "Disable".
    request.list.Item(0).value = "Enable";
    request.DeriveValue(2, true);
    EXPECT_EQ(request.list.Item(2).value, "Disable");
    EXPECT_EQ(errorCode([&] { request.DeriveValue(3, true); }), -512);
}

} // namespace
