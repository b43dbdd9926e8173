// vta-fleet's device list as a site wrote it: addresses, ports and each device's switches.
#include "InputFile.h"

#include "fleet/DeviceList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static InputFile file("site.txt");
    std::vector<FleetDevice> devices;
    std::string error;
    if (ReadDeviceList(file.write(data, size), file.folder(), devices, error))
        for (const FleetDevice& device : devices)
            (void)device.label();
    return 0;
}
