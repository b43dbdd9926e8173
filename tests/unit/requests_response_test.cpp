#include "snmp/QvException.h"
#include "snmp/QvSNMPRequest.h"

#include <gtest/gtest.h>

// How a request reads answers into its list, without an agent: the bindings of an answer
// are built here, as the session would deliver them.
namespace {

SnmpVarBind integerAt(const std::string& oid, int64_t value)
{
    SnmpVarBind vb;
    ParseOid(oid, vb.oid);
    vb.type = SnmpType::Integer;
    vb.integer = value;
    return vb;
}

SnmpVarBind textAt(const std::string& oid, const std::string& text)
{
    SnmpVarBind vb;
    ParseOid(oid, vb.oid);
    vb.type = SnmpType::OctetString;
    vb.bytes = text;
    return vb;
}

SnmpVarBind endAt(const std::string& oid)
{
    SnmpVarBind vb;
    ParseOid(oid, vb.oid);
    vb.type = SnmpType::EndOfMibView;
    return vb;
}

#define ENTRY "1.3.6.1.2.1.2.2.1"
constexpr OptionRow kStatusRows[] = {{1, "up"}, {2, "down"}, {0, nullptr}};
const QvOptionList kStatus(kStatusRows);
const VariableDescriptor kInterfaces[] = {
    {ENTRY ".1", "ifIndex", kSyntaxInteger, kAccessNotAccessible},
    {ENTRY ".2", "ifDescr", kSyntaxDisplayString, kAccessReadOnly},
    {ENTRY ".8", "ifOperStatus", kSyntaxInteger, kAccessReadOnly, &kStatus},
    {ENTRY ".10", "ifInOctets", kSyntaxCounter, kAccessReadOnly, nullptr, "$3/2"},
    {nullptr, nullptr, 0, 0},
};

class WalkResponseTest : public ::testing::Test {
protected:
    void SetUp() override { request.list.Assign(QvSNMPVarList(kInterfaces, kListTable, 1)); }
    QvSNMPVarList& list() { return request.list; }
    QvSNMPRequest request;
};

TEST_F(WalkResponseTest, ARowFillsTheColumnsAndTheKeyFromItsInstance)
{
    EXPECT_TRUE(request.ReadResponse({textAt(ENTRY ".2.3", "eth0"), integerAt(ENTRY ".8.3", 2),
                                      integerAt(ENTRY ".10.3", 100)}));
    EXPECT_EQ(list().Item(0).value, "3");
    EXPECT_EQ(list().Item(0).currentOid, ENTRY ".1.3");  // the key is not read: it gets the row's OID
    EXPECT_EQ(list().Item(1).value, "eth0");
    EXPECT_EQ(list().Item(1).currentOid, ENTRY ".2.3");
    EXPECT_EQ(list().Item(2).value, "down");             // through the option list
    EXPECT_EQ(list().Item(3).value, "50");               // derived after the get
}

TEST_F(WalkResponseTest, TheWalkEndsWhenEveryColumnHasLeftItsBase)
{
    ASSERT_TRUE(request.ReadResponse({textAt(ENTRY ".2.7", "lo"), integerAt(ENTRY ".8.7", 1),
                                      integerAt(ENTRY ".10.7", 8)}));
    // Past the last row each column runs into the next one; the last sits at the end of the view.
    EXPECT_FALSE(request.ReadResponse({textAt(ENTRY ".3.1", "x"), integerAt(ENTRY ".9.1", 0),
                                       endAt(ENTRY ".10.7")}));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(list().Item(i).value, "(NOTDONE)") << i;
        // Parked at the last row, so asking again ends again.
        EXPECT_EQ(list().Item(i).currentOid, list().Item(i).oid + ".7") << i;
    }
}

