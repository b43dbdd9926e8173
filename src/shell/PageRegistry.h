#pragma once

#include "shell/MenuItems.h"

#include <QString>

#include <functional>
#include <vector>

class QDialog;
class QWidget;

// The pages the main window's menu can open, by their menu item. The pages live in
// libraries above the shell: each menu folder has one registration function that main()
// calls. An item whose page is not registered says so instead of opening anything.
namespace PageRegistry {

using Factory = std::function<QDialog*(QWidget* owner)>;

void add(MenuItem item, Factory factory);
// Nothing when the item has no page.
Factory find(MenuItem item);
// The registered item whose caption this is; nothing when there is none.
Factory find(const QString& caption);
std::vector<MenuItem> registered();
void clear();

} // namespace PageRegistry
