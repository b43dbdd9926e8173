// An agent's SNMPv3 identity changing under a running request, and the user-based security
// failures of real agents, as a request reports them.
#include "snmp/QvSNMPRequest.h"
#include "support/DevsimAgent.h"
#include "support/ShiftingEngineAgent.h"
#include "support/SnmpLibrary.h"
#include "support/SnmpdAgent.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const VariableDescriptor kUpTime[] = {
    {"1.3.6.1.2.1.1.3", "sysUpTime", kSyntaxTimeTicks, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};

struct Credentials {
    const char* name;
    int level;
    int auth;
    const char* authPass;
    int priv;
    const char* privPass;
};

const Credentials kDevsimShaAes = {"shaaes", kAuthPriv, kAuthSHA, "shaauthpass", kPrivAES128, "aesprivpass"};
const Credentials kDevsimShaOnly = {"shaonly", kAuthNoPriv, kAuthSHA, "shaauthpass", kPrivNone, ""};
const Credentials kSnmpdShaDes = {"shades", kAuthPriv, kAuthSHA, "shaauthpass1", kPrivDES, "desprivpass1"};
const Credentials kSnmpdMd5Only = {"md5only", kAuthNoPriv, kAuthMD5, "md5authpass1", kPrivNone, ""};

// A request for sysUpTime, as a page's binding holds one for its whole life.
std::unique_ptr<QvSNMPRequest> UpTimeRequest(uint16_t port, const Credentials& user)
{
    auto request = std::make_unique<QvSNMPRequest>();
    request->address = "127.0.0.1";
    request->port = port;
    request->version = 3;
    request->securityLevel = user.level;
    request->securityName = user.name;
    request->authProtocol = user.auth;
    request->authPassword = user.authPass;
    request->privProtocol = user.priv;
    request->privPassword = user.privPass;
    request->timeout = 50;
    request->retries = 1;
    request->list.Assign(QvSNMPVarList(kUpTime, kListScalars, 0));
    return request;
}

enum class Form { Waiting, Notifying };

// One get in the waiting or the notifying form: the record it ends with (code 0 on success).
QvSNMPError GetOnce(QvSNMPRequest& request, Form form)
{
    QvSNMPError outcome;
    outcome.code = 1;  // nothing arrived
    if (form == Form::Waiting) {
        request.errorCallback = [&](const QvSNMPError& error) { outcome = error; };
        bool ok = true;
        request.GetSync(true, ok);
        request.errorCallback = nullptr;
        if (ok)
            outcome.code = 0;
        return outcome;
    }
    QEventLoop loop;
    request.GetAsync([&](void*, const QvSNMPError& error, QvSNMPVarList&) {
        outcome = error;
        loop.quit();
    }, nullptr, true);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (request.outstanding > 0)
        loop.exec();
    return outcome;
}

const char* FormName(Form form) { return form == Form::Waiting ? "waiting" : "notifying"; }

class EngineIdentity : public ::testing::Test {
protected:
    void SetUp() override { StartSnmpLibraryOnce(); }
};

// A unit replaced at the same address (every start of the simulator has an engine ID of its
// own): the next exchange of a request made before succeeds, without starting anew.
TEST_F(EngineIdentity, AReplacedDeviceAnswersTheNextExchange)
{
    DevsimAgent device;
    ASSERT_TRUE(device.start()) << device.error();
    for (Form form : {Form::Waiting, Form::Notifying}) {
        SCOPED_TRACE(FormName(form));
        auto request = UpTimeRequest(device.port(), kDevsimShaAes);
        ASSERT_EQ(GetOnce(*request, form).code, 0);
        ASSERT_TRUE(device.restart()) << device.error();
        const QvSNMPError after = GetOnce(*request, form);
        EXPECT_EQ(after.code, 0) << after.message;
        EXPECT_NE(request->list.Item(0).value, "(NULL)");
        // And the one after that, on the session that learnt the new engine ID.
        EXPECT_EQ(GetOnce(*request, form).code, 0);
    }
}

// Net-SNMP's own agent: a restart with a new engine ID and one that keeps its engine ID and
// counts its boots one higher.
TEST_F(EngineIdentity, AnAgentRestartedWithANewOrTheSameEngineIdAnswersTheNextExchange)
{
    SnmpdAgent agent;
    ASSERT_TRUE(agent.start()) << agent.error();
    for (bool sameEngineId : {false, true}) {
        for (Form form : {Form::Waiting, Form::Notifying}) {
            SCOPED_TRACE(std::string(sameEngineId ? "same engine ID, " : "new engine ID, ") + FormName(form));
            auto request = UpTimeRequest(agent.port(), kSnmpdShaDes);
            ASSERT_EQ(GetOnce(*request, form).code, 0);
            ASSERT_TRUE(agent.restart(sameEngineId)) << agent.error();
            const QvSNMPError after = GetOnce(*request, form);
            EXPECT_EQ(after.code, 0) << after.message;
            EXPECT_NE(request->list.Item(0).value, "(NULL)");
        }
    }
}

