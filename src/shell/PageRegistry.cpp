#include "PageRegistry.h"

#include <QMap>

namespace {

QMap<QString, PageRegistry::Factory>& pages()
{
    static QMap<QString, PageRegistry::Factory> registered;
    return registered;
}

} // namespace

namespace PageRegistry {

void add(const QString& item, Factory factory) { pages().insert(item, std::move(factory)); }

Factory find(const QString& item) { return pages().value(item); }

void clear() { pages().clear(); }

} // namespace PageRegistry
