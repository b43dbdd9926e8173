#include "pages/advanced/AdvancedPages.h"

#include "pages/advanced/TFM_DHCP.h"
#include "pages/advanced/TFM_Filter.h"
#include "pages/advanced/TFM_MultiSSIDForm.h"
#include "pages/advanced/TLogForm.h"
#include "pages/advanced/TFM_Group.h"
#include "pages/advanced/TFM_Performace.h"
#include "pages/advanced/TFM_RogueForm.h"
#include "shell/PageRegistry.h"

void RegisterAdvancedPages()
{
    PageRegistry::add(MenuItem::Filters, [](QWidget* owner) { return new TFM_Filter(owner); });
    PageRegistry::add(MenuItem::MultiSSID, [](QWidget* owner) { return new TFM_MultiSSIDForm(owner); });
    PageRegistry::add(MenuItem::DHCPServer, NewDhcpPage);
    PageRegistry::add(MenuItem::SystemLog, [](QWidget* owner) { return new TLogForm(owner); });
    PageRegistry::add(MenuItem::Performance, [](QWidget* owner) { return new TFM_Performace(owner); });
    PageRegistry::add(MenuItem::Grouping, [](QWidget* owner) { return new TFM_Group(owner); });
    // Its menu item shows only for the model that has the feature; the page is there for it.
    PageRegistry::add(MenuItem::RogueAP, [](QWidget* owner) { return new TFM_RogueForm(owner); });
}
