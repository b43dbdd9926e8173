#include "pages/home/HomePages.h"

#include "pages/home/InformationPage.h"
#include "pages/home/TFM_LanCfg.h"
#include "pages/home/TFM_Wirless.h"
#include "shell/PageRegistry.h"

void RegisterHomePages()
{
    PageRegistry::add(MenuItem::Information, NewInformationPage);
    PageRegistry::add(MenuItem::Wireless, [](QWidget* owner) -> QDialog* { return new TFM_Wirless(owner); });
    // The WDS modes lay the sheet out anew: the partner addresses, fewer authentications.
    PageRegistry::addView(MenuItem::Wireless, {"wds-with-ap", [](QDialog* page) {
                              static_cast<TFM_Wirless*>(page)->ChooseApMode("WDS with AP");
                          }});
    PageRegistry::add(MenuItem::LAN, NewLanPage);
}
