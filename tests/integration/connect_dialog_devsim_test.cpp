#include "shell/RecentDevices.h"
#include "shell/TConnectForm.h"
#include "shell/TMainForm.h"
#include "support/DevsimAgent.h"
#include "support/DialogRecorder.h"
#include "support/FileContents.h"
#include "support/PageTestKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// vta-module --connect on a machine without a host: no registry keys, no parameter files.
// The dialog is filled as a user fills it, and the module is then built from what it hands
// over, as main() does.
class ConnectDialogAgainstDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device.start()) << device.error();
        QDir::setCurrent(folder.path());
        qputenv("XDG_CONFIG_HOME", folder.filePath("config").toLocal8Bit());
        qunsetenv("VTA_HOST_REGISTRY");
        qputenv("VTA_LOCK_DIR", folder.path().toLocal8Bit());
        ASSERT_TRUE(QDir().mkpath(folder.filePath("config")));
    }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }

    template <typename Control>
    Control* field(TConnectForm& dialog, const char* name)
    {
        Control* control = dialog.findChild<Control*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void type(TConnectForm& dialog, const char* name, const QString& text) { field<QLineEdit>(dialog, name)->setText(text); }
    void pick(TConnectForm& dialog, const char* name, const QString& text)
    {
        QComboBox* box = field<QComboBox>(dialog, name);
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
    }

    void fillV3(TConnectForm& dialog, const QString& authPassword)
    {
        type(dialog, "Ed_Address", "127.0.0.1");
        type(dialog, "Ed_AgentPort", QString::number(device.port()));
        pick(dialog, "CB_Version", "SNMPv3");
        type(dialog, "Ed_SecurityName", "shaaes");
        pick(dialog, "CB_SecurityLevel", "authPriv");
        pick(dialog, "CB_AuthProtocol", "HMAC-SHA");
        type(dialog, "Ed_AuthPassword", authPassword);
        pick(dialog, "CB_PrivProtocol", "AES-128");
        type(dialog, "Ed_PrivPassword", "aesprivpass");
    }

    QString parameterFile() const { return folder.filePath("config/vta-module/devices/127.0.0.1.cfg"); }
    QString recentFile() const { return folder.filePath("config/vta-module/recent-devices.json"); }
    static int modeOf(const QString& path)
    {
        struct stat info {};
        return ::stat(path.toLocal8Bit().constData(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
    }

    // The module built from the dialog's hand-over reaches the device: "Ready. " and lamps.
    void expectModuleReady(const TConnectForm& dialog)
    {
        TMainForm form(dialog.ModuleArguments());
        ASSERT_EQ(form.outcome(), TMainForm::StartOutcome::Running) << recorder.texts().join("\n").toStdString();
        EXPECT_EQ(form.windowTitle(), "VTA-3100QX : 127.0.0.1");
        EXPECT_TRUE(waitFor([&] { return form.StatusText() == "Ready. "; }, 8000)) << form.StatusText().toStdString();
    }

    QTemporaryDir folder;
    DevsimAgent device;
    DialogRecorder recorder;
};

TEST_F(ConnectDialogAgainstDevice, SnmpV2cWritesTheParameterFileAndOpensTheModule)
{
    TConnectForm dialog;
    type(dialog, "Ed_Address", "127.0.0.1");
    type(dialog, "Ed_AgentPort", QString::number(device.port()));
    pick(dialog, "CB_Version", "SNMPv2c");
    EXPECT_FALSE(field<QWidget>(dialog, "GB_User")->isEnabled());
    type(dialog, "Ed_ReadCommunity", "public");
    type(dialog, "Ed_WriteCommunity", "private");
    field<QPushButton>(dialog, "Bt_Connect")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << recorder.texts().join("\n").toStdString();
    EXPECT_TRUE(recorder.messages.empty());

    EXPECT_EQ(QString::fromStdString(dialog.ParameterFile()), parameterFile());
    EXPECT_EQ(FileContents(parameterFile()).toStdString(),
              "[Program Information]\nAgentPort=" + std::to_string(device.port()) +
                  "\nVersion=1\nSecurityName=\nSecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\nAuthPassword=\n"
                  "PrivPassword=\n");
    EXPECT_EQ(modeOf(parameterFile()), 0600);
    EXPECT_EQ(modeOf(recentFile()), 0600);
    EXPECT_FALSE(FileContents(recentFile()).contains("private"));
    expectModuleReady(dialog);

    // The next time the device is offered first, without its communities.
    TConnectForm again;
    EXPECT_EQ(field<QComboBox>(again, "CB_Recent")->currentText(), "127.0.0.1:" + QString::number(device.port()) + " (SNMPv2c)");
    EXPECT_EQ(field<QLineEdit>(again, "Ed_AgentPort")->text().toInt(), device.port());
}

TEST_F(ConnectDialogAgainstDevice, SnmpV3PassPhrasesReachTheModuleButAreKeptOnlyWhenAsked)
{
    {
        TConnectForm dialog;
        fillV3(dialog, "shaauthpass");
        field<QPushButton>(dialog, "Bt_Connect")->click();
        ASSERT_EQ(dialog.result(), QDialog::Accepted) << recorder.texts().join("\n").toStdString();
        const std::string written = FileContents(parameterFile()).toStdString();
        EXPECT_EQ(written, "[Program Information]\nAgentPort=" + std::to_string(device.port()) +
                               "\nVersion=3\nSecurityName=shaaes\nSecurityLevel=2\nAuthProtocol=2\nPrivProtocol=3\n"
                               "AuthPassword=\nPrivPassword=\n");
        EXPECT_EQ(modeOf(parameterFile()), 0600);
        EXPECT_FALSE(FileContents(recentFile()).contains("pass"));
        expectModuleReady(dialog);
    }
    {
        // Asked to remember: both files hold them, and only their owner may read them.
        TConnectForm dialog;
        EXPECT_EQ(field<QLineEdit>(dialog, "Ed_SecurityName")->text(), "shaaes");
        EXPECT_EQ(field<QLineEdit>(dialog, "Ed_AuthPassword")->text(), "");
        fillV3(dialog, "shaauthpass");
        field<QCheckBox>(dialog, "CK_KeepSecrets")->setChecked(true);
        field<QPushButton>(dialog, "Bt_Connect")->click();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(FileContents(parameterFile()).contains("AuthPassword=shaauthpass\nPrivPassword=aesprivpass\n"));
        EXPECT_TRUE(FileContents(recentFile()).contains("aesprivpass"));
        EXPECT_EQ(modeOf(parameterFile()), 0600);
        EXPECT_EQ(modeOf(recentFile()), 0600);
    }
    {
        // Remembered pass phrases fill the dialog; untick the box and they are gone again.
        TConnectForm dialog;
        EXPECT_EQ(field<QLineEdit>(dialog, "Ed_PrivPassword")->text(), "aesprivpass");
        EXPECT_TRUE(field<QCheckBox>(dialog, "CK_KeepSecrets")->isChecked());
        field<QCheckBox>(dialog, "CK_KeepSecrets")->setChecked(false);
        field<QPushButton>(dialog, "Bt_Connect")->click();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(FileContents(parameterFile()).contains("pass"));
        EXPECT_FALSE(FileContents(recentFile()).contains("pass"));
    }
    {
        // A wrong pass phrase is the device's to refuse: the module does not reach it.
        TConnectForm dialog;
        fillV3(dialog, "wrongauthpass");
        field<QPushButton>(dialog, "Bt_Connect")->click();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        TMainForm form(dialog.ModuleArguments());
        ASSERT_EQ(form.outcome(), TMainForm::StartOutcome::Running);
        EXPECT_TRUE(waitFor([&] { return form.StatusText().contains("Authentication failure"); }, 8000))
            << form.StatusText().toStdString();
    }
}

TEST_F(ConnectDialogAgainstDevice, WhatCannotBeUsedIsSaidAndNothingIsWritten)
{
    TConnectForm dialog;
    type(dialog, "Ed_Address", "127.0.0.1");
    type(dialog, "Ed_AgentPort", "16x");
    field<QPushButton>(dialog, "Bt_Connect")->click();
    type(dialog, "Ed_AgentPort", "161");
    type(dialog, "Ed_ReadCommunity", "pub/Ilic");
    field<QPushButton>(dialog, "Bt_Connect")->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0].text, "The agent port must be a number from 1 to 65535.");
    EXPECT_TRUE(recorder.messages[1].text.contains("\"/I\""));
    EXPECT_EQ(recorder.messages[1].caption, "Warning");
    EXPECT_FALSE(QFileInfo::exists(parameterFile()));
    EXPECT_FALSE(QFileInfo::exists(recentFile()));

    // A parameter file that cannot be written is named, and the dialog stays open.
    ASSERT_TRUE(QDir().mkpath(parameterFile()));
    type(dialog, "Ed_ReadCommunity", "public");
    field<QPushButton>(dialog, "Bt_Connect")->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(recorder.messages.size(), 3u);
    EXPECT_TRUE(recorder.messages[2].text.contains(parameterFile())) << recorder.messages[2].text.toStdString();
    EXPECT_EQ(recorder.messages[2].caption, "Error");
}

} // namespace
