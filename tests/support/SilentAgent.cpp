#include "support/SilentAgent.h"

#include "support/SnmpLibrary.h"
#include "snmp/SnmpSettings.h"

#include <QNetworkDatagram>

SilentAgent::SilentAgent()
{
    StartSnmpLibraryOnce();
    SetDefaultSnmpSettings();
    m_socket.bind(QHostAddress::LocalHost, 0);
    QvSNMPDevice.address = "127.0.0.1";
    QvSNMPDevice.port = port();
}

int SilentAgent::datagramsReceived()
{
    int count = 0;
    while (m_socket.hasPendingDatagrams()) {
        m_socket.receiveDatagram();
        ++count;
    }
    return count;
}
