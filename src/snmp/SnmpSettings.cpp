#include "snmp/SnmpSettings.h"

QvSNMPDeviceSettings QvSNMPDevice;
QvSNMPScopeSettings QvSNMPScope;
QvSNMPSecuritySettings QvSNMPSecurity;
int DefaultTimeout = 0;

void SetDefaultSnmpSettings()
{
    QvSNMPDevice = {"127.0.0.1", 161};
    QvSNMPScope = {};
    QvSNMPSecurity = {};
    QvSNMPSecurity.version = 0;
    QvSNMPSecurity.readCommunity = "public";
    QvSNMPSecurity.writeCommunity = "private";
    QvSNMPSecurity.securityModel = 1;
    QvSNMPSecurity.securityLevel = kNoAuthNoPriv;
    QvSNMPSecurity.authProtocol = kAuthNone;
    QvSNMPSecurity.privProtocol = kPrivNone;
    DefaultTimeout = 100;
}

SnmpConnection SnmpConnection::current() { return {QvSNMPDevice, QvSNMPScope, QvSNMPSecurity}; }
