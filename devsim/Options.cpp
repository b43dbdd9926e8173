#include "Options.h"

#include "OptionalFeatures.h"

#include <arpa/inet.h>
#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace {

bool ToInt(const std::string& text, long long minimum, long long maximum, int& value)
{
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end || errno || number < minimum || number > maximum)
        return false;
    value = static_cast<int>(number);
    return true;
}

// Net-SNMP's configuration lines split on blanks and treat quotes specially, so names and
// secrets are restricted to characters that need no quoting.
bool IsPlainToken(const std::string& text)
{
    if (text.empty())
        return false;
    for (unsigned char ch : text)
        if (ch <= ' ' || ch >= 127 || ch == '"' || ch == '\'' || ch == '#' || ch == '\\')
            return false;
    return true;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

bool ParseUser(const std::string& text, UsmUser& user, std::string& error)
{
    const auto parts = Split(text, ':');
    if (parts.size() != 3 && parts.size() != 5) {
        error = "--user wants NAME:AUTH:AUTHPASS or NAME:AUTH:AUTHPASS:PRIV:PRIVPASS, not '" + text + "'";
        return false;
    }
    user.name = parts[0];
    user.authProtocol = parts[1];
    user.authPassword = parts[2];
    if (parts.size() == 5) {
        user.privProtocol = parts[3];
        user.privPassword = parts[4];
    }
    if (!IsPlainToken(user.name)) {
        error = "--user: the name '" + user.name + "' must be printable without blanks or quotes";
        return false;
    }
    if (user.authProtocol != "MD5" && user.authProtocol != "SHA") {
        error = "--user " + user.name + ": authentication must be MD5 or SHA, not '" + user.authProtocol + "'";
        return false;
    }
    if (!user.privProtocol.empty() && user.privProtocol != "DES" && user.privProtocol != "AES") {
        error = "--user " + user.name + ": privacy must be DES or AES, not '" + user.privProtocol + "'";
        return false;
    }
    for (const std::string* password : {&user.authPassword, &user.privPassword}) {
        if (password == &user.privPassword && user.privProtocol.empty())
            continue;
        if (password->size() < 8 || !IsPlainToken(*password)) {
            error = "--user " + user.name +
                    ": pass phrases need at least 8 printable characters without blanks or quotes";
            return false;
        }
    }
    return true;
}

// The options that take a value: one of them given last lacks its value; any other name
// there is unknown.
bool TakesValue(const std::string& name)
{
    static const char* const kNames[] = {
        "--port", "--address", "--lan", "--read-community", "--write-community", "--user", "--state-out",
        "--state-in", "--restart-seconds", "--tftp-port", "--tftp-timeout-ms", "--tftp-retries",
        "--signal-strength", "--temperature", "--traffic-rate", "--without", "--clients", "--clients2",
        "--empty-client-rows", "--survey-rows", "--log-rows", "--devices", "--drop-percent", "--delay-ms",
        "--refuse-set", "--hang-after-set"};
    for (const char* known : kNames)
        if (name == known)
            return true;
    return false;
}

bool IsIpv4(const std::string& text)
{
    in_addr address{};
    return inet_pton(AF_INET, text.c_str(), &address) == 1;
}

}  // namespace

std::vector<UsmUser> DefaultUsers()
{
    return {{"md5des", "MD5", "md5authpass", "DES", "desprivpass"},
            {"shaaes", "SHA", "shaauthpass", "AES", "aesprivpass"},
            {"shaonly", "SHA", "shaauthpass", "", ""}};
}

