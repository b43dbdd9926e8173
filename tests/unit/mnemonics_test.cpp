#include "binding/Mnemonics.h"

#include <gtest/gtest.h>

#include <cctype>

// The program picks each menu's keyboard letters, so the texts read as they are written.
namespace {

struct Case {
    const char* what;
    QStringList texts;
    QStringList marked;
};

class Mnemonics : public ::testing::TestWithParam<Case> {};

TEST_P(Mnemonics, EachTextGetsALetterNoOtherHasPreferringWordStarts)
{
    const Case& c = GetParam();
    EXPECT_EQ(WithMnemonics(c.texts), c.marked);
    for (int i = 0; i < c.marked.size(); ++i)
        EXPECT_EQ(WithoutMnemonic(c.marked[i]), c.texts[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Mnemonics,
    ::testing::Values(
        Case{"menu bar", {"Home", "Advanced", "Tools", "Status", "Help"}, {"&Home", "&Advanced", "&Tools", "&Status", "H&elp"}},
        Case{"an inner letter once the word starts are taken",
             {"Device Info", "Stats", "Traffic Graph", "Indication", "Client Info", "Display"},
             {"&Device Info", "&Stats", "&Traffic Graph", "&Indication", "&Client Info", "Dis&play"}},
        Case{"second word", {"System", "System Log"}, {"&System", "System &Log"}},
        Case{"a blank before the text", {"Rogue AP ", " Admin"}, {"&Rogue AP ", " &Admin"}},
        Case{"an ampersand of the text stays one", {"Save & Load", "Search"}, {"&Save && Load", "S&earch"}},
        Case{"a digit when no letter is free", {"a", "a1"}, {"&a", "a&1"}},
        Case{"nothing free", {"ab", "ba", "ab"}, {"&ab", "&ba", "ab"}}),
    [](const ::testing::TestParamInfo<Case>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

} // namespace
