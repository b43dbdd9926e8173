#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class QFontMetrics;
class QTreeWidget;

// How wide the columns of a report-style list are: never narrower than their caption, and a
// column that shows addresses or times wide enough for the widest such value, so that a MAC
// address never ends in "…".

// The width a column needs to show text whole.
int ColumnWidthFor(const QFontMetrics& metrics, const QString& text);

// The widest value of a syntax the list must show whole (an IP address, a MAC address, a time
// of day or a time span), in the list's font; empty for the other syntaxes, whose column the
// caption decides.
QString WidestValueText(int32_t syntax, const QFontMetrics& metrics);

// Tells the list what the widest value of a column looks like.
void SetColumnSample(QTreeWidget* list, int column, const QString& widest);

// Widens each shown column that is narrower than its caption or its sample; hidden and
// zero-width columns stay as they are.
void FitListColumns(QTreeWidget* list);

// The columns the user sees (neither hidden nor of width 0), in the order the header shows them.
std::vector<int> ShownColumns(const QTreeWidget* list);
