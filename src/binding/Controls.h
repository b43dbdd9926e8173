#pragma once

#include <QString>

#include <functional>

class QCheckBox;
class QLineEdit;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// Small helpers that give Qt's own widgets the properties every page relies on: the Tag
// every control carries, an edit's maximum length with 0 for "no limit", a password
// character, report-style list views with hidden zero-width columns, and tab sheets that can
// be hidden.

// Every control carries an integer Tag (a dynamic property, 0 until set). A page's change
// or exit handler vetoes the constraint's follow-up by setting its edit's Tag to -1.
int Tag(const QWidget* control);
void SetTag(QWidget* control, int tag);

// A check box whose setting could not be read from the device shows Qt's third, partially
// checked state: it looks neither on nor off, and a set refuses to write it. A click of the
// user makes it checked, and from then on it toggles as usual, never back to the third state;
// only a read that fails shows it again.
void ShowNotRead(QCheckBox* box);
bool NotRead(const QCheckBox* box);
// Checked by the device's value or by the user; a box not read is not.
bool ShowsChecked(const QCheckBox* box);
// Shows a value that arrived: checked or not, and no third state any more.
void ShowChecked(QCheckBox* box, bool checked);

// The maximum number of characters the user may type into an edit; 0 means no limit. Text
// the program sets is not cut (a three-character field can still show "(NULL)"). Use these
// rather than QLineEdit::setMaxLength, which also cuts what the program sets.
int MaxLength(const QLineEdit* edit);
void SetMaxLength(QLineEdit* edit, int length);

// An edit the user cannot type into, greyed with the button face colour and the button's text
// colour; false makes it writable again with the edit colours. Both colours of a pair come
// from the desktop's scheme, so a dark one never shows light text on a light face.
void SetReadOnlyLook(QLineEdit* edit, bool readOnly);

// The character shown in place of each typed one; a null character shows the text itself.
void SetPasswordChar(QLineEdit* edit, QChar character);

// A report-style list view: whole rows, read-only, selection shown also when unfocused,
// grid lines, no tree decoration.
void SetReportStyle(QTreeWidget* listView);
// Makes the row the selected one afresh: the selection handlers run even when it was selected
// already, so a binding shows the row's values again over whatever was typed since.
void SelectListRow(QTreeWidget* listView, QTreeWidgetItem* row);
// Width of a column that fits its header text.
inline constexpr int kFitHeaderWidth = -2;
// Appends a column; width 0 makes it an invisible column, kFitHeaderWidth fits the caption.
// (A new QTreeWidget already has one column: setColumnCount(0) before the first.)
void AddListColumn(QTreeWidget* listView, const QString& caption, int width);

// Shows or hides the tab of a tab sheet (a page of a QTabWidget); hidden sheets keep their
// controls. TabSheetVisible is false for a widget that is no tab sheet.
void SetTabSheetVisible(QWidget* sheet, bool visible);
bool TabSheetVisible(const QWidget* sheet);

// Whether the form places the control itself: not a window, not a part a Qt widget is built
// of (a list's scroll bars, a page control's tab bar), not placed by a layout.
bool PlacedByForm(const QWidget* control);

// Moves the focus of form to the next control in tab order after the focused one.
void FocusNextControl(QWidget* form);
// The same after the current event has finished.
void PostFocusNextControl(QWidget* form);

// The short warning sound of rejected input. Tests replace it to count beeps; an empty
// function restores the real one.
void Beep();
void SetBeepHandler(std::function<void()> handler);

// The caption of the module's own message boxes: the executable's file name.
QString ExecutableName();
