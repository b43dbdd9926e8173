#pragma once

#include <QList>

class QDialog;
class QWidget;

// What a window needs to be worked from the keyboard, set once for the whole window from its
// form as it stands, so no form lists its own order.

// The widgets as the eye reads them: rows top to bottom, each row left to right. A widget
// joins a row when its middle lies within the row's first widget and that one's middle within
// it. Positions are compared in the coordinates of `window`.
QList<QWidget*> InReadingOrder(QList<QWidget*> widgets, const QWidget* window);

// Tab goes through the window's controls as the eye reads them: group by group (a group box,
// frame or tab page is read whole where it stands), on a tab control its tab bar first and
// then each tab's controls.
void SetReadingTabOrder(QWidget* window);

// A dialog's default button, the one Enter presses: its only "OK" or "Apply" button.
void SetDefaultButton(QDialog* dialog);