std::string HelpText()
{
    return R"(Usage: vta-devsim --port PORT [options]

Simulates one VTA-3100QX access point: an SNMP agent (v1, v2c, v3) with the device's
MIB-II system group and private MIB, its commands, restarts and TFTP transfers.

Network:
  --port PORT             UDP port of the SNMP agent (required, 1-65535)
  --address ADDR          IPv4 address to listen on (default 127.0.0.1)
  --read-community TEXT   read-only community (default "public")
  --write-community TEXT  read-write community (default "private")
  --user NAME:AUTH:AUTHPASS[:PRIV:PRIVPASS]
                          an SNMPv3 user (AUTH MD5 or SHA, PRIV DES or AES); repeat for
                          more users. Without --user: md5des (MD5/DES), shaaes (SHA/AES)
                          and shaonly (SHA, no privacy); see devsim/README.md

State:
  --state-out FILE        write the whole state as JSON after every set and on SIGUSR1
  --state-in FILE         start from a state (or configuration) JSON file

Device:
  --lan ADDRESS/MASK      the device's own LAN address and subnet mask at start, e.g.
                          127.0.0.1/255.0.0.0 (default 192.168.0.50/255.255.255.0)
  --restart-seconds N     how long a restart keeps the device silent (default 3)
  --tftp-port PORT        UDP port of the TFTP server the device uses (default 69)
  --tftp-timeout-ms MS    TFTP time-out per packet (default 2000)
  --tftp-retries N        TFTP resends of one packet before giving up (default 3)
  --signal-strength N     also serve the point-to-point signal strength object (0-100)
  --temperature C         the temperature the device reports, in degrees Celsius
                          (its sensor's range is -40 to 120, default 42; any 32-bit
                          value stands for a faulty reading)
  --traffic-rate N        frames radio 1 transmits per second (0-1000000000, default
                          120); it receives a quarter more, errors and retries follow in
                          proportion, so a high rate lets the counters wrap soon
  --without WHAT          leave out what older firmware lacks: "client-table" (the client
                          table and its acquire command), "temperature", or an optional
                          radio feature: xr, autoscan, shortpreamble, wmm or antenna (its
                          objects answer noSuchName), or a dotted OID (the objects below it
                          are not there: noSuchObject, on SNMPv1 noSuchName); repeatable

Load (N up to 10000):
  --clients N             associated stations on radio 1 (default 3)
  --clients2 N            associated stations on radio 2, while radio 2 runs (default 0)
  --empty-client-rows N   free slots (MAC 000000000000) between radio 1's stations
  --survey-rows N         neighbours a site survey finds (default 5)
  --log-rows N            synthetic entries in the system log at start (default 0)

Faults:
  --drop-percent P        silently drop P percent of the requests (0-100)
  --drop-once OID         silently drop the first request naming an object below OID
                          (one datagram lost on the way); repeat for more
  --delay-ms MS           answer every request MS milliseconds late
  --refuse-set OID=STATUS refuse every set of the instance OID (dotted, with its
                          instance, e.g. 1.3.6.1.4.1.32473.10.37.24.3.2.1.0) with the
                          SNMP error status STATUS (1-19); repeat for more
  --hang-after-set OID    answer a set of the instance OID, then answer nothing more (a
                          device that hangs in a command); repeat for more

Several devices in one process (a site for tests and demos):
  --next-device           the options after it describe another device (its own
                          --address and/or --port, SNMPv3 engine ID and users)
  --devices N             N copies of this device on consecutive addresses from
                          --address, all on --port (e.g. 127.0.1.1 .. 127.0.1.100);
                          a --state-out FILE then needs "{address}" in its name

  --verbose               log every set and transfer to standard error
  --help                  show this text
  --version               show the version

When ready it prints "vta-devsim ready on udp:ADDRESS:PORT" (several devices: one
"udp:ADDRESS:PORT" after the other, separated by blanks). SIGTERM or SIGINT end it.
)";
}

