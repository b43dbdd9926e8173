#include "support/SnmpLibrary.h"

#include "snmp/QvSNMPStartup.h"

#include <QTemporaryDir>

void StartSnmpLibraryOnce()
{
    static QTemporaryDir folder;
    static bool started = false;
    if (!started)
        QvSNMPStartup(folder.path().toStdString());
    started = true;
}
