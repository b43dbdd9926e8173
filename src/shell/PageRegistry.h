#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

// The pages the main window's menu can open, by the name of their menu item. The pages
// live in libraries above the shell, so the module's main() registers them; an item whose
// page is not registered says so instead of opening anything.
namespace PageRegistry {

using Factory = std::function<QDialog*(QWidget* owner)>;

void add(const QString& item, Factory factory);
// Nothing when the item has no page.
Factory find(const QString& item);
void clear();

} // namespace PageRegistry