// A device that names another engine ID in every answer, its discovery answers included:
// the one new discovery an exchange is allowed learns nothing that lasts, and the exchange
// ends at once with the catalogue's text for it, not as a time-out after all its retries.
TEST_F(EngineIdentity, AnAgentWhoseEngineIdNeverHoldsEndsWithTheUnknownEngineIdText)
{
    ShiftingEngineAgent agent;
    ASSERT_TRUE(agent.started());
    for (Form form : {Form::Waiting, Form::Notifying}) {
        SCOPED_TRACE(FormName(form));
        auto request = UpTimeRequest(agent.port(), kDevsimShaAes);
        request->timeout = 300;  // 3 s a try: a time-out would show in the time taken
        const int before = agent.reportsSent();
        QElapsedTimer taken;
        taken.start();
        const QvSNMPError error = GetOnce(*request, form);
        EXPECT_EQ(error.message, "(SNMPv3USM) Unknown EngineID!");
        EXPECT_LT(taken.elapsed(), 2500);
        // Two discoveries and two sends of the request at most: the rediscovery is not repeated.
        EXPECT_LE(agent.reportsSent() - before, 4);
        EXPECT_EQ(request->outstanding, 0);
    }
}

// What the user-based security of a real agent refuses, each with its own catalogue text.
// A wrong privacy pass phrase makes the agent drop the message without a report (Net-SNMP's
// agent, and so the simulator, send none), so the module can only see a time-out there.
struct UsmCase {
    const char* name;
    Credentials user;
    int code;
    const char* text;
};

void CheckUsmFailures(uint16_t port, const std::vector<UsmCase>& cases)
{
    for (const UsmCase& c : cases) {
        for (Form form : {Form::Waiting, Form::Notifying}) {
            SCOPED_TRACE(std::string(c.name) + ", " + FormName(form));
            auto request = UpTimeRequest(port, c.user);
            request->retries = 0;
            const QvSNMPError error = GetOnce(*request, form);
            EXPECT_EQ(error.code, c.code);
            EXPECT_EQ(error.message, c.text);
        }
    }
}

Credentials With(Credentials user, const char* name, const char* authPass, int level)
{
    if (name)
        user.name = name;
    if (authPass)
        user.authPass = authPass;
    if (level)
        user.level = level;
    return user;
}

TEST_F(EngineIdentity, EachRefusalOfTheSimulatorShowsItsOwnText)
{
    DevsimAgent device;
    ASSERT_TRUE(device.start()) << device.error();
    Credentials wrongPriv = kDevsimShaAes;
    wrongPriv.privPass = "not-the-privacy-phrase";
    Credentials shaWithPriv = With(kDevsimShaOnly, nullptr, nullptr, kAuthPriv);
    shaWithPriv.priv = kPrivAES128;
    shaWithPriv.privPass = "some-privacy-phrase";
    CheckUsmFailures(device.port(), {
        {"wrong authentication pass phrase", With(kDevsimShaAes, nullptr, "not-the-pass-phrase", 0), -308,
         "(SNMPv3USM) Authentication failure!"},
        {"unknown user", With(kDevsimShaAes, "nobody-here", nullptr, 0), -304, "(SNMPv3USM) Unknown SecurityName!"},
        {"privacy for a user without", shaWithPriv, -303,
         "(SNMPv3USM) Unsupported SecurityLevel!"},
        {"wrong privacy pass phrase", wrongPriv, -405, "(SNMPClass) SNMP request timed out!"},
    });
}

TEST_F(EngineIdentity, EachRefusalOfSnmpdShowsItsOwnText)
{
    SnmpdAgent agent;
    ASSERT_TRUE(agent.start()) << agent.error();
    Credentials md5WithPriv = With(kSnmpdMd5Only, nullptr, nullptr, kAuthPriv);
    md5WithPriv.priv = kPrivDES;
    md5WithPriv.privPass = "some-privacy-phrase";
    CheckUsmFailures(agent.port(), {
        {"wrong authentication pass phrase", With(kSnmpdShaDes, nullptr, "not-the-pass-phrase", 0), -308,
         "(SNMPv3USM) Authentication failure!"},
        {"unknown user", With(kSnmpdShaDes, "nobody-here", nullptr, 0), -304, "(SNMPv3USM) Unknown SecurityName!"},
        {"privacy for a user without", md5WithPriv, -303, "(SNMPv3USM) Unsupported SecurityLevel!"},
    });
}

} // namespace
