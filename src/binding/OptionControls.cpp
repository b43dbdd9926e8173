#include "binding/OptionControls.h"

#include "binding/RadioGroup.h"

#include <QComboBox>

namespace {

int indexFor(const QvOptionList& options, const std::string& text)
{
    const int index = options.IndexOfText(text);
    return index >= 0 ? index : options.IndexOfValue(text);
}

QStringList displayTexts(const QvOptionList& options)
{
    QStringList texts;
    for (int i = 0; i < options.RowCount(); ++i)
        texts << QString::fromStdString(options.RowAt(i).text);
    return texts;
}

} // namespace

void FillItems(const QvOptionList& options, QComboBox* comboBox)
{
    comboBox->clear();
    comboBox->addItems(displayTexts(options));
    // Filled, nothing is chosen yet (a combo box would otherwise pick its first item).
    comboBox->setCurrentIndex(-1);
}

void FillItems(const QvOptionList& options, RadioGroup* radioGroup) { radioGroup->SetItems(displayTexts(options)); }

void SelectItem(const QvOptionList& options, QComboBox* comboBox, const std::string& text)
{
    const int index = indexFor(options, text);
    comboBox->setCurrentIndex(index < comboBox->count() ? index : -1);
}

void SelectItem(const QvOptionList& options, RadioGroup* radioGroup, const std::string& text)
{
    radioGroup->SetItemIndex(indexFor(options, text));
}
