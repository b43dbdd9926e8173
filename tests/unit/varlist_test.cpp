#include "snmp/QvSNMPVarList.h"

#include <gtest/gtest.h>

namespace {

constexpr OptionRow kSwitchRows[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const QvOptionList kSwitch(kSwitchRows);
const char kInitialValue[] = "42";
const char kInitialOid[] = "1.3.6.1.4.1.32473.9.1.7";

const VariableDescriptor kTable[] = {
    {"1.3.6.1.4.1.32473.9.1", "key", kSyntaxInteger, kAccessNotAccessible},
    {"1.3.6.1.4.1.32473.9.2", "mode", kSyntaxInteger, kAccessReadWrite, &kSwitch, "$0*2", nullptr, "note"},
    {"1.3.6.1.4.1.32473.9.3", "name", kSyntaxDisplayString, kAccessReadOnly, nullptr, nullptr, "$1+1", nullptr,
     kInitialValue, kInitialOid},
    {nullptr, nullptr, 0, 0},
};

TEST(VarList, BuildsOneItemPerRowWithCopiesOfTheTexts)
{
    const QvSNMPVarList list(kTable, kListTable, 1);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.kind, kListTable);
    EXPECT_EQ(list.keyCount, 1);
    EXPECT_EQ(list.Item(1).oid, "1.3.6.1.4.1.32473.9.2");
    EXPECT_EQ(list.Item(1).name, "mode");
    EXPECT_EQ(list.Item(1).options, &kSwitch);
    EXPECT_EQ(list.Item(1).getExpression, "$0*2");
    EXPECT_FALSE(list.Item(1).setExpression.has_value());
    EXPECT_EQ(list.Item(1).extraText, "note");
    EXPECT_EQ(list.Item(1).value, "");
    EXPECT_EQ(list.Item(2).value, "42");
    EXPECT_EQ(list.Item(2).currentOid, kInitialOid);
    EXPECT_EQ(list.Item(2).setExpression, "$1+1");
}

TEST(VarList, NullOrEmptyTablesAddNothing)
{
    const VariableDescriptor empty[] = {{nullptr, "ignored", kSyntaxInteger, kAccessReadOnly}};
    QvSNMPVarList list(empty, kListScalars, 0);
    EXPECT_EQ(list.Count(), 0);
    list.AppendRows(nullptr);
    EXPECT_EQ(list.Count(), 0);
    list.AppendRows(kTable);
    list.AppendRows(kTable);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.Item(3).name, "key");
}

TEST(VarList, AssignMakesSeparateCopiesAndKeepsTheTargetsInstanceSuffix)
{
    QvSNMPVarList source(kTable, kListTable, 1);
    source.description = "clients";
    source.instanceSuffix = "9";
    source.Item(1).value = "Enable";

    QvSNMPVarList target;
    target.instanceSuffix = "own";
    target.AppendRows(kTable);  // replaced, not appended to
    target.Assign(source);
    EXPECT_EQ(target.Count(), 3);
    EXPECT_EQ(target.kind, kListTable);
    EXPECT_EQ(target.keyCount, 1);
    EXPECT_EQ(target.description, "clients");
    EXPECT_EQ(target.instanceSuffix, "own");
    EXPECT_EQ(target.Item(1).value, "Enable");
    EXPECT_EQ(target.Item(1).options, &kSwitch);  // shared, not copied

    target.Item(1).value = "Disable";
    target.Item(2).currentOid = "changed";
    EXPECT_EQ(source.Item(1).value, "Enable");
    EXPECT_EQ(source.Item(2).currentOid, kInitialOid);

    const QvSNMPVarList copy(source);
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.instanceSuffix, "");
}

struct PredicateCase {
    uint8_t kind;
    int32_t access;
    int32_t index;  // keyCount is 1
    bool readable, settable, listed, unlisted;
};

class VarListPredicateTest : public ::testing::TestWithParam<PredicateCase> {};

TEST_P(VarListPredicateTest, FollowsTheAccessBits)
{
    const PredicateCase& c = GetParam();
    QvSNMPVarList list(kTable, c.kind, 1);
    list.Item(c.index).access = c.access;
    EXPECT_EQ(list.IsReadable(c.index), c.readable);
    EXPECT_EQ(list.IsSettable(c.index), c.settable);
    EXPECT_EQ(list.IsListed(c.index), c.listed);
    EXPECT_EQ(list.IsUnlisted(c.index), c.unlisted);
}

INSTANTIATE_TEST_SUITE_P(
    AccessBits, VarListPredicateTest,
    ::testing::Values(
        // A table's keys are settable even when not accessible, in tables only.
        PredicateCase{kListTable, kAccessNotAccessible, 0, false, true, true, false},
        PredicateCase{kListTableUnlisted, kAccessNotAccessible, 0, false, true, true, false},
        PredicateCase{kListScalars, kAccessNotAccessible, 0, false, false, true, false},
        PredicateCase{kListSingleInstances, kAccessNotAccessible, 0, false, false, true, false},
        PredicateCase{kListTable, kAccessNotAccessible, 1, false, false, true, false},
        PredicateCase{kListScalars, kAccessReadOnly, 1, true, false, true, false},
        PredicateCase{kListScalars, kAccessWriteOnly, 1, false, true, false, true},
        PredicateCase{kListScalars, kAccessReadWrite, 1, true, true, true, false},
        PredicateCase{kListScalars, kAccessDerived, 1, false, false, true, false},
        PredicateCase{kListScalars, kAccessReadWrite | kAccessHidden, 1, true, true, false, true},
        // Invalid excludes an item from everything, keys included.
        PredicateCase{kListScalars, kAccessReadWrite | kAccessInvalid, 1, false, false, false, true},
        PredicateCase{kListTable, kAccessNotAccessible | kAccessInvalid, 0, false, false, false, true},
        PredicateCase{kListScalars, kAccessWriteOnly | kAccessImplied, 1, false, true, false, false}));

TEST(VarList, CountsListedAndUnlistedItemsAndSeesTheImpliedBit)
{
    QvSNMPVarList list(kTable, kListTable, 1);
    list.Item(2).access = kAccessWriteOnly;
    EXPECT_EQ(list.ListedCount(), 2);
    EXPECT_EQ(list.UnlistedCount(), 1);
    EXPECT_FALSE(list.IsImplied(0));
    list.Item(0).access |= kAccessImplied;
    EXPECT_TRUE(list.IsImplied(0));
}

} // namespace
