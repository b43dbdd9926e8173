#include "binding/Mnemonics.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

// Where the mnemonic goes: the first free word start, else the first free letter, else the
// first free digit; -1 when nothing is free.
int MnemonicPosition(const QString& text, const QString& taken)
{
    const auto free = [&](int i) { return !taken.contains(text[i].toLower()); };
    for (int i = 0; i < text.size(); ++i)
        if (text[i].isLetter() && (i == 0 || !text[i - 1].isLetterOrNumber()) && free(i))
            return i;
    for (int i = 0; i < text.size(); ++i)
        if (text[i].isLetter() && free(i))
            return i;
    for (int i = 0; i < text.size(); ++i)
        if (text[i].isDigit() && free(i))
            return i;
    return -1;
}

} // namespace

QStringList WithMnemonics(const QStringList& texts, const QString& taken)
{
    QString used = taken;
    QStringList marked;
    for (const QString& text : texts) {
        QString plain = text;
        plain.replace('&', "&&");
        const int at = MnemonicPosition(text, used);
        if (at >= 0) {
            used += text[at].toLower();
            // Earlier '&'s are doubled, so the position moves by their number.
            plain.insert(at + static_cast<int>(text.left(at).count('&')), '&');
        }
        marked << plain;
    }
    return marked;
}

QString WithoutMnemonic(const QString& text)
{
    QString plain;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

namespace {

void AssignMnemonics(const QList<QAction*>& actions)
{
    QList<QAction*> named;
    QStringList texts;
    for (QAction* action : actions)
        if (!action->isSeparator() && !action->text().isEmpty()) {
            named << action;
            texts << WithoutMnemonic(action->text());
        }
    const QStringList marked = WithMnemonics(texts);
    for (int i = 0; i < named.size(); ++i)
        named[i]->setText(marked[i]);
}

} // namespace

void AssignMnemonics(QMenuBar* bar)
{
    AssignMnemonics(bar->actions());
    for (QAction* title : bar->actions())
        if (QMenu* menu = title->menu())
            AssignMnemonics(menu->actions());
}
