#include "binding/ListExport.h"

#include "binding/ListColumns.h"
#include "platform/Dialogs.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTreeWidget>

#include <vector>

namespace {

const char* const kOffered = "vtaListExport";

// A cell a spreadsheet would read as a formula (=, +, -, @, or a tab or carriage return before
// one) leaves as text behind an apostrophe, which the spreadsheet hides: the list shows what
// neighbours and devices chose to name things (an SSID "=HYPERLINK(...)"). A cell that is wholly
// a number ("-71", a signal level) is data and stays as it is.
QString asText(const QString& cell)
{
    static const QRegularExpression number(R"(^[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?$)");
    if (cell.isEmpty() || !QStringLiteral("=+-@\t\r").contains(cell.front()) || number.match(cell).hasMatch())
        return cell;
    return '\'' + cell;
}

QString csvField(const QString& cell)
{
    const QString text = asText(cell);
    if (!text.contains(',') && !text.contains('"') && !text.contains('\n') && !text.contains('\r'))
        return text;
    QString quoted = text;
    quoted.replace('"', "\"\"");
    return '"' + quoted + '"';
}

// One line per row: the captions, then the rows, each field through the given form.
QString joined(const QTreeWidget* listView, const QList<QTreeWidgetItem*>& rows, QChar separator,
               const QString& lineEnd, QString (*field)(const QString&))
{
    const std::vector<int> columns = ShownColumns(listView);
    auto line = [&](auto textOf) {
        QStringList fields;
        for (int column : columns)
            fields << field(textOf(column));
        return fields.join(separator) + lineEnd;
    };
    QString text = line([&](int column) { return listView->headerItem()->text(column); });
    for (const QTreeWidgetItem* row : rows)
        text += line([&](int column) { return row->text(column); });
    return text;
}

// The rows the user sees: a row a find box hides is not part of the list as shown.
QList<QTreeWidgetItem*> shownRows(const QTreeWidget* listView)
{
    QList<QTreeWidgetItem*> rows;
    for (int i = 0; i < listView->topLevelItemCount(); ++i)
        if (!listView->topLevelItem(i)->isHidden())
            rows << listView->topLevelItem(i);
    return rows;
}

// A tab or line break inside a value would split it in a spreadsheet: a blank instead.
QString tabField(const QString& cell)
{
    QString field = asText(cell);
    for (QChar& c : field)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return field;
}

} // namespace

QString ListAsCsv(const QTreeWidget* listView) { return joined(listView, shownRows(listView), ',', "\r\n", csvField); }

QString ListAsTabText(const QTreeWidget* listView)
{
    QList<QTreeWidgetItem*> rows;
    for (QTreeWidgetItem* row : shownRows(listView))
        if (row->isSelected())
            rows << row;
    return joined(listView, rows.isEmpty() ? shownRows(listView) : rows, '\t', "\n", tabField);
}

void SaveListAsCsv(QTreeWidget* listView)
{
    const QString path = Dialogs::saveFile(listView->window(), "Save as CSV", {}, "list.csv",
                                           "CSV files (*.csv);;All files (*)");
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray bytes = ListAsCsv(listView).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Dialogs::message(listView->window(), "The list could not be saved to " + path + ": " + file.errorString(),
                         "Error", DialogButtons::Ok, DialogIcon::Error);
}

void OfferListExport(QTreeWidget* listView)
{
    if (listView->property(kOffered).toBool())
        return;
    listView->setProperty(kOffered, true);
    listView->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(listView, &QWidget::customContextMenuRequested, listView, [listView](const QPoint& at) {
        QMenu menu(listView);
        menu.addAction("Copy", listView,
                       [listView] { QGuiApplication::clipboard()->setText(ListAsTabText(listView)); });
        menu.addAction("Save as CSV…", listView, [listView] { SaveListAsCsv(listView); });
        menu.exec(listView->viewport()->mapToGlobal(at));
    });
}
