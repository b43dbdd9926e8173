#pragma once

class QWidget;

// What a window needs to be worked from the keyboard and read by a screen reader, set once
// from its form as it stands (binding/KeyboardAccess.h, binding/AccessibleNames.h): every
// control named by its label, Tab in reading order, Enter on the dialog's OK or Apply button.
// Every page gets it when first shown (QvPage); other dialogs ask for it.
void PrepareWindowAccess(QWidget* window);
// The same, once the window is first shown, when its form has taken its final place.
void PrepareWindowAccessWhenShown(QWidget* window);
