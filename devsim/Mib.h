#pragma once

#include "Oid.h"

#include <climits>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The syntaxes the device uses; each maps to one ASN.1 type on the wire.
enum class Syntax { Integer, Text, IpAddress, MacAddress, ObjectId, TimeTicks, Counter32, Gauge32 };

u_char AsnType(Syntax syntax);
const char* SyntaxName(Syntax syntax);
std::optional<Syntax> SyntaxFromName(const std::string& name);

// One object instance of the device: its value and the rules a set must pass.
struct Variable {
    std::string name;
    Syntax syntax = Syntax::Integer;
    bool writable = false;
    // Secrets read back as one "*" per character; a set made only of "*" keeps the value.
    bool masked = false;
    // Part of the configuration (saved in the configuration file, restored by factory reset).
    bool config = false;
    long long minimum = LLONG_MIN;
    long long maximum = LLONG_MAX;
    std::vector<long long> allowed;     // enumerated values; empty = any value in range
    size_t maxLength = 255;
    std::vector<size_t> allowedLengths;  // empty = any length up to maxLength
    bool hexDigitsOnly = false;
    bool allowZeroAddress = true;        // IpAddress: whether 0.0.0.0 is accepted

    long long number = 0;   // Integer, TimeTicks, Counter32, Gauge32
    std::string bytes;      // Text; MacAddress: 6 raw bytes; IpAddress: 4 raw bytes
    Oid objectId;           // ObjectId
    std::optional<Oid> aliasOf;  // another instance that holds the value
};

// Value <-> text in the form the state file and the logs use: integers in decimal, IP
// addresses dotted, MAC addresses as twelve upper-case hex digits, OIDs dotted.
std::string ValueText(const Variable& variable);
bool SetValueFromText(Variable& variable, const std::string& text);

// Checks an incoming set value against the variable's syntax and rules; on success fills
// `updated` with the new value. Returns an SNMP error status (SNMP_ERR_NOERROR when good).
int CheckSetValue(const Variable& current, u_char type, const u_char* value, size_t length,
                  Variable& updated);

// A table: its entry OID, its columns and how many arcs its index has. Rows live in the
// store as ordinary instances; the definition lets the state file create rows.
struct TableDef {
    std::string name;
    Oid entry;
    size_t indexArity = 1;
    std::vector<std::pair<oid, Variable>> columns;
};

class MibStore {
public:
    Variable& add(const Oid& instance, Variable variable);
    Variable* find(const Oid& instance);
    // The first instance after `after` that lies below `within` and is not hidden, or null.
    const std::pair<const Oid, Variable>* next(const Oid& after, const Oid& within) const;
    // The first instance below `within` that is not hidden, or null.
    const std::pair<const Oid, Variable>* first(const Oid& within) const;
    // Resolves aliases: the variable that really holds the value of `instance`.
    Variable* storage(const Oid& instance);

    void addTable(TableDef table);
    const TableDef* table(const std::string& name) const;
    const TableDef* tableOf(const Oid& instance, oid* column = nullptr) const;
    // Writes one row; values are given as texts in column order.
    void setRow(const std::string& tableName, const Oid& index, const std::vector<std::string>& values);
    // Removes every row whose index starts with indexPrefix (all rows when empty).
    void clearRows(const std::string& tableName, const Oid& indexPrefix = {});
    // Index parts of the rows whose index starts with indexPrefix, in order.
    std::vector<Oid> rowIndexes(const std::string& tableName, const Oid& indexPrefix = {}) const;

    // A subtree the device does not serve (older firmware lacks it). Its instances stay for
    // what the device does with them (a restart still copies the settings into the running
    // status), but no manager sees them: not answered, passed by in a walk, left out of the
    // state and configuration files, unknown to a state that is loaded.
    void hide(const Oid& subtree);
    bool hidden(const Oid& instance) const;

    std::map<Oid, Variable>& all() { return m_variables; }
    const std::map<Oid, Variable>& all() const { return m_variables; }

private:
    std::map<Oid, Variable> m_variables;
    std::vector<TableDef> m_tables;
    std::vector<Oid> m_hidden;
};
