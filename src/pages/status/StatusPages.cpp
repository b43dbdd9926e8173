#include "pages/status/StatusPages.h"

#include "pages/status/TClientInformation.h"
#include "pages/status/TFM_DevInfo.h"
#include "pages/status/TFM_Static.h"
#include "pages/status/TFM_TrafficGraph.h"
#include "pages/status/TIndicationForm.h"
#include "shell/PageRegistry.h"

void RegisterStatusPages()
{
    PageRegistry::add(MenuItem::DeviceInfo, [](QWidget* owner) { return new TFM_DevInfo(owner); });
    PageRegistry::add(MenuItem::Stats, [](QWidget* owner) { return new TFM_Static(owner); });
    PageRegistry::add(MenuItem::TrafficGraph, [](QWidget* owner) { return new TFM_TrafficGraph(owner); });
    // A minute of 5-second polls in the demo's 2.5-second look at each page.
    PageRegistry::setPictureTimeScale(MenuItem::TrafficGraph, 0.04);
    PageRegistry::add(MenuItem::Indication, [](QWidget* owner) { return new TIndicationForm(owner); });
    PageRegistry::add(MenuItem::ClientInfo, [](QWidget* owner) { return new TClientInformation(owner); });
}
