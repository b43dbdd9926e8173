#include "binding/ListColumns.h"

#include "snmp/VariableDescriptor.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

namespace {

// Where a column keeps its sample: the header item's data.
constexpr int kSampleRole = Qt::UserRole + 1;
// Room around a column's text: the cell's margins and the grid line.
constexpr int kColumnPadding = 16;

// The widest of the characters in this font.
QChar widestOf(const QFontMetrics& metrics, const QString& characters)
{
    return *std::max_element(characters.begin(), characters.end(), [&metrics](QChar a, QChar b) {
        return metrics.horizontalAdvance(a) < metrics.horizontalAdvance(b);
    });
}

} // namespace

int ColumnWidthFor(const QFontMetrics& metrics, const QString& text)
{
    return metrics.horizontalAdvance(text) + kColumnPadding;
}

QString WidestValueText(int32_t syntax, const QFontMetrics& metrics)
{
    // Value texts as the list shows them: dotted addresses, twelve hexadecimal digits, the
    // time-ticks form ("497 days, 2:27:52.95" at most) and the date-and-time form.
    const QString d(widestOf(metrics, "0123456789"));
    switch (syntax) {
    case kSyntaxIpAddress:
        return QString("%1.%1.%1.%1").arg(d.repeated(3));
    case kSyntaxMacAddress:
        return QString(12, widestOf(metrics, "0123456789ABCDEF"));
    case kSyntaxTimeTicks:
        return QString("%1 days, %2:%3:%3.%3").arg(d.repeated(3), d, d.repeated(2));
    case kSyntaxDateTime:
    case kSyntaxBcDateTime:
        return QString("%1-%2-%2,%2:%2:%2.%3,+%2:%2").arg(d.repeated(4), d.repeated(2), d);
    default:
        return {};
    }
}

void SetColumnSample(QTreeWidget* list, int column, const QString& widest)
{
    list->headerItem()->setData(column, kSampleRole, widest);
}

void FitListColumns(QTreeWidget* list)
{
    const QTreeWidgetItem* header = list->headerItem();
    for (int column = 0; column < list->columnCount(); ++column) {
        if (list->isColumnHidden(column) || list->columnWidth(column) == 0)
            continue;
        int needed = ColumnWidthFor(list->header()->fontMetrics(), header->text(column));
        const QString sample = header->data(column, kSampleRole).toString();
        if (!sample.isEmpty())
            needed = std::max(needed, ColumnWidthFor(list->fontMetrics(), sample));
        if (list->columnWidth(column) < needed)
            list->setColumnWidth(column, needed);
    }
}

std::vector<int> ShownColumns(const QTreeWidget* list)
{
    std::vector<int> columns;
    const QHeaderView* header = list->header();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!list->isColumnHidden(column) && header->sectionSize(column) > 0)
            columns.push_back(column);
    }
    return columns;
}
