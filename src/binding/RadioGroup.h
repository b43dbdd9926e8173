#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QGridLayout;

// A framed group of radio buttons, one per item, of which at most one is chosen:
// ItemIndex is the chosen item, -1 when none is. The items fill Columns columns, each column
// from the top before the next begins.
class RadioGroup : public QGroupBox {
    Q_OBJECT
    // A form file sets it as a property of the promoted group box.
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)
public:
    explicit RadioGroup(QWidget* parent = nullptr, int columns = 1);

    QStringList Items() const;
    void SetItems(const QStringList& items);
    void ClearItems();
    void AddItem(const QString& text);
    int Count() const;
    QString ItemText(int index) const;

    int Columns() const { return m_columns; }
    void SetColumns(int columns);

    int ItemIndex() const;
    // An index outside the items leaves no item chosen.
    void SetItemIndex(int index);

signals:
    // The user chose an item.
    void Click();

private:
    void arrange();

    QButtonGroup* m_buttons;
    QGridLayout* m_layout;
    int m_columns = 1;
};