TEST_F(WalkResponseTest, ColumnOneIsNotContinuedByColumnTen)
{
    list().Item(0).access = kAccessReadOnly;  // read ifIndex (column 1) too
    list().Item(0).currentOid = ENTRY ".1.7";
    EXPECT_TRUE(request.ReadResponse({integerAt(ENTRY ".10.1", 555), textAt(ENTRY ".2.8", "wlan0"),
                                      integerAt(ENTRY ".8.8", 1), integerAt(ENTRY ".10.8", 4)}));
    // Column 1 ended (its answer lies in column 10); the row comes from the columns that go on.
    EXPECT_EQ(list().Item(0).value, "8");  // the key is decoded from the row anyway
    EXPECT_EQ(list().Item(1).value, "wlan0");
    EXPECT_EQ(list().Item(3).value, "2");
}

TEST_F(WalkResponseTest, ARowComesFromAColumnThatGoesOnNotFromOneThatEnded)
{
    // ifDescr has ended, ifOperStatus still has row 12.
    list().Item(1).currentOid = ENTRY ".2.9";
    EXPECT_TRUE(request.ReadResponse({textAt(ENTRY ".3.1", "x"), integerAt(ENTRY ".8.12", 1),
                                      integerAt(ENTRY ".10.12", 6)}));
    EXPECT_EQ(list().Item(1).value, "(NOTDONE)");
    EXPECT_EQ(list().Item(0).value, "12");
    EXPECT_EQ(list().Item(2).value, "up");
}

TEST_F(WalkResponseTest, TooFewSubIdentifiersForTheKeysIsAnError)
{
    list().keyCount = 2;
    try {
        request.ReadResponse({textAt(ENTRY ".2.3", "eth0"), integerAt(ENTRY ".8.3", 1), integerAt(ENTRY ".10.3", 1)});
        FAIL() << "no error";
    } catch (const QvException& error) {
        EXPECT_EQ(error.code(), -514);
        EXPECT_STREQ(error.what(), "(QvSNMP++) Bad key count of SNMP variable list!");
    }
}

struct ColumnCase {
    const char* last;
    const char* received;
    bool ended;
};

class ColumnEndedTest : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ColumnEndedTest, ComparesTheReceivedOidWithTheColumn)
{
    QvSNMPRequest request;
    request.list.kind = kListTable;
    EXPECT_EQ(request.ColumnEnded(ENTRY ".1", GetParam().last, GetParam().received), GetParam().ended);
    request.list.kind = kListSingleInstances;
    EXPECT_FALSE(request.ColumnEnded(ENTRY ".1", GetParam().last, GetParam().received));
    request.list.kind = kListScalars;
    EXPECT_FALSE(request.ColumnEnded(ENTRY ".1", GetParam().last, GetParam().received));
}

INSTANTIATE_TEST_SUITE_P(
    Oids, ColumnEndedTest,
    ::testing::Values(
        ColumnCase{"", ENTRY ".1.1", false},
        ColumnCase{ENTRY ".1.1", ENTRY ".1.2", false},
        ColumnCase{ENTRY ".1.2", ENTRY ".1.2", true},  // the agent stands still
        ColumnCase{ENTRY ".1.2", ENTRY ".2.1", true},
        ColumnCase{ENTRY ".1.2", ENTRY ".10.1", true},
        ColumnCase{"", ENTRY ".1", true},              // the base itself: no row
        ColumnCase{"", ENTRY ".1.", true},
        ColumnCase{"", "1.3.6.1.2.1.2.2.2", true}));

