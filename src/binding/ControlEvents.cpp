#include "binding/ControlEvents.h"

#include "platform/ExceptionGuard.h"

#include <QAbstractItemModel>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTreeWidget>

#include <algorithm>

EditEvents& EditEvents::Of(QLineEdit* edit)
{
    if (auto* events = edit->findChild<EditEvents*>(QString(), Qt::FindDirectChildrenOnly))
        return *events;
    return *new EditEvents(edit);
}

EditEvents::EditEvents(QLineEdit* edit) : QObject(edit), m_edit(edit)
{
    connect(edit, &QLineEdit::textChanged, this, [this] {
        // A copy: the handler may replace itself.
        const EditHandler handler = OnChange;
        if (handler)
            RunGuarded([&] { handler(m_edit); }, m_edit->window());
    });
    edit->installEventFilter(this);
}

bool EditEvents::eventFilter(QObject* watched, QEvent* event)
{
    // Qt takes the focus from a widget in its destructor, when it is no longer an edit: that
    // is no exit, and the edit's text is gone with it.
    if (watched == m_edit && event->type() == QEvent::FocusOut && qobject_cast<QLineEdit*>(watched)) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window or a popup taking over is no exit from the edit.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            const EditHandler handler = OnExit;
            if (handler)
                RunGuarded([&] { handler(m_edit); }, m_edit->window());
        }
    }
    return QObject::eventFilter(watched, event);
}

ListViewEvents& ListViewEvents::Of(QTreeWidget* listView)
{
    if (auto* events = listView->findChild<ListViewEvents*>(QString(), Qt::FindDirectChildrenOnly))
        return *events;
    return *new ListViewEvents(listView);
}

ListViewEvents::ListViewEvents(QTreeWidget* listView) : QObject(listView), m_listView(listView)
{
    connect(listView, &QTreeWidget::itemSelectionChanged, this, &ListViewEvents::selectionChanged);
    // Rows that go away leave the remembered selection before their addresses can be reused.
    QAbstractItemModel* model = listView->model();
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_selected.clear(); });
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (parent.isValid())
                    return;
                for (int row = first; row <= last; ++row)
                    std::erase(m_selected, m_listView->topLevelItem(row));
            });
}

void ListViewEvents::selectionChanged()
{
    const QList<QTreeWidgetItem*> now = m_listView->selectedItems();
    std::vector<QTreeWidgetItem*> lost;
    for (QTreeWidgetItem* item : m_selected) {
        if (!now.contains(item) && m_listView->indexOfTopLevelItem(item) >= 0)
            lost.push_back(item);
    }
    std::vector<QTreeWidgetItem*> gained;
    for (QTreeWidgetItem* item : now)
        if (std::find(m_selected.begin(), m_selected.end(), item) == m_selected.end())
            gained.push_back(item);
    m_selected.assign(now.begin(), now.end());

    // Copies: a handler may install another one while it runs.
    const ListViewSelectHandler handlers[] = {OnSelectItem, BindingSelectItem};
    RunGuarded(
        [&] {
            for (QTreeWidgetItem* item : lost)
                for (const ListViewSelectHandler& handler : handlers)
                    if (handler)
                        handler(m_listView, item, false);
            for (QTreeWidgetItem* item : gained)
                for (const ListViewSelectHandler& handler : handlers)
                    if (handler)
                        handler(m_listView, item, true);
        },
        m_listView->window());
}
