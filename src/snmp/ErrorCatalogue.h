#pragma once

#include <optional>
#include <string>

// The seven message tables. Each can be replaced at start-up by a text file of the same
// name (one message per non-blank line), so a host installation can reword them.
enum class MessageTable {
    Snmp,       // "snmp.err": PDU error statuses
    SnmpV3,     // "snmpv3.err": SNMPv3 message processing
    SnmpUsm,    // "snmpusm.err": SNMPv3 user-based security
    SnmpClass,  // "snmpclass.err": session and transport statuses
    QvSnmp,     // "qvsnmp.err": the library's own errors
    SnmpMsg,    // "snmp.msg": status-line templates of the bindings
    Common,     // "common.err": edit constraints and expressions
};

const char* MessageFileName(MessageTable table);
std::optional<MessageTable> MessageTableForFile(const std::string& fileName);

// Line `line` (from 1) of a table. A replacement file with fewer lines falls back to the
// built-in text of that line; a line beyond both is empty.
std::string Message(MessageTable table, int line);

// Replaces the table by the non-blank lines of the file. A file that cannot be read or
// has no non-blank line leaves the table as it was; returns whether it was replaced.
bool LoadMessageFile(MessageTable table, const std::string& path);

// Back to the built-in texts (tests).
void ResetMessageTables();

// A status of the SNMP layer (PDU error status 1..19, USM 1400..1414, message processing
// -1401..-1418, session and transport -1..-23) as the module's code and its message.
struct MappedStatus {
    int code;
    std::string text;
};
MappedStatus MapStatus(int status);

// The library's own errors: code 0 or -501..-528 to its "qvsnmp.err" text.
std::string QvSnmpMessage(int code);

// Throws QvException with the library's message for code (-501..-528).
[[noreturn]] void RaiseQvSnmp(int code);

// Replaces every occurrence of a marker such as "[FILENAME]" in a catalogue text.
std::string FillMarker(std::string text, const std::string& marker, const std::string& value);
