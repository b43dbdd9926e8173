#include "binding/KeyboardAccess.h"

#include "binding/Mnemonics.h"

#include <QAbstractScrollArea>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace {

QRect PlaceIn(const QWidget* widget, const QWidget* window)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

bool Within(int y, const QRect& band) { return y >= band.top() && y <= band.bottom(); }

QList<QWidget*> ChildWidgets(QWidget* parent)
{
    QList<QWidget*> children;
    for (QObject* object : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget && !widget->isWindow())
            children << widget;
    }
    return children;
}

bool TakesFocus(const QWidget* widget) { return (widget->focusPolicy() & Qt::TabFocus) != 0; }

void CollectChain(QWidget* container, const QWidget* window, QList<QWidget*>& chain)
{
    for (QWidget* widget : InReadingOrder(ChildWidgets(container), window)) {
        if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
            chain << tabs->tabBar();
            for (int tab = 0; tab < tabs->count(); ++tab)
                CollectChain(tabs->widget(tab), window, chain);
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            if (TakesFocus(group))
                chain << group;  // its check box comes before what it holds
            CollectChain(group, window, chain);
        } else if (auto* scroll = qobject_cast<QScrollArea*>(widget); scroll && scroll->widget()) {
            CollectChain(scroll->widget(), window, chain);
        } else if (TakesFocus(widget) || qobject_cast<QAbstractScrollArea*>(widget)) {
            chain << widget;  // a control: what is inside it (a combo box's edit) is its own
        } else {
            CollectChain(widget, window, chain);
        }
    }
}

} // namespace

QList<QWidget*> InReadingOrder(QList<QWidget*> widgets, const QWidget* window)
{
    std::stable_sort(widgets.begin(), widgets.end(), [window](const QWidget* a, const QWidget* b) {
        return PlaceIn(a, window).top() < PlaceIn(b, window).top();
    });
    QList<QWidget*> ordered;
    QList<QWidget*> row;
    QRect rowBand;
    const auto endRow = [&] {
        std::stable_sort(row.begin(), row.end(), [window](const QWidget* a, const QWidget* b) {
            return PlaceIn(a, window).left() < PlaceIn(b, window).left();
        });
        ordered += row;
        row.clear();
    };
    for (QWidget* widget : widgets) {
        const QRect place = PlaceIn(widget, window);
        if (!row.isEmpty() && !(Within(place.center().y(), rowBand) && Within(rowBand.center().y(), place)))
            endRow();
        if (row.isEmpty())
            rowBand = place;
        row << widget;
    }
    endRow();
    return ordered;
}

void SetReadingTabOrder(QWidget* window)
{
    QList<QWidget*> chain;
    CollectChain(window, window, chain);
    chain.removeIf([](const QWidget* widget) { return !TakesFocus(widget); });
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void SetDefaultButton(QDialog* dialog)
{
    QList<QPushButton*> candidates;
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->window() != dialog)
            continue;
        if (button->isDefault())
            return;  // the form chose its own
        const QString text = WithoutMnemonic(button->text()).trimmed();
        if (text.compare("OK", Qt::CaseInsensitive) == 0 || text.compare("Apply", Qt::CaseInsensitive) == 0)
            candidates << button;
    }
    if (candidates.size() == 1)
        candidates.first()->setDefault(true);
}
