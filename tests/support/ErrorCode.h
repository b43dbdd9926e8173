#pragma once

#include "snmp/QvException.h"

#include <cstdint>
#include <functional>

// The code of the library error an action raises; 0 when it raises none.
inline int32_t errorCode(const std::function<void()>& action)
{
    try {
        action();
    } catch (const QvException& error) {
        return error.code();
    }
    return 0;
}
