// The host registry file as the host (or a person) left it: the keys the module reads at
// start, and the key it adds when missing, which must keep every other line as it stands.
#include "InputFile.h"

#include "host/Startup.h"
#include "platform/HostRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static InputFile file("host-registry.ini");
    HostRegistry registry(file.write(data, size));
    (void)DetermineConfigDir(registry);
    (void)ModuleDirFromHelpPath(ReadHelpPath(registry));
    (void)registry.writeValue("SOFTWARE\\Corvane\\Orvant5.1\\MibFile", "Path", "/opt/orvant/Conf/MBF/");
    (void)registry.readValue("SOFTWARE\\Corvane\\Orvant5.1\\MibFile", "Path");
    return 0;
}
