#pragma once

// Registers the pages of the "Tools" menu with the main window's menu.
void RegisterToolsPages();
