#include "OptionalFeatures.h"

#include "DeviceModel.h"

#include <map>

namespace {

// Each feature is one column of the radio performance table (private 2.3.1.x.radio).
const std::map<std::string, const char*>& Columns()
{
    static const std::map<std::string, const char*> columns = {
        {"xr", "2.3.1.99"},  {"autoscan", "2.3.1.14"}, {"shortpreamble", "2.3.1.17"},
        {"wmm", "2.3.1.18"}, {"antenna", "2.3.1.19"},
    };
    return columns;
}

} // namespace

const std::vector<std::string>& OptionalFeatureNames()
{
    static const std::vector<std::string> names = {"xr", "autoscan", "shortpreamble", "wmm", "antenna"};
    return names;
}

bool IsOptionalFeature(const std::string& name) { return Columns().count(name) != 0; }

std::vector<Oid> OptionalFeatureInstances(const std::string& name)
{
    std::vector<Oid> instances;
    const auto column = Columns().find(name);
    if (column == Columns().end())
        return instances;
    for (oid radio : {1, 2}) {
        Oid instance = DeviceOid::Private(column->second);
        instance.push_back(radio);
        instances.push_back(instance);
    }
    return instances;
}
