#include "binding/EveryTab.h"

#include <QTabWidget>

void OnEveryOtherTab(QWidget* window, const std::function<void()>& check)
{
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        if (tabs->window() != window || !tabs->isVisibleTo(window))
            continue;
        const int current = tabs->currentIndex();
        for (int tab = 0; tab < tabs->count(); ++tab) {
            if (tab == current || !tabs->isTabVisible(tab))
                continue;
            tabs->setCurrentIndex(tab);
            check();
        }
        tabs->setCurrentIndex(current);
    }
}
