#include "support/DevsimObjects.h"

#include <QFile>

std::vector<ListedObject> ObjectsTheModuleUses()
{
    std::vector<ListedObject> objects;
    QFile file(QStringLiteral(VTA_SOURCE_DIR) + "/tests/integration/devsim_variables.txt");
    if (!file.open(QIODevice::ReadOnly))
        return objects;
    for (const QString& raw : QString::fromUtf8(file.readAll()).split('\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype blank = line.indexOf(' ');
        ListedObject object{line.left(blank), line.mid(blank + 1)};
        if (object.oid.endsWith(".*")) {
            object.column = true;
            object.oid.chop(2);
        }
        objects.push_back(object);
    }
    return objects;
}
