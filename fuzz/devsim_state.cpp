// The simulator's state file, and the configuration file a device takes over TFTP (the
// same JSON): applied to a factory-fresh device, then written out again.
#include "DeviceModel.h"
#include "StateFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Every device of the simulator shares one shape; a fresh store holds the factory values.
    static const MibStore factory(DeviceShape());
    if (size == 0)
        return 0;
    const bool configurationOnly = data[0] & 1;
    const std::string json(reinterpret_cast<const char*>(data) + 1, size - 1);
    MibStore store = factory;
    std::string error;
    if (LoadState(store, json, configurationOnly, error))
        (void)StateJson(store, configurationOnly, 100);
    return 0;
}
