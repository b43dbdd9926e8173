#include "pages/home/HomePages.h"

#include "pages/home/InformationPage.h"
#include "pages/home/TFM_LanCfg.h"
#include "pages/home/TFM_Wirless.h"
#include "shell/PageRegistry.h"

void RegisterHomePages()
{
    PageRegistry::add(MenuItem::Information, NewInformationPage);
    PageRegistry::add(MenuItem::Wireless, [](QWidget* owner) -> QDialog* { return new TFM_Wirless(owner); });
    PageRegistry::add(MenuItem::LAN, NewLanPage);
}
