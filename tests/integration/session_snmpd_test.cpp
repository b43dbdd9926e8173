#include "snmp/ErrorCatalogue.h"
#include "support/FreePort.h"
#include "snmp/QvException.h"
#include "snmp/QvSNMPStartup.h"
#include "snmp/SnmpSession.h"
#include "snmp/SnmpTarget.h"
#include "support/SnmpdAgent.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

const char* kSysDescr = "1.3.6.1.2.1.1.1.0";

// The session adapter alone against Net-SNMP's own agent.
class SessionAgainstSnmpd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir folder;
        QvSNMPStartup(folder.path().toStdString());
        agent = new SnmpdAgent;
        agentStarted = agent->start();
    }
    static void TearDownTestSuite()
    {
        delete agent;
        agent = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(agentStarted) << agent->error();
        SetDefaultSnmpSettings();
        QvSNMPDevice.port = agent->port();
    }

    static SnmpConnection v3(const SnmpdAgent::User& user, int auth, int priv)
    {
        SnmpConnection c = SnmpConnection::current();
        c.security.version = 3;
        c.security.securityLevel = kAuthPriv;
        c.security.securityName = user.name;
        c.security.authPassword = user.authPass;
        c.security.privPassword = user.privPass;
        c.security.authProtocol = auth;
        c.security.privProtocol = priv;
        return c;
    }

    static SnmpResponse get(const SnmpConnection& connection, const char* oid, int timeout = 100, int retries = 1)
    {
        SnmpVarBind vb;
        EXPECT_TRUE(ParseOid(oid, vb.oid));
        return SnmpSession::global().request(BuildTarget(connection, timeout, retries), PduKind::Get, {vb});
    }

    static SnmpdAgent* agent;
    static bool agentStarted;
};

SnmpdAgent* SessionAgainstSnmpd::agent = nullptr;
bool SessionAgainstSnmpd::agentStarted = false;

struct VersionCase {
    const char* name;
    std::function<SnmpConnection()> connection;
};

