#pragma once

#include "snmp/QvOptionList.h"

#include <string>

class QComboBox;
class RadioGroup;

// An option list on the controls that offer its choices: item k of the control stands for
// row k of the list.

// Replaces the control's items by the list's display texts, in row order.
void FillItems(const QvOptionList& options, QComboBox* comboBox);
void FillItems(const QvOptionList& options, RadioGroup* radioGroup);

// Selects the item of a display text ("Enable") or, failing that, of a value text ("1");
// neither leaves the control with no item selected.
void SelectItem(const QvOptionList& options, QComboBox* comboBox, const std::string& text);
void SelectItem(const QvOptionList& options, RadioGroup* radioGroup, const std::string& text);
