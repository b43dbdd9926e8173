#pragma once

#include <QUdpSocket>

// An SNMP agent that never answers: a UDP socket on loopback that the global device settings
// point at, with the library's defaults otherwise. Requests to it end by their time-out.
class SilentAgent {
public:
    SilentAgent();
    uint16_t port() const { return m_socket.localPort(); }
    // How many requests arrived since the last call.
    int datagramsReceived();

private:
    QUdpSocket m_socket;
};
