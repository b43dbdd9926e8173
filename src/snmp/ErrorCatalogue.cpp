#include "snmp/ErrorCatalogue.h"

#include "snmp/QvException.h"

#include <array>
#include <cstdio>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const Lines kSnmpErr = {
    "(SNMP) Response PDU Too Big!",
    "(SNMP) Variable does not exist!",
    "(SNMP) Cannot modify variable: Bad Value!",
    "(SNMP) Cannot modify object, Read Only!",
    "(SNMP) Cannot perform operation, General Error!",
    "(SNMP) Cannot access variable, No Access!",
    "(SNMP) Cannot create/modify variable, Wrong Type!",
    "(SNMP) Cannot create/set variable, Wrong Length!",
    "(SNMP) Cannot create/set variable, Wrong Encoding!",
    "(SNMP) Cannot create/set variable, Wrong Value!",
    "(SNMP) Cannot create variable, Creation Not Allowed!",
    "(SNMP) Cannot create/set variable, Inconsistent Value!",
    "(SNMP) Cannot create/set variable, Resource Unavailable!",
    "(SNMP) Cannot create/set variable, Commit Failed!",
    "(SNMP) Cannot create/set variable, Undo Failed!",
    "(SNMP) Cannot perform operation, Authorization Error!",
    "(SNMP) Cannot create/set variable, Not Writable!",
    "(SNMP) Cannot create variable, Inconsistent Name!",
    "(SNMP) Cannot download the overdue firmware!",
};

const Lines kSnmpV3Err = {
    "(SNMPv3) Unsupported Security Model!",
    "(SNMPv3) Message not in Time Window!",
    "(SNMPv3) Received same Message twice!",
    "(SNMPv3) Invalid Message!",
    "(SNMPv3) Invalid EngineID!",
    "(SNMPv3) v3MP not initialized!",
    "(SNMPv3) Parse Error!",
    "(SNMPv3) Received Message with unknown MsgID!",
    "(SNMPv3) Message does not match known message!",
    "(SNMPv3) Community format error!",
    "(SNMPv3) Unknown UserName!",
    "(SNMPv3) Build error!",
    "(SNMPv3) USM: error!",
    "(SNMPv3) Unknown pdu handlers!",
    "(SNMPv3) Unavailable Context!",
    "(SNMPv3) Unknown Context!",
    "(SNMPv3) Report sent!",
};

const Lines kSnmpUsmErr = {
    "(SNMPv3USM) error!",
    "(SNMPv3USM) Configfile write error!",
    "(SNMPv3USM) Unsupported SecurityLevel!",
    "(SNMPv3USM) Unknown SecurityName!",
    "(SNMPv3USM) Encryption error!",
    "(SNMPv3USM) Decryption error!",
    "(SNMPv3USM) Authentication error!",
    "(SNMPv3USM) Authentication failure!",
    "(SNMPv3USM) Parse error!",
    "(SNMPv3USM) Unknown EngineID!",
    "(SNMPv3USM) Message not in TimeWindow!",
    "(SNMPv3USM) Unsupported AuthProtocol!",
    "(SNMPv3USM) Unsupported PrivProtocol!",
    "(SNMPv3USM) Address error!",
};

const Lines kSnmpClassErr = {
    "(SNMPClass) Operation failed!",
    "(SNMPClass) Resource unavailable!",
    "(SNMPClass) Internal error!",
    "(SNMPClass) Unsupported function!",
    "(SNMPClass) SNMP request timed out!",
    "(SNMPClass) Received SNMP Response!",
    "(SNMPClass) Received SNMP Notification (trap or inform)!",
    "(SNMPClass) Closing session with outstanding requests!",
    "(SNMPClass)Unknown error code!",
    "(SNMPClass) Class not valid!",
    "(SNMPClass) Invalid Pdu!",
    "(SNMPClass) Invalid Target!",
    "(SNMPClass) Invalid (null) Callback Function!",
    "(SNMPClass) Invalid Request Id!",
    "(SNMPClass) Invalid Notification Id!",
    "(SNMPClass) SNMP Operation not supported on specified Target!",
    "(SNMPClass) Invalid Object Identifier!",
    "(SNMPClass) Invalid Address!",
    "(SNMPClass) Agent indicates error in SNMP request!",
    "(SNMP Class) Transport is not supported!",
    "(SNMPClass) Transport is in use!",
    "(SNMPClass) Transport operation failed!",
    "(SNMPClass) Blocked Mode Shutdown!",
};

