#pragma once

#include <cstdint>

// A UDP port on 127.0.0.1 that nothing is bound to right now.
uint16_t FreeUdpPort();

// Whether something is bound to the UDP port on 127.0.0.1 now.
bool UdpPortBound(uint16_t port);
