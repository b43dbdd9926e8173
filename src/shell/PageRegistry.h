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

// Another look of an open page worth a picture of its own (the demo pictures each): show
// brings the page into it as a user's choices would, without writing to the device; name
// goes into the picture's file name ("wds-with-ap").
struct View {
    QString name;
    std::function<void(QDialog* page)> show;
};

// A registered page with what the menu calls it.
struct Page {
    MenuItem item;
    QString caption;
    Factory factory;
    std::vector<View> views;
    double pictureTimeScale = 1;  // see setPictureTimeScale
};

void add(MenuItem item, Factory factory);
void addView(MenuItem item, View view);
// The demo pictures this page with the time scale at factor while it is open: a page that
// draws what its polls gathered (a traffic graph) shows a minute of them within the demo's
// usual wait.
void setPictureTimeScale(MenuItem item, double factor);
// Nothing when the item has no page.
Factory find(MenuItem item);
// The registered item whose caption this is; nothing when there is none.
Factory find(const QString& caption);
std::vector<MenuItem> registered();
// Every registered page in menu order, also those the menu hides for this device.
std::vector<Page> inMenuOrder();
void clear();

} // namespace PageRegistry
