#include "shell/RecentDevices.h"
#include "shell/TConnectForm.h"
#include "shell/TMainForm.h"
#include "support/DevsimAgent.h"
#include "support/DialogRecorder.h"
#include "support/FileContents.h"
#include "support/FreePort.h"
#include "support/PageTestKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
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
    void TearDown() override
    {
        qunsetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home);
    }

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

    // The texts beside the fields, by the name of the label that shows them; empty when hidden.
    QStringList problems(TConnectForm& dialog)
    {
        QStringList shown;
        for (const char* name : {"La_AddressProblem", "La_CommunityProblem", "La_SecurityNameProblem",
                                 "La_AuthPasswordProblem", "La_PrivPasswordProblem"}) {
            QLabel* label = field<QLabel>(dialog, name);
            if (label && !label->isHidden() && !label->text().isEmpty())
                shown << QString(name) + ": " + label->text();
        }
        return shown;
    }

    const QByteArray home = qgetenv("HOME");
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
}

// A user whose home has no configuration folder yet (a new account): the folders are made,
// readable by their owner alone, and the device connects.
TEST_F(ConnectDialogAgainstDevice, ANewUsersHomeGetsItsFoldersMadeOnlyForItsOwner)
{
    qunsetenv("XDG_CONFIG_HOME");
    const QString newHome = folder.filePath("home");
    ASSERT_TRUE(QDir().mkpath(newHome));
    qputenv("HOME", newHome.toLocal8Bit());

    TConnectForm dialog;
    type(dialog, "Ed_Address", "127.0.0.1");
    type(dialog, "Ed_AgentPort", QString::number(device.port()));
    field<QPushButton>(dialog, "Bt_Connect")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << recorder.texts().join("\n").toStdString();
    for (const char* made : {"/.config", "/.config/vta-module", "/.config/vta-module/devices"})
        EXPECT_EQ(modeOf(newHome + made), 0700) << made;
    EXPECT_EQ(QString::fromStdString(dialog.ParameterFile()), newHome + "/.config/vta-module/devices/127.0.0.1.cfg");
    EXPECT_EQ(modeOf(newHome + "/.config/vta-module/devices/127.0.0.1.cfg"), 0600);
    expectModuleReady(dialog);
}

// Connect asks the device once with the dialog's settings. A refusal keeps the dialog open with
// the reason beside the field to correct, writes nothing, and the window lives meanwhile.
TEST_F(ConnectDialogAgainstDevice, ARefusedConnectionNamesTheFieldToCorrect)
{
    struct Case {
        const char* what;
        const char* fieldName;  // typed wrong
        QString wrong;
        QString label;    // the label that shows the reason
        QString reason;   // part of its text
    } const cases[] = {
        {"v2c, a community the device does not know", "Ed_ReadCommunity", "wrong", "La_CommunityProblem", "community"},
        {"v3, a user the device does not know", "Ed_SecurityName", "nobody", "La_SecurityNameProblem", "Unknown"},
        {"v3, a wrong authentication pass phrase", "Ed_AuthPassword", "wrongauthpass", "La_AuthPasswordProblem",
         "Authentication failure"},
        {"v3, nothing listens on the port", "Ed_AgentPort", QString::number(FreeUdpPort()), "La_AddressProblem",
         "timed out"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TConnectForm dialog;
        dialog.show();
        const bool v2c = QString(c.what).startsWith("v2c");
        if (v2c) {
            type(dialog, "Ed_Address", "127.0.0.1");
            type(dialog, "Ed_AgentPort", QString::number(device.port()));
            pick(dialog, "CB_Version", "SNMPv2c");
        } else {
            fillV3(dialog, "shaauthpass");
        }
        const QString right = field<QLineEdit>(dialog, c.fieldName)->text();
        type(dialog, c.fieldName, c.wrong);
        int ticks = 0;
        QTimer clock;
        QObject::connect(&clock, &QTimer::timeout, [&] { ++ticks; });
        clock.start(50);
        field<QPushButton>(dialog, "Bt_Connect")->click();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(dialog.isVisible());
        const QStringList shown = problems(dialog);
        ASSERT_EQ(shown.size(), 1) << shown.join("\n").toStdString();
        EXPECT_TRUE(shown[0].startsWith(c.label + ": ")) << shown[0].toStdString();
        EXPECT_TRUE(shown[0].contains(c.reason)) << shown[0].toStdString();
        EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("\n").toStdString();
        EXPECT_FALSE(QFileInfo::exists(parameterFile()));
        if (v2c) {
            EXPECT_GT(ticks, 5) << "the window's timers run while the device is awaited";
        }

        // Corrected, it connects as before, and the reason goes.
        type(dialog, c.fieldName, right);
        field<QPushButton>(dialog, "Bt_Connect")->click();
        ASSERT_EQ(dialog.result(), QDialog::Accepted) << problems(dialog).join("\n").toStdString();
        EXPECT_TRUE(problems(dialog).isEmpty());
        ASSERT_TRUE(QFile::remove(parameterFile()));
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
    type(dialog, "Ed_AgentPort", QString::number(device.port()));
    field<QPushButton>(dialog, "Bt_Connect")->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(recorder.messages.size(), 3u);
    EXPECT_TRUE(recorder.messages[2].text.contains(parameterFile())) << recorder.messages[2].text.toStdString();
    EXPECT_EQ(recorder.messages[2].caption, "Error");
}

} // namespace