TEST_F(SessionAgainstSnmpd, WaitingGetOfSysDescrInEveryVersion)
{
    const std::vector<VersionCase> cases = {
        {"SNMPv1", [] { auto c = SnmpConnection::current(); c.security.version = 0; return c; }},
        {"SNMPv2c", [] { auto c = SnmpConnection::current(); c.security.version = 1; return c; }},
        {"SNMPv3 SHA+DES", [] { return v3(SnmpdAgent::kShaDes, kAuthSHA, kPrivDES); }},
        {"SNMPv3 SHA-256+AES-128", [] { return v3(SnmpdAgent::kSha256Aes, kAuthSHA256, kPrivAES128); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SnmpResponse response = get(c.connection(), kSysDescr);
        ASSERT_EQ(response.status, 0);
        ASSERT_EQ(response.vbs.size(), 1u);
        EXPECT_EQ(OidToText(response.vbs[0].oid), kSysDescr);
        EXPECT_EQ(response.vbs[0].type, SnmpType::OctetString);
        EXPECT_FALSE(response.vbs[0].bytes.empty());
    }
}

TEST_F(SessionAgainstSnmpd, SetUsesTheWriteCommunityAndReadsBack)
{
    SnmpConnection connection = SnmpConnection::current();
    connection.security.version = 1;
    SnmpVarBind name;
    ParseOid("1.3.6.1.2.1.1.5.0", name.oid);
    name.type = SnmpType::OctetString;
    name.bytes = "ap-under-test";
    const SnmpResponse set = SnmpSession::global().request(BuildTarget(connection, 100, 1), PduKind::Set, {name});
    ASSERT_EQ(set.status, 0);
    const SnmpResponse back = get(connection, "1.3.6.1.2.1.1.5.0");
    ASSERT_EQ(back.status, 0);
    EXPECT_EQ(back.vbs.at(0).bytes, "ap-under-test");

    // The read community may not write: the agent refuses (v2c: noAccess, 6) or stays silent.
    connection.security.writeCommunity = "public";
    const SnmpResponse refused = SnmpSession::global().request(BuildTarget(connection, 30, 0), PduKind::Set, {name});
    EXPECT_NE(refused.status, 0);
}

TEST_F(SessionAgainstSnmpd, WrongCommunityTimesOutWithTheCatalogueText)
{
    SnmpConnection connection = SnmpConnection::current();
    connection.security.readCommunity = "not-the-community";
    QElapsedTimer clock;
    clock.start();
    const SnmpResponse response = get(connection, kSysDescr, 20, 1);
    EXPECT_EQ(response.status, kStatusTimeout);
    // timeout x (retries + 1) = 0.4 s
    EXPECT_GE(clock.elapsed(), 350);
    EXPECT_LT(clock.elapsed(), 2000);
    const MappedStatus mapped = MapStatus(response.status);
    EXPECT_EQ(mapped.code, -405);
    EXPECT_EQ(mapped.text, "(SNMPClass) SNMP request timed out!");
}

TEST_F(SessionAgainstSnmpd, UnknownUserMapsToUnknownSecurityName)
{
    SnmpdAgent::User stranger = SnmpdAgent::kShaDes;
    stranger.name = "nobody-here";
    const SnmpResponse response = get(v3(stranger, kAuthSHA, kPrivDES), kSysDescr);
    const MappedStatus mapped = MapStatus(response.status);
    EXPECT_EQ(mapped.code, -304);
    EXPECT_EQ(mapped.text, "(SNMPv3USM) Unknown SecurityName!");
}

TEST_F(SessionAgainstSnmpd, WrongPassPhraseIsAnAuthenticationFailure)
{
    SnmpdAgent::User wrong = SnmpdAgent::kShaDes;
    wrong.authPass = "not-the-pass-phrase";
    const SnmpResponse response = get(v3(wrong, kAuthSHA, kPrivDES), kSysDescr, 50, 0);
    EXPECT_EQ(MapStatus(response.status).code, -308);
}

TEST_F(SessionAgainstSnmpd, ProtocolTheEngineDoesNotOfferIsRefusedBeforeSending)
{
    const SnmpResponse response = get(v3(SnmpdAgent::kShaDes, kAuthSHA, kPrivIDEA), kSysDescr);
    const MappedStatus mapped = MapStatus(response.status);
    EXPECT_EQ(mapped.code, -313);
    EXPECT_EQ(mapped.text, "(SNMPv3USM) Unsupported PrivProtocol!");
}

TEST_F(SessionAgainstSnmpd, UnresolvableHostIsAnInvalidAddress)
{
    SnmpConnection connection = SnmpConnection::current();
    connection.device.address = "no-such-host.invalid";
    try {
        BuildTarget(connection, 100, 1);
        FAIL() << "no exception";
    } catch (const QvException& error) {
        EXPECT_EQ(error.code(), -509);
        EXPECT_STREQ(error.what(), "(QvSNMP++) Invalid IP Address or DNS name!");
    }
}

TEST_F(SessionAgainstSnmpd, NotifyingGetsCompleteThroughTheEventPump)
{
    SnmpConnection connection = SnmpConnection::current();
    connection.security.version = 1;
    const SnmpTarget target = BuildTarget(connection, 100, 1);
    SnmpVarBind vb;
    ParseOid(kSysDescr, vb.oid);

    QEventLoop loop;
    int completed = 0;
    std::vector<SnmpResponse> responses;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(SnmpSession::global().send(target, PduKind::Get, {vb}, [&](const SnmpResponse& r) {
            responses.push_back(r);
            if (++completed == 3)
                loop.quit();
        }), 0);
    }
    EXPECT_EQ(SnmpSession::global().outstanding(), 3);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_EQ(completed, 3);
    for (const SnmpResponse& r : responses)
        EXPECT_EQ(r.status, 0);
    EXPECT_EQ(SnmpSession::global().outstanding(), 0);
}

TEST_F(SessionAgainstSnmpd, NotifyingTimeOutArrivesAndForgottenCompletionsNeverRun)
{
    SnmpConnection connection = SnmpConnection::current();
    connection.device.port = FreeUdpPort();  // nobody answers there
    const SnmpTarget target = BuildTarget(connection, 10, 1);
    SnmpVarBind vb;
    ParseOid(kSysDescr, vb.oid);

    QEventLoop loop;
    int status = 0;
    bool forgottenRan = false;
    SnmpSession::Ticket forgotten = 0;
    ASSERT_EQ(SnmpSession::global().send(target, PduKind::Get, {vb}, [&](const SnmpResponse&) { forgottenRan = true; }, &forgotten), 0);
    SnmpSession::global().forget(forgotten);
    ASSERT_EQ(SnmpSession::global().send(target, PduKind::Get, {vb}, [&](const SnmpResponse& r) {
        status = r.status;
        loop.quit();
    }), 0);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(status, kStatusTimeout);
    // Both exchanges end (by time-out) within the same bound; the forgotten one silently.
    QElapsedTimer clock;
    clock.start();
    while (SnmpSession::global().isOutstanding(forgotten) && clock.elapsed() < 2000)
        SnmpSession::global().waitForEvents(50);
    EXPECT_FALSE(SnmpSession::global().isOutstanding(forgotten));
    EXPECT_FALSE(forgottenRan);
}

TEST_F(SessionAgainstSnmpd, EachExchangeKeepsItsOwnTimeoutAndRetries)
{
    SnmpConnection connection = SnmpConnection::current();
    connection.device.port = FreeUdpPort();  // nobody answers there
    SnmpVarBind vb;
    ParseOid(kSysDescr, vb.oid);

    QElapsedTimer clock;
    clock.start();
    qint64 noRetryEnded = -1, longerEnded = -1, oneRetryEnded = -1;
    QEventLoop loop;
    ASSERT_EQ(SnmpSession::global().send(BuildTarget(connection, 30, 0), PduKind::Get, {vb}, [&](const SnmpResponse& r) {
        EXPECT_EQ(r.status, kStatusTimeout);
        noRetryEnded = clock.elapsed();
    }), 0);
    // Another time-out alone shares the engine session, and keeps its own time.
    const size_t sockets = SnmpSession::global().sockets().size();
    ASSERT_EQ(SnmpSession::global().send(BuildTarget(connection, 60, 0), PduKind::Get, {vb}, [&](const SnmpResponse& r) {
        EXPECT_EQ(r.status, kStatusTimeout);
        longerEnded = clock.elapsed();
    }), 0);
    EXPECT_EQ(SnmpSession::global().sockets().size(), sockets);
    // Sent last, on the same agent: its retry count must not become the first one's.
    ASSERT_EQ(SnmpSession::global().send(BuildTarget(connection, 30, 1), PduKind::Get, {vb}, [&](const SnmpResponse& r) {
        EXPECT_EQ(r.status, kStatusTimeout);
        oneRetryEnded = clock.elapsed();
    }), 0);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    QTimer allEnded;
    QObject::connect(&allEnded, &QTimer::timeout, &loop, [&] {
        if (noRetryEnded >= 0 && longerEnded >= 0 && oneRetryEnded >= 0)
            loop.quit();
    });
    allEnded.start(10);
    loop.exec();
    EXPECT_GE(noRetryEnded, 250);
    EXPECT_LT(noRetryEnded, 500);
    EXPECT_GE(longerEnded, 550);
    EXPECT_LT(longerEnded, 1000);
    EXPECT_GE(oneRetryEnded, 550);
    EXPECT_LT(oneRetryEnded, 1000);
}

TEST_F(SessionAgainstSnmpd, ACompletionThatRunsTheEventLoopIsNeverInterruptedByAnother)
{
    SnmpConnection connection = SnmpConnection::current();
    connection.security.version = 1;
    const SnmpTarget target = BuildTarget(connection, 100, 1);
    SnmpVarBind vb;
    ParseOid(kSysDescr, vb.oid);

    int depth = 0, deepest = 0, completed = 0;
    QEventLoop outer;
    auto completion = [&](const SnmpResponse&) {
        deepest = std::max(deepest, ++depth);
        if (completed == 0) {
            // As a modal message box would: run the event loop while the other answer arrives.
            QEventLoop modal;
            QTimer::singleShot(300, &modal, &QEventLoop::quit);
            modal.exec();
        }
        --depth;
        if (++completed == 2)
            outer.quit();
    };
    ASSERT_EQ(SnmpSession::global().send(target, PduKind::Get, {vb}, completion), 0);
    QTimer::singleShot(20, [&] { SnmpSession::global().send(target, PduKind::Get, {vb}, completion); });
    QTimer::singleShot(5000, &outer, &QEventLoop::quit);
    outer.exec();
    EXPECT_EQ(completed, 2);
    EXPECT_EQ(deepest, 1);
}

// New pass phrases for a user retire the user's open session. When that happens while
// completions run, the next session may open a socket under the closed one's number; the
// event pump must hear that new socket at once, not only when the exchange times out.
TEST_F(SessionAgainstSnmpd, ASessionOpenedUnderAClosedSessionsSocketNumberIsHeardAtOnce)
{
    SnmpdAgent::User changed = SnmpdAgent::kShaDes;
    changed.authPass = "not-the-pass-phrase";
    const SnmpTarget first = BuildTarget(v3(SnmpdAgent::kShaDes, kAuthSHA, kPrivDES), 300, 0);
    const SnmpTarget second = BuildTarget(v3(changed, kAuthSHA, kPrivDES), 300, 0);
    SnmpVarBind vb;
    ParseOid(kSysDescr, vb.oid);

    QEventLoop loop;
    QElapsedTimer clock;
    std::vector<int> socketsBefore, socketsAfter;
    int firstStatus = -1, secondStatus = 0;
    qint64 secondAnsweredAfter = -1;
    ASSERT_EQ(SnmpSession::global().send(first, PduKind::Get, {vb}, [&](const SnmpResponse& answer) {
        firstStatus = answer.status;
        socketsBefore = SnmpSession::global().sockets();
        clock.start();
        const int sent = SnmpSession::global().send(second, PduKind::Get, {vb}, [&](const SnmpResponse& refusal) {
            secondStatus = refusal.status;
            secondAnsweredAfter = clock.elapsed();
            loop.quit();
        });
        EXPECT_EQ(sent, 0);
        socketsAfter = SnmpSession::global().sockets();
    }), 0);
    QTimer::singleShot(6000, &loop, &QEventLoop::quit);
    loop.exec();

    EXPECT_EQ(firstStatus, 0);
    std::sort(socketsBefore.begin(), socketsBefore.end());
    std::sort(socketsAfter.begin(), socketsAfter.end());
    ASSERT_EQ(socketsAfter, socketsBefore) << "the new session did not take the closed one's socket number";
    EXPECT_EQ(MapStatus(secondStatus).code, -308);
    ASSERT_GE(secondAnsweredAfter, 0);
    EXPECT_LT(secondAnsweredAfter, 1500) << "the answer was read only when the exchange timed out";
}

} // namespace
