#include "StateFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <charconv>
#include <cstdio>

namespace {
bool IsNumeric(Syntax syntax)
{
    return syntax == Syntax::Integer || syntax == Syntax::TimeTicks || syntax == Syntax::Counter32 ||
           syntax == Syntax::Gauge32;
}

// Written by hand rather than through a JSON object: with ten thousand table rows the state
// is written after every set, and building a document object first costs seconds. Appended
// in place: a site of simulated devices writes a configuration file for every backup.
void AppendJsonString(std::string& out, const std::string& text)
{
    out += '"';
    for (unsigned char ch : text) {
        switch (ch) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (ch < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", ch);
                out += escape;
            } else {
                out += static_cast<char>(ch);
            }
        }
    }
    out += '"';
}
}  // namespace

std::string StateJson(const MibStore& store, bool configurationOnly, long long upTimeTicks)
{
    std::string json = "{\n  \"model\": \"VTA-3100QX\",\n  \"kind\": ";
    json.reserve(store.size() * 112);
    json += configurationOnly ? "\"configuration\"" : "\"state\"";
    if (!configurationOnly)
        json += ",\n  \"upTimeTicks\": " + std::to_string(upTimeTicks);
    json += ",\n  \"variables\": {";
    bool first = true;
    char number[24];
    store.forEach([&](const Oid& instance, const Variable& variable) {
        if ((configurationOnly && !InConfigurationFile(variable)) || store.hidden(instance))
            return;
        json += first ? "\n    \"" : ",\n    \"";
        first = false;
        AppendOidText(json, instance);
        json += "\": {\"name\": ";
        AppendJsonString(json, variable.info->name);
        json += ", \"type\": \"";
        json += SyntaxName(variable.info->syntax);
        json += "\", \"value\": ";
        // An alias shows the value of the object that holds it.
        const Variable* holder = &variable;
        if (variable.info->aliasOf)
            if (const Variable* target = store.find(*variable.info->aliasOf))
                holder = target;
        if (IsNumeric(holder->info->syntax))
            json.append(number, std::to_chars(number, number + sizeof number, holder->number).ptr);
        else
            AppendJsonString(json, holder->info->syntax == Syntax::Text ? holder->bytes : ValueText(*holder));
        json += '}';
    });
    json += "\n  }\n}\n";
    return json;
}

bool LoadState(MibStore& store, const std::string& json, bool configurationOnly, std::string& error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    if (document.isNull() || !document.isObject()) {
        error = "not a JSON object (" + parseError.errorString().toStdString() + ")";
        return false;
    }
    const QJsonObject root = document.object();
    if (root.value("model").toString() != "VTA-3100QX" || !root.value("variables").isObject()) {
        error = "not a VTA-3100QX state: \"model\" or \"variables\" missing";
        return false;
    }
    MibStore updated = store;
    const QJsonObject variables = root.value("variables").toObject();
    for (auto it = variables.begin(); it != variables.end(); ++it) {
        const std::string key = it.key().toStdString();
        const auto instance = ParseOid(key);
        if (!instance) {
            error = "'" + key + "' is not an object identifier";
            return false;
        }
        Variable* variable = updated.hidden(*instance) ? nullptr : updated.find(*instance);
        if (!variable) {
            oid column = 0;
            const TableDef* table = updated.hidden(*instance) ? nullptr : updated.tableOf(*instance, &column);
            if (!table) {
                error = "the device has no object " + key;
                return false;
            }
            for (const auto& [c, prototype] : table->columns)
                if (c == column)
                    variable = &updated.add(*instance, *prototype.info, prototype);
        }
        if (variable->info->aliasOf)
            continue;  // the aliased object carries the value
        if (configurationOnly && !variable->info->config) {
            error = "object " + key + " (" + variable->info->name + ") is not a setting";
            return false;
        }
        const QJsonObject entry = it.value().toObject();
        const std::string type = entry.value("type").toString().toStdString();
        if (!type.empty() && type != SyntaxName(variable->info->syntax)) {
            error = "object " + key + " has type " + SyntaxName(variable->info->syntax) + ", not " + type;
            return false;
        }
        const QJsonValue value = entry.value("value");
        std::string text;
        if (value.isDouble())
            text = std::to_string(static_cast<long long>(value.toDouble()));
        else if (value.isString())
            text = value.toString().toStdString();
        else {
            error = "object " + key + " has no value";
            return false;
        }
        if (!SetValueFromText(*variable, text)) {
            error = "object " + key + " (" + variable->info->name + "): '" + text + "' is not a valid " +
                    SyntaxName(variable->info->syntax);
            return false;
        }
    }
    store = std::move(updated);
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error)
{
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
        !file.commit()) {
        error = "cannot write " + path + ": " + file.errorString().toStdString();
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path + ": " + file.errorString().toStdString();
        return false;
    }
    text = file.readAll().toStdString();
    return true;
}
