// One reading of a dotted address for the checks, the probe, the writes and the duplicate
// checks: four decimal parts 0..255 and nothing else.
#include "platform/DottedAddress.h"

#include <gtest/gtest.h>

namespace {

TEST(DottedAddress, FourDecimalPartsAndNothingElse)
{
    const std::pair<const char*, std::optional<uint32_t>> cases[] = {
        {"192.168.0.10", 0xC0A8000Au},
        {"010.0.0.1", 0x0A000001u},  // decimal, not octal
        {"000.000.000.000", 0u},
        {"255.255.255.255", 0xFFFFFFFFu},
        {"0x0A.0.0.1", std::nullopt},
        {"$A.0.0.1", std::nullopt},
        {"+10.0.0.1", std::nullopt},
        {" 10.0.0.1", std::nullopt},
        {"10.0.0.1 ", std::nullopt},
        {"10.0.0.256", std::nullopt},
        {"0010.0.0.1", std::nullopt},
        {"10.0.0", std::nullopt},
        {"10.0.0.1.", std::nullopt},
        {"10..0.1", std::nullopt},
        {"167772161", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, address] : cases)
        EXPECT_EQ(ParseDottedAddress(text), address) << "'" << text << "'";
}

TEST(DottedAddress, TextsNameTheSameAddressByNumber)
{
    EXPECT_TRUE(SameDottedAddress("010.7.0.10", "10.7.0.10"));
    EXPECT_FALSE(SameDottedAddress("10.7.0.10", "10.7.0.11"));
    EXPECT_FALSE(SameDottedAddress("0x0A.7.0.10", "10.7.0.10"));
    EXPECT_TRUE(SameDottedAddress("", ""));
}

} // namespace
