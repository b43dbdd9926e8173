#include "pages/tools/ToolsPages.h"

#include "pages/tools/TFM_Admin.h"
#include "pages/tools/TFM_CfgFile.h"
#include "pages/tools/TFM_Firmware.h"
#include "pages/tools/TFM_Misc.h"
#include "pages/tools/TFM_Sytem.h"
#include "shell/PageRegistry.h"

void RegisterToolsPages()
{
    PageRegistry::add(MenuItem::Admin, [](QWidget* owner) { return new TFM_Admin(owner); });
    PageRegistry::add(MenuItem::System, [](QWidget* owner) { return new TFM_Sytem(owner); });
    PageRegistry::add(MenuItem::Firmware, [](QWidget* owner) { return new TFM_Firmware(owner); });
    PageRegistry::add(MenuItem::ConfigurationFile, [](QWidget* owner) { return new TFM_CfgFile(owner); });
    PageRegistry::add(MenuItem::Miscellaneous, [](QWidget* owner) { return new TFM_Misc(owner); });
}
