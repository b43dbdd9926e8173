#include "shell/ModuleCommandLine.h"

namespace {

bool isOption(const std::string& argument)
{
    return argument.size() > 2 && argument.compare(0, 2, "--") == 0 && argument.find('/') == std::string::npos;
}

} // namespace

ModuleCommandLine ReadModuleCommandLine(const std::vector<std::string>& arguments)
{
    ModuleCommandLine result;
    bool hostArguments = false;
    for (const std::string& argument : arguments) {
        if (!isOption(argument)) {
            hostArguments = true;
            continue;
        }
        if (argument == "--help")
            return {ModuleCommandLine::Mode::Help, {}};
        if (argument == "--version")
            return {ModuleCommandLine::Mode::Version, {}};
        if (argument != "--connect")
            return {ModuleCommandLine::Mode::Invalid, "unknown option '" + argument + "'"};
        result.mode = ModuleCommandLine::Mode::Connect;
    }
    if (result.mode == ModuleCommandLine::Mode::Connect && hostArguments)
        return {ModuleCommandLine::Mode::Invalid, "--connect asks for the device itself: it takes no host switches"};
    return result;
}

const char* ModuleUsage()
{
    return R"(Usage: vta-module /I<address> [/R<read community>] [/W<write community>] [/v<version>] [...]
       vta-module --connect
       vta-module --help | --version

Manages one VTA-3100QX access point over SNMP. A network-management host starts it with
the device's address and credentials as switches; a switch may stand anywhere inside an
argument and its value is the rest of the argument. The address switch is looked for
first; otherwise only the first switch found, in this order, is applied:

  /I  device address (host name or dotted IPv4)
  /R  read community                  /W  write community
  /v  SNMP version: 0 SNMPv1, 1 SNMPv2c, 3 SNMPv3
  SNMPv3 only (after /v3, or when the parameter file says Version=3):
  /t  agent UDP port                  /c  context name
  /d  context engine ID               /m  security model
  /l  security level: 0 noAuthNoPriv, 1 authNoPriv, 2 authPriv
  /n  user name
  /A  authentication pass phrase      /P  privacy pass phrase
  /a  authentication protocol: 0 none, 1 HMAC-MD5, 2 HMAC-SHA,
      3..6 HMAC-SHA-224, -256, -384, -512
  /p  privacy protocol: 0 none, 1 DES, 3 AES-128

The device's parameter file <ConfigDir><address>.cfg, read before every argument after
the address, adds the agent port and the SNMPv3 settings; ConfigDir comes from the host
registry ($VTA_HOST_REGISTRY, else ~/.config/vta-module/host-registry.ini). See
vta-module(1).

Options:
  --connect   ask for a device and its credentials, write its parameter file where
              the host would, and open the module for it (no host needed)
  --help      show this text and end
  --version   show the version and end

Exit status: 0 normal end, 1 the module could not start, 2 no arguments or a bad
option, 3 another module manages this device.
)";
}
