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
    const int loaded = BootCounter::load(path, kLocalEngineId, boots);
    if (loaded < BootCounter::kCannotOpen)
        RaiseQvSnmp(-507);
    ++boots;
    if (BootCounter::save(path, kLocalEngineId, boots) != 0)
        RaiseQvSnmp(-508);
    SnmpSession::global().setLocalEngine(kLocalEngineId, boots);
    SetDefaultSnmpSettings();
    SnmpEventProcessor::global().Start();
}
