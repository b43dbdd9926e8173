// The main window's polls: the status variable behind the lamps, the device capabilities
// the pages consult, and the probe that decides whether "Client Info" is offered.
#include "shell/TMainForm.h"

#include "binding/DeviceVariables.h"
#include "platform/Conversion.h"
#include "platform/ExceptionGuard.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "shell/StatusLamps.h"
#include "platform/TimeScale.h"

#include <QAction>
#include <QLineEdit>

namespace {

using namespace DeviceVariables;

const VariableDescriptor kStatus[] = {StLed, EndOfTable};
const VariableDescriptor kFirmware[] = {StFirmwareVersion, EndOfTable};
const VariableDescriptor kCountry[] = {CountryCode, EndOfTable};
const VariableDescriptor kTurboModes[] = {TurboModes1, TurboModes2, EndOfTable};
const VariableDescriptor kApModes[] = {ApModes, EndOfTable};
const VariableDescriptor kMultiSsid[] = {MultiSsidSupported, EndOfTable};
const VariableDescriptor kHostAddress[] = {HGetIpFrom, HIpAddress, HSubnetMask, HDefaultGateway, SysRestart, EndOfTable};
const VariableDescriptor kClientInfo[] = {ClientInfoSupported, EndOfTable};

// What the host's message files make of a time-out; with it the device counts as gone.
constexpr const char* kTimedOutText = "SNMP request timed out!";

constexpr int kStatusPollTimeout = 600;      // hundredths of a second, no retry
// At the normal pace (a poll every 3 s, each waiting 6 s at most) no more than three wait at once.
constexpr int kMostStatusPollsWaiting = 3;

constexpr int kFirmwareTimeout = 2000;

} // namespace

void TMainForm::createCapabilityEdits()
{
    QLineEdit** edits[] = {&Ed_FwVer, &Ed_Countrycode, &ED_Turbomode, &ED_Turbomode_g, &APModeSupport,
                           &ifMultiSSID_Edit, &IPAddressEdit, &SubMaskEdit, &Ifclientinfosupported};
    const char* names[] = {"Ed_FwVer", "ED_Countrycode", "ED_Turbomode", "ED_Turbomode_g", "APModeSupport",
                           "ifMultiSSID_Edit", "IPAddressEdit", "SubMaskEdit", "Ifclientinfosupported"};
    for (size_t i = 0; i < std::size(edits); ++i) {
        *edits[i] = new QLineEdit(this);
        (*edits[i])->setObjectName(names[i]);
        (*edits[i])->hide();
    }
    Ed_Countrycode->setObjectName("Ed_Countrycode");
    Timer1.setInterval(TimeScale::scaled(3000));
    Timer4.setInterval(TimeScale::scaled(2000));
    // A handler that fails shows the exception box; its timer waits meanwhile, so a failure
    // that repeats does not stack one box per tick.
    for (auto [timer, handler] : {std::pair{&Timer1, &TMainForm::Timer1Timer}, std::pair{&Timer4, &TMainForm::Timer4Timer}})
        connect(timer, &QTimer::timeout, this, [this, timer, handler] {
            timer->stop();
            RunGuarded([&] { (this->*handler)(); }, this);
            timer->start();
        });
}

void TMainForm::createPollBindings()
{
    struct Capability {
        const VariableDescriptor* table;
        uint8_t kind;
        std::vector<std::pair<int, QLineEdit*>> edits;
        const char* format;
        int timeout;
    };
    const Capability capabilities[] = {
        {kFirmware, kListScalars, {{0, Ed_FwVer}}, "%s", kFirmwareTimeout},
        {kCountry, kListScalars, {{0, Ed_Countrycode}}, "%s", 0},
        {kTurboModes, kListSingleInstances, {{0, ED_Turbomode}, {1, ED_Turbomode_g}}, "%s", 0},
        {kApModes, kListScalars, {{0, APModeSupport}}, "%u", 0},
        {kMultiSsid, kListScalars, {{0, ifMultiSSID_Edit}}, "%u", 0},
        {kHostAddress, kListScalars, {{1, IPAddressEdit}, {2, SubMaskEdit}}, "%s", 0},
    };
    for (const Capability& capability : capabilities) {
        auto* binding = &m_bindings.New<QvSNMPRequest2Edits>();
        binding->request.list.Assign(QvSNMPVarList(capability.table, capability.kind, 0));
        if (capability.timeout)
            binding->request.timeout = capability.timeout;
        for (const auto& [item, edit] : capability.edits)
            binding->BindEdit(item, edit, capability.format);
        // A failed capability read leaves the edits as they were; the tenth tick empties them.
        binding->OnGetDone = [](QvSNMPRequest2Controls&, const QvSNMPError&) {};
        m_capabilityBindings.push_back(binding);
    }
}

