#include "pages/home/HomePages.h"

#include "pages/home/InformationPage.h"
#include "shell/PageRegistry.h"

void RegisterHomePages()
{
    PageRegistry::add(MenuItem::Information, NewInformationPage);
}
