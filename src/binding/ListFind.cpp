#include "binding/ListFind.h"

#include "binding/ListColumns.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QTreeWidget>

bool RowHoldsText(const QTreeWidget* listView, const QTreeWidgetItem* row, const QString& text)
{
    if (text.isEmpty())
        return true;
    for (int column : ShownColumns(listView))
        if (row->text(column).contains(text, Qt::CaseInsensitive))
            return true;
    return false;
}

namespace {

void showRowsHolding(QTreeWidget* listView, const QString& text, int first, int last)
{
    for (int i = first; i <= last; ++i) {
        QTreeWidgetItem* row = listView->topLevelItem(i);
        row->setHidden(!RowHoldsText(listView, row, text));
    }
}

} // namespace

void ShowRowsHolding(QTreeWidget* listView, const QString& text)
{
    showRowsHolding(listView, text, 0, listView->topLevelItemCount() - 1);
}

void FilterListAsYouType(QLineEdit* find, QTreeWidget* listView)
{
    QObject::connect(find, &QLineEdit::textChanged, listView,
                     [listView](const QString& text) { ShowRowsHolding(listView, text); });
    // The binding adds a row with its texts already set, so the row can be judged as it comes.
    QObject::connect(listView->model(), &QAbstractItemModel::rowsInserted, find,
                     [find, listView](const QModelIndex& parent, int first, int last) {
                         if (!parent.isValid())
                             showRowsHolding(listView, find->text(), first, last);
                     });
}
