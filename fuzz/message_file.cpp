// A message file a host installation put in place of a built-in table: loaded, then every
// line of it read as the module reads them, markers filled in.
#include "InputFile.h"

#include "snmp/ErrorCatalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static InputFile file("message.err");
    if (size == 0)
        return 0;
    const auto table = static_cast<MessageTable>(data[0] % 7);
    ResetMessageTables();
    if (!LoadMessageFile(table, file.write(data + 1, size - 1)))
        return 0;
    for (int line = 0; line <= 60; ++line)
        (void)FillMarker(Message(table, line), "[FILENAME]", "image.tfp");
    for (const int status : {1, 19, 1401, 1414, -1402, -1418, -1, -5, -23})
        (void)MapStatus(status);
    for (int code = 0; code >= -528; --code)
        (void)QvSnmpMessage(code);
    return 0;
}
