#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// One replaceable handler per control event, as pages and the binding layer expect them:
// whoever installs a handler may save the one that was there and call it from its own.
// The handlers live in a small object attached to the control, so plain widgets from a
// form file carry them without being subclassed. Handlers run inside Qt's signal dispatch,
// so an exception they raise is shown in the standard exception box instead of passed on.

using EditHandler = std::function<void(QLineEdit* edit)>;

// The change event (every text change, typed or set) and the exit event (the focus moves
// from the edit to another control; not when the window itself loses the focus) of an edit.
class EditEvents : public QObject {
    Q_OBJECT
public:
    // The events of the edit, attached on first use.
    static EditEvents& Of(QLineEdit* edit);

    EditHandler OnChange;
    EditHandler OnExit;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit EditEvents(QLineEdit* edit);
    QLineEdit* m_edit;
};

using ListViewSelectHandler = std::function<void(QTreeWidget* sender, QTreeWidgetItem* item, bool selected)>;

// The item-selection event of a list view: called with selected = false for each row that
// loses the selection, then with true for each row that gains it. The page's handler and the
// binding's both run, the page's first, whichever of the two was installed first.
class ListViewEvents : public QObject {
    Q_OBJECT
public:
    static ListViewEvents& Of(QTreeWidget* listView);

    ListViewSelectHandler OnSelectItem;       // the page's
    ListViewSelectHandler BindingSelectItem;  // the binding's that shows the list

private:
    explicit ListViewEvents(QTreeWidget* listView);
    void selectionChanged();

    QTreeWidget* m_listView;
    std::vector<QTreeWidgetItem*> m_selected;
};