bool ParseOptions(int argc, char** argv, Options& options, InfoRequest& info, std::string& error)
{
    info = InfoRequest::None;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h" || name == "--version") {
            info = name == "--version" ? InfoRequest::Version : InfoRequest::Help;
            return true;
        }
        if (name == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = TakesValue(name)                ? name + " needs a value"
                    : name.rfind("-", 0) == 0 ? "unknown option '" + name + "' (see --help)"
                                              : "unknown argument '" + name + "'";
            return false;
        }
        const std::string value = arguments[++i];
        auto integer = [&](long long minimum, long long maximum, int& target) {
            if (ToInt(value, minimum, maximum, target))
                return true;
            error = name + ": '" + value + "' is not a whole number from " + std::to_string(minimum) + " to " +
                    std::to_string(maximum);
            return false;
        };
        bool ok = true;
        if (name == "--port")
            ok = integer(1, 65535, options.port);
        else if (name == "--address") {
            if (!IsIpv4(value)) {
                error = "--address: '" + value + "' is not an IPv4 address";
                return false;
            }
            options.address = value;
        } else if (name == "--lan") {
            const size_t slash = value.find('/');
            if (slash == std::string::npos || !IsIpv4(value.substr(0, slash)) || !IsIpv4(value.substr(slash + 1))) {
                error = "--lan wants ADDRESS/MASK in dotted form, not '" + value + "'";
                return false;
            }
            options.lanAddress = value.substr(0, slash);
            options.lanMask = value.substr(slash + 1);
        }
        else if (name == "--read-community" || name == "--write-community") {
            if (!IsPlainToken(value)) {
                error = name + ": a community must be printable without blanks or quotes";
                return false;
            }
            (name == "--read-community" ? options.readCommunity : options.writeCommunity) = value;
        } else if (name == "--user") {
            UsmUser user;
            ok = ParseUser(value, user, error);
            options.users.push_back(user);
        } else if (name == "--state-out")
            options.stateOut = value;
        else if (name == "--state-in")
            options.stateIn = value;
        else if (name == "--restart-seconds")
            ok = integer(0, 3600, options.device.restartSeconds);
        else if (name == "--tftp-port") {
            int port = 0;
            ok = integer(1, 65535, port);
            options.device.tftpServerPort = static_cast<uint16_t>(port);
        } else if (name == "--tftp-timeout-ms")
            ok = integer(10, 600000, options.device.tftpTimeoutMs);
        else if (name == "--tftp-retries")
            ok = integer(0, 100, options.device.tftpRetries);
        else if (name == "--signal-strength") {
            ok = integer(0, 100, options.device.signalStrengthValue);
            options.device.signalStrength = true;
        } else if (name == "--temperature")
            ok = integer(INT32_MIN, INT32_MAX, options.device.temperatureValue);
        else if (name == "--traffic-rate")
            ok = integer(0, 1000000000, options.device.trafficRate);
        else if (name == "--without") {
            if (value == "client-table")
                options.device.clientTable = false;
            else if (value == "temperature")
                options.device.temperature = false;
            else if (IsOptionalFeature(value))
                options.device.missingFeatures.push_back(value);
            else if (const auto object = ParseOid(value))
                options.device.missingObjects.push_back(*object);
            else {
                error = "--without knows client-table, temperature, xr, autoscan, shortpreamble, wmm, antenna or a "
                        "dotted OID, not '" + value + "'";
                return false;
            }
        } else if (name == "--clients")
            ok = integer(0, 10000, options.device.clientRows);
        else if (name == "--clients2")
            ok = integer(0, 10000, options.device.clientRows2);
        else if (name == "--empty-client-rows")
            ok = integer(0, 10000, options.device.emptyClientRows);
        else if (name == "--survey-rows")
            ok = integer(0, 10000, options.device.surveyRows);
        else if (name == "--log-rows")
            ok = integer(0, 10000, options.device.logRows);
        else if (name == "--devices")
            ok = integer(1, 10000, options.copies);
        else if (name == "--drop-percent")
            ok = integer(0, 100, options.dropPercent);
        else if (name == "--delay-ms")
            ok = integer(0, 600000, options.delayMs);
        else if (name == "--refuse-set") {
            const size_t equals = value.rfind('=');
            RefusedSet refused;
            const auto instance = ParseOid(equals == std::string::npos ? std::string() : value.substr(0, equals));
            if (!instance || !ToInt(value.substr(equals + 1), 1, 19, refused.status)) {
                error = "--refuse-set wants OID=STATUS with a dotted OID and a status from 1 to 19, not '" +
                        value + "'";
                return false;
            }
            refused.instance = *instance;
            options.refusedSets.push_back(refused);
        } else if (name == "--drop-once") {
            const auto subtree = ParseOid(value);
            if (!subtree) {
                error = "--drop-once wants a dotted OID, not '" + value + "'";
                return false;
            }
            options.dropOnce.push_back(*subtree);
        } else if (name == "--hang-after-set") {
            const auto instance = ParseOid(value);
            if (!instance) {
                error = "--hang-after-set wants a dotted OID with its instance, not '" + value + "'";
                return false;
            }
            options.hangAfterSets.push_back(*instance);
        } else {
            error = "unknown option '" + name + "' (see --help)";
            return false;
        }
        if (!ok)
            return false;
    }
    if (options.port == 0) {
        error = "--port is required (see --help)";
        return false;
    }
    if (options.users.empty())
        options.users = DefaultUsers();
    // Transfers leave from the device's own address, as on a device.
    if (options.address != "0.0.0.0")
        options.device.tftpLocalAddress = options.address;
    return true;
}

