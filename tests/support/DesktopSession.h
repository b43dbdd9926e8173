#pragma once

#include "support/ChildProcess.h"
#include "support/DevsimAgent.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <string>

// A desktop of the test's own: an X server (Xvfb on a free display), a window manager
// (openbox) and, when asked, a private D-Bus session bus with the accessibility bus on it; the
// module runs there on Qt's xcb platform against vta-devsim, and the test drives it with real
// X events (xdotool) and the window manager's close request (wmctrl), as a user would.
// Everything it starts it stops, in reverse order, also when the test fails. A tool that is
// missing makes start() fail with its name: a desktop test never skips.
class DesktopSession {
public:
    enum class Accessibility { Off, On };
    explicit DesktopSession(Accessibility accessibility = Accessibility::Off);
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    // X server, window manager and (when asked) the buses; false with the reason in error().
    bool start();
    const std::string& error() const { return m_error; }
    QString display() const { return m_display; }
    // For programs on this desktop: DISPLAY, the session bus, a private runtime and config folder.
    QProcessEnvironment environment() const;

    // vta-devsim with these arguments, then the module against it over SNMPv2c (public /
    // private) with the host's files in a private folder, as the host starts it; waits for its
    // main window. extra: variables added to the module's environment (VTA_TIME_SCALE, ...).
    bool startModule(const QStringList& deviceArguments = {}, const QProcessEnvironment& extra = {});
    ChildProcess& module() { return m_module; }
    DevsimAgent* device() { return m_device.get(); }
    // The main window's title ("VTA-3100QX : 127.0.0.1").
    static QString mainTitle();
    // The main window's X id, once startModule() found it.
    QString mainWindow() const { return m_mainWindow; }

    // ---- windows (X ids as the window manager lists them, "0x01a00004") ----
    // The ids of the managed, mapped windows titled exactly so.
    QStringList windows(const QString& title) const;
    // The window with this title once it is there; empty after timeoutMs.
    QString waitForWindow(const QString& title, int timeoutMs = 10000) const;
    // The window that has the input focus ("" when none).
    QString activeWindow() const;
    // Gives the window the focus through the window manager, as a click on it would.
    bool activate(const QString& window) const;
    // Real key strokes (X's test extension) to the window, focused first: xdotool key names,
    // each one chord ("Escape", "alt+h", "F10", "Tab").
    bool keys(const QString& window, const QStringList& chords) const;
    // The window manager's close request, what the close box sends (WM_DELETE_WINDOW).
    bool requestClose(const QString& window) const;
    // Milliseconds until the window is no longer on the screen, counted from the call;
    // -1 when it is still there after timeoutMs.
    qint64 waitUntilGone(const QString& window, int timeoutMs) const;
    // Runs a tool on this desktop and returns what it printed; exitCode -1 when it did not run.
    QByteArray run(const QString& program, const QStringList& arguments, int* exitCode = nullptr,
                   int timeoutMs = 10000) const;

private:
    bool startServer();
    bool startWindowManager();
    bool startBuses();
    bool fail(const std::string& why);
    void stop();

    Accessibility m_accessibility;
    QTemporaryDir m_folder;
    QString m_display;
    QString m_busAddress;
    QString m_mainWindow;
    ChildProcess m_server;
    ChildProcess m_windowManager;
    ChildProcess m_bus;
    ChildProcess m_accessibilityBus;
    std::unique_ptr<DevsimAgent> m_device;
    ChildProcess m_module;
    std::string m_error;
};