const Lines kQvSnmpErr = {
    "(QvSNMP++) Ok!",
    "(QvSNMP++) Fail to read SNMP variables from file([FILENAME])!",
    "(QvSNMP++) Bad format at line([LINENO])in SNMP variables file([FILENAME])!",
    "(QvSNMP++) Bad item type at line([LINENO])in SNMP variables file([FILENAME])!",
    "(QvSNMP++) Bad syntax at line([LINENO])in SNMP variables file([FILENAME])!",
    "(QvSNMP++) Bad access type at line([LINENO])in SNMP variables file([FILENAME])!",
    "(QvSNMP++) Cannot create the global QvSNMP++ session!",
    "(QvSNMP++) Error when loading SNMP engine boots counter!",
    "(QvSNMP++) Error when saving SNMP engine boots counter!",
    "(QvSNMP++) Invalid IP Address or DNS name!",
    "(QvSNMP++) Can't send get-next command for a SNMP variable list with single value!",
    "(QvSNMP++) Bad SNMP syntax!",
    "(QvSNMP++) Null value in the expression!",
    "(QvSNMP++) Bad SNMP syntax in the expression!",
    "(QvSNMP++) Bad key count of SNMP variable list!",
    "(QvSNMP++) Bad item type of SNMP variable list!",
    "(QvSNMP++) Bad item type of associated SNMP variable list!",
    "(QvSNMP++) Bad syntax of the associated SNMP variable's (partial) data!",
    "(QvSNMP++) Bad value of the associated SNMP variable's (partial) data!",
    "(QvSNMP++) Out of range for the bit(byte) index of the associated SNMP variable's (partial) data!",
    "(QvSNMP++) No reference option list for a SNMP variable's (partial) data associating with a optional visual control!",
    "(QvSNMP++) Bad type of the associated visual control!",
    "(QvSNMP++) Count of the associated visual controls is not enough!",
    "(QvSNMP++) No system start time for the time whose data source is the SNMP variable's (partial) data with syntax timeticks!",
    "(QvSNMP++) Count of the value items for the chart's history data is not enough!",
    "(QvSNMP++) Log database is not connected!",
    "(QvSNMP++) Log database field not found!",
    "(QvSNMP++) Bad syntax for the history chart of log!",
    "(QvSNMP++) Unknown error code!",
};

const Lines kSnmpMsg = {
    "Get: [ERROR] Request:[VARLIST]. Receive at [TIME].",
    "Set: [ERROR] Request:[VARLIST]. Receive at [TIME].",
};

const Lines kCommonErr = {
    "(QvCommon) Ok!",
    "(QvCommon) Bad logic operand!",
    "(QvCommon) Bad format specifier of edit's constraint!",
    "(QvCommon) Empty value is not allowed!",
    "(QvCommon) Please enter a string whose length is less than [MAXLEN]!",
    "(QvCommon) Please enter a string whose length is [LEN]!",
    "(QvCommon) Please enter a hex string whose length is less than [MAXLEN]!",
    "(QvCommon) Please enter a hex string whose length is [LEN]!",
    "(QvCommon) Please enter a number between [MIN] and [MAX]!",
    "(QvCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\nHere,the count of the number is less than [MAXCOUNT]!",
    "(QvCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\nHere,the count of the number is equal to [COUNT]!",
    "(QvCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\nHere,each number is between [MIN] and [MAX]!",
    "(QvCommon) Out of range at index of array or list!",
    "(QvCommon) Destination buffer is undersize!",
    "(QvCommon) The source to dncrypt is not encrypted!",
    "(QvCommon) Fail to read data from file([FILENAME])!",
    "(QvCommon) Fail to write data to file([FILENAME])!",
    "(QvCommon) Fail to write value in ini file([FILENAME])!",
    "(QvCommon) Fail to read option data from file([FILENAME])!",
};

