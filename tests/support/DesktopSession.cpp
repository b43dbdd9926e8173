#include "support/DesktopSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace {

const char* const kTools[] = {"Xvfb", "openbox", "xdotool", "wmctrl"};
const char* const kAccessibilityTools[] = {"dbus-daemon", "dbus-send", "/usr/libexec/at-spi-bus-launcher"};

bool ToolThere(const QString& tool)
{
    return tool.startsWith('/') ? QFile::exists(tool) : !QStandardPaths::findExecutable(tool).isEmpty();
}

// The first match of the pattern in what the process prints, waited for; empty after the time.
QString WaitForOutput(ChildProcess& process, const QRegularExpression& pattern, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(process.output()));
        if (match.hasMatch())
            return match.captured(1);
        if (process.process().state() == QProcess::NotRunning)
            break;
        process.process().waitForReadyRead(50);
    }
    return {};
}

// wmctrl prints ids as 0x0a00004 or 0x00a00004; compared as numbers.
quint64 WindowNumber(const QString& id)
{
    return (id.startsWith("0x") ? id.mid(2) : id).toULongLong(nullptr, 16);
}

} // namespace

DesktopSession::DesktopSession(Accessibility accessibility) : m_accessibility(accessibility) {}

DesktopSession::~DesktopSession() { stop(); }

bool DesktopSession::fail(const std::string& why)
{
    m_error = why;
    stop();
    return false;
}

void DesktopSession::stop()
{
    m_module.stop();
    m_device.reset();
    m_accessibilityBus.stop();
    m_bus.stop();
    m_windowManager.stop();
    m_server.stop();
}

bool DesktopSession::start()
{
    QStringList missing;
    for (const char* tool : kTools)
        if (!ToolThere(tool))
            missing << tool;
    if (m_accessibility == Accessibility::On)
        for (const char* tool : kAccessibilityTools)
            if (!ToolThere(tool))
                missing << tool;
    if (!missing.isEmpty())
        return fail("missing on this machine (scripts/setup installs them): " + missing.join(", ").toStdString());
    if (!m_folder.isValid())
        return fail("no temporary folder");
    QDir(m_folder.path()).mkpath("config");
    return startServer() && startWindowManager() && (m_accessibility == Accessibility::Off || startBuses());
}

bool DesktopSession::startServer()
{
    // The server picks a free display itself and prints its number once it takes clients.
    if (!m_server.startGroup("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                                      "-noreset"}))
        return fail("Xvfb does not start");
    const QString number = WaitForOutput(m_server, QRegularExpression("(?:^|\\n)(\\d+)\\n"), 10000);
    if (number.isEmpty())
        return fail("Xvfb names no display: " + m_server.output().toStdString());
    m_display = ":" + number;
    return true;
}

bool DesktopSession::startWindowManager()
{
    if (!m_windowManager.startGroup("openbox", {"--sm-disable"}, environment()))
        return fail("openbox does not start");
    // wmctrl -m answers once a window manager has taken the screen.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        int code = -1;
        if (run("wmctrl", {"-m"}, &code).contains("Openbox") && code == 0)
            return true;
        if (m_windowManager.process().state() == QProcess::NotRunning)
            break;
        QThread::msleep(50);
    }
    return fail("openbox did not take the screen: " + m_windowManager.output().toStdString());
}

bool DesktopSession::startBuses()
{
    if (!m_bus.startGroup("dbus-daemon", {"--session", "--nofork", "--print-address=1"}, environment()))
        return fail("dbus-daemon does not start");
    m_busAddress = WaitForOutput(m_bus, QRegularExpression("(unix:[^\\n]+)\\n"), 10000);
    if (m_busAddress.isEmpty())
        return fail("the session bus names no address: " + m_bus.output().toStdString());
    // The accessibility bus: the launcher owns org.a11y.Bus on the session bus and starts the
    // bus a screen reader and Qt's bridge meet on.
    if (!m_accessibilityBus.startGroup("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately", "--a11y=1"},
                                       environment()))
        return fail("at-spi-bus-launcher does not start");
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        int code = -1;
        const QByteArray reply = run("dbus-send", {"--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                                                   "org.a11y.Bus.GetAddress"},
                                     &code);
        if (code == 0 && reply.contains("unix:"))
            return true;
        if (m_accessibilityBus.process().state() == QProcess::NotRunning)
            break;
        QThread::msleep(100);
    }
    return fail("the accessibility bus does not answer: " + m_accessibilityBus.output().toStdString());
}

QProcessEnvironment DesktopSession::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_display);
    env.remove("WAYLAND_DISPLAY");
    env.remove("XAUTHORITY");
    env.insert("XDG_RUNTIME_DIR", m_folder.path());
    env.insert("XDG_CONFIG_HOME", m_folder.filePath("config"));
    env.insert("HOME", m_folder.path());
    if (m_busAddress.isEmpty())
        env.remove("DBUS_SESSION_BUS_ADDRESS");
    else
        env.insert("DBUS_SESSION_BUS_ADDRESS", m_busAddress);
    return env;
}

QString DesktopSession::mainTitle() { return "VTA-3100QX : 127.0.0.1"; }

