#include "integration/requests_support.h"

#include "support/DevsimAgent.h"
#include "support/FreePort.h"
#include "snmp/SnmpSettings.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <ctime>

using namespace requests;

namespace {

::testing::Environment* const agentEnvironment = ::testing::AddGlobalTestEnvironment(new AgentEnvironment);

const VariableDescriptor kSystem[] = {
    {SYSTEM ".1", "sysDescr", kSyntaxDisplayString, kAccessReadOnly},
    {SYSTEM ".3", "sysUpTime", kSyntaxTimeTicks, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};

// What completions delivered.
struct Outcome {
    std::vector<QvSNMPError> records;
    std::vector<std::vector<std::string>> values;  // the list's values at each completion
    int data = 0;

    QvSNMPRequest::Completion completion()
    {
        return [this](void* callbackData, const QvSNMPError& error, QvSNMPVarList& list) {
            data += *static_cast<int*>(callbackData);
            records.push_back(error);
            std::vector<std::string> now;
            for (int32_t i = 0; i < list.Count(); ++i)
                now.push_back(list.Item(i).value);
            values.push_back(now);
        };
    }
};

int kOne = 1;

TEST(NotifyingRequest, AGetCompletesThroughTheEventPump)
{
    QvSNMPRequest request;
    AimAtAgent(request);
    request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
    Outcome outcome;
    request.GetAsync(outcome.completion(), &kOne, true);
    EXPECT_EQ(request.outstanding, 1);
    EXPECT_TRUE(outcome.records.empty());  // nothing before the loop runs
    ASSERT_TRUE(SpinUntil([&] { return !outcome.records.empty(); }));
    EXPECT_EQ(request.outstanding, 0);
    const QvSNMPError& record = outcome.records[0];
    EXPECT_EQ(record.code, 0);
    EXPECT_EQ(record.message, "(QvSNMP++) Ok!");
    EXPECT_TRUE(record.finished);
    EXPECT_EQ(record.agentAddress, "127.0.0.1");
    EXPECT_EQ(static_cast<uint16_t>(record.agentPort), AgentEnvironment::agent->port());
    EXPECT_EQ(record.errorIndex, 0);
    EXPECT_EQ(outcome.data, 1);
    EXPECT_EQ(outcome.values[0][0], ToolWalk("public", SYSTEM ".1").at("0"));
    EXPECT_NE(outcome.values[0][1], "(NULL)");
}

// A completion that runs an event loop of its own (as a message box does) while another
// agent's answer arrives: the other completion waits until the first has returned, and the
// waiting answer costs no processor time meanwhile (its socket stays readable all along).
TEST(NotifyingRequest, ACompletionRunningAnEventLoopHoldsBackTheNextWithoutSpinning)
{
    DevsimAgent late({"--delay-ms", "150"});
    ASSERT_TRUE(late.start()) << late.error();
    QvSNMPRequest first, second;
    AimAtAgent(first);
    AimAtAgent(second);
    second.port = late.port();
    first.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
    second.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
    std::vector<std::string> order;
    double processorMs = -1;
    first.GetAsync([&](void*, const QvSNMPError&, QvSNMPVarList&) {
        order.push_back("first begins");
        const std::clock_t before = std::clock();
        QEventLoop box;
        QTimer::singleShot(600, &box, &QEventLoop::quit);
        box.exec();
        processorMs = 1000.0 * static_cast<double>(std::clock() - before) / CLOCKS_PER_SEC;
        order.push_back("first ends");
    }, nullptr, true);
    second.GetAsync([&](void*, const QvSNMPError& error, QvSNMPVarList&) {
        order.push_back(error.code == 0 ? "second" : "second failed: " + error.message);
    }, nullptr, true);
    ASSERT_TRUE(SpinUntil([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<std::string>{"first begins", "first ends", "second"}));
    EXPECT_LT(processorMs, 200) << "the waiting answer's socket kept the loop busy";
}

// A walk continued from each completion, as the bindings do.
std::map<std::string, std::string> WalkThroughCompletions(QvSNMPRequest& request, QvSNMPError& last)
{
    std::map<std::string, std::string> rows;
    bool ended = false;
    int exchanges = 0;
    QvSNMPRequest::Completion next = [&](void*, const QvSNMPError& error, QvSNMPVarList& list) {
        last = error;
        if (error.finished || ++exchanges > 1000) {
            ended = true;
            return;
        }
        rows[list.Item(0).value] = list.Item(1).value;
        request.GetAsync(next, nullptr, false);
    };
    request.GetAsync(next, nullptr, true);
    EXPECT_TRUE(SpinUntil([&] { return ended; }));
    EXPECT_LE(exchanges, 1000);
    return rows;
}

TEST(NotifyingRequest, AWalkRunsRowByRowUntilFinished)
{
    for (uint8_t version : {uint8_t{0}, uint8_t{1}}) {
        SCOPED_TRACE(version == 0 ? "SNMPv1: ends on noSuchName" : "SNMPv2c: ends on endOfMibView");
        // Over the narrow view the walk ends where the agent's view ends; the module sees a
        // normal end, not an error.
        QvSNMPRequest request;
        AimAtAgent(request, version);
        request.readCommunity = kNarrowCommunity;
        request.list.Assign(QvSNMPVarList(kIndexAndDescr, kListTable, 1));
        QvSNMPError last;
        last.code = 99;
        EXPECT_EQ(WalkThroughCompletions(request, last), ToolWalk(kNarrowCommunity, IF_ENTRY ".2", "1"));
        EXPECT_EQ(last.code, 0);
        EXPECT_EQ(last.message, "(QvSNMP++) Ok!");
        EXPECT_EQ(request.errorCount, 0u);
        EXPECT_EQ(request.outstanding, 0);
    }
}

TEST(NotifyingRequest, ASetSendsTheSelectionAndLeavesTheListAsItWas)
{
    QvSNMPRequest request;
    AimAtAgent(request);
    request.list.Assign(QvSNMPVarList(kWritable, kListScalars, 0));
    bool ok = true;
    request.GetSync(true, ok);
    ASSERT_TRUE(ok);
    const std::string contactBefore = request.list.Item(0).value;

    request.list.Item(1).value = "unsent name";
    const std::string stamp = std::to_string(QDateTime::currentMSecsSinceEpoch());
    const std::vector<std::string> source = {"notified " + stamp};
    Outcome outcome;
    request.SetAsync(outcome.completion(), &kOne, false, "2", &source);
    // Restored before the answer comes.
    EXPECT_EQ(request.list.Item(1).value, "unsent name");
    EXPECT_EQ(request.list.Item(0).access, kAccessReadWrite);
    ASSERT_TRUE(SpinUntil([&] { return !outcome.records.empty(); }));
    EXPECT_EQ(outcome.records[0].code, 0);
    EXPECT_TRUE(outcome.records[0].finished);
    EXPECT_EQ(outcome.values[0][1], "unsent name");  // no read-back: values untouched

    request.GetSync(true, ok);
    EXPECT_EQ(request.list.Item(0).value, contactBefore);
    EXPECT_EQ(request.list.Item(2).value, source[0]);
}

TEST(NotifyingRequest, ARefusedSetCompletesWithTheAgentsError)
{
    const VariableDescriptor rows[] = {
        {SYSTEM ".1", "sysDescr", kSyntaxDisplayString, kAccessReadWrite},
        {nullptr, nullptr, 0, 0},
    };
    QvSNMPRequest request;
    AimAtAgent(request);
    request.list.Assign(QvSNMPVarList(rows, kListScalars, 0));
    request.list.Item(0).value = "read-only";
    Outcome outcome;
    request.SetAsync(outcome.completion(), &kOne, false, "");
    ASSERT_TRUE(SpinUntil([&] { return !outcome.records.empty(); }));
    EXPECT_EQ(outcome.records[0].code, -117);
    EXPECT_EQ(outcome.records[0].errorIndex, 1);
    EXPECT_EQ(outcome.records[0].errorCount, 1u);
    EXPECT_TRUE(outcome.records[0].finished);
}

TEST(NotifyingRequest, AnSnmpV1SetRefusedWithNoSuchNameIsAnErrorEvenOnATableRow)
{
    // An SNMPv1 agent refuses a read-only column with noSuchName and the bindings as sent,
    // which looks like the end of a walk; for a set it is a failure.
    const VariableDescriptor rows[] = {
        {IF_ENTRY ".1", "ifIndex", kSyntaxInteger, kAccessNotAccessible},
        {IF_ENTRY ".2", "ifDescr", kSyntaxDisplayString, kAccessReadWrite},
        {nullptr, nullptr, 0, 0},
    };
    QvSNMPRequest request;
    AimAtAgent(request, 0);
    request.list.Assign(QvSNMPVarList(rows, kListTable, 1));
    bool ok = true;
    ASSERT_TRUE(request.GetSync(true, ok));  // row 1: ifDescr.1 is the column's current OID
    ASSERT_EQ(request.list.Item(1).currentOid, IF_ENTRY ".2.1");
    request.list.Item(1).value = "renamed";
    Outcome outcome;
    request.SetAsync(outcome.completion(), &kOne, false, "");
    ASSERT_TRUE(SpinUntil([&] { return !outcome.records.empty(); }));
    EXPECT_EQ(outcome.records[0].code, -102);
    EXPECT_TRUE(outcome.records[0].finished);

    EXPECT_FALSE(request.SetSync(ok, false, ""));
    EXPECT_FALSE(ok);
}

TEST(NotifyingRequest, ATimeOutCompletesWithTheTimeOutError)
{
    QvSNMPRequest request;
    AimAtAgent(request);
    request.port = FreeUdpPort();
    request.timeout = 20;
    request.retries = 0;
    request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
    Outcome outcome;
    QElapsedTimer clock;
    clock.start();
    request.GetAsync(outcome.completion(), &kOne, true);
    ASSERT_TRUE(SpinUntil([&] { return !outcome.records.empty(); }));
    EXPECT_GE(clock.elapsed(), 150);
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_EQ(outcome.records[0].code, -405);
    EXPECT_EQ(outcome.records[0].message, "(SNMPClass) SNMP request timed out!");
    EXPECT_TRUE(outcome.records[0].finished);
    EXPECT_EQ(request.errorCount, 1u);
    EXPECT_EQ(request.outstanding, 0);
}

TEST(RequestDestruction, WaitsForAnAnswerThatComesSoon)
{
    Outcome outcome;
    QElapsedTimer clock;
    {
        QvSNMPRequest request;
        AimAtAgent(request);
        request.port = FreeUdpPort();
        request.timeout = 30;
        request.retries = 0;
        request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
        request.GetAsync(outcome.completion(), &kOne, true);
        clock.start();
    }
    EXPECT_LT(clock.elapsed(), 2000);
    ASSERT_EQ(outcome.records.size(), 1u);  // delivered while the request waited
    EXPECT_EQ(outcome.records[0].code, -405);
}

TEST(RequestDestruction, GivesUpAfterSixSecondsAndNeverCallsBackLater)
{
    Outcome outcome;
    QElapsedTimer clock;
    {
        QvSNMPRequest request;
        AimAtAgent(request);
        request.port = FreeUdpPort();
        request.timeout = 900;  // 9 s: longer than the wait
        request.retries = 0;
        request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
        request.GetAsync(outcome.completion(), &kOne, true);
        clock.start();
    }
    EXPECT_GE(clock.elapsed(), 5900);
    EXPECT_LT(clock.elapsed(), 7000);
    EXPECT_TRUE(outcome.records.empty());
    // The exchange times out later; its completion must not reach the destroyed request.
    SpinUntil([] { return false; }, 3500);
    EXPECT_TRUE(outcome.records.empty());
}

TEST(RequestDestruction, ASendThatFailsAtOnceIsNotWaitedFor)
{
    Outcome outcome;
    std::vector<QvSNMPError> errors;
    QElapsedTimer clock;
    {
        QvSNMPRequest request;
        AimAtAgent(request, 3);
        request.securityLevel = kAuthPriv;
        request.securityName = SnmpdAgent::kShaDes.name;
        request.authProtocol = kAuthSHA;
        request.authPassword = SnmpdAgent::kShaDes.authPass;
        request.privProtocol = kPrivIDEA;  // not offered by the engine
        request.privPassword = SnmpdAgent::kShaDes.privPass;
        request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
        request.errorCallback = [&](const QvSNMPError& e) { errors.push_back(e); };
        request.GetAsync(outcome.completion(), &kOne, true);
        EXPECT_EQ(request.outstanding, 0);
        clock.start();
    }
    EXPECT_LT(clock.elapsed(), 500);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].code, -313);
    EXPECT_EQ(errors[0].message, "(SNMPv3USM) Unsupported PrivProtocol!");
    EXPECT_TRUE(outcome.records.empty());
}

TEST(NotifyingRequest, NothingStartsOnceTheRequestIsNoLongerAlive)
{
    QvSNMPRequest request;
    AimAtAgent(request);
    request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
    request.alive = false;
    Outcome outcome;
    request.GetAsync(outcome.completion(), &kOne, true);
    request.SetAsync(outcome.completion(), &kOne, false, "");
    EXPECT_EQ(request.outstanding, 0);
    bool ok = true;
    EXPECT_FALSE(request.GetSync(true, ok));
    EXPECT_FALSE(ok);
    SpinUntil([] { return false; }, 100);
    EXPECT_TRUE(outcome.records.empty());
}

} // namespace
