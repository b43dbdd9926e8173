#include "snmp/QvSNMPVarList.h"

namespace {

std::optional<std::string> copyText(const char* text)
{
    if (!text)
        return std::nullopt;
    return std::string(text);
}

} // namespace

QvSNMPVarList::QvSNMPVarList(const VariableDescriptor* table, uint8_t listKind, int32_t keys)
    : keyCount(keys), kind(listKind)
{
    AppendRows(table);
}

QvSNMPVarList::QvSNMPVarList(const QvSNMPVarList& other) { Assign(other); }

void QvSNMPVarList::AppendRows(const VariableDescriptor* table)
{
    if (!table)
        return;
    size_t rows = 0;
    while (table[rows].oid)
        ++rows;
    items.reserve(items.size() + rows);
    for (size_t r = 0; r < rows; ++r) {
        const VariableDescriptor& row = table[r];
        QvSNMPVarItem item;
        item.oid = row.oid;
        item.name = row.name ? row.name : "";
        item.syntax = row.syntax;
        item.access = row.access;
        item.options = row.options;
        item.getExpression = copyText(row.getExpression);
        item.setExpression = copyText(row.setExpression);
        item.extraText = copyText(row.extraText);
        if (row.initialValue)
            item.value = row.initialValue;
        if (row.initialOid)
            item.currentOid = row.initialOid;
        items.push_back(std::move(item));
    }
}

void QvSNMPVarList::Assign(const QvSNMPVarList& other)
{
    if (&other == this)
        return;
    kind = other.kind;
    keyCount = other.keyCount;
    description = other.description;
    items = other.items;  // deep: every text is copied, option lists stay shared
}

bool QvSNMPVarList::IsReadable(int32_t i) const
{
    const int32_t access = Item(i).access;
    return !(access & kAccessInvalid) && (access & kAccessReadOnly);
}

bool QvSNMPVarList::IsSettable(int32_t i) const
{
    const int32_t access = Item(i).access;
    if (access & kAccessInvalid)
        return false;
    // A table's keys are sent to create or address a row even when they are not writable.
    return (access & kAccessWriteOnly) || (IsTable() && i < keyCount);
}

bool QvSNMPVarList::IsListed(int32_t i) const
{
    const int32_t access = Item(i).access;
    return !(access & (kAccessInvalid | kAccessHidden))
        && (access & (kAccessNotAccessible | kAccessDerived | kAccessReadOnly));
}

bool QvSNMPVarList::IsUnlisted(int32_t i) const
{
    const int32_t access = Item(i).access;
    return access == kAccessWriteOnly || (access & (kAccessInvalid | kAccessHidden));
}

bool QvSNMPVarList::IsImplied(int32_t i) const { return Item(i).access & kAccessImplied; }

int32_t QvSNMPVarList::ListedCount() const
{
    int32_t n = 0;
    for (int32_t i = 0; i < Count(); ++i)
        n += IsListed(i);
    return n;
}

int32_t QvSNMPVarList::UnlistedCount() const
{
    int32_t n = 0;
    for (int32_t i = 0; i < Count(); ++i)
        n += IsUnlisted(i);
    return n;
}
