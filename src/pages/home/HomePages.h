#pragma once

// Registers the pages of the "Home" menu with the main window's menu.
void RegisterHomePages();
