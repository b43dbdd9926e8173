#include "shell/RecentDevices.h"

#include "platform/ConfigFolder.h"
#include "platform/PrivateFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject toJson(const DeviceConnection& c, bool keepSecrets)
{
    QJsonObject entry{
        {"address", QString::fromStdString(c.address)},
        {"port", c.port},
        {"version", c.version},
        {"securityName", QString::fromStdString(c.securityName)},
        {"securityLevel", c.securityLevel},
        {"authProtocol", c.authProtocol},
        {"privProtocol", c.privProtocol},
        {"secretsKept", keepSecrets},
    };
    if (keepSecrets) {
        entry["readCommunity"] = QString::fromStdString(c.readCommunity);
        entry["writeCommunity"] = QString::fromStdString(c.writeCommunity);
        entry["authPassword"] = QString::fromStdString(c.authPassword);
        entry["privPassword"] = QString::fromStdString(c.privPassword);
    }
    return entry;
}

RecentDevice fromJson(const QJsonObject& entry)
{
    RecentDevice device;
    DeviceConnection& c = device.connection;
    auto text = [&](const char* key, std::string& field) {
        if (entry.contains(key))
            field = entry[key].toString().toStdString();
    };
    auto number = [&](const char* key, int& field) { field = entry[key].toInt(field); };
    text("address", c.address);
    number("port", c.port);
    number("version", c.version);
    text("securityName", c.securityName);
    number("securityLevel", c.securityLevel);
    number("authProtocol", c.authProtocol);
    number("privProtocol", c.privProtocol);
    device.secretsKept = entry["secretsKept"].toBool();
    if (device.secretsKept) {
        text("readCommunity", c.readCommunity);
        text("writeCommunity", c.writeCommunity);
        text("authPassword", c.authPassword);
        text("privPassword", c.privPassword);
    }
    return device;
}

} // namespace

std::string RecentDevices::defaultPath() { return ModuleConfigFolder() + "/recent-devices.json"; }

RecentDevices::RecentDevices(std::string path)
    : m_path(std::move(path))
{
}

std::vector<RecentDevice> RecentDevices::load() const
{
    QFile file(QString::fromStdString(m_path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    std::vector<RecentDevice> devices;
    for (const QJsonValue& value : QJsonDocument::fromJson(file.readAll()).array()) {
        RecentDevice device = fromJson(value.toObject());
        if (!device.connection.address.empty() && devices.size() < kLimit)
            devices.push_back(device);
    }
    return devices;
}

bool RecentDevices::remember(const DeviceConnection& connection, bool keepSecrets, std::string& error) const
{
    QJsonArray entries{toJson(connection, keepSecrets)};
    for (const RecentDevice& device : load())
        if (device.connection.address != connection.address && static_cast<size_t>(entries.size()) < kLimit)
            entries.append(toJson(device.connection, device.secretsKept));
    return WritePrivateFile(m_path, QJsonDocument(entries).toJson().toStdString(), error);
}
