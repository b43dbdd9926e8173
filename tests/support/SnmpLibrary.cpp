#include "SnmpLibrary.h"

#include "QvSNMPStartup.h"

#include <QTemporaryDir>

void StartSnmpLibraryOnce()
{
    static QTemporaryDir folder;
    static bool started = false;
    if (!started)
        QvSNMPStartup(folder.path().toStdString());
    started = true;
}
