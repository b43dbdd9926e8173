#include "integration/requests_support.h"

#include "support/FreePort.h"
#include "snmp/SnmpSettings.h"

#include <QElapsedTimer>
#include <regex>

using namespace requests;

namespace {

::testing::Environment* const agentEnvironment = ::testing::AddGlobalTestEnvironment(new AgentEnvironment);

const VariableDescriptor kSystem[] = {
    {SYSTEM ".1", "sysDescr", kSyntaxDisplayString, kAccessReadOnly},
    {SYSTEM ".2", "sysObjectID", kSyntaxObjectId, kAccessReadOnly},
    {SYSTEM ".99", "missing", kSyntaxInteger, kAccessInvalid},
    {SYSTEM ".3", "sysUpTime", kSyntaxTimeTicks, kAccessReadOnly},
    {"1.3.6.1.2.1.2.1", "ifNumber", kSyntaxInteger, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};

const VariableDescriptor kInterfaces[] = {
    {IF_ENTRY ".1", "ifIndex", kSyntaxInteger, kAccessNotAccessible},
    {IF_ENTRY ".2", "ifDescr", kSyntaxDisplayString, kAccessReadOnly},
    {IF_ENTRY ".3", "ifType", kSyntaxInteger, kAccessReadOnly},
    {IF_ENTRY ".4", "ifMtu", kSyntaxInteger, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};

// Walks with the waiting form; key value -> ifDescr. Fails the test on a runaway walk.
std::map<std::string, std::string> WalkDescriptions(QvSNMPRequest& request, bool& ok, int keyItem = 0)
{
    std::map<std::string, std::string> rows;
    bool first = true;
    for (int exchanges = 0; exchanges < 1000; ++exchanges) {
        const bool more = request.GetSync(first, ok);
        first = false;
        if (!more)
            return rows;
        rows[request.list.Item(keyItem).value] = request.list.Item(1).value;
    }
    ADD_FAILURE() << "the walk does not end";
    return rows;
}

TEST(WaitingRequest, GetsSeveralScalarsInOneExchange)
{
    QvSNMPRequest request;
    AimAtAgent(request);
    request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
    std::vector<QvSNMPError> errors;
    request.errorCallback = [&](const QvSNMPError& e) { errors.push_back(e); };

    bool ok = true;
    EXPECT_FALSE(request.GetSync(true, ok));  // scalars: no further row
    EXPECT_TRUE(ok);
    EXPECT_TRUE(errors.empty());
    const QvSNMPVarList& list = request.list;
    EXPECT_EQ(list.Item(0).value, ToolWalk("public", SYSTEM ".1").at("0"));
    EXPECT_EQ(list.Item(0).currentOid, SYSTEM ".1.0");
    EXPECT_EQ(list.Item(1).value.rfind("1.3.6.1.4.1.8072.", 0), 0u) << list.Item(1).value;
    EXPECT_EQ(list.Item(2).value, "");  // invalid: not asked
    EXPECT_TRUE(std::regex_match(list.Item(3).value, std::regex(R"(\d+:\d\d:\d\d\.\d\d)"))) << list.Item(3).value;
    EXPECT_EQ(list.Item(4).value, std::to_string(ToolWalk("public", IF_ENTRY ".2").size()));

    // A scalar the agent does not have reads as no value, without an error in SNMPv2c.
    request.list.Item(2).access = kAccessReadOnly;
    EXPECT_FALSE(request.GetSync(true, ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(list.Item(2).value, "(NULL)");
    EXPECT_FALSE(list.Item(0).value.empty());

    // Scalars cannot be walked.
    EXPECT_EQ(ErrorCodeOf([&] { request.GetSync(false, ok); }), -510);
}

TEST(WaitingRequest, AnSnmpV1GetOfAMissingScalarFailsAsAWholeWithNoSuchName)
{
    QvSNMPRequest request;
    AimAtAgent(request, 0);
    request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
    request.list.Item(2).access = kAccessReadOnly;  // 1.3.6.1.2.1.1.99.0 does not exist
    std::vector<QvSNMPError> errors;
    request.errorCallback = [&](const QvSNMPError& e) { errors.push_back(e); };
    bool ok = true;
    EXPECT_FALSE(request.GetSync(true, ok));
    EXPECT_FALSE(ok);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].code, -102);
    EXPECT_EQ(errors[0].message, "(SNMP) Variable does not exist!");
    // SNMPv1 answers none of the variables then.
    EXPECT_EQ(request.list.Item(0).value, "");
    EXPECT_EQ(request.list.Item(3).value, "(NULL)");
}

TEST(WaitingRequest, WalksATableRowByRowAndStopsAtTheEndOfItsColumns)
{
    const auto expected = ToolWalk("public", IF_ENTRY ".2");
    ASSERT_FALSE(expected.empty());
    QvSNMPRequest request;
    AimAtAgent(request);
    request.list.Assign(QvSNMPVarList(kInterfaces, kListTable, 1));
    bool ok = true;
    const auto rows = WalkDescriptions(request, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(rows, expected);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(request.list.Item(i).value, "(NOTDONE)");
    // Asking again after the end ends again.
    EXPECT_FALSE(request.GetSync(false, ok));
    EXPECT_TRUE(ok);
}

TEST(WaitingRequest, AnSnmpV1WalkEndsNormallyOnNoSuchNameAtTheEndOfTheView)
{
    const auto expected = ToolWalk(kNarrowCommunity, IF_ENTRY ".2", "1");
    ASSERT_FALSE(expected.empty());
    for (uint8_t version : {uint8_t{0}, uint8_t{1}}) {
        QvSNMPRequest request;
        AimAtAgent(request, version);
        request.readCommunity = kNarrowCommunity;
        request.list.Assign(QvSNMPVarList(kIndexAndDescr, kListTable, 1));
        int errors = 0;
        request.errorCallback = [&](const QvSNMPError&) { ++errors; };
        bool ok = true;
        EXPECT_EQ(WalkDescriptions(request, ok), expected) << "version " << int(version);
        EXPECT_TRUE(ok);
        EXPECT_EQ(errors, 0);
        EXPECT_EQ(request.errorCount, 0u);
    }
}

TEST(WaitingRequest, SetsOnlyTheSelectedItemsFromTheValueSourceAndLeavesTheListAsItWas)
{
    QvSNMPRequest request;
    AimAtAgent(request);
    request.list.Assign(QvSNMPVarList(kWritable, kListScalars, 0));
    bool ok = true;
    request.GetSync(true, ok);
    ASSERT_TRUE(ok);
    const std::string nameBefore = request.list.Item(1).value;

    const std::string stamp = std::to_string(QDateTime::currentMSecsSinceEpoch());
    request.list.Item(0).value = "list value 0";
    request.list.Item(1).value = "list value 1";
    request.list.Item(2).value = "list value 2";
    const std::vector<std::string> source = {"contact " + stamp, "location " + stamp};
    std::vector<QvSNMPError> errors;
    request.errorCallback = [&](const QvSNMPError& e) { errors.push_back(e); };
    EXPECT_FALSE(request.SetSync(ok, false, "0,2", &source));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(errors.empty());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(request.list.Item(i).value, "list value " + std::to_string(i));
        EXPECT_EQ(request.list.Item(i).access, kAccessReadWrite);
    }

    request.GetSync(true, ok);
    EXPECT_EQ(request.list.Item(0).value, source[0]);
    EXPECT_EQ(request.list.Item(1).value, nameBefore);  // not selected: not sent
    EXPECT_EQ(request.list.Item(2).value, source[1]);
}

TEST(WaitingRequest, ARefusedSetIsReportedAndChangesNothing)
{
    const VariableDescriptor rows[] = {
        {SYSTEM ".6", "sysLocation", kSyntaxDisplayString, kAccessReadWrite},
        {SYSTEM ".1", "sysDescr", kSyntaxDisplayString, kAccessReadWrite},
        {nullptr, nullptr, 0, 0},
    };
    QvSNMPRequest request;
    AimAtAgent(request);
    request.list.Assign(QvSNMPVarList(rows, kListScalars, 0));
    bool ok = true;
    request.GetSync(true, ok);
    const std::string locationBefore = request.list.Item(0).value;
    std::vector<QvSNMPError> errors;
    request.errorCallback = [&](const QvSNMPError& e) { errors.push_back(e); };
    request.list.Item(0).value = "never stored";
    request.list.Item(1).value = "read-only";
    EXPECT_FALSE(request.SetSync(ok, false, ""));
    EXPECT_FALSE(ok);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].code, -117);
    EXPECT_EQ(errors[0].message, "(SNMP) Cannot create/set variable, Not Writable!");
    EXPECT_EQ(errors[0].errorCount, 1u);

    ok = true;
    request.GetSync(true, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(request.list.Item(0).value, locationBefore);
}

TEST(WaitingRequest, ATimeOutIsReportedAndLeavesNoValues)
{
    QvSNMPRequest request;
    AimAtAgent(request);
    request.port = FreeUdpPort();
    request.timeout = 20;
    request.retries = 1;
    request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
    request.list.Item(0).value = "stale";
    request.list.Item(4).value = "stale";
    std::vector<QvSNMPError> errors;
    request.errorCallback = [&](const QvSNMPError& e) { errors.push_back(e); };
    bool ok = true;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(request.GetSync(true, ok));
    EXPECT_GE(clock.elapsed(), 350);  // two tries of 200 ms
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(ok);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].code, -405);
    EXPECT_EQ(errors[0].message, "(SNMPClass) SNMP request timed out!");
    EXPECT_EQ(request.list.Item(0).value, "");
    EXPECT_EQ(request.list.Item(4).value, "(NULL)");
}

