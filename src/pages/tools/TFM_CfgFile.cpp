#include "pages/tools/TFM_CfgFile.h"

#include "platform/Dialogs.h"
#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "tftp/QvTFTPServer.h"
#include "shell/TFM_Waiting.h"
#include "pages/tools/TransferPageSupport.h"
#include "ui_TFM_CfgFile.h"

using namespace TransferPage;

namespace {

enum ServerItem { kServerAddress = 0, kRemoteFile = 1, kLocalFile = 2 };

const VariableDescriptor kServerAndFiles[] = {DeviceVariables::RemoteServerIp, DeviceVariables::RemoteFileName,
                                              DeviceVariables::LocalFileName, DeviceVariables::EndOfTable};

constexpr uint32_t kCreateTimeout = 3000;
// The device answers once it has fetched and checked the file, or stored its own.
constexpr uint32_t kRestoreTimeout = 5000;
constexpr uint32_t kBackupTimeout = 500;
constexpr int kTftpTimeout = 300;

} // namespace

TFM_CfgFile::TFM_CfgFile(QWidget* owner) : TransferPageBase(owner), ui(std::make_unique<Ui::TFM_CfgFile>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::AsDesigned);
    UseStatusBar(ui->StatusBar, {50});
    Handle(ui->Bt_Browse, &QPushButton::clicked, [this] { Bt_BrowseClick(); });
    Handle(ui->Bt_SavBrw, &QPushButton::clicked, [this] { Bt_SavBrwClick(); });
    Handle(ui->Bt_OK, &QPushButton::clicked, [this] { Bt_OKClick(); });
    Handle(ui->Bt_Upload, &QPushButton::clicked, [this] { Bt_UploadClick(); });
    RunFormCreate([this] { FormCreate(); });
}

TFM_CfgFile::~TFM_CfgFile() = default;

void TFM_CfgFile::FormCreate()
{
    // A save path comes only from the save dialog.
    SetReadOnlyLook(ui->Ed_SaveFile, true);
    StartServer(kTftpTimeout);

    auto& server = NewBinding<QvSNMPRequest2Edits>();
    server.RequestMode = QvSNMPRequest2Controls::kWaiting;
    server.request.list.Assign(QvSNMPVarList(kServerAndFiles, kListScalars, 0));
    server.BindEdit(kServerAddress, ui->Ed_TfpSrv, "%s");
    server.BindEdit(kRemoteFile, ui->Ed_UpgFile, "%s");
    server.BindEdit(kLocalFile, ui->Ed_SaveFile, "%s");
    for (int item : {kServerAddress, kRemoteFile, kLocalFile})
        server.request.list.Item(item).access = kAccessReadWrite;
    ServerEdits = &server;

    BindCommand(ui->CB_TfpCom, ui->StatusBar, kCreateTimeout,
                [this](const QvSNMPError& record) { CommandSetDone(record); });
}

void TFM_CfgFile::Bt_BrowseClick()
{
    const QString path = Dialogs::openFile(this, {}, {}, {});
    if (path.isEmpty())
        return;
    ui->Ed_SaveFile->clear();
    ui->Ed_UpgFile->setText(path);
}

void TFM_CfgFile::Bt_SavBrwClick()
{
    const QString path = Dialogs::saveFile(this, {}, {}, {}, {});
    if (!path.isEmpty())
        ui->Ed_SaveFile->setText(path);
}

bool TFM_CfgFile::FillServerAddress()
{
    ui->Ed_TfpSrv->clear();
    const QString serverAddress = ServerAddressForDevice();
    if (serverAddress.isEmpty()) {
        Plain(this, "Invalid Server IP Address or SNMP timed out!");
        return false;
    }
    ui->Ed_TfpSrv->setText(serverAddress);
    return true;
}

