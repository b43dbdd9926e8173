#include "support/LossyRelay.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int openSocket()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return fd;
}

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

}  // namespace

LossyRelay::LossyRelay(uint16_t serverPort, double dropShare, double repeatShare, uint32_t seed, int alive)
    : m_serverPort(serverPort), m_dropShare(dropShare), m_repeatShare(repeatShare), m_random(seed), m_alive(alive)
{
    m_front = openSocket();
    m_back = openSocket();
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(m_front, reinterpret_cast<sockaddr*>(&address), &length);
    m_frontPort = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

LossyRelay::~LossyRelay()
{
    stop();
    ::close(m_front);
    ::close(m_back);
}

void LossyRelay::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void LossyRelay::forward(int fd, const char* data, ssize_t size, const sockaddr_in& to)
{
    if (m_alive >= 0 && m_forwarded >= m_alive) {
        if (fd == m_front)
            m_lostFromServer.emplace_back(data, size);
        return;
    }
    ++m_forwarded;
    const double roll = std::uniform_real_distribution<double>(0, 1)(m_random);
    if (roll < m_dropShare) {
        ++m_dropped;
        return;
    }
    ::sendto(fd, data, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (roll > 1.0 - m_repeatShare) {
        ++m_repeated;
        ::sendto(fd, data, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
}

void LossyRelay::run()
{
    sockaddr_in client{};
    bool knowClient = false;
    sockaddr_in server = loopback(m_serverPort);
    char buffer[4096];
    pollfd fds[2] = {{m_front, POLLIN, 0}, {m_back, POLLIN, 0}};
    while (!m_stop) {
        if (::poll(fds, 2, 20) <= 0)
            continue;
        if (fds[0].revents & POLLIN) {
            socklen_t length = sizeof client;
            const ssize_t size =
                ::recvfrom(m_front, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&client), &length);
            knowClient = size >= 0;
            if (size >= 0) {
                ++m_fromClient;
                forward(m_back, buffer, size, server);
            }
        }
        if (fds[1].revents & POLLIN) {
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t size =
                ::recvfrom(m_back, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
            if (size >= 0) {
                server = from;
                if (knowClient)
                    forward(m_front, buffer, size, client);
            }
        }
    }
}