bool DesktopSession::startModule(const QStringList& deviceArguments, const QProcessEnvironment& extra)
{
    m_device = std::make_unique<DevsimAgent>(deviceArguments);
    if (!m_device->start())
        return fail("vta-devsim: " + m_device->error());
    // What the host installation leaves for the module: its registry keys and the device's
    // parameter file (SNMPv1 and SNMPv2c take the agent port only from this file).
    const QDir folder(m_folder.path());
    folder.mkpath("mbf");
    folder.mkpath("module");
    QFile registry(folder.filePath("registry.ini"));
    QFile parameters(folder.filePath("mbf/127.0.0.1.cfg"));
    if (!registry.open(QIODevice::WriteOnly) || !parameters.open(QIODevice::WriteOnly))
        return fail("cannot write the host's files");
    registry.write(QString("[SOFTWARE\\Corvane\\Modules\\HelpPath]\n"
                           "1.3.6.1.4.1.32473.10.37.24=%1/module/VTA3100.help\n\n"
                           "[SOFTWARE\\Corvane\\Orvant5.1\\MibFile]\nPath=%1/mbf/\n")
                       .arg(folder.path())
                       .toUtf8());
    parameters.write(QString("[Program Information]\nAgentPort=%1\nVersion=1\n").arg(m_device->port()).toUtf8());
    registry.close();
    parameters.close();

    QProcessEnvironment env = environment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("VTA_HOST_REGISTRY", registry.fileName());
    env.insert("VTA_LOCK_DIR", folder.path());
    if (m_accessibility == Accessibility::On)
        env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    for (const QString& name : extra.keys())
        env.insert(name, extra.value(name));
    m_module.process().setWorkingDirectory(folder.path());  // its SNMPv3 boots file lives there
    if (!m_module.start(VTA_BIN_DIR "/vta-module", {"/I127.0.0.1", "/Rpublic", "/Wprivate"}, env))
        return fail("vta-module does not start");
    m_mainWindow = waitForWindow(mainTitle(), 20000);
    if (m_mainWindow.isEmpty())
        return fail("the main window did not show: " + m_module.output().toStdString());
    return true;
}

QByteArray DesktopSession::run(const QString& program, const QStringList& arguments, int* exitCode,
                               int timeoutMs) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    const bool ended = process.waitForStarted(timeoutMs) && process.waitForFinished(timeoutMs);
    if (!ended)
        process.kill();
    if (exitCode)
        *exitCode = ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAllStandardOutput();
}

QStringList DesktopSession::windows(const QString& title) const
{
    // One line per managed window: id, desktop, host, title.
    static const QRegularExpression line("^(0x[0-9a-fA-F]+)\\s+-?\\d+\\s+\\S+\\s(.*)$");
    QStringList found;
    for (const QString& text : QString::fromUtf8(run("wmctrl", {"-l"})).split('\n')) {
        const QRegularExpressionMatch match = line.match(text);
        if (match.hasMatch() && match.captured(2) == title)
            found << match.captured(1);
    }
    return found;
}

QString DesktopSession::waitForWindow(const QString& title, int timeoutMs) const
{
    QElapsedTimer clock;
    clock.start();
    do {
        const QStringList found = windows(title);
        if (!found.isEmpty())
            return found.first();
        QThread::msleep(20);
    } while (clock.elapsed() < timeoutMs);
    return {};
}

QString DesktopSession::activeWindow() const
{
    int code = -1;
    const QString id = QString::fromUtf8(run("xdotool", {"getactivewindow"}, &code)).trimmed();
    return code == 0 && !id.isEmpty() ? QString("0x%1").arg(id.toULongLong(), 8, 16, QChar('0')) : QString();
}

bool DesktopSession::activate(const QString& window) const
{
    int code = -1;
    run("xdotool", {"windowactivate", "--sync", QString::number(WindowNumber(window))}, &code);
    return code == 0;
}

bool DesktopSession::keys(const QString& window, const QStringList& chords) const
{
    if (!activate(window))
        return false;
    int code = -1;
    run("xdotool", QStringList{"key", "--clearmodifiers", "--delay", "50"} + chords, &code);
    return code == 0;
}

bool DesktopSession::requestClose(const QString& window) const
{
    int code = -1;
    run("wmctrl", {"-i", "-c", window}, &code);
    return code == 0;
}

qint64 DesktopSession::waitUntilGone(const QString& window, int timeoutMs) const
{
    QElapsedTimer clock;
    clock.start();
    static const QRegularExpression id("^(0x[0-9a-fA-F]+)\\s");
    const quint64 wanted = WindowNumber(window);
    do {
        int code = -1;
        const QString listed = QString::fromUtf8(run("wmctrl", {"-l"}, &code));
        bool there = code != 0;  // a list not had shows nothing gone
        for (const QString& text : listed.split('\n')) {
            const QRegularExpressionMatch match = id.match(text);
            there = there || (match.hasMatch() && WindowNumber(match.captured(1)) == wanted);
        }
        if (!there)
            return clock.elapsed();
        QThread::msleep(10);
    } while (clock.elapsed() < timeoutMs);
    return -1;
}
