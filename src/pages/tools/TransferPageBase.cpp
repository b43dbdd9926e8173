#include "pages/tools/TransferPageBase.h"

#include "binding/QvSNMPRequest2Edits.h"
#include "pages/tools/TransferPageSupport.h"
#include "tftp/QvTFTPServer.h"

TransferPageBase::TransferPageBase(QWidget* owner) : QvPage(owner) {}

TransferPageBase::~TransferPageBase() = default;

void TransferPageBase::StartServer(int tftpTimeout) { m_server = TransferPage::StartTftpServer(this, tftpTimeout); }

void TransferPageBase::BindCommand(QComboBox* command, QvStatusBar* statusBar, uint32_t timeout,
                                   std::function<void(const QvSNMPError&)> answered)
{
    auto& binding = NewBinding<QvSNMPRequest2Edits>();
    binding.request.list.Assign(QvSNMPVarList(TransferPage::kTftpCommand, kListScalars, 0));
    binding.request.timeout = timeout;
    binding.OnSetDone = [this, answered = std::move(answered)](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        Guard([&answered, &record] { answered(record); });
    };
    binding.BindComboBox(0, command);
    binding.SetStatusSink(statusBar);
    CommandEdits = &binding;
}

bool TransferPageBase::ReadyForTransfer()
{
    return ServerEdits && CommandEdits && m_server && !RefusedWhileBusy(CommandEdits->Busy);
}

bool TransferPageBase::FormCloseQuery()
{
    ReleaseBindings();
    ServerEdits = nullptr;
    CommandEdits = nullptr;
    m_server.reset();  // stops it; sessions still running may finish
    return true;
}

void TransferPageBase::done(int result)
{
    // While an exchange runs the base closes the page later, once it has ended.
    if (!AnyBindingBusy())
        FormCloseQuery();
    QvPage::done(result);
}
