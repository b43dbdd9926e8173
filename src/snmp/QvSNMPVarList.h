#pragma once

#include "snmp/QvOptionList.h"
#include "snmp/VariableDescriptor.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One variable of a list: its description, its current value as text in the form of its
// syntax ("(NULL)" for no value, "(NOTDONE)" when its column ended during a walk) and the
// full OID last received for it (or last sent during a walk; empty before a first get).
struct QvSNMPVarItem {
    std::string oid;
    std::string name;
    int32_t syntax = 0;
    int32_t access = 0;
    const QvOptionList* options = nullptr;  // shared, not owned
    std::optional<std::string> getExpression;
    std::optional<std::string> setExpression;
    std::optional<std::string> extraText;
    std::string value;
    std::string currentOid;
};

// An ordered list of variables built from a page's static descriptor table; the unit every
// request works on.
class QvSNMPVarList {
public:
    QvSNMPVarList() = default;
    QvSNMPVarList(const VariableDescriptor* table, uint8_t kind, int32_t keyCount);
    // A copy as Assign makes it (the instance suffix is not copied).
    QvSNMPVarList(const QvSNMPVarList& other);
    QvSNMPVarList& operator=(const QvSNMPVarList&) = delete;

    // One item per row up to the row with a null oid; a null or empty table changes nothing.
    void AppendRows(const VariableDescriptor* table);
    // Takes kind, key count, description and deep copies of the items of other; keeps this
    // list's own instance suffix.
    void Assign(const QvSNMPVarList& other);

    int32_t Count() const { return static_cast<int32_t>(items.size()); }
    // No bounds check: callers stay within Count.
    QvSNMPVarItem& Item(int32_t i) { return items[static_cast<size_t>(i)]; }
    const QvSNMPVarItem& Item(int32_t i) const { return items[static_cast<size_t>(i)]; }

    bool IsReadable(int32_t i) const;
    bool IsSettable(int32_t i) const;
    bool IsListed(int32_t i) const;
    bool IsUnlisted(int32_t i) const;
    bool IsImplied(int32_t i) const;
    int32_t ListedCount() const;
    int32_t UnlistedCount() const;

    bool IsTable() const { return kind == kListTable || kind == kListTableUnlisted; }

    std::string instanceSuffix;  // appended as "." + suffix to every item OID when not empty
    int32_t keyCount = 0;        // leading items that are the table's index keys
    uint8_t kind = kListScalars;
    std::string description;     // the list's name in status lines
    std::vector<QvSNMPVarItem> items;
    // Option lists this list owns (items may refer to them). Not copied by Assign.
    std::vector<std::unique_ptr<QvOptionList>> ownedOptionLists;
};
