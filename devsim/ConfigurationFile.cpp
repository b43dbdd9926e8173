#include "ConfigurationFile.h"

#include "StateFile.h"

const std::string& ConfigurationFile::text(const MibStore& store)
{
    if (m_built && unchanged(store))
        return m_text;
    m_text = StateJson(store, true, 0);
    m_shown.clear();
    store.forEach([&](const Oid& instance, const Variable& variable) {
        if (InConfigurationFile(variable) && !store.hidden(instance))
            m_shown.push_back({instance, variable.info, variable.number, variable.bytes, variable.objectId});
    });
    m_built = true;
    return m_text;
}

bool ConfigurationFile::unchanged(const MibStore& store) const
{
    auto shown = m_shown.begin();
    bool same = true;
    store.forEach([&](const Oid& instance, const Variable& variable) {
        if (!same || !InConfigurationFile(variable) || store.hidden(instance))
            return;
        same = shown != m_shown.end() && shown->number == variable.number && shown->info == variable.info &&
               shown->bytes == variable.bytes && shown->objectId == variable.objectId && shown->instance == instance;
        ++shown;
    });
    return same && shown == m_shown.end();
}
