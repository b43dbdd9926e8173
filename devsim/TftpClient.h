#pragma once

#include <cstdint>
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

TftpResult TftpRead(const TftpEndpoint& server, const std::string& fileName);
TftpResult TftpWrite(const TftpEndpoint& server, const std::string& fileName, const std::string& data);
