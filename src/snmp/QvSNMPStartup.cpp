#include "snmp/QvSNMPStartup.h"

#include "snmp/BootCounter.h"
#include "snmp/ErrorCatalogue.h"
#include "snmp/SnmpEventProcessor.h"
#include "snmp/SnmpSession.h"
#include "snmp/SnmpSettings.h"

std::string BootCounterPath(const std::string& configFolder)
{
    if (configFolder.empty())
        return kBootCounterFileName;
    const char last = configFolder.back();
    if (last == '/' || last == '\\')
        return configFolder + kBootCounterFileName;
    return configFolder + '/' + kBootCounterFileName;
}

void QvSNMPStartup(const std::string& configFolder)
{
    if (!SnmpSession::global().open())
        RaiseQvSnmp(-506);
    const std::string path = BootCounterPath(configFolder);
    unsigned boots = 0;
    const int advanced = BootCounter::advance(path, kLocalEngineId, boots);
    if (advanced == BootCounter::kCannotSave)
        RaiseQvSnmp(-508);
    if (advanced != 0)
        RaiseQvSnmp(-507);
    SnmpSession::global().setLocalEngine(kLocalEngineId, boots);
    SetDefaultSnmpSettings();
    SnmpEventProcessor::global().Start();
}
