#include "platform/Conversion.h"
#include "support/DialogRecorder.h"
#include "shell/Validators.h"

#include <gtest/gtest.h>

namespace {

struct AddressCase {
    const char* text;
    bool address;
    bool mask;
};

class DottedTextTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(DottedTextTest, AddressAndMaskRules)
{
    EXPECT_EQ(IsValidIpAddress(GetParam().text), GetParam().address);
    EXPECT_EQ(IsValidSubnetMask(GetParam().text), GetParam().mask);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DottedTextTest,
    ::testing::Values(AddressCase{"192.168.0.1", true, false},
                      AddressCase{"127.0.0.1", false, false},
                      AddressCase{"224.0.0.1", false, false},
                      AddressCase{"223.255.255.254", true, false},
                      AddressCase{"10.0.0.0", false, false},
                      AddressCase{"10.0.0.255", false, false},
                      AddressCase{"0.1.2.3", false, false},
                      AddressCase{"1.2.3", false, false},
                      AddressCase{"1.2.3.4.5", false, false},
                      AddressCase{"", false, false},
                      AddressCase{".1.2.3", false, false},
                      AddressCase{"255.255.255.0", false, true},
                      AddressCase{"255.255.255.254", false, true},
                      AddressCase{"255.255.255.255", false, false},
                      AddressCase{"192.0.0.0", false, true},
                      AddressCase{"128.0.0.0", false, false},
                      AddressCase{"255.0.255.0", false, false},
                      AddressCase{"255.255.1.0", false, false},
                      AddressCase{"255.255.256.0", false, false},
                      // Leading zeros are decimal, as every write reads them; a fourth digit is
                      // refused, since the write could not send it.
                      AddressCase{"010.0.0.1", true, false},
                      AddressCase{"0010.0.0.1", false, false},
                      AddressCase{"255.255.255.000", false, true}));

TEST(DottedText, APartThatIsNotANumberIsAConversionError)
{
    EXPECT_THROW(IsValidIpAddress("10.0.x.1"), ConversionError);
    EXPECT_THROW(IsValidSubnetMask("255..255.0"), ConversionError);
    EXPECT_THROW(IsValidIpAddress("1..."), ConversionError);
    // Hexadecimal, signs and blanks were once read as numbers the write then read otherwise.
    for (const char* text : {"0x0A.0.0.1", "$A.0.0.1", "+10.0.0.1", " 10.0.0.1", "10.0.0.1 "})
        EXPECT_THROW(IsValidIpAddress(text), ConversionError) << text;
    EXPECT_THROW(IsValidSubnetMask("0xFF.255.255.0"), ConversionError);
}

struct TextCase {
    std::string text;
    bool secret;
    bool accepted;
    const char* message;
};

TEST(CheckText, SecretAndPlainRules)
{
    const std::vector<TextCase> cases = {
        {"Secret123", true, true, nullptr},
        {"", true, false, "Please input Radius Secret format xxxxxx(x:0-9;A-z)"},
        {"with blank", true, false, "Please input Radius Secret format xxxxxx(x:0-9;A-z)"},
        {"a-b", true, false, "Please input Radius Secret format xxxxxx(x:0-9;A-z)"},
        {"", false, true, nullptr},
        {"My AP's name!", false, true, nullptr},
        {"say \"hi\"", false, false, "Quotation Mark (\") is not accepted"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        DialogRecorder recorder;
        EXPECT_EQ(CheckText(c.text, c.secret), c.accepted);
        if (c.message) {
            ASSERT_EQ(recorder.messages.size(), 1u);
            EXPECT_EQ(recorder.messages[0].text.toStdString(), c.message);
            EXPECT_EQ(recorder.messages[0].caption, "Warning");
            EXPECT_EQ(recorder.messages[0].buttons, DialogButtons::Ok);
        } else {
            EXPECT_TRUE(recorder.messages.empty());
        }
    }
}

TEST(IPTextToNumber, DottedTextsAndPlainNumbers)
{
    const std::pair<const char*, uint32_t> cases[] = {
        {"192.168.0.10", 0xC0A8000Au}, {"255.255.255.255", 0xFFFFFFFFu}, {"0.0.0.0", 0u},
        {"50", 50u},  // a pool size
        {"10.1", 0x0A01u},
        {"010.7.0.10", 0x0A07000Au},  // the same lease as 10.7.0.10
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(IPTextToNumber(text), number) << text;
    // The pool's end is a 32-bit sum: 255.255.255.200 + 100 wraps past zero.
    EXPECT_EQ(IPTextToNumber("255.255.255.200") + IPTextToNumber("100"), 44u);
    EXPECT_THROW(IPTextToNumber("192.168.x.1"), ConversionError);
    EXPECT_THROW(IPTextToNumber("0x0A.0.0.1"), ConversionError);
    EXPECT_THROW(IPTextToNumber("0x10"), ConversionError) << "a pool size is decimal too";
    EXPECT_THROW(IPTextToNumber("   .   .   .   "), ConversionError) << "the empty address mask of an edit";
}

} // namespace
