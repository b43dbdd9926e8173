#pragma once

#include "snmp/QvException.h"
#include "snmp/QvSNMPRequest.h"
#include "snmp/QvSNMPStartup.h"
#include "support/SnmpdAgent.h"

#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

// What the request tests share: one snmpd for the whole program (with a view that holds only
// ifIndex and ifDescr, for walks that run into the end of the agent's view), the library
// started once, and small helpers.
namespace requests {

inline constexpr const char* kIfEntry = "1.3.6.1.2.1.2.2.1";
#define SYSTEM "1.3.6.1.2.1.1"
#define IF_ENTRY "1.3.6.1.2.1.2.2.1"

// The system group's writable scalars.
inline const VariableDescriptor kWritable[] = {
    {SYSTEM ".4", "sysContact", kSyntaxDisplayString, kAccessReadWrite},
    {SYSTEM ".5", "sysName", kSyntaxDisplayString, kAccessReadWrite},
    {SYSTEM ".6", "sysLocation", kSyntaxDisplayString, kAccessReadWrite},
    {nullptr, nullptr, 0, 0},
};

// The walk the narrow view ends: ifIndex read as a column, then ifDescr, the view's last.
inline const VariableDescriptor kIndexAndDescr[] = {
    {IF_ENTRY ".1", "ifIndex", kSyntaxInteger, kAccessReadOnly},
    {IF_ENTRY ".2", "ifDescr", kSyntaxDisplayString, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};

// Community whose view ends after ifDescr.
inline constexpr const char* kNarrowCommunity = "ifonly";

class AgentEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        QvSNMPStartup(m_folder.path().toStdString());
        agent = std::make_unique<SnmpdAgent>();
        agent->addConfigLines("view ifcolumns included .1.3.6.1.2.1.2.2.1.1\n"
                              "view ifcolumns included .1.3.6.1.2.1.2.2.1.2\n"
                              "rocommunity ifonly 127.0.0.1 -V ifcolumns\n");
        ASSERT_TRUE(agent->start()) << agent->error();
    }
    void TearDown() override { agent.reset(); }

    static inline std::unique_ptr<SnmpdAgent> agent;

private:
    QTemporaryDir m_folder;
};

// A request aimed at the test's snmpd with SNMPv2c.
inline void AimAtAgent(QvSNMPRequest& request, uint8_t version = 1)
{
    request.address = "127.0.0.1";
    request.port = AgentEnvironment::agent->port();
    request.version = version;
    request.readCommunity = "public";
    request.writeCommunity = "private";
}

// Net-SNMP's own walk of one column: instance suffix -> value as the tool prints it.
inline std::map<std::string, std::string> ToolWalk(const std::string& community, const std::string& column,
                                                   const char* version = "2c")
{
    std::map<std::string, std::string> rows;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MIBS", "");
    QProcess named;
    named.setProcessEnvironment(environment);
    named.start("snmpwalk", {"-v", version, "-c", QString::fromStdString(community), "-On", "-Oq", "-Oe",
                             "127.0.0.1:" + QString::number(AgentEnvironment::agent->port()),
                             QString::fromStdString(column)});
    named.waitForFinished(10000);
    const QStringList lines = QString::fromUtf8(named.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QString prefix = "." + QString::fromStdString(column) + ".";
    for (const QString& line : lines) {
        const int blank = line.indexOf(' ');
        const QString oid = line.left(blank);
        if (!oid.startsWith(prefix))
            continue;
        QString value = blank < 0 ? QString() : line.mid(blank + 1);
        if (value.startsWith('"') && value.endsWith('"') && value.size() >= 2)
            value = value.mid(1, value.size() - 2);
        rows[oid.mid(prefix.size()).toStdString()] = value.toStdString();
    }
    return rows;
}

// Runs the Qt event loop until done() holds or the time is up; whether it held.
template <typename Done>
bool SpinUntil(Done done, int milliseconds = 5000)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

inline int ErrorCodeOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const QvException& error) {
        return error.code();
    }
    return 0;
}

} // namespace requests