TEST(WaitingRequest, AnAddressThatCannotBeResolvedIsRefused)
{
    QvSNMPRequest request;
    AimAtAgent(request);
    request.address = "no-such-host.invalid";
    request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
    bool ok = true;
    EXPECT_EQ(ErrorCodeOf([&] { request.GetSync(true, ok); }), -509);
    EXPECT_EQ(ErrorCodeOf([&] { request.SetSync(ok, false, ""); }), -509);
}

struct UserCase {
    const SnmpdAgent::User* user;
    int32_t authProtocol;
    int32_t privProtocol;
};

class SnmpV3Request : public ::testing::TestWithParam<UserCase> {};

TEST_P(SnmpV3Request, GetsAndSetsWithAuthenticationAndPrivacy)
{
    const SnmpdAgent::User& user = *GetParam().user;
    QvSNMPRequest request;
    AimAtAgent(request, 3);
    request.readCommunity = request.writeCommunity = "not used";
    request.securityLevel = kAuthPriv;
    request.securityName = user.name;
    request.authProtocol = GetParam().authProtocol;
    request.authPassword = user.authPass;
    request.privProtocol = GetParam().privProtocol;
    request.privPassword = user.privPass;
    request.list.Assign(QvSNMPVarList(kWritable, kListScalars, 0));
    std::vector<QvSNMPError> errors;
    request.errorCallback = [&](const QvSNMPError& e) { errors.push_back(e); };

    bool ok = true;
    request.GetSync(true, ok);
    ASSERT_TRUE(ok) << (errors.empty() ? "" : errors[0].message);
    const std::string location = std::string("v3 ") + user.name;
    const std::vector<std::string> source = {location};
    EXPECT_FALSE(request.SetSync(ok, false, "2", &source));
    EXPECT_TRUE(ok);
    request.GetSync(true, ok);
    EXPECT_EQ(request.list.Item(2).value, location);

    // A wrong pass phrase is an error, never an answer.
    QvSNMPRequest wrong;
    AimAtAgent(wrong, 3);
    wrong.securityLevel = kAuthPriv;
    wrong.securityName = user.name;
    wrong.authProtocol = GetParam().authProtocol;
    wrong.authPassword = "wrong pass phrase";
    wrong.privProtocol = GetParam().privProtocol;
    wrong.privPassword = user.privPass;
    wrong.timeout = 50;
    wrong.retries = 0;
    wrong.list.Assign(QvSNMPVarList(kWritable, kListScalars, 0));
    std::vector<QvSNMPError> wrongErrors;
    wrong.errorCallback = [&](const QvSNMPError& e) { wrongErrors.push_back(e); };
    ok = true;
    wrong.GetSync(true, ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(wrongErrors.size(), 1u);
    EXPECT_NE(wrongErrors[0].code, 0);
    EXPECT_EQ(wrong.list.Item(0).value, "");
}

INSTANTIATE_TEST_SUITE_P(Users, SnmpV3Request,
                         ::testing::Values(UserCase{&SnmpdAgent::kShaDes, kAuthSHA, kPrivDES},
                                           UserCase{&SnmpdAgent::kSha256Aes, kAuthSHA256, kPrivAES128}));

} // namespace
