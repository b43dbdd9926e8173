#include "snmp/QvSNMPRequest.h"
#include "snmp/SnmpSession.h"
#include "snmp/WalkError.h"
#include "support/BulkSpoilingProxy.h"
#include "support/DevsimAgent.h"
#include "support/SnmpLibrary.h"
#include "support/SnmpdAgent.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Table walks that read ahead with get-bulk give the bindings exactly what get-next gives them,
// row for row, against both agents, whatever the table looks like and however badly a device
// answers get-bulk.
namespace {

#define PRIVATE "1.3.6.1.4.1.32473.10.37.24"
#define TEST_ROOT "1.3.6.1.4.1.99999"

// Column 2 has a hole at row 3; column 4 holds rows 1 and 5 only, so once it has ended it is
// asked again at the rows of column 3 and finds its row 5 once more.
#define HOLES TEST_ROOT ".1.1"
const VariableDescriptor kHoles[] = {
    {HOLES ".1", "index", kSyntaxInteger, kAccessNotAccessible},
    {HOLES ".2", "holed", kSyntaxInteger, kAccessReadOnly},
    {HOLES ".3", "full", kSyntaxDisplayString, kAccessReadOnly},
    {HOLES ".4", "early", kSyntaxInteger, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};
// Nothing below this entry.
const VariableDescriptor kEmpty[] = {
    {TEST_ROOT ".2.1.1", "index", kSyntaxInteger, kAccessNotAccessible},
    {TEST_ROOT ".2.1.2", "a", kSyntaxInteger, kAccessReadOnly},
    {TEST_ROOT ".2.1.3", "b", kSyntaxInteger, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};
// 300 rows: answers are cut short at the agent's limit, so the repetition count adapts.
constexpr int kLongRows = 300;
const VariableDescriptor kLong[] = {
    {TEST_ROOT ".3.1.1", "index", kSyntaxInteger, kAccessNotAccessible},
    {TEST_ROOT ".3.1.2", "number", kSyntaxInteger, kAccessReadOnly},
    {TEST_ROOT ".3.1.3", "text", kSyntaxDisplayString, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};
// ifIndex and ifDescr: with the community "ifonly" the agent's view ends after ifDescr.
const VariableDescriptor kViewEnd[] = {
    {"1.3.6.1.2.1.2.2.1.1", "ifIndex", kSyntaxInteger, kAccessReadOnly},
    {"1.3.6.1.2.1.2.2.1.2", "ifDescr", kSyntaxDisplayString, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};

#define CLIENT PRIVATE ".4.5.2.1"
const VariableDescriptor kClients[] = {
    {CLIENT ".1", "BandIndex", kSyntaxInteger, kAccessNotAccessible},
    {CLIENT ".1", "InfoIndex", kSyntaxInteger, kAccessNotAccessible},
    {CLIENT ".2", "MAC", kSyntaxMacAddress, kAccessReadOnly},
    {CLIENT ".3", "Band", kSyntaxInteger, kAccessReadOnly},
    {CLIENT ".4", "Auth", kSyntaxInteger, kAccessReadOnly},
    {CLIENT ".5", "RSSI", kSyntaxInteger, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};
// The client rows beside the site survey's five: the survey column ends early.
const VariableDescriptor kClientsAndSurvey[] = {
    {CLIENT ".1", "BandIndex", kSyntaxInteger, kAccessNotAccessible},
    {CLIENT ".1", "InfoIndex", kSyntaxInteger, kAccessNotAccessible},
    {PRIVATE ".2.8.2.1.2", "survey", kSyntaxDisplayString, kAccessReadOnly},
    {CLIENT ".2", "MAC", kSyntaxMacAddress, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};
// No rogue detection has run.
const VariableDescriptor kRogueResult[] = {
    {PRIVATE ".2.10.4.1.4.1.1", "index", kSyntaxInteger, kAccessNotAccessible},
    {PRIVATE ".2.10.4.1.4.1.2", "Type", kSyntaxDisplayString, kAccessReadOnly},
    {PRIVATE ".2.10.4.1.4.1.3", "CH", kSyntaxInteger, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};
// The last table of the agent's view (its access rules), without keys.
const VariableDescriptor kAgentsLast[] = {
    {"1.3.6.1.6.3.16.1.5.2.1.5", "vacmAccessNotifyViewName", kSyntaxDisplayString, kAccessReadOnly},
    {"1.3.6.1.6.3.16.1.5.2.1.6", "vacmAccessStorageType", kSyntaxInteger, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};

QByteArray SnmpdTables()
{
    QByteArray lines;
    auto add = [&](const std::string& oid, const char* type, const std::string& value) {
        lines += QByteArray("override .") + oid.c_str() + " " + type + " " + value.c_str() + "\n";
    };
    for (int row : {1, 2, 4})
        add(HOLES ".2." + std::to_string(row), "integer", std::to_string(row * 10));
    for (int row = 1; row <= 6; ++row)
        add(HOLES ".3." + std::to_string(row), "octet_str", "\"row " + std::to_string(row) + "\"");
    for (int row : {1, 5})
        add(HOLES ".4." + std::to_string(row), "integer", std::to_string(-row));
    for (int row = 1; row <= kLongRows; ++row) {
        add(TEST_ROOT ".3.1.2." + std::to_string(row), "integer", std::to_string(row * 7));
        add(TEST_ROOT ".3.1.3." + std::to_string(row), "octet_str", "\"entry " + std::to_string(row) + "\"");
    }
    lines += "view ifcolumns included .1.3.6.1.2.1.2.2.1.1\n"
             "view ifcolumns included .1.3.6.1.2.1.2.2.1.2\n"
             "rocommunity ifonly 127.0.0.1 -V ifcolumns\n";
    return lines;
}

// One walk as the bindings see it: every row (each item's value and OID), then how it ended.
struct Walk {
    std::vector<std::string> rows;
    bool ok = true;
    std::string error;
    int code = 0;
};

std::string Row(const QvSNMPVarList& list)
{
    std::string row;
    for (int32_t i = 0; i < list.Count(); ++i)
        row += list.Item(i).value + " @" + list.Item(i).currentOid + "; ";
    return row;
}

struct Aim {
    uint16_t port;
    uint8_t version = 1;
    std::string community = "public";
    bool bulk = true;
};

void Prepare(QvSNMPRequest& request, const Aim& aim, const VariableDescriptor* table, int32_t keys)
{
    request.address = "127.0.0.1";
    request.port = aim.port;
    request.version = aim.version;
    request.readCommunity = aim.community;
    request.useGetBulk = aim.bulk;
    request.list.Assign(QvSNMPVarList(table, kListTable, keys));
}

// Stops at `most` rows, should the walk not end.
Walk Waiting(const Aim& aim, const VariableDescriptor* table, int32_t keys, size_t most = 5000)
{
    QvSNMPRequest request;
    Prepare(request, aim, table, keys);
    Walk walk;
    request.errorCallback = [&](const QvSNMPError& error) {
        walk.error = error.message;
        walk.code = error.code;
    };
    for (bool first = true; request.GetSync(first, walk.ok) && walk.rows.size() < most; first = false)
        walk.rows.push_back(Row(request.list));
    return walk;
}

Walk Notifying(const Aim& aim, const VariableDescriptor* table, int32_t keys)
{
    QvSNMPRequest request;
    Prepare(request, aim, table, keys);
    Walk walk;
    bool ended = false;
    QvSNMPRequest::Completion step = [&](void*, const QvSNMPError& record, QvSNMPVarList& list) {
        if (record.code != 0) {
            walk.ok = false;
            walk.error = record.message;
            walk.code = record.code;
            ended = true;
        } else if (record.finished) {
            ended = true;
        } else {
            walk.rows.push_back(Row(list));
            request.GetAsync(step, nullptr, false);
        }
    };
    request.GetAsync(step, nullptr, true);
    QElapsedTimer clock;
    clock.start();
    while (!ended && clock.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    EXPECT_TRUE(ended) << "the notifying walk never ended";
    return walk;
}

void ExpectSameWalk(const Walk& expected, const Walk& actual, const std::string& what)
{
    EXPECT_EQ(actual.rows, expected.rows) << what;
    EXPECT_EQ(actual.ok, expected.ok) << what;
    EXPECT_EQ(actual.error, expected.error) << what;
}

struct TableCase {
    const char* name;
    const VariableDescriptor* table;
    int32_t keys;
    const char* community;
    int rows;  // what get-next finds (kSomeRows: at least one), so no case passes by finding nothing
};
constexpr int kSomeRows = -1;

// Walks the table step by step and in bulk, waiting and notifying; all four give the same.
void ExpectBulkAsStepByStep(uint16_t port, const TableCase& c)
{
    const Walk stepped = Waiting({port, 1, c.community, false}, c.table, c.keys);
    if (c.rows == kSomeRows)
        EXPECT_FALSE(stepped.rows.empty()) << c.name;
    else
        EXPECT_EQ(stepped.rows.size(), static_cast<size_t>(c.rows)) << c.name;
    EXPECT_TRUE(stepped.ok) << c.name << ": " << stepped.error;
    SnmpSession& session = SnmpSession::global();
    const uint64_t before = session.exchangesSent();
    ExpectSameWalk(stepped, Waiting({port, 1, c.community, true}, c.table, c.keys), std::string(c.name) + ", waiting");
    if (c.rows > 20)
        EXPECT_LT(session.exchangesSent() - before, static_cast<uint64_t>(c.rows / 5)) << c.name << ": not read ahead";
    ExpectSameWalk(stepped, Notifying({port, 1, c.community, true}, c.table, c.keys),
                   std::string(c.name) + ", notifying");
    ExpectSameWalk(stepped, Notifying({port, 1, c.community, false}, c.table, c.keys),
                   std::string(c.name) + ", notifying step by step");
}

TEST(BulkWalk, GivesTheRowsOfGetNextOnSnmpd)
{
    StartSnmpLibraryOnce();
    SnmpdAgent agent;
    agent.addConfigLines(SnmpdTables());
    ASSERT_TRUE(agent.start()) << agent.error();
    const TableCase cases[] = {
        {"holes and a column that ends early", kHoles, 1, "public", 6},
        {"an empty table", kEmpty, 1, "public", 0},
        {"a long table", kLong, 1, "public", kLongRows},
        {"a table at the end of the view", kViewEnd, 0, "ifonly", kSomeRows},
    };
    for (const TableCase& c : cases)
        ExpectBulkAsStepByStep(agent.port(), c);
}

TEST(BulkWalk, GivesTheRowsOfGetNextOnTheDevice)
{
    StartSnmpLibraryOnce();
    DevsimAgent device({"--clients", "300"});
    ASSERT_TRUE(device.start()) << device.error();
    const TableCase cases[] = {
        {"the client table", kClients, 2, "public", 300},
        {"a column that ends early", kClientsAndSurvey, 2, "public", 300},
        {"an empty table", kRogueResult, 1, "public", 0},
        {"the last table of the view", kAgentsLast, 0, "public", 6},
    };
    for (const TableCase& c : cases)
        ExpectBulkAsStepByStep(device.port(), c);
}

class BadBulkDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        StartSnmpLibraryOnce();
        device = std::make_unique<DevsimAgent>(QStringList{"--clients", "40"});
        ASSERT_TRUE(device->start()) << device->error();
        stepped = Waiting({device->port(), 1, "public", false}, kClients, 2);
        ASSERT_EQ(stepped.rows.size(), 40u);
    }
    static void TearDownTestSuite() { device.reset(); }

    static inline std::unique_ptr<DevsimAgent> device;
    static inline Walk stepped;
};

TEST_F(BadBulkDevice, EveryRowStillArrivesAndTheDeviceIsWalkedStepByStepFromThen)
{
    using Spoil = BulkSpoilingProxy::Spoil;
    const struct {
        const char* name;
        Spoil spoil;
    } cases[] = {
        {"genErr", Spoil::GenErr},
        {"tooBig at any size", Spoil::TooBig},
        {"no progress", Spoil::NoProgress},
        {"noSuchInstance values", Spoil::WrongType},
    };
    for (const auto& c : cases) {
        for (const bool waiting : {true, false}) {
            BulkSpoilingProxy proxy(device->port(), c.spoil);
            ASSERT_TRUE(proxy.started());
            const Aim aim{proxy.port()};
            ExpectSameWalk(stepped, waiting ? Waiting(aim, kClients, 2) : Notifying(aim, kClients, 2), c.name);
            EXPECT_GE(proxy.bulkRequests(), 1) << c.name;
            const int bulk = proxy.bulkRequests();
            ExpectSameWalk(stepped, Waiting(aim, kClients, 2), std::string(c.name) + ", again");
            EXPECT_EQ(proxy.bulkRequests(), bulk) << c.name << ": asked in bulk again";
        }
    }
}

// A device whose walks would never end: the walk stops with an error that says why, the rows
// read before it kept, step by step and in bulk, waiting and notifying. An answer not after
// the object asked ends it at once; rows without end stop past the largest table a device has.
TEST_F(BadBulkDevice, AWalkThatWouldNeverEndStopsAndSaysWhy)
{
    using Spoil = BulkSpoilingProxy::Spoil;
    const struct {
        const char* name;
        Spoil spoil;
        bool bulk;
        bool notifying;  // also walked notifying (a get-next a row takes long in the test's loop)
        size_t rows;
        int code;
        const char* says;
    } cases[] = {
        {"A, B, A, B step by step", Spoil::Looping, false, true, 2, WalkError::kNotIncreasing, "OID not increasing"},
        {"A, B, A, B in bulk", Spoil::Looping, true, true, 2, WalkError::kNotIncreasing, "OID not increasing"},
        {"rows without end in bulk", Spoil::Endless, true, true, WalkError::kMostRows, WalkError::kTooManyRows,
         "beyond 10000 rows"},
        {"rows without end step by step", Spoil::Endless, false, false, WalkError::kMostRows,
         WalkError::kTooManyRows, "beyond 10000 rows"},
    };
    for (const auto& c : cases) {
        for (const bool waiting : {true, false}) {
            if (!waiting && !c.notifying)
                continue;
            SCOPED_TRACE(std::string(c.name) + (waiting ? ", waiting" : ", notifying"));
            BulkSpoilingProxy proxy(device->port(), c.spoil);
            ASSERT_TRUE(proxy.started());
            const Aim aim{proxy.port(), 1, "public", c.bulk};
            const Walk walk = waiting ? Waiting(aim, kClients, 2, 3 * WalkError::kMostRows) : Notifying(aim, kClients, 2);
            EXPECT_EQ(walk.rows.size(), c.rows);
            EXPECT_FALSE(walk.ok);
            EXPECT_EQ(walk.code, c.code);
            EXPECT_NE(walk.error.find(c.says), std::string::npos) << walk.error;
            if (c.bulk)
                EXPECT_GE(proxy.bulkRequests(), 1);
            else
                EXPECT_EQ(proxy.bulkRequests(), 0);
        }
    }
}

TEST_F(BadBulkDevice, AnAnswerTooBigForTheRepetitionsAsksForFewer)
{
    BulkSpoilingProxy proxy(device->port(), BulkSpoilingProxy::Spoil::TooBig, 3);
    ASSERT_TRUE(proxy.started());
    const Aim aim{proxy.port()};
    ExpectSameWalk(stepped, Waiting(aim, kClients, 2), "waiting");
    ExpectSameWalk(stepped, Notifying(aim, kClients, 2), "notifying");
    EXPECT_GE(proxy.largestPassedRepetitions(), 1);
    EXPECT_LE(proxy.largestPassedRepetitions(), 3);
    EXPECT_EQ(proxy.nextRequests(), 0);  // never step by step
}

TEST_F(BadBulkDevice, OnlySnmpV2cAndV3WalksAskInBulkAndOnlyWhenAllowed)
{
    BulkSpoilingProxy proxy(device->port(), BulkSpoilingProxy::Spoil::None);
    ASSERT_TRUE(proxy.started());
    ExpectSameWalk(stepped, Waiting({proxy.port(), 0}, kClients, 2), "SNMPv1");
    ExpectSameWalk(stepped, Notifying({proxy.port(), 0}, kClients, 2), "SNMPv1 notifying");
    ExpectSameWalk(stepped, Waiting({proxy.port(), 1, "public", false}, kClients, 2), "get-bulk turned off");
    EXPECT_EQ(proxy.bulkRequests(), 0);
    EXPECT_GT(proxy.nextRequests(), 3 * 40);

    const int next = proxy.nextRequests();
    ExpectSameWalk(stepped, Waiting({proxy.port()}, kClients, 2), "SNMPv2c");
    EXPECT_GE(proxy.bulkRequests(), 1);
    EXPECT_LE(proxy.bulkRequests(), 5);
    EXPECT_EQ(proxy.nextRequests(), next);
}

} // namespace