struct TableInfo {
    const char* fileName;
    const Lines* builtIn;
};

constexpr size_t kTableCount = 7;

const std::array<TableInfo, kTableCount> kTables = {{
    {"snmp.err", &kSnmpErr},
    {"snmpv3.err", &kSnmpV3Err},
    {"snmpusm.err", &kSnmpUsmErr},
    {"snmpclass.err", &kSnmpClassErr},
    {"qvsnmp.err", &kQvSnmpErr},
    {"snmp.msg", &kSnmpMsg},
    {"common.err", &kCommonErr},
}};

// The loaded replacement of each table; empty while the built-in texts are in force.
std::array<Lines, kTableCount>& loadedTables()
{
    static std::array<Lines, kTableCount> tables;
    return tables;
}

size_t indexOf(MessageTable table) { return static_cast<size_t>(table); }

bool isBlank(const std::string& text)
{
    return text.find_first_not_of(" \t\r\n\f\v") == std::string::npos;
}

// The file's lines as the original reader saw them: pieces of at most 1023 characters
// (a longer line counts as several), trailing line-end characters removed.
bool readPieces(const std::string& path, Lines& pieces)
{
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return false;
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, file)) {
        std::string piece(buffer);
        while (!piece.empty() && (piece.back() == '\n' || piece.back() == '\r'))
            piece.pop_back();
        pieces.push_back(piece);
    }
    std::fclose(file);
    return true;
}

} // namespace

const char* MessageFileName(MessageTable table) { return kTables[indexOf(table)].fileName; }

std::optional<MessageTable> MessageTableForFile(const std::string& fileName)
{
    for (size_t i = 0; i < kTableCount; ++i)
        if (fileName == kTables[i].fileName)
            return static_cast<MessageTable>(i);
    return std::nullopt;
}

std::string Message(MessageTable table, int line)
{
    if (line < 1)
        return {};
    const size_t index = static_cast<size_t>(line - 1);
    const Lines& loaded = loadedTables()[indexOf(table)];
    if (index < loaded.size())
        return loaded[index];
    const Lines& builtIn = *kTables[indexOf(table)].builtIn;
    return index < builtIn.size() ? builtIn[index] : std::string();
}

bool LoadMessageFile(MessageTable table, const std::string& path)
{
    Lines pieces;
    if (!readPieces(path, pieces))
        return false;
    Lines lines;
    for (const std::string& piece : pieces)
        if (!isBlank(piece))
            lines.push_back(piece);
    if (lines.empty())
        return false;
    loadedTables()[indexOf(table)] = std::move(lines);
    return true;
}

void ResetMessageTables()
{
    for (Lines& lines : loadedTables())
        lines.clear();
}

MappedStatus MapStatus(int s)
{
    if (s == 0 || s == 1400 || s == -1401)
        return {0, Message(MessageTable::QvSnmp, 1)};
    if (s >= 1 && s <= 19)
        return {-100 - s, Message(MessageTable::Snmp, s)};
    if (s >= 1401 && s <= 1414)
        return {1100 - s, Message(MessageTable::SnmpUsm, s - 1400)};
    if (s >= -1418 && s <= -1402)
        return {s + 1201, Message(MessageTable::SnmpV3, -1401 - s)};
    if (s >= -23 && s <= -1)
        return {s - 400, Message(MessageTable::SnmpClass, -s)};
    return {-528, Message(MessageTable::QvSnmp, 29)};
}

std::string QvSnmpMessage(int code)
{
    if (code == 0)
        return Message(MessageTable::QvSnmp, 1);
    if (code <= -501 && code >= -528)
        return Message(MessageTable::QvSnmp, -500 - code + 1);
    return Message(MessageTable::QvSnmp, 29);
}

void RaiseQvSnmp(int code) { throw QvException(QvSnmpMessage(code), code); }

std::string FillMarker(std::string text, const std::string& marker, const std::string& value)
{
    if (marker.empty())
        return text;
    // Continue after the inserted value, so a value that holds the marker cannot loop.
    for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + value.size())) {
        text.replace(at, marker.size(), value);
    }
    return text;
}
