#include "StateFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
bool IsNumeric(Syntax syntax)
{
    return syntax == Syntax::Integer || syntax == Syntax::TimeTicks || syntax == Syntax::Counter32 ||
           syntax == Syntax::Gauge32;
}
}  // namespace

std::string StateJson(const MibStore& store, bool configurationOnly, long long upTimeTicks)
{
    QJsonObject variables;
    for (const auto& [instance, variable] : store.all()) {
        if (configurationOnly && (!variable.config || variable.aliasOf))
            continue;
        QJsonObject entry;
        entry["name"] = QString::fromStdString(variable.name);
        entry["type"] = SyntaxName(variable.syntax);
        if (IsNumeric(variable.syntax))
            entry["value"] = static_cast<double>(variable.number);
        else
            entry["value"] = QString::fromStdString(ValueText(variable));
        variables[QString::fromStdString(OidText(instance))] = entry;
    }
    QJsonObject root;
    root["model"] = "VTA-3100QX";
    root["kind"] = configurationOnly ? "configuration" : "state";
    if (!configurationOnly)
        root["upTimeTicks"] = static_cast<double>(upTimeTicks);
    root["variables"] = variables;
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
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
        Variable* variable = updated.find(*instance);
        Variable created;
        if (!variable) {
            oid column = 0;
            const TableDef* table = updated.tableOf(*instance, &column);
            if (!table) {
                error = "the device has no object " + key;
                return false;
            }
            for (const auto& [c, prototype] : table->columns)
                if (c == column)
                    created = prototype;
            variable = &updated.add(*instance, created);
        }
        if (variable->aliasOf)
            continue;  // the aliased object carries the value
        if (configurationOnly && !variable->config) {
            error = "object " + key + " (" + variable->name + ") is not a setting";
            return false;
        }
        const QJsonObject entry = it.value().toObject();
        const std::string type = entry.value("type").toString().toStdString();
        if (!type.empty() && type != SyntaxName(variable->syntax)) {
            error = "object " + key + " has type " + SyntaxName(variable->syntax) + ", not " + type;
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
            error = "object " + key + " (" + variable->name + "): '" + text + "' is not a valid " +
                    SyntaxName(variable->syntax);
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
