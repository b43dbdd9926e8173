#include "support/PageTestKit.h"

#include "support/SnmpLibrary.h"
#include "pages/advanced/AdvancedPages.h"
#include "pages/home/HomePages.h"
#include "pages/status/StatusPages.h"
#include "pages/tools/ToolsPages.h"
#include "shell/PageRegistry.h"
#include "platform/TimeScale.h"
#include "shell/TFM_Waiting.h"
#include "snmp/SnmpSettings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QThread>
#include <QTreeWidget>
#include <fstream>

bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void runFor(int milliseconds)
{
    waitFor([] { return false; }, milliseconds);
}

QStringList column(const QTreeWidget* view, int c)
{
    QStringList texts;
    for (int row = 0; row < view->topLevelItemCount(); ++row)
        texts << view->topLevelItem(row)->text(c);
    return texts;
}

int columnNamed(const QTreeWidget* view, const QString& caption)
{
    for (int c = 0; c < view->columnCount(); ++c)
        if (view->headerItem()->text(c) == caption)
            return c;
    return -1;
}

WaitWatcher::WaitWatcher()
{
    qApp->installEventFilter(this);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<TFM_Waiting*>(widget); dialog && dialog->isVisible())
                note(dialog);
    });
    m_timer.start(5);
}

WaitWatcher::~WaitWatcher() { qApp->removeEventFilter(this); }

bool WaitWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* dialog = qobject_cast<TFM_Waiting*>(watched)) {
        if (event->type() == QEvent::Show) {
            ++dialogsShown;
            firstCountdowns << dialog->findChild<QLabel*>("La_Time")->text();
        }
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            note(dialog);
    }
    return false;
}

void WaitWatcher::note(QWidget* dialog)
{
    const QString line = dialog->findChild<QLabel*>("Label3")->text();
    if (lines.isEmpty() || lines.last() != line)
        lines << line;
}

namespace {

std::unique_ptr<DevsimAgent> DeviceRestartingInOneSecond(const QStringList& arguments)
{
    return std::make_unique<DevsimAgent>(QStringList{"--restart-seconds", "1"} + arguments);
}

} // namespace

void ModuleAgainstDevice::SetUp()
{
    device = DeviceRestartingInOneSecond(deviceArguments());
    ASSERT_TRUE(device->start()) << device->error();
    QDir::setCurrent(folder.path());
    qputenv("VTA_LOCK_DIR", folder.path().toLocal8Bit());
    qputenv("VTA_HOST_REGISTRY", folder.filePath("registry.ini").toLocal8Bit());
    std::ofstream(folder.filePath("127.0.0.1.cfg").toStdString())
        << "[Program Information]\nAgentPort=" << device->port() << "\nVersion=1\n";
    TimeScale::setFactor(0.05);
    main = std::make_unique<TMainForm>(std::vector<std::string>{"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    ASSERT_EQ(main->outcome(), TMainForm::StartOutcome::Running) << recorder.texts().join("\n").toStdString();
    ASSERT_TRUE(waitFor([&] { return main->StatusText() == "Ready. " && !main->SubnetMask().isEmpty(); }, 10000))
        << main->StatusText().toStdString();
}

void ModuleAgainstDevice::TearDown()
{
    main.reset();
    TimeScale::setFactor(1.0);
}

void PageAgainstDevice::SetUp()
{
    TimeScale::setFactor(0.05);
    device = DeviceRestartingInOneSecond(deviceArguments());
    ASSERT_TRUE(device->start()) << device->error();
    AimAt(device->port());
}

void PageAgainstDevice::TearDown()
{
    TimeScale::setFactor(1.0);
    SetDefaultSnmpSettings();
}

void PageWithoutDevice::SetUp()
{
    TimeScale::setFactor(0.05);
    silent = std::make_unique<SilentAgent>();
    AimAt(silent->port(), kTimeout);
}

void PageWithoutDevice::TearDown()
{
    TimeScale::setFactor(1.0);
    SetDefaultSnmpSettings();
}

void AimAt(uint16_t port, int timeout)
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

bool ModuleAgainstDevice::deviceShows(const QString& oid, const QString& expected, int timeoutMs)
{
    QString seen;
    const bool shown = waitFor([&] { return (seen = device->value(oid)) == expected; }, timeoutMs);
    EXPECT_TRUE(shown) << oid.toStdString() << " is " << seen.toStdString() << ", expected " << expected.toStdString();
    return shown;
}

namespace {

SnmpTarget deviceTarget(uint16_t port, int timeout)
{
    SnmpTarget target;
    target.address = "127.0.0.1";
    target.port = port;
    target.version = 1;
    target.readCommunity = "public";
    target.writeCommunity = "private";
    target.timeout = timeout;
    target.retries = 0;
    return target;
}

} // namespace

SnmpResponse ModuleAgainstDevice::set(const std::vector<SnmpVarBind>& vbs, int timeout)
{
    return SnmpSession::global().request(deviceTarget(device->port(), timeout), PduKind::Set, vbs);
}

SnmpResponse ModuleAgainstDevice::get(const std::vector<QString>& oids, int timeout)
{
    std::vector<SnmpVarBind> vbs;
    for (const QString& oid : oids)
        vbs.push_back(Bind(oid, 5, {}));
    return SnmpSession::global().request(deviceTarget(device->port(), timeout), PduKind::Get, vbs);
}

QString PrivateOid(const QString& suffix) { return QString("1.3.6.1.4.1.32473.10.37.24") + suffix; }

SnmpVarBind Bind(const QString& oid, uint8_t type, const std::string& bytes, int64_t integer)
{
    SnmpVarBind vb;
    EXPECT_TRUE(ParseOid(oid.toStdString(), vb.oid));
    vb.type = type;
    vb.bytes = bytes;
    vb.integer = integer;
    return vb;
}

void RegisterMenuPages()
{
    PageRegistry::clear();
    RegisterHomePages();
    RegisterAdvancedPages();
    RegisterToolsPages();
    RegisterStatusPages();
}
