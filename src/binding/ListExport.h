#pragma once

#include <QString>

class QTreeWidget;

// Every list of the pages offers its rows to take away: "Copy" puts the selected rows (all rows
// when none is selected) on the clipboard as tab-separated text, "Save as CSV…" writes the
// whole list as a CSV file. Both take the rows and columns the user sees (rows a find box hides
// stay behind), captions first, values as shown, except that a value a spreadsheet would run
// as a formula (one that begins with =, +, -, @, a tab or a carriage return, and is not wholly
// a number) gets a leading apostrophe, so it opens as the text it is.

// The list as CSV (RFC 4180): a field holding a comma, a double quote or a line break is quoted,
// its quotes doubled; records end with CR LF.
QString ListAsCsv(const QTreeWidget* listView);

// The selected shown rows (or all shown) as tab-separated lines under the captions.
QString ListAsTabText(const QTreeWidget* listView);

// Adds the context menu to the list (once, however often it is called).
void OfferListExport(QTreeWidget* listView);

// Asks for a file and writes the list there; a file that cannot be written is told, and an
// existing file is only replaced once the whole list is written.
void SaveListAsCsv(QTreeWidget* listView);
