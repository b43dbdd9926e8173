#include "binding/DeviceVariables.h"

namespace {

const OptionRow kRestartRows[] = {{0, "nothing"}, {1, "reboot"}, {0, nullptr}};
const OptionRow kGetIpFromRows[] = {{1, "Static (Manual)"}, {2, "Dynamic (DHCP)"}, {0, nullptr}};
const OptionRow kTftpCommandRows[] = {{1, "Connect"}, {2, "Get"}, {3, "Put"}, {4, "Nothing"}, {0, nullptr}};

} // namespace

namespace DeviceVariables {

const QvOptionList RestartOptions(kRestartRows);
const QvOptionList GetIpFromOptions(kGetIpFromRows);
const QvOptionList TftpCommandOptions(kTftpCommandRows);

} // namespace DeviceVariables
