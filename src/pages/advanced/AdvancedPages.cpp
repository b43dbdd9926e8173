#include "pages/advanced/AdvancedPages.h"

#include "shell/PageRegistry.h"

void RegisterAdvancedPages()
{
}
