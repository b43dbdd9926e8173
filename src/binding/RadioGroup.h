#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QVBoxLayout;

// A framed group of radio buttons, one per item, of which at most one is chosen:
// ItemIndex is the chosen item, -1 when none is.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(QWidget* parent = nullptr);

    QStringList Items() const;
    void SetItems(const QStringList& items);
    void ClearItems();
    void AddItem(const QString& text);
    int Count() const;
    QString ItemText(int index) const;

    int ItemIndex() const;
    // An index outside the items leaves no item chosen.
    void SetItemIndex(int index);

signals:
    // The user chose an item.
    void Click();

private:
    QButtonGroup* m_buttons;
    QVBoxLayout* m_layout;
};
