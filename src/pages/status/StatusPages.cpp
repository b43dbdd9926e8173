#include "pages/status/StatusPages.h"

#include "shell/PageRegistry.h"

void RegisterStatusPages()
{
}
