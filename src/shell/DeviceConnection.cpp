#include "shell/DeviceConnection.h"

#include <algorithm>
#include <cctype>

namespace {

// The module's switches in the order its start-up looks for them; the address switch is
// looked for before all of them. Only the first one found in an argument is applied.
const char* const kSwitchOrder[] = {"/R", "/W", "/v", "/t", "/c", "/d", "/m", "/l", "/n", "/A", "/P", "/a", "/p"};

// Why "switchText + value" would not reach the module as that value: the start-up finds a
// switch by searching the whole argument, so a value holding the address switch or a switch
// looked for earlier would be taken for that switch.
std::string carriageProblem(const char* what, const std::string& switchText, const std::string& value)
{
    std::vector<std::string> earlier = {"/I"};
    for (const char* candidate : kSwitchOrder) {
        if (switchText == candidate)
            break;
        earlier.push_back(candidate);
    }
    for (const std::string& other : earlier)
        if (value.find(other) != std::string::npos)
            return std::string("The ") + what + " cannot contain \"" + other +
                   "\": the module would read it as one of its switches.";
    return {};
}

bool hasControlCharacter(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < ' ' || c == 127; });
}

// The parameter file's reader trims its values, so a value must not begin or end with blanks.
bool keepsItsBlanks(const std::string& text)
{
    return text.empty() || (text.front() != ' ' && text.back() != ' ');
}

bool isAddressText(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '.' || c == '-' || c == '_';
    });
}

std::string textProblem(const char* what, const std::string& text, bool inParameterFile)
{
    if (hasControlCharacter(text))
        return std::string("The ") + what + " cannot contain control characters.";
    if (inParameterFile && !keepsItsBlanks(text))
        return std::string("The ") + what + " cannot begin or end with a blank.";
    return {};
}

} // namespace

std::string ConnectionProblem(const DeviceConnection& c)
{
    if (c.address.empty())
        return "Enter the device's address: its host name or dotted IPv4 address.";
    if (!isAddressText(c.address))
        return "The address may hold only letters, digits, '.', '-' and '_'.";
    if (c.port < 1 || c.port > 65535)
        return "The agent port must be a number from 1 to 65535.";
    if (c.version != 0 && c.version != 1 && c.version != 3)
        return "Choose SNMPv1, SNMPv2c or SNMPv3.";

    // The communities go on the command line whatever the version: it needs an argument
    // after the address for the parameter file to be read.
    // The communities go on the command line whatever the version: it needs an argument
    // after the address for the parameter file to be read. The user name goes only into the
    // parameter file.
    const struct {
        const char* what;
        const char* switchText;  // on the command line, or nullptr
        const std::string& value;
        bool used;
        bool alwaysPassed;
        bool inParameterFile;
    } values[] = {
        {"read community", "/R", c.readCommunity, c.version != 3, true, false},
        {"write community", "/W", c.writeCommunity, c.version != 3, true, false},
        {"user name", nullptr, c.securityName, c.version == 3, false, true},
        {"authentication pass phrase", "/A", c.authPassword, c.usesAuthentication(), false, true},
        {"privacy pass phrase", "/P", c.privPassword, c.usesPrivacy(), false, true},
    };
    for (const auto& v : values) {
        const bool passed = v.switchText && (v.used || v.alwaysPassed);
        if (v.used && v.value.empty())
            return std::string("Enter the ") + v.what + ".";
        if (!v.used && !passed)
            continue;
        if (std::string problem = textProblem(v.what, v.value, v.inParameterFile); !problem.empty())
            return problem;
        if (!passed)
            continue;
        if (std::string problem = carriageProblem(v.what, v.switchText, v.value); !problem.empty())
            return problem;
    }
    if (c.version != 3)
        return {};
    if (c.securityLevel < 0 || c.securityLevel > 2)
        return "Choose the security level.";
    if (c.usesAuthentication() && (c.authProtocol < 1 || c.authProtocol > 6))
        return "Choose the authentication protocol.";
    if (c.usesPrivacy() && c.privProtocol != 1 && c.privProtocol != 3)
        return "Choose the privacy protocol.";
    // SNMPv3 derives its keys from pass phrases of 8 characters at least.
    if (c.usesAuthentication() && c.authPassword.size() < 8)
        return "The authentication pass phrase needs at least 8 characters.";
    if (c.usesPrivacy() && c.privPassword.size() < 8)
        return "The privacy pass phrase needs at least 8 characters.";
    return {};
}

std::vector<std::pair<std::string, std::string>> ParameterFileKeys(const DeviceConnection& c, bool keepPassPhrases)
{
    const bool v3 = c.version == 3;
    return {
        {"AgentPort", std::to_string(c.port)},
        {"Version", std::to_string(c.version)},
        {"SecurityName", v3 ? c.securityName : ""},
        {"SecurityLevel", std::to_string(v3 ? c.securityLevel : 0)},
        {"AuthProtocol", std::to_string(c.usesAuthentication() ? c.authProtocol : 0)},
        {"PrivProtocol", std::to_string(c.usesPrivacy() ? c.privProtocol : 0)},
        {"AuthPassword", keepPassPhrases && c.usesAuthentication() ? c.authPassword : ""},
        {"PrivPassword", keepPassPhrases && c.usesPrivacy() ? c.privPassword : ""},
    };
}

std::vector<std::string> ModuleArguments(const DeviceConnection& c)
{
    std::vector<std::string> arguments = {"/I" + c.address, "/R" + c.readCommunity, "/W" + c.writeCommunity};
    if (c.usesAuthentication())
        arguments.push_back("/A" + c.authPassword);
    if (c.usesPrivacy())
        arguments.push_back("/P" + c.privPassword);
    return arguments;
}
