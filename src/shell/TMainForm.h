#pragma once

#include "binding/BindingOwner.h"
#include "shell/DeviceCapabilities.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

enum class MenuItem;
class DevicePicture;
class InstanceLock;
class QAction;
class QLabel;
class QMenu;
class QLineEdit;
class QvSNMPRequest2Edits;
class QvStatusBar;
class QvSNMPRequest2Controls;
struct QvSNMPError;
class StatusLamps;

// The module's main window. Building it is the module's start-up: message files, the SNMP
// library, the host's registry keys, the command line and the parameter file, and the
// one-module-per-device lock. The lamps, polling and menus grow on this window.
class TMainForm : public QMainWindow, public DeviceCapabilities {
    Q_OBJECT
public:
    enum class StartOutcome { Running, NoArguments, AlreadyRunning, Failed };

    explicit TMainForm(const std::vector<std::string>& arguments, QWidget* parent = nullptr);
    ~TMainForm() override;

    StartOutcome outcome() const { return m_outcome; }
    const std::string& DeviceAddressText() const { return m_deviceAddress; }
    const std::string& ModuleDir() const { return m_moduleDir; }
    const std::string& ConfigDir() const { return m_configDir; }
    QvStatusBar* StatusBar1() const { return m_statusBar; }

    DevicePicture* picture() const { return m_picture; }
    StatusLamps* lamps() const { return m_lamps; }

    // What the pages read of the device (they see it through Capabilities()).
    QString DeviceAddress() const override;
    // The first status panel's text; the wait dialog reads "Ready. " there.
    QString StatusText() const override;
    QString FirmwareVersion() const override;
    QString CountryCode() const override;
    QString TurboMode(int radio) const override;
    QString ApModes() const override;
    QString MultiSsidSupported() const override;
    QString IpAddress() const override;
    QString SubnetMask() const override;

    void SetStatusText(const QString& text);
    // A copy of the status text, taken at every poll and blink tick.
    const QString& LastStatus() const { return m_lastStatus; }

    // The outcome of a status poll: the stLED flags, or the failure's catalogue message.
    void StatusPolled(int flags);
    void StatusFailed(const QString& message);

    // Menu items by their caption, e.g. menuItem("Client Info").
    QAction* menuItem(const QString& caption) const;
    // Runs the visibility decisions as opening the menu does.
    void AdvancedMenuShow();
    void StatusMenuShow();

    // Status poll every 3 s, capability poll every 2 s; both run once at start.
    void StartPolling();
    void Timer1Timer();
    void Timer4Timer();
    QTimer Timer1;
    QTimer Timer4;
    int CapabilityTicks = 0;

    // Device capabilities kept for the pages (never shown).
    QLineEdit* Ed_FwVer = nullptr;
    QLineEdit* Ed_Countrycode = nullptr;
    QLineEdit* ED_Turbomode = nullptr;
    QLineEdit* ED_Turbomode_g = nullptr;
    QLineEdit* APModeSupport = nullptr;
    QLineEdit* ifMultiSSID_Edit = nullptr;
    QLineEdit* IPAddressEdit = nullptr;
    QLineEdit* SubMaskEdit = nullptr;
    QLineEdit* Ifclientinfosupported = nullptr;

private:
    StartOutcome construct(const std::vector<std::string>& arguments);
    void buildMenu();
    void openPage(MenuItem item);
    void copyStatus();
    void createCapabilityEdits();
    void createPollBindings();
    bool statusMeansNoDevice() const;

    StartOutcome m_outcome = StartOutcome::Failed;
    std::string m_deviceAddress;
    std::string m_moduleDir;
    std::string m_configDir;
    std::unique_ptr<InstanceLock> m_lock;
    DevicePicture* m_picture = nullptr;
    QvStatusBar* m_statusBar = nullptr;
    BindingOwner m_bindings{this};
    // Status polls under way, oldest first: a poll older than the interval is not waited for
    // (its time-out is twice the interval), and only an outcome newer than the last one shown
    // counts, so "Ready. " returns one interval after the device does.
    struct StatusPoll {
        QvSNMPRequest2Edits* binding = nullptr;
        uint64_t sequence = 0;
        QElapsedTimer sent;
    };
    StatusPoll& idleStatusPoll();
    void statusPollDone(QvSNMPRequest2Controls& binding, const QvSNMPError& record);
    std::vector<StatusPoll> m_statusPolls;
    uint64_t m_pollsSent = 0;
    uint64_t m_pollShown = 0;
    std::vector<QvSNMPRequest2Edits*> m_capabilityBindings;
    StatusLamps* m_lamps = nullptr;
    QString m_lastStatus;
    QMenu* m_advancedMenu = nullptr;
    QMenu* m_statusMenu = nullptr;
};

// The module's main window; null before it is built and after it is gone. Pages read the
// device's capabilities through Capabilities(), never through the window.
TMainForm* MainForm();
