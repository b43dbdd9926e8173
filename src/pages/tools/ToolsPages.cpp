#include "pages/tools/ToolsPages.h"

#include "pages/tools/TFM_CfgFile.h"
#include "pages/tools/TFM_Firmware.h"
#include "shell/PageRegistry.h"

void RegisterToolsPages()
{
    PageRegistry::add(MenuItem::Firmware, [](QWidget* owner) { return new TFM_Firmware(owner); });
    PageRegistry::add(MenuItem::ConfigurationFile, [](QWidget* owner) { return new TFM_CfgFile(owner); });
}