void TMainForm::StartPolling()
{
    createPollBindings();
    for (QvSNMPRequest2Edits* binding : m_capabilityBindings)
        binding->Get();
    Timer1Timer();
    Timer1.start();
    Timer4.start();
}

TMainForm::StatusPoll& TMainForm::idleStatusPoll()
{
    for (StatusPoll& poll : m_statusPolls)
        if (!poll.binding->Busy)
            return poll;
    QvSNMPRequest2Edits& status = m_bindings.New<QvSNMPRequest2Edits>();
    status.request.list.Assign(QvSNMPVarList(kStatus, kListScalars, 0));
    status.request.timeout = kStatusPollTimeout;
    status.request.retries = 0;
    status.SetStatusSink(m_statusBar->Panel(0));
    status.OnGetDone = [this](QvSNMPRequest2Controls& binding, const QvSNMPError& record) {
        statusPollDone(binding, record);
    };
    m_statusPolls.push_back({&status, 0, {}});
    return m_statusPolls.back();
}

void TMainForm::statusPollDone(QvSNMPRequest2Controls& binding, const QvSNMPError& record)
{
    for (const StatusPoll& poll : m_statusPolls) {
        if (poll.binding != &binding)
            continue;
        // An outcome older than the one shown (a late time-out, a late answer) changes nothing.
        if (poll.sequence <= m_pollShown)
            return;
        m_pollShown = poll.sequence;
        if (record.code != 0)
            StatusFailed(QString::fromStdString(record.message));
        else
            StatusPolled(StrToIntDef(binding.request.list.Item(0).value, 0));
        return;
    }
}

void TMainForm::Timer1Timer()
{
    // One poll waits for its answer; once it has waited a whole interval the next one goes
    // out beside it (a device that has just come back answers that one at once).
    qint64 newestAge = -1;
    int waiting = 0;
    for (const StatusPoll& poll : m_statusPolls) {
        if (!poll.binding->Busy)
            continue;
        ++waiting;
        if (newestAge < 0 || poll.sent.elapsed() < newestAge)
            newestAge = poll.sent.elapsed();
    }
    if (newestAge < 0 || (newestAge >= Timer1.interval() && waiting < kMostStatusPollsWaiting)) {
        StatusPoll& poll = idleStatusPoll();
        poll.sequence = ++m_pollsSent;
        poll.sent.start();
        poll.binding->Get();
    }
    copyStatus();
}

void TMainForm::Timer4Timer()
{
    if (CapabilityTicks == 10) {
        for (QLineEdit* edit : {Ed_FwVer, Ed_Countrycode, ED_Turbomode, ED_Turbomode_g, APModeSupport,
                                ifMultiSSID_Edit, IPAddressEdit, SubMaskEdit})
            edit->clear();
        CapabilityTicks = 0;
    }
    for (QvSNMPRequest2Edits* binding : m_capabilityBindings)
        if (!binding->Busy)
            binding->Get();
    ++CapabilityTicks;
}

bool TMainForm::statusMeansNoDevice() const
{
    return m_lastStatus == kTimedOutText || m_lastStatus.isEmpty();
}

void TMainForm::StatusMenuShow()
{
    QAction* clientInfo = menuItem("Client Info");
    if (statusMeansNoDevice()) {
        clientInfo->setVisible(false);
        return;
    }
    QvSNMPRequest2Edits probe(this);
    probe.RequestMode = QvSNMPRequest2Controls::kWaiting;
    probe.request.list.Assign(QvSNMPVarList(kClientInfo, kListScalars, 0));
    probe.BindEdit(0, Ifclientinfosupported, "%u");
    if (probe.Get())
        clientInfo->setVisible(Ifclientinfosupported->text() == "1");
    else
        clientInfo->setVisible(!statusMeansNoDevice());
}
