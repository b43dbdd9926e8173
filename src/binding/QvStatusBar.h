#pragma once

#include <QLabel>
#include <QStatusBar>

#include <vector>

// One panel of a status bar: a fixed-width text field.
class QvStatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit QvStatusPanel(QWidget* parent = nullptr);
    QString Text() const { return text(); }
    // A new text is announced to a screen reader (a name change of the panel).
    void SetText(const QString& text);
};

// A status bar with panels and a simple text. In simple mode (the default) the bar shows its
// simple text across its whole width; otherwise it shows its panels. The bar reads to a
// screen reader as its simple text, and a new one is announced.
class QvStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit QvStatusBar(QWidget* parent = nullptr);

    // Appends a panel; leaves simple mode, as a bar with panels shows them. A filling panel
    // is at least width wide and reaches to the bar's right edge (a bar's last panel, so long
    // texts stay readable).
    QvStatusPanel* AddPanel(int width = 50, bool fill = false);
    int PanelCount() const { return static_cast<int>(m_panels.size()); }
    QvStatusPanel* Panel(int index) const;

    bool SimplePanel() const { return m_simple; }
    void SetSimplePanel(bool simple);
    QString SimpleText() const { return m_simpleText; }
    void SetSimpleText(const QString& text);

private:
    void showMode();

    std::vector<QvStatusPanel*> m_panels;
    bool m_simple = true;
    QString m_simpleText;
};
