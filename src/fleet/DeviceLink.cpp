#include "fleet/DeviceLink.h"

#include "snmp/QvException.h"
#include "snmp/QvOptionList.h"

#include <QTimer>

DeviceLink::DeviceLink(const FleetDevice& device, const QHostAddress& address, uint32_t retries)
    : m_device(device), m_address(address.toString().toStdString()), m_retries(retries)
{
}

void DeviceLink::release()
{
    if (!m_requests.empty())
        m_requests.front()->ReleaseSession();  // all of the link's requests share one session
}

void DeviceLink::abandon()
{
    for (const auto& request : m_requests)
        request->Abandon();
}

QvSNMPRequest& DeviceLink::newRequest(const VariableDescriptor* table, uint8_t listKind, int32_t keys)
{
    auto request = std::make_unique<QvSNMPRequest>();
    const SnmpConnection& connection = m_device.connection;
    request->address = m_address;
    request->port = connection.device.port;
    request->contextEngineId = connection.scope.contextEngineId;
    request->contextName = connection.scope.contextName;
    request->version = connection.security.version;
    request->readCommunity = connection.security.readCommunity;
    request->writeCommunity = connection.security.writeCommunity;
    request->securityModel = connection.security.securityModel;
    request->securityLevel = connection.security.securityLevel;
    request->securityName = connection.security.securityName;
    request->authPassword = connection.security.authPassword;
    request->privPassword = connection.security.privPassword;
    request->authProtocol = connection.security.authProtocol;
    request->privProtocol = connection.security.privProtocol;
    request->useGetBulk = connection.device.getBulk;
    request->retries = m_retries;
    request->list.Assign(QvSNMPVarList(table, listKind, keys));
    m_requests.push_back(std::move(request));
    return *m_requests.back();
}

void DeviceLink::send(QvSNMPRequest& request, const Done& done,
                      const std::function<void(QvSNMPRequest::Completion)>& start)
{
    // A request that cannot leave reports through its error callback and never completes.
    auto refused = std::make_shared<QvSNMPError>();
    request.errorCallback = [refused](const QvSNMPError& error) { *refused = error; };
    const int32_t before = request.outstanding;
    try {
        start([done](void*, const QvSNMPError& error, QvSNMPVarList& list) { done(error, list); });
    } catch (const QvException& failure) {
        refused->code = failure.code();
        refused->message = failure.what();
    }
    if (request.outstanding > before)
        return;
    if (refused->code == 0) {
        refused->code = -1;
        refused->message = "the request could not be sent";
    }
    QTimer::singleShot(0, [done, refused, &request] { done(*refused, request.list); });
}

void DeviceLink::get(const VariableDescriptor* table, Done done, uint8_t listKind)
{
    QvSNMPRequest& request = newRequest(table, listKind);
    send(request, done, [&request](QvSNMPRequest::Completion completion) {
        request.GetAsync(std::move(completion), nullptr, true);
    });
}

void DeviceLink::getOnce(const VariableDescriptor* table, uint32_t timeout, Done done)
{
    QvSNMPRequest& request = newRequest(table, kListScalars);
    request.timeout = timeout;
    request.retries = 0;
    send(request, done, [&request](QvSNMPRequest::Completion completion) {
        request.GetAsync(std::move(completion), nullptr, true);
    });
}

void DeviceLink::set(const VariableDescriptor* table, const std::vector<std::string>& values, uint32_t timeout,
                     Done done, uint8_t listKind)
{
    QvSNMPRequest& request = newRequest(table, listKind);
    request.timeout = timeout;
    // Values are the device's numbers; an item with an option list holds the option's text.
    for (size_t i = 0; i < values.size() && static_cast<int32_t>(i) < request.list.Count(); ++i) {
        QvSNMPVarItem& item = request.list.Item(static_cast<int32_t>(i));
        item.value = item.options ? item.options->ValueToText(values[i]) : values[i];
    }
    send(request, done, [&request](QvSNMPRequest::Completion completion) {
        request.SetAsync(std::move(completion), nullptr, false, "");
    });
}

void DeviceLink::walk(const VariableDescriptor* table, int32_t keys, std::function<void(const QvSNMPVarList& row)> row,
                      Done done)
{
    QvSNMPRequest& request = newRequest(table, kListTableUnlisted, keys);
    // Each answer holds one row and asks for the next; the walk's end comes as a finished answer.
    auto next = std::make_shared<std::function<void(bool first)>>();
    *next = [this, &request, row = std::move(row), done = std::move(done), next](bool first) {
        const Done step = [next, row, done](const QvSNMPError& error, const QvSNMPVarList& list) {
            if (error.code != 0 || error.finished) {
                done(error, list);
                *next = nullptr;  // lets go of the walk
                return;
            }
            row(list);
            (*next)(false);
        };
        send(request, step, [&request, first](QvSNMPRequest::Completion completion) {
            request.GetAsync(std::move(completion), nullptr, first);
        });
    };
    (*next)(true);
}
