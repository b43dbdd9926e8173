#include "Mib.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

u_char AsnType(Syntax syntax)
{
    switch (syntax) {
    case Syntax::Integer: return ASN_INTEGER;
    case Syntax::Text: return ASN_OCTET_STR;
    case Syntax::IpAddress: return ASN_IPADDRESS;
    case Syntax::MacAddress: return ASN_OCTET_STR;
    case Syntax::ObjectId: return ASN_OBJECT_ID;
    case Syntax::TimeTicks: return ASN_TIMETICKS;
    case Syntax::Counter32: return ASN_COUNTER;
    case Syntax::Gauge32: return ASN_GAUGE;
    }
    return ASN_NULL;
}

namespace {
const std::pair<Syntax, const char*> kSyntaxNames[] = {
    {Syntax::Integer, "integer"},     {Syntax::Text, "string"},       {Syntax::IpAddress, "ipaddress"},
    {Syntax::MacAddress, "macaddress"}, {Syntax::ObjectId, "objectid"}, {Syntax::TimeTicks, "timeticks"},
    {Syntax::Counter32, "counter32"}, {Syntax::Gauge32, "gauge32"},
};

bool ParseIp(const std::string& text, std::string& bytes)
{
    unsigned a, b, c, d;
    char tail;
    if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4 || a > 255 || b > 255 ||
        c > 255 || d > 255)
        return false;
    bytes = {static_cast<char>(a), static_cast<char>(b), static_cast<char>(c), static_cast<char>(d)};
    return true;
}

bool ParseMac(const std::string& text, std::string& bytes)
{
    std::string digits;
    for (char ch : text)
        if (ch != ':' && ch != '-')
            digits += ch;
    if (digits.size() != 12)
        return false;
    bytes.clear();
    for (size_t i = 0; i < 12; i += 2) {
        unsigned value;
        if (!std::isxdigit(static_cast<unsigned char>(digits[i])) ||
            !std::isxdigit(static_cast<unsigned char>(digits[i + 1])) ||
            std::sscanf(digits.substr(i, 2).c_str(), "%x", &value) != 1)
            return false;
        bytes += static_cast<char>(value);
    }
    return true;
}
}  // namespace

const char* SyntaxName(Syntax syntax)
{
    for (const auto& [s, name] : kSyntaxNames)
        if (s == syntax)
            return name;
    return "?";
}

std::optional<Syntax> SyntaxFromName(const std::string& name)
{
    for (const auto& [s, text] : kSyntaxNames)
        if (name == text)
            return s;
    return std::nullopt;
}

