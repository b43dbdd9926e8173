#include "pages/tools/TFM_Firmware.h"

#include "platform/Dialogs.h"
#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "tftp/QvTFTPServer.h"
#include "shell/TFM_Waiting.h"
#include "pages/tools/TransferPageSupport.h"
#include "ui_TFM_Firmware.h"


using namespace TransferPage;

namespace {

const VariableDescriptor kServerAndFile[] = {DeviceVariables::RemoteServerIp, DeviceVariables::RemoteFileName,
                                             DeviceVariables::EndOfTable};

// The device answers the command only once it has fetched and checked the image.
constexpr uint32_t kCommandTimeout = 5000;
// The device may pause long between blocks while it writes the image to flash.
constexpr int kTftpTimeout = 3000;
// Agent error status 19: the image is older than the running firmware.
constexpr int32_t kOverdueFirmware = -119;

} // namespace

TFM_Firmware::TFM_Firmware(QWidget* owner) : TransferPageBase(owner), ui(std::make_unique<Ui::TFM_Firmware>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar, {50});
    Handle(ui->Bt_Browse, &QPushButton::clicked, [this] { Bt_BrowseClick(); });
    Handle(ui->Bt_OK, &QPushButton::clicked, [this] { Bt_OKClick(); });
    RunFormCreate([this] { FormCreate(); });
}

TFM_Firmware::~TFM_Firmware() = default;

void TFM_Firmware::FormCreate()
{
    StartServer(kTftpTimeout);

    auto& server = NewBinding<QvSNMPRequest2Edits>();
    server.request.list.Assign(QvSNMPVarList(kServerAndFile, kListScalars, 0));
    server.BindEdit(0, ui->Ed_TfpSrv, "%s");
    server.BindEdit(1, ui->Ed_UpgFile, "%s");
    ServerEdits = &server;

    BindCommand(ui->CB_TfpCom, ui->StatusBar, kCommandTimeout,
                [this](const QvSNMPError& record) { CommandSetDone(record); });
}

void TFM_Firmware::Bt_BrowseClick()
{
    const QString path = Dialogs::openFile(this, {}, {}, {});
    if (!path.isEmpty())
        ui->Ed_UpgFile->setText(path);
}

void TFM_Firmware::Bt_OKClick()
{
    // Without its bindings or its server the page cannot upgrade; it said why when it opened.
    if (!ReadyForTransfer())
        return;
    const QString path = ui->Ed_UpgFile->text();
    if (path.isEmpty() || LastSeparator(path) == path.size() - 1) {
        Warn(this, "Please put in the firmware file & path.");
        return;
    }
    if (!path.contains(".tfp") || !FileExists(path)) {
        Warn(this, "Please put in valid firmware file & path.");
        return;
    }
    ui->Ed_TfpSrv->clear();
    const QString serverAddress = ServerAddressForDevice();
    if (serverAddress.isEmpty()) {
        Plain(this, "Invalid Server IP Address or SNMP timed out!");
        return;
    }
    ui->Ed_TfpSrv->setText(serverAddress);
    const int separator = LastSeparator(path);
    if (separator < 0) {
        Warn(this, "The file path is error.");
        return;
    }
    ServeToDevice(*m_server, FolderPart(path, separator), path.mid(separator + 1), DeviceReads);
    // The dialog exists before the command leaves, so even an answer that comes at once
    // finds it.
    std::unique_ptr<TFM_Waiting> waiting = NewTransferWait("Updating firmware file...!");
    m_waiting = waiting.get();
    ui->Ed_UpgFile->setText(path.mid(separator + 1));
    try {
        ServerEdits->Set(true, true);
        ui->CB_TfpCom->setCurrentIndex(DeviceVariables::kTftpConnectRow);
        CommandEdits->Set();
    } catch (...) {
        ui->Ed_UpgFile->setText(path);
        throw;
    }
    ui->Ed_UpgFile->setText(path);
    waiting->exec();
}

void TFM_Firmware::CommandSetDone(const QvSNMPError& record)
{
    QvStatusPanel* panel = ui->StatusBar->Panel(0);
    if (record.code != 0) {
        panel->SetText(QString::fromStdString(record.message));
        EndTransferWait(m_waiting);
        if (record.code == kOverdueFirmware)
            Warn(this, "The device is already running firmware rev 2.xx and cannot be downgraded to firmware rev 1.xx");
        return;
    }
    RestartAfterTransfer(m_waiting);
    panel->SetText("Setting Success!");
    panel->SetText("Update firmware successfully!");
}


