#pragma once

// Registers the pages of the "Status" menu with the main window's menu.
void RegisterStatusPages();
