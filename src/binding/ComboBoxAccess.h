#pragma once

class QComboBox;

// On Linux Qt reads a combo box to a screen reader by its current item ("Enable", "6"), its
// label only as a relation; a screen reader that reads names then hears values, not settings.
// This gives the combo box an accessibility interface whose name is its accessible name (or
// its label's text) and whose value is the current item, in place of Qt's.
void NameComboBoxByItsLabel(QComboBox* comboBox);