// The steps both directions share once the file name passed its own checks: this PC's
// address for the device, then the file's folder served to the device for this one
// transfer. The separator's position, or -1 after the message that says what is wrong.
int TFM_CfgFile::ServeFolderOf(const QString& path, TransferDirection direction)
{
    if (!FillServerAddress())
        return -1;
    const int separator = LastSeparator(path);
    if (separator < 0) {
        Warn(this, "The file path is error.");
        return -1;
    }
    ServeToDevice(*m_server, FolderPart(path, separator), path.mid(separator + 1), direction);
    return separator;
}

void TFM_CfgFile::Bt_OKClick()
{
    // Without its bindings or its server the page cannot transfer; it said why when it
    // opened. A click while the device still answers a command would be taken for it.
    if (!ReadyForTransfer())
        return;
    const QString path = ui->Ed_UpgFile->text();
    if (path.isEmpty()) {
        Warn(this, "Empty file is not accepted.");
        return;
    }
    if (!FileExists(path)) {
        Warn(this, "File format error! Please try again!");
        return;
    }
    const int separator = ServeFolderOf(path, DeviceReads);
    if (separator < 0)
        return;
    ui->Ed_UpgFile->setText(path.mid(separator + 1));
    m_backup = false;
    QvSNMPVarList& files = ServerEdits->request.list;
    files.Item(kServerAddress).access = kAccessReadWrite;
    files.Item(kRemoteFile).access = kAccessReadWrite;
    files.Item(kLocalFile).access = kAccessInvalid;
    // The dialog exists before the command leaves, so even an answer that comes at once
    // finds it.
    std::unique_ptr<TFM_Waiting> waiting = NewTransferWait("Updating configuration file...!");
    m_waiting = waiting.get();
    try {
        ServerEdits->Set(true, true);  // waiting: the names are on the device before the command
        ui->CB_TfpCom->setCurrentIndex(DeviceVariables::kTftpGetRow);
        CommandEdits->request.timeout = kRestoreTimeout;
        CommandEdits->Set();
    } catch (...) {
        ui->Ed_UpgFile->setText(path);
        throw;
    }
    ui->Ed_UpgFile->setText(path);
    waiting->exec();
}

void TFM_CfgFile::Bt_UploadClick()
{
    if (!ReadyForTransfer())
        return;
    const QString path = ui->Ed_SaveFile->text();
    if (path.isEmpty()) {
        Warn(this, "Empty file is not accepted.");
        return;
    }
    const int separator = ServeFolderOf(path, DeviceWrites);
    if (separator < 0)
        return;
    ui->Ed_SaveFile->setText(path.mid(separator + 1));
    CommandEdits->request.timeout = kBackupTimeout;
    QvSNMPVarList& files = ServerEdits->request.list;
    files.Item(kServerAddress).access = kAccessReadWrite;
    files.Item(kRemoteFile).access = kAccessInvalid;
    files.Item(kLocalFile).access = kAccessReadWrite;
    ServerEdits->Set(true, true);

    ui->La_TftpSrv->setEnabled(true);
    ui->CB_TfpCom->setCurrentIndex(DeviceVariables::kTftpPutRow);
    m_backup = true;
    CommandEdits->Set();
    ui->Ed_UpgFile->clear();
    ui->Ed_SaveFile->clear();
}

void TFM_CfgFile::CommandSetDone(const QvSNMPError& record)
{
    QvStatusPanel* panel = ui->StatusBar->Panel(0);
    const QString message = QString::fromStdString(record.message);
    if (m_backup) {
        if (record.code == 0)
            Dialogs::message(this, "The configuration file saved successfully!", "OK", DialogButtons::Ok,
                             DialogIcon::Information);
        else
            Dialogs::message(this, "Fail to save the configuration file!", "ERROR", DialogButtons::Ok,
                             DialogIcon::Error);
        panel->SetText(message);
        return;
    }
    panel->SetText(message);
    if (record.code != 0) {
        EndTransferWait(m_waiting);
        Dialogs::message(this, "The configuration file updated fail!", "ERROR", DialogButtons::Ok, DialogIcon::Error);
        return;
    }
    RestartAfterTransfer(m_waiting);
    panel->SetText("Update successfully!");
}


