#pragma once

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include <netinet/in.h>

// Sits between one client and a UDP server on loopback, and counts what crosses it. The client
// talks to the relay's front port; the relay talks to the server from its back socket, first
// to the listening port and then to whichever port the server answers from (a TFTP session's
// own). It can lose and repeat a seeded share of the datagrams (0 and 0: a plain relay, e.g. to
// count the requests a page sends to an SNMP agent). It relays from its own thread, so
// exchanges that wait without running the event loop pass too.
class LossyRelay {
public:
    // After `alive` datagrams the relay goes dead and drops everything (-1: never).
    LossyRelay(uint16_t serverPort, double dropShare, double repeatShare, uint32_t seed, int alive = -1);
    ~LossyRelay();
    LossyRelay(const LossyRelay&) = delete;
    LossyRelay& operator=(const LossyRelay&) = delete;

    void stop();
    uint16_t port() const { return m_frontPort; }
    // What the server sent after the relay went dead (read after stop()).
    const std::vector<QByteArray>& lostFromServer() const { return m_lostFromServer; }
    int dropped() const { return m_dropped; }
    int repeated() const { return m_repeated; }
    // Datagrams the client sent so far (dropped or not).
    int fromClient() const { return m_fromClient; }

private:
    void forward(int fd, const char* data, ssize_t size, const sockaddr_in& to);
    void run();

    uint16_t m_serverPort;
    double m_dropShare;
    double m_repeatShare;
    std::mt19937 m_random;
    int m_alive;
    int m_forwarded = 0;
    std::vector<QByteArray> m_lostFromServer;
    int m_front = -1;
    int m_back = -1;
    uint16_t m_frontPort = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_dropped{0};
    std::atomic<int> m_repeated{0};
    std::atomic<int> m_fromClient{0};
    std::thread m_thread;
};
