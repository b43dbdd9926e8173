#include "pages/advanced/AdvancedPages.h"

#include "pages/advanced/TLogForm.h"
#include "shell/PageRegistry.h"

void RegisterAdvancedPages()
{
    PageRegistry::add(MenuItem::SystemLog, [](QWidget* owner) { return new TLogForm(owner); });
}