namespace {

// The address count steps after the dotted IPv4 address; empty past 255.255.255.255.
std::string NextAddress(const std::string& address, int count)
{
    in_addr parsed{};
    inet_pton(AF_INET, address.c_str(), &parsed);
    const unsigned long long next = static_cast<unsigned long long>(ntohl(parsed.s_addr)) + count;
    if (next > 0xFFFFFFFFull)
        return {};
    parsed.s_addr = htonl(static_cast<uint32_t>(next));
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &parsed, text, sizeof text);
    return text;
}

bool ExpandCopies(const Options& options, std::vector<Options>& devices, std::string& error)
{
    const std::string marker = "{address}";
    if (options.copies > 1 && !options.stateOut.empty() && options.stateOut.find(marker) == std::string::npos) {
        error = "--devices " + std::to_string(options.copies) + ": --state-out needs \"{address}\" in its name";
        return false;
    }
    for (int i = 0; i < options.copies; ++i) {
        Options copy = options;
        copy.copies = 1;
        copy.address = NextAddress(options.address, i);
        if (copy.address.empty()) {
            error = "--devices " + std::to_string(options.copies) + ": not that many addresses after " +
                    options.address;
            return false;
        }
        if (copy.device.tftpLocalAddress == options.address)
            copy.device.tftpLocalAddress = copy.address;
        if (const size_t at = copy.stateOut.find(marker); at != std::string::npos)
            copy.stateOut.replace(at, marker.size(), copy.address);
        devices.push_back(copy);
    }
    return true;
}

}  // namespace

bool ParseSite(int argc, char** argv, std::vector<Options>& devices, InfoRequest& info, std::string& error)
{
    devices.clear();
    std::vector<char*> group{argv[0]};
    for (int i = 1; i <= argc; ++i) {
        if (i < argc && std::string(argv[i]) != "--next-device") {
            group.push_back(argv[i]);
            continue;
        }
        Options options;
        if (!ParseOptions(static_cast<int>(group.size()), group.data(), options, info, error)) {
            if (devices.size() > 0 || i < argc)
                error = "device " + std::to_string(devices.size() + 1) + ": " + error;
            return false;
        }
        if (info != InfoRequest::None)
            return true;
        if (!ExpandCopies(options, devices, error))
            return false;
        group.resize(1);
    }
    for (size_t i = 0; i < devices.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (devices[i].address == devices[j].address && devices[i].port == devices[j].port) {
                error = "two devices on udp:" + devices[i].address + ":" + std::to_string(devices[i].port);
                return false;
            }
    return true;
}
