#pragma once

#include "Oid.h"

#include <climits>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The syntaxes the device uses; each maps to one ASN.1 type on the wire.
enum class Syntax { Integer, Text, IpAddress, MacAddress, ObjectId, TimeTicks, Counter32, Gauge32 };

u_char AsnType(Syntax syntax);
const char* SyntaxName(Syntax syntax);
std::optional<Syntax> SyntaxFromName(const std::string& name);

// What every device of the model shares about one object instance: its name, its syntax and
// the rules a set must pass.
struct VariableInfo {
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
    std::optional<Oid> aliasOf;  // another instance that holds the value
};

// A value as one device holds it.
struct Value {
    long long number = 0;   // Integer, TimeTicks, Counter32, Gauge32
    std::string bytes;      // Text; MacAddress: 6 raw bytes; IpAddress: 4 raw bytes
    Oid objectId;           // ObjectId
};

// One object instance of one device: its own value and the shared description.
struct Variable : Value {
    const VariableInfo* info = nullptr;
};

// An object as the model describes it, with its factory value: what the model's tables are
// written in before the shape takes them.
struct VariableDef : VariableInfo, Value {};

// Value <-> text in the form the state file and the logs use: integers in decimal, IP
// addresses dotted, MAC addresses as twelve upper-case hex digits, OIDs dotted.
std::string ValueText(Syntax syntax, const Value& value);
bool SetValueFromText(Syntax syntax, Value& value, const std::string& text);
inline std::string ValueText(const Variable& variable) { return ValueText(variable.info->syntax, variable); }
inline bool SetValueFromText(Variable& variable, const std::string& text)
{
    return SetValueFromText(variable.info->syntax, variable, text);
}

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
    std::vector<std::pair<oid, Variable>> columns;  // each column's description and default
};

// The model's shape, shared by every device: its fixed instances in OID order with their
// descriptions and factory values, and its tables. A device holds only its own values.
class MibShape {
public:
    void add(const Oid& instance, VariableDef definition);
    struct TableLayout {
        std::string name;
        Oid entry;
        size_t indexArity = 1;
        std::vector<std::pair<oid, VariableDef>> columns;
    };
    void addTable(const TableLayout& layout);

    // The fixed instances in OID order and their factory values (same positions).
    const std::vector<Oid>& instances() const { return m_instances; }
    const std::vector<Variable>& defaults() const { return m_defaults; }
    // The position of a fixed instance, or -1.
    long position(const Oid& instance) const;
    const TableDef* table(const std::string& name) const;
    const std::vector<TableDef>& tables() const { return m_tables; }

private:
    std::deque<VariableInfo> m_infos;  // stable addresses: the variables point at them
    std::vector<Oid> m_instances;
    std::vector<Variable> m_defaults;
    std::vector<TableDef> m_tables;
};

// One device's objects: a value for every fixed instance of the shared shape, and the table
// rows it has made since (their cells point at the column's shared description).
class MibStore {
public:
    explicit MibStore(const MibShape& shape);

    // Adds (or overwrites) an instance that is not part of the shape: a table row's cell, an
    // optional object. `info` must outlive the store.
    Variable& add(const Oid& instance, const VariableInfo& info, const Value& value);
    Variable* find(const Oid& instance);
    const Variable* find(const Oid& instance) const;
    // The first instance after `after` that lies below `within` and is not hidden, or null.
    const Oid* next(const Oid& after, const Oid& within) const;
    // The first instance below `within` that is not hidden, or null.
    const Oid* first(const Oid& within) const;
    // Resolves aliases: the variable that really holds the value of `instance`.
    Variable* storage(const Oid& instance);

    const MibShape& shape() const { return *m_shape; }
    const TableDef* table(const std::string& name) const { return m_shape->table(name); }
    const TableDef* tableOf(const Oid& instance, oid* column = nullptr) const;
    // Writes one row; values are given as texts in column order.
    void setRow(const std::string& tableName, const Oid& index, const std::vector<std::string>& values);
    // Removes every row whose index starts with indexPrefix (all rows when empty). Rows of
    // the shape itself (the fixed-size tables) stay.
    void clearRows(const std::string& tableName, const Oid& indexPrefix = {});
    // Index parts of the rows whose index starts with indexPrefix, in order.
    std::vector<Oid> rowIndexes(const std::string& tableName, const Oid& indexPrefix = {}) const;
    // Every setting back to its factory value; setting rows made since are removed.
    void restoreSettings();

    // A subtree the device does not serve (older firmware lacks it). Its instances stay for
    // what the device does with them (a restart still copies the settings into the running
    // status), but no manager sees them: not answered, passed by in a walk, left out of the
    // state and configuration files, unknown to a state that is loaded.
    void hide(const Oid& subtree);
    bool hidden(const Oid& instance) const;

    // Visits every instance in OID order (hidden ones too).
    template <typename Visit>
    void forEach(Visit visit) const
    {
        const std::vector<Oid>& fixed = m_shape->instances();
        size_t i = 0;
        auto row = m_rows.begin();
        while (i < fixed.size() || row != m_rows.end()) {
            if (row == m_rows.end() || (i < fixed.size() && fixed[i] < row->first)) {
                visit(fixed[i], m_values[i]);
                ++i;
            } else {
                visit(row->first, row->second);
                ++row;
            }
        }
    }
    size_t size() const { return m_values.size() + m_rows.size(); }

private:
    const MibShape* m_shape;
    std::vector<Variable> m_values;    // by the shape's positions
    std::map<Oid, Variable> m_rows;    // instances beyond the shape
    std::vector<Oid> m_hidden;
};
