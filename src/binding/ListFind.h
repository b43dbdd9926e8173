#pragma once

#include <QString>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// A find box over a report list: as the user types, the rows that do not hold the text go out
// of sight; an empty box shows every row. A hidden row stays in the list, only out of sight.

// Whether a column the user sees holds the text, ignoring case. Every row holds the empty text.
bool RowHoldsText(const QTreeWidget* listView, const QTreeWidgetItem* row, const QString& text);

// Shows only the rows that hold the text.
void ShowRowsHolding(QTreeWidget* listView, const QString& text);

// Filters the list by the edit's text as it changes, and rows added to the list later (a new
// read of the device) by the text already in the edit.
void FilterListAsYouType(QLineEdit* find, QTreeWidget* listView);