const VariableDescriptor kScalars[] = {
    {"1.3.6.1.2.1.1.4", "sysContact", kSyntaxDisplayString, kAccessReadWrite},
    {"1.3.6.1.2.1.1.7", "sysServices", kSyntaxInteger, kAccessReadOnly},
    {"1.3.6.1.2.1.1.9", "hidden", kSyntaxInteger, kAccessInvalid},
    {"1.3.6.1.2.1.1.3", "sysUpTime", kSyntaxTimeTicks, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};

TEST(ScalarResponse, FillsTheReadableItemsInOrderAndEndsAtOnce)
{
    QvSNMPRequest request;
    request.list.Assign(QvSNMPVarList(kScalars, kListScalars, 0));
    request.list.Item(2).value = "untouched";
    SnmpVarBind none;
    ParseOid("1.3.6.1.2.1.1.7.0", none.oid);
    SnmpVarBind ticks = integerAt("1.3.6.1.2.1.1.3.0", 123456);
    ticks.type = SnmpType::TimeTicks;
    EXPECT_FALSE(request.ReadResponse({textAt("1.3.6.1.2.1.1.4.0", "admin"), none, ticks}));
    EXPECT_EQ(request.list.Item(0).value, "admin");
    EXPECT_EQ(request.list.Item(1).value, "(NULL)");
    EXPECT_EQ(request.list.Item(2).value, "untouched");
    EXPECT_EQ(request.list.Item(3).value, "0:20:34.56");
    EXPECT_EQ(request.list.Item(3).currentOid, "1.3.6.1.2.1.1.3.0");
}

TEST(ValueToVb, SendsDisplayTextsAsValuesAndNullAsNull)
{
    QvSNMPRequest request;
    request.list.Assign(QvSNMPVarList(kInterfaces, kListTable, 1));
    request.list.Item(2).value = "Down";
    SnmpVarBind vb;
    ParseOid(ENTRY ".8.1", vb.oid);
    request.ValueToVb(2, vb);
    EXPECT_EQ(vb.type, SnmpType::Integer);
    EXPECT_EQ(vb.integer, 2);
    EXPECT_EQ(OidToText(vb.oid), ENTRY ".8.1");

    request.list.Item(2).value = "(NULL)";
    request.ValueToVb(2, vb);
    EXPECT_EQ(vb.type, SnmpType::Null);
}

} // namespace

namespace {

// A set that fails before anything is sent leaves the list exactly as it was.
TEST(SetPreparation, FailuresBeforeSendingLeaveTheListAsItWas)
{
    const VariableDescriptor rows[] = {
        {"1.3.6.1.2.1.1.4", "sysContact", kSyntaxDisplayString, kAccessReadWrite},
        {"1.3.6.1.2.1.1.5", "sysName", kSyntaxInteger, kAccessReadWrite, nullptr, nullptr, "$2*2"},
        {"1.3.6.1.2.1.1.6", "sysLocation", kSyntaxInteger, kAccessReadWrite},
        {nullptr, nullptr, 0, 0},
    };
    QvSNMPRequest request;
    request.address = "127.0.0.1";
    request.list.Assign(QvSNMPVarList(rows, kListScalars, 0));
    for (int i = 0; i < 3; ++i)
        request.list.Item(i).value = "v" + std::to_string(i);
    const auto unchanged = [&] {
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(request.list.Item(i).value, "v" + std::to_string(i));
            EXPECT_EQ(request.list.Item(i).access, kAccessReadWrite);
        }
    };
    const auto code = [](const std::function<void()>& action) {
        try {
            action();
        } catch (const QvException& error) {
            return error.code();
        }
        return 0;
    };
    bool ok = true;
    // Fewer values than selected items.
    const std::vector<std::string> one = {"only one"};
    EXPECT_EQ(code([&] { request.SetSync(ok, false, "0,2", &one); }), -12);
    unchanged();
    // The set expression of item 1 reads item 2, which the source makes "(NULL)".
    const std::vector<std::string> nulls = {"x", "(NULL)"};
    EXPECT_EQ(code([&] { request.SetSync(ok, false, "0,2", &nulls); }), -512);
    unchanged();
    // An address item whose text is no address.
    request.list.Item(0).syntax = kSyntaxIpAddress;
    EXPECT_EQ(code([&] { request.SetAsync(nullptr, nullptr, false, ""); }), -518);
    EXPECT_EQ(request.outstanding, 0);
    request.list.Item(0).syntax = kSyntaxDisplayString;
    unchanged();
    // A list kind a request does not know.
    request.list.kind = 7;
    EXPECT_EQ(code([&] { request.SetSync(ok, false, ""); }), -515);
}

} // namespace
