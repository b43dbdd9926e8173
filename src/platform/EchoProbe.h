#pragma once

#include <string>

// Whether a host answers an ICMP echo: the probe behind "is this address already used?".
enum class EchoResult {
    Answered,    // an echo reply came within one of the attempts
    Silent,      // no reply in any attempt (or the address cannot be reached from here)
    Unresolved,  // the text is neither a host name nor a dotted address
    NoSocket,    // this system lets the program open no ICMP socket
};

// Sends up to attempts echo requests to host (a name or a dotted IPv4 address), waiting at most
// waitMs for an answer to each, and stops at the first echo reply. Uses an unprivileged ICMP
// datagram socket where the system allows one, a raw socket otherwise.
EchoResult ProbeEcho(const std::string& host, int attempts = 3, int waitMs = 1000);
