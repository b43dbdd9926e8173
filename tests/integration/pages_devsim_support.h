#pragma once

// Pages opened against vta-devsim without the main window: the SNMP settings aimed at the
// simulator (SNMPv2c, communities public / private), message boxes answered by a recorder,
// the event loop run while waiting for a page's exchanges.

#include "support/DevsimAgent.h"
#include "support/DialogRecorder.h"
#include "support/PageTestKit.h"
#include "support/FreePort.h"
#include "support/SnmpLibrary.h"
#include "binding/QvStatusBar.h"
#include "platform/TimeScale.h"
#include "snmp/SnmpSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Runs the event loop until the condition holds; false after timeoutMs.
inline bool runUntil(const std::function<bool()>& done, int timeoutMs = 10000) { return waitFor(done, timeoutMs); }

// Runs the event loop for a while.
inline void runFor(int milliseconds)
{
    runUntil([] { return false; }, milliseconds);
}

// One column of a list view, top to bottom.
inline QStringList column(const QTreeWidget* view, int c)
{
    QStringList texts;
    for (int row = 0; row < view->topLevelItemCount(); ++row)
        texts << view->topLevelItem(row)->text(c);
    return texts;
}

// Aims the module's settings at 127.0.0.1:port; timeout in hundredths of a second.
inline void AimAt(uint16_t port, int timeout = 100)
{
    StartSnmpLibraryOnce();
    SetDefaultSnmpSettings();
    DefaultTimeout = timeout;
    QvSNMPDevice.address = "127.0.0.1";
    QvSNMPDevice.port = port;
    QvSNMPSecurity.version = 1;
    QvSNMPSecurity.readCommunity = "public";
    QvSNMPSecurity.writeCommunity = "private";
}

// A test against a simulator started with the test's arguments (restart in 1 s, timers at a
// twentieth of their time).
class PageAgainstDevice : public ::testing::Test {
protected:
    virtual QStringList deviceArguments() const { return {}; }

    void SetUp() override
    {
        TimeScale::setFactor(0.05);
        QStringList arguments = {"--restart-seconds", "1"};
        arguments << deviceArguments();
        device = std::make_unique<DevsimAgent>(arguments);
        ASSERT_TRUE(device->start()) << device->error();
        AimAt(device->port());
    }

    void TearDown() override
    {
        TimeScale::setFactor(1.0);
        SetDefaultSnmpSettings();
    }

    DialogRecorder recorder;
    std::unique_ptr<DevsimAgent> device;
};

// A port nobody answers on: what a stopped device looks like. Requests time out after
// timeout hundredths of a second (1 retry).
class PageWithoutDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        TimeScale::setFactor(0.05);
        AimAt(FreeUdpPort(), kTimeout);
    }
    void TearDown() override
    {
        TimeScale::setFactor(1.0);
        SetDefaultSnmpSettings();
    }

    static constexpr int kTimeout = 20;  // 0.2 s, one retry: 0.4 s per exchange
    DialogRecorder recorder;
};

// Net-SNMP's own tools, for what a test does to the device behind the page's back.
// type is snmpset's letter ("i", "s", "a"); true when the agent took the set.
inline bool ToolSet(uint16_t port, const QString& oid, const QString& type, const QString& value)
{
    QProcess tool;
    tool.start("snmpset", {"-v2c", "-c", "private", "-On", "-t", "1", "-r", "1",
                           QString("127.0.0.1:%1").arg(port), oid, type, value});
    return tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

// Whether the device answers a get (e.g. after a restart).
inline bool ToolGetAnswers(uint16_t port, const QString& oid)
{
    QProcess tool;
    tool.start("snmpget", {"-v2c", "-c", "public", "-On", "-t", "0.3", "-r", "0",
                           QString("127.0.0.1:%1").arg(port), oid});
    return tool.waitForFinished(5000) && tool.exitCode() == 0;
}

#define VTA_PRIVATE "1.3.6.1.4.1.32473.10.37.24"

// Restarts the device and waits until it answers again.
inline void restartDevice(uint16_t port)
{
    ASSERT_TRUE(ToolSet(port, VTA_PRIVATE ".3.2.1.0", "i", "1"));
    runFor(300);
    ASSERT_TRUE(runUntil([&] { return ToolGetAnswers(port, VTA_PRIVATE ".4.4.0"); }, 10000));
}
