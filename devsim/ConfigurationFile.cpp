#include "ConfigurationFile.h"

#include "StateFile.h"

const std::string& ConfigurationFile::text(const MibStore& store)
{
    if (m_built && unchanged(store))
        return m_text;
    m_text = StateJson(store, true, 0);
    m_shown.clear();
    for (const auto& [instance, variable] : store.all())
        if (InConfigurationFile(variable) && !store.hidden(instance))
            m_shown.push_back({instance, variable.name, variable.syntax, variable.number, variable.bytes,
                               variable.objectId});
    m_built = true;
    return m_text;
}

bool ConfigurationFile::unchanged(const MibStore& store) const
{
    auto shown = m_shown.begin();
    for (const auto& [instance, variable] : store.all()) {
        if (!InConfigurationFile(variable) || store.hidden(instance))
            continue;
        if (shown == m_shown.end() || shown->number != variable.number || shown->syntax != variable.syntax ||
            shown->bytes != variable.bytes || shown->objectId != variable.objectId || shown->instance != instance ||
            shown->name != variable.name)
            return false;
        ++shown;
    }
    return shown == m_shown.end();
}
