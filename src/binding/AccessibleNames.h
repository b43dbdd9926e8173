#pragma once

#include <QString>

class QWidget;

// What a screen reader says for each control of a window: the text of the label that stands
// for it, found once from the form as it stands, so no form lists its own names. A control the
// form names itself (accessibleName in the .ui) keeps that name. For the others, in turn:
// - the label whose buddy it is;
// - the label that stands before it on its row, or else just above it (the caption of a list);
// - the group box's title, or the tab's caption, for the one control there no label names.
// A label that names a control becomes its buddy (a screen reader reads the pair as one).
// Where two controls that can be seen together would share a name, each is told apart by its
// group box's title ("Cipher Type (Radius Server Settings)"), or else by its place in reading
// order ("Remote AP MAC Address 2"). '&' and a closing ':' are not part of a name.
// A combo box reads by that name, its current item as its value (binding/ComboBoxAccess.h).
void NameControls(QWidget* window);

// Whether the widget is one a user works (an edit, a choice, a list, a button) rather than
// text or a frame; the parts of a control (a combo box's edit, a spin box's edit) are not.
bool IsControl(const QWidget* widget);

// A label's or title's text as a name: without '&' markers, blanks at the ends or a closing ':'.
QString NameFromText(const QString& text);
