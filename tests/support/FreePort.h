#pragma once

#include <cstdint>

// A UDP port on 127.0.0.1 that nothing is bound to right now.
uint16_t FreeUdpPort();
