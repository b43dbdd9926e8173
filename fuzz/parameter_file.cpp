// A device's parameter file as the host (or another program) wrote it: every key of
// [Program Information] read into the module's settings, as at each start.
#include "InputFile.h"

#include "host/Startup.h"
#include "platform/Conversion.h"
#include "platform/QvIni.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static InputFile file("10.0.0.7.cfg");
    const std::string& path = file.write(data, size);
    std::string lastVersionKey;
    try {
        ApplyParameterFile(path, lastVersionKey);
    } catch (const ConversionError&) {
        // a number that does not convert is reported to the user as such
    }
    (void)QvIni(path).ReadText("Program Information", "GetBulk", "1");
    return 0;
}