std::string ValueText(Syntax syntax, const Value& variable)
{
    char buffer[64];
    switch (syntax) {
    case Syntax::Integer:
    case Syntax::TimeTicks:
    case Syntax::Counter32:
    case Syntax::Gauge32:
        return std::to_string(variable.number);
    case Syntax::Text:
        return variable.bytes;
    case Syntax::IpAddress: {
        const auto* b = reinterpret_cast<const unsigned char*>(variable.bytes.data());
        if (variable.bytes.size() != 4)
            return "0.0.0.0";
        std::snprintf(buffer, sizeof buffer, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
        return buffer;
    }
    case Syntax::MacAddress: {
        std::string text;
        for (unsigned char byte : variable.bytes) {
            std::snprintf(buffer, sizeof buffer, "%02X", byte);
            text += buffer;
        }
        return text;
    }
    case Syntax::ObjectId:
        return OidText(variable.objectId);
    }
    return {};
}

bool SetValueFromText(Syntax syntax, Value& variable, const std::string& text)
{
    switch (syntax) {
    case Syntax::Integer:
    case Syntax::TimeTicks:
    case Syntax::Counter32:
    case Syntax::Gauge32: {
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(text.c_str(), &end, 10);
        if (text.empty() || *end || errno)
            return false;
        variable.number = value;
        return true;
    }
    case Syntax::Text:
        variable.bytes = text;
        return true;
    case Syntax::IpAddress:
        return ParseIp(text, variable.bytes);
    case Syntax::MacAddress:
        return ParseMac(text, variable.bytes);
    case Syntax::ObjectId: {
        auto value = ParseOid(text);
        if (!value)
            return false;
        variable.objectId = *value;
        return true;
    }
    }
    return false;
}

int CheckSetValue(const Variable& current, u_char type, const u_char* value, size_t length, Variable& updated)
{
    const VariableInfo& info = *current.info;
    if (!info.writable)
        return SNMP_ERR_NOTWRITABLE;
    if (type != AsnType(info.syntax))
        return SNMP_ERR_WRONGTYPE;
    updated = current;
    switch (info.syntax) {
    case Syntax::Integer: {
        if (length != sizeof(long))
            return SNMP_ERR_WRONGLENGTH;
        long number;
        std::memcpy(&number, value, sizeof number);
        if (number < info.minimum || number > info.maximum)
            return SNMP_ERR_WRONGVALUE;
        if (!info.allowed.empty() &&
            std::find(info.allowed.begin(), info.allowed.end(), number) == info.allowed.end())
            return SNMP_ERR_WRONGVALUE;
        updated.number = number;
        return SNMP_ERR_NOERROR;
    }
    case Syntax::Text: {
        std::string text(reinterpret_cast<const char*>(value), length);
        if (info.masked && !text.empty() && text.find_first_not_of('*') == std::string::npos)
            return SNMP_ERR_NOERROR;  // the masked form sent back: keep the stored secret
        if (length > info.maxLength)
            return SNMP_ERR_WRONGLENGTH;
        if (!info.allowedLengths.empty() &&
            std::find(info.allowedLengths.begin(), info.allowedLengths.end(), length) ==
                info.allowedLengths.end())
            return SNMP_ERR_WRONGLENGTH;
        if (info.hexDigitsOnly && text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return SNMP_ERR_WRONGVALUE;
        updated.bytes = text;
        return SNMP_ERR_NOERROR;
    }
    case Syntax::MacAddress:
        if (length != 6)
            return SNMP_ERR_WRONGLENGTH;
        updated.bytes.assign(reinterpret_cast<const char*>(value), length);
        return SNMP_ERR_NOERROR;
    case Syntax::IpAddress:
        if (length != 4)
            return SNMP_ERR_WRONGLENGTH;
        updated.bytes.assign(reinterpret_cast<const char*>(value), length);
        if (!info.allowZeroAddress && updated.bytes == std::string(4, '\0'))
            return SNMP_ERR_WRONGVALUE;
        return SNMP_ERR_NOERROR;
    case Syntax::ObjectId:
        updated.objectId.assign(reinterpret_cast<const oid*>(value),
                                reinterpret_cast<const oid*>(value) + length / sizeof(oid));
        return SNMP_ERR_NOERROR;
    case Syntax::TimeTicks:
    case Syntax::Counter32:
    case Syntax::Gauge32:
        return SNMP_ERR_NOTWRITABLE;
    }
    return SNMP_ERR_GENERR;
}

void MibShape::add(const Oid& instance, VariableDef definition)
{
    m_infos.push_back(static_cast<const VariableInfo&>(definition));
    Variable variable;
    static_cast<Value&>(variable) = static_cast<const Value&>(definition);
    variable.info = &m_infos.back();
    const auto at = std::lower_bound(m_instances.begin(), m_instances.end(), instance);
    const auto position = at - m_instances.begin();
    if (at != m_instances.end() && *at == instance) {
        m_defaults[position] = variable;
        return;
    }
    m_instances.insert(at, instance);
    m_defaults.insert(m_defaults.begin() + position, variable);
}

void MibShape::addTable(const TableLayout& layout)
{
    TableDef table{layout.name, layout.entry, layout.indexArity, {}};
    for (const auto& [column, definition] : layout.columns) {
        m_infos.push_back(static_cast<const VariableInfo&>(definition));
        Variable prototype;
        static_cast<Value&>(prototype) = static_cast<const Value&>(definition);
        prototype.info = &m_infos.back();
        table.columns.emplace_back(column, prototype);
    }
    m_tables.push_back(std::move(table));
}

long MibShape::position(const Oid& instance) const
{
    const auto at = std::lower_bound(m_instances.begin(), m_instances.end(), instance);
    return at != m_instances.end() && *at == instance ? at - m_instances.begin() : -1;
}

const TableDef* MibShape::table(const std::string& name) const
{
    for (const TableDef& table : m_tables)
        if (table.name == name)
            return &table;
    return nullptr;
}

MibStore::MibStore(const MibShape& shape) : m_shape(&shape), m_values(shape.defaults()) {}

Variable& MibStore::add(const Oid& instance, const VariableInfo& info, const Value& value)
{
    Variable variable;
    static_cast<Value&>(variable) = value;
    variable.info = &info;
    if (Variable* fixed = find(instance))
        return *fixed = variable;
    return m_rows[instance] = std::move(variable);
}

Variable* MibStore::find(const Oid& instance)
{
    return const_cast<Variable*>(static_cast<const MibStore*>(this)->find(instance));
}

const Variable* MibStore::find(const Oid& instance) const
{
    const long position = m_shape->position(instance);
    if (position >= 0)
        return &m_values[static_cast<size_t>(position)];
    auto it = m_rows.find(instance);
    return it == m_rows.end() ? nullptr : &it->second;
}

Variable* MibStore::storage(const Oid& instance)
{
    Variable* variable = find(instance);
    if (variable && variable->info->aliasOf)
        return find(*variable->info->aliasOf);
    return variable;
}

const Oid* MibStore::next(const Oid& after, const Oid& within) const
{
    // The nearer of the next fixed instance and the next row, past hidden ones.
    const std::vector<Oid>& fixed = m_shape->instances();
    auto inShape = std::upper_bound(fixed.begin(), fixed.end(), after);
    auto row = m_rows.upper_bound(after);
    for (;;) {
        const Oid* candidate = nullptr;
        if (inShape != fixed.end() && (row == m_rows.end() || *inShape < row->first))
            candidate = &*inShape++;
        else if (row != m_rows.end())
            candidate = &(row++)->first;
        if (!candidate || !HasPrefix(*candidate, within))
            return nullptr;
        if (!hidden(*candidate))
            return candidate;
    }
}

const Oid* MibStore::first(const Oid& within) const
{
    const Variable* at = find(within);
    if (at && !hidden(within))
        return m_shape->position(within) >= 0 ? &m_shape->instances()[m_shape->position(within)]
                                              : &m_rows.find(within)->first;
    return next(within, within);
}

void MibStore::hide(const Oid& subtree) { m_hidden.push_back(subtree); }

bool MibStore::hidden(const Oid& instance) const
{
    for (const Oid& subtree : m_hidden)
        if (HasPrefix(instance, subtree))
            return true;
    return false;
}

const TableDef* MibStore::tableOf(const Oid& instance, oid* column) const
{
    for (const TableDef& table : m_shape->tables()) {
        if (!HasPrefix(instance, table.entry) || instance.size() != table.entry.size() + 1 + table.indexArity)
            continue;
        const oid sub = instance[table.entry.size()];
        for (const auto& [c, prototype] : table.columns)
            if (c == sub) {
                if (column)
                    *column = c;
                return &table;
            }
    }
    return nullptr;
}

void MibStore::setRow(const std::string& tableName, const Oid& index, const std::vector<std::string>& values)
{
    const TableDef* def = table(tableName);
    if (!def)
        return;
    for (size_t i = 0; i < def->columns.size() && i < values.size(); ++i) {
        Oid instance = def->entry;
        instance.push_back(def->columns[i].first);
        instance.insert(instance.end(), index.begin(), index.end());
        Variable cell = def->columns[i].second;
        SetValueFromText(cell, values[i]);
        if (Variable* fixed = find(instance))
            *fixed = std::move(cell);
        else
            m_rows[instance] = std::move(cell);
    }
}

void MibStore::clearRows(const std::string& tableName, const Oid& indexPrefix)
{
    const TableDef* def = table(tableName);
    if (!def)
        return;
    for (const auto& column : def->columns) {
        Oid prefix = def->entry;
        prefix.push_back(column.first);
        prefix.insert(prefix.end(), indexPrefix.begin(), indexPrefix.end());
        auto first = m_rows.lower_bound(prefix);
        auto last = first;
        while (last != m_rows.end() && HasPrefix(last->first, prefix))
            ++last;
        m_rows.erase(first, last);
    }
}

std::vector<Oid> MibStore::rowIndexes(const std::string& tableName, const Oid& indexPrefix) const
{
    std::vector<Oid> rows;
    const TableDef* def = table(tableName);
    if (!def || def->columns.empty())
        return rows;
    Oid prefix = def->entry;
    prefix.push_back(def->columns.front().first);
    const size_t skip = prefix.size();
    prefix.insert(prefix.end(), indexPrefix.begin(), indexPrefix.end());
    auto take = [&](const Oid& instance) { rows.emplace_back(instance.begin() + static_cast<long>(skip), instance.end()); };
    const std::vector<Oid>& fixed = m_shape->instances();
    for (auto it = std::lower_bound(fixed.begin(), fixed.end(), prefix); it != fixed.end() && HasPrefix(*it, prefix); ++it)
        take(*it);
    for (auto it = m_rows.lower_bound(prefix); it != m_rows.end() && HasPrefix(it->first, prefix); ++it)
        take(it->first);
    std::sort(rows.begin(), rows.end());
    return rows;
}

void MibStore::restoreSettings()
{
    for (size_t i = 0; i < m_values.size(); ++i)
        if (m_values[i].info->config)
            m_values[i] = m_shape->defaults()[i];
    std::erase_if(m_rows, [](const auto& row) { return row.second.info->config; });
}
