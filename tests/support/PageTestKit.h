#pragma once

// What page tests share: waiting with the event loop running, finding a page's controls by
// their documented names, watching the wait dialog, a module running against vta-devsim, and
// a page alone against vta-devsim or against an agent that never answers.

#include "support/DevsimAgent.h"
#include "support/DialogRecorder.h"
#include "support/SilentAgent.h"
#include "shell/TMainForm.h"
#include "snmp/SnmpSession.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

class QTreeWidget;

// Runs the event loop until the condition holds; false after timeoutMs.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000);
// Runs the event loop for a while.
void runFor(int milliseconds);
// One column of a list view, top to bottom.
QStringList column(const QTreeWidget* view, int c);
// The index of the column with this caption; -1 when there is none.
int columnNamed(const QTreeWidget* view, const QString& caption);

// A control of a page by its name; a missing one fails the test.
template <typename Widget>
Widget* child(QWidget* page, const char* name)
{
    Widget* widget = page->findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// What the wait dialog said while it was up: each distinct second line, in order, as it
// appeared, while it stood and as it closed; and the countdowns it was shown with.
class WaitWatcher : public QObject {
public:
    WaitWatcher();
    ~WaitWatcher() override;
    QStringList lines;
    int dialogsShown = 0;
    QStringList firstCountdowns;  // La_Time of each dialog as it was shown

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void note(QWidget* dialog);
    QTimer m_timer;
};

// The module against a simulated device on loopback: vta-devsim started with the fixture's
// arguments, the host's files in a private folder, the main window built for 127.0.0.1 over
// SNMPv2c and polling until it reads "Ready. ". Timers run at a twentieth of their time.
class ModuleAgainstDevice : public ::testing::Test {
protected:
    // Extra vta-devsim arguments; the device restarts in 1 s.
    virtual QStringList deviceArguments() const { return {}; }

    void SetUp() override;
    void TearDown() override;

    // Waits until the device's state shows the value (its state file is written after every set).
    bool deviceShows(const QString& oid, const QString& expected, int timeoutMs = 10000);
    // A set or get of the test's own, outside the module's requests.
    SnmpResponse set(const std::vector<SnmpVarBind>& vbs, int timeout = 100);
    SnmpResponse get(const std::vector<QString>& oids, int timeout = 100);

    QTemporaryDir folder;
    DialogRecorder recorder;
    std::unique_ptr<DevsimAgent> device;
    std::unique_ptr<TMainForm> main;
};

// A page alone, without the main window (Capabilities() knows no device), against a simulator
// started with the test's arguments: the module's settings aimed at it (SNMPv2c, public /
// private), the device restarting in 1 s, timers at a twentieth of their time.
class PageAgainstDevice : public ::testing::Test {
protected:
    virtual QStringList deviceArguments() const { return {}; }

    void SetUp() override;
    void TearDown() override;

    DialogRecorder recorder;
    std::unique_ptr<DevsimAgent> device;
};

// A page alone against an agent that never answers: what a stopped device looks like.
// Requests time out after kTimeout hundredths of a second (1 retry).
class PageWithoutDevice : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static constexpr int kTimeout = 20;  // 0.2 s, one retry: 0.4 s per exchange
    DialogRecorder recorder;
    std::unique_ptr<SilentAgent> silent;
};

// Aims the module's settings at 127.0.0.1:port over SNMPv2c (public / private); timeout in
// hundredths of a second.
void AimAt(uint16_t port, int timeout = 100);

// The registry holds every page of the menu, as main() registers them, and nothing else.
void RegisterMenuPages();

// The full dotted OID of the device's private variable at suffix (".4.4.0").
QString PrivateOid(const QString& suffix);
// A variable binding for set().
SnmpVarBind Bind(const QString& oid, uint8_t type, const std::string& bytes, int64_t integer = 0);
