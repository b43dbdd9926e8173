#pragma once

#include "shell/ConnectionTry.h"
#include "shell/DeviceConnection.h"
#include "shell/RecentDevices.h"

#include <QDialog>

class QLabel;

#include <memory>
#include <string>
#include <vector>

namespace Ui {
class TConnectForm;
}

// The way in without a host: asks for one device and how to reach it, tries it once with
// those settings (a refusal stays in the dialog, beside the field to correct), writes the
// device's parameter file where the host would, remembers the device, and hands the module
// the command line the host would have given it (vta-module --connect).
class TConnectForm : public QDialog {
    Q_OBJECT
public:
    explicit TConnectForm(QWidget* parent = nullptr);
    ~TConnectForm() override;

    // The device as the fields show it; an agent port that is no number reads as 0.
    DeviceConnection Connection() const;
    void ShowConnection(const DeviceConnection& connection, bool secretsKept);

    // Set once Connect succeeded: the module's command line and the parameter file written.
    const std::vector<std::string>& ModuleArguments() const { return m_arguments; }
    const std::string& ParameterFile() const { return m_parameterFile; }

    void Bt_ConnectClick();
    void CB_RecentChange(int index);
    // Shows the fields the version and the security level use.
    void UpdateFields();

private:
    void connectToDevice();
    // The label beside the field, for the reason the device refused the settings.
    QLabel* problemLabel(ConnectionField field) const;
    void showProblem(ConnectionField field, const QString& text);

    std::unique_ptr<Ui::TConnectForm> ui;
    RecentDevices m_recentFile;
    std::vector<RecentDevice> m_recent;
    std::vector<std::string> m_arguments;
    std::string m_parameterFile;
};
