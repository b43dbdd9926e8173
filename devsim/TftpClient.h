#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

// A TFTP client (RFC 1350): octet mode, 512-byte blocks, lock-step with retransmission of
// the last packet on time-out. Used by the device to fetch firmware and configuration files
// from the management PC and to store its configuration there.
struct TftpEndpoint {
    std::string address;  // dotted IPv4
    uint16_t port = 69;
    int timeoutMs = 2000;  // per packet
    int retries = 3;       // resends of one packet before giving up
    std::string localAddress;  // the device's own address to send from; empty: any
};

struct TftpResult {
    bool ok = false;
    std::string error;  // why it failed, for the device log
    std::string data;   // the file, for a read
};

constexpr size_t kTftpMaxFileBytes = 64u << 20;

// One transfer, driven by the agent's loop rather than a thread of its own: a simulator that
// serves a whole site runs every device's transfer on one thread, and so takes from the
// machine about what the devices' own processors would, not a context switch per block.
class TftpTransfer {
public:
    using Clock = std::chrono::steady_clock;

    static std::unique_ptr<TftpTransfer> Read(const TftpEndpoint& server, const std::string& fileName);
    static std::unique_ptr<TftpTransfer> Write(const TftpEndpoint& server, const std::string& fileName,
                                               std::string data);
    ~TftpTransfer();
    TftpTransfer(const TftpTransfer&) = delete;
    TftpTransfer& operator=(const TftpTransfer&) = delete;

    bool ended() const { return m_ended; }
    const TftpResult& result() const { return m_result; }
    // The socket to watch for reading while the transfer runs (-1 once it has ended).
    int descriptor() const { return m_ended ? -1 : m_fd; }
    Clock::time_point deadline() const { return m_deadline; }

    // Takes a datagram waiting on the socket.
    void receive();
    // After the deadline: sends the last packet again, or gives up after the last retry.
    void expire(Clock::time_point now);

private:
    enum class Direction { Read, Write };
    TftpTransfer(const TftpEndpoint& server, Direction direction, std::string data);

    void start(const std::string& request);
    void send(std::string packet);
    void transmit();
    void answered(const char* packet, size_t size);
    void finish(bool ok);
    void fail(const std::string& why);

    TftpEndpoint m_server;
    Direction m_direction;
    int m_fd = -1;
    uint32_t m_peer = 0;       // the server's address, network order
    uint16_t m_peerPort = 0;   // network order; the server's transfer ID once known
    bool m_tidKnown = false;
    std::string m_packet;      // the last packet sent, resent on time-out
    int m_sends = 0;           // sends of m_packet
    Clock::time_point m_deadline;
    uint16_t m_block = 0;      // read: the block awaited; write: the block whose ack is awaited
    size_t m_offset = 0;       // write: bytes of m_data already sent
    bool m_lastSent = false;   // write: the short block has gone out
    std::string m_data;        // write: the file
    bool m_ended = false;
    TftpResult m_result;
};
