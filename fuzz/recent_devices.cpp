// The connect dialog's recent-devices file (JSON), as another program or an older version may
// have left it: loaded, then a device remembered into it and the result loaded again.
#include "InputFile.h"

#include "shell/RecentDevices.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static InputFile file("recent-devices.json");
    RecentDevices recent(file.write(data, size));
    const std::vector<RecentDevice> loaded = recent.load();
    DeviceConnection connection;
    connection.address = loaded.empty() ? "10.0.0.7" : loaded.front().connection.address;
    std::string error;
    if (recent.remember(connection, size % 2 == 0, error))
        (void)recent.load();
    return 0;
}
