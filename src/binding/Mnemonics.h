#pragma once

#include <QString>
#include <QStringList>

class QMenuBar;

// Keyboard mnemonics chosen by the program, so the texts stay as they read: each text gets
// an '&' before a letter no other text of the same set has, preferring the first letter of a
// word, then any letter, then a digit; a text with no free letter gets none. `taken` holds
// letters (lower case) already used in the set.
QStringList WithMnemonics(const QStringList& texts, const QString& taken = {});
// The text as it reads: '&' markers taken out ("&&" stands for one '&').
QString WithoutMnemonic(const QString& text);

// Every menu title of the bar and every item of each menu, each set on its own.
void AssignMnemonics(QMenuBar* bar);
