#pragma once

// Registers the pages of the "Advanced" menu with the main window's menu.
void RegisterAdvancedPages();
