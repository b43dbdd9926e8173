#pragma once

#include <QMainWindow>

#include <memory>
#include <string>
#include <vector>

class DevicePicture;
class InstanceLock;
class QLabel;
class QStatusBar;

// The module's main window. Building it is the module's start-up: message files, the SNMP
// library, the host's registry keys, the command line and the parameter file, and the
// one-module-per-device lock. The lamps, polling and menus grow on this window.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    enum class StartOutcome { Running, NoArguments, AlreadyRunning, Failed };

    explicit TMainForm(const std::vector<std::string>& arguments, QWidget* parent = nullptr);
    ~TMainForm() override;

    StartOutcome outcome() const { return m_outcome; }
    const std::string& DeviceAddress() const { return m_deviceAddress; }
    const std::string& ModuleDir() const { return m_moduleDir; }
    const std::string& ConfigDir() const { return m_configDir; }
    QStatusBar* StatusBar1() const { return m_statusBar; }

    DevicePicture* picture() const { return m_picture; }

private:
    StartOutcome construct(const std::vector<std::string>& arguments);

    StartOutcome m_outcome = StartOutcome::Failed;
    std::string m_deviceAddress;
    std::string m_moduleDir;
    std::string m_configDir;
    std::unique_ptr<InstanceLock> m_lock;
    DevicePicture* m_picture = nullptr;
    QStatusBar* m_statusBar = nullptr;
};
