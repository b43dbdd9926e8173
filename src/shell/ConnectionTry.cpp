#include "shell/ConnectionTry.h"

#include "binding/DeviceVariables.h"
#include "host/Startup.h"
#include "snmp/ErrorCatalogue.h"
#include "snmp/QvException.h"
#include "snmp/QvSNMPRequest.h"
#include "snmp/QvSNMPStartup.h"
#include "snmp/SnmpSession.h"
#include "snmp/SnmpSettings.h"

#include <QCoreApplication>

namespace {

const VariableDescriptor kUpTime[] = {{"1.3.6.1.2.1.1.3", "sysUpTime", kSyntaxTimeTicks, kAccessReadOnly},
                                      DeviceVariables::EndOfTable};

// What the SNMP layer reports (its status numbers, before the catalogue maps them) and the
// field that causes it.
struct Fault {
    int status;
    ConnectionField field;
};
const Fault kFaults[] = {
    {kStatusTimeout, ConnectionField::Address},
    {kStatusUnknownEngineId, ConnectionField::Address},  // no SNMPv3 engine could be learned there
    {1403, ConnectionField::SecurityName},   // the user exists, not at this security level
    {1404, ConnectionField::SecurityName},   // unknown user name
    {-1412, ConnectionField::SecurityName},  // unknown user name, as message processing reports it
    {1407, ConnectionField::AuthPassword},   // authentication error
    {1408, ConnectionField::AuthPassword},   // wrong digest
    {1406, ConnectionField::PrivPassword},   // decryption error
    {6, ConnectionField::Community},         // noAccess
    {16, ConnectionField::Community},        // authorizationError
};

// The host counts levels and protocols from 0, the SNMP layer from 1.
void aim(QvSNMPRequest& request, const DeviceConnection& c)
{
    request.address = c.address;
    request.port = static_cast<uint16_t>(c.port);
    request.version = static_cast<uint8_t>(c.version);
    request.readCommunity = c.readCommunity;
    request.writeCommunity = c.writeCommunity;
    request.contextName.clear();
    request.contextEngineId.clear();
    request.securityName = c.securityName;
    request.securityLevel = c.version == 3 ? c.securityLevel + 1 : kNoAuthNoPriv;
    request.authProtocol = c.usesAuthentication() ? c.authProtocol + 1 : kAuthNone;
    request.privProtocol = c.usesPrivacy() ? c.privProtocol + 1 : kPrivNone;
    request.authPassword = c.usesAuthentication() ? c.authPassword : std::string();
    request.privPassword = c.usesPrivacy() ? c.privPassword : std::string();
    request.timeout = static_cast<uint32_t>(DefaultTimeout);
    request.retries = kDefaultRetries;
}

bool snmpStarted = false;

} // namespace

ConnectionField FieldAtFault(int code, const DeviceConnection& connection)
{
    if (code == 0)
        return ConnectionField::None;
    for (const Fault& fault : kFaults) {
        if (MapStatus(fault.status).code != code)
            continue;
        if (fault.field == ConnectionField::Address && connection.version != 3)
            return ConnectionField::Community;
        if (fault.field == ConnectionField::Community && connection.version == 3)
            return ConnectionField::SecurityName;
        return fault.field;
    }
    // Another error status of the agent: it answered, so the settings reach it.
    if (code <= MapStatus(1).code && code >= MapStatus(19).code)
        return ConnectionField::None;
    return ConnectionField::Address;
}

ConnectionTry TryConnection(const DeviceConnection& connection)
{
    if (!snmpStarted) {
        LoadMessageFiles(QCoreApplication::applicationDirPath().toStdString() + "/errMSg/", ExecutableMessageFiles());
        QvSNMPStartup("");
        snmpStarted = true;
    }
    QvSNMPRequest request;
    aim(request, connection);
    request.list.Assign(QvSNMPVarList(kUpTime, kListScalars, 0));
    QvSNMPError failure;
    request.errorCallback = [&failure](const QvSNMPError& error) { failure = error; };
    bool ok = true;
    bool sent = true;
    try {
        request.GetSync(true, ok);
    } catch (const QvException& refused) {  // an address that does not resolve
        sent = false;
        failure.code = refused.code();
        failure.message = refused.what();
    }
    ConnectionTry result;
    result.field = FieldAtFault(failure.code, connection);
    if (result.field == ConnectionField::None)
        return result;  // the module goes on with the session, its engine already known
    if (sent)
        request.ReleaseSession();  // settings that will not be used again
    result.text = failure.message;
    const std::string where = connection.address + ":" + std::to_string(connection.port);
    if (MapStatus(kStatusTimeout).code == failure.code)
        result.text += connection.version == 3
            ? " Nothing answered at " + where + "."
            : " Nothing answered at " + where + ": a device ignores a request whose community it does not know.";
    return result;
}
