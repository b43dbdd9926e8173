#pragma once

#include <QFrame>

class QPlainTextEdit;

// The strip at the bottom of a configuration panel: one memo where the binding writes its
// status lines.
class TMsgPanel : public QFrame {
    Q_OBJECT
public:
    explicit TMsgPanel(QWidget* parent = nullptr);

    static constexpr int kHeight = 50;

    QPlainTextEdit* Memo = nullptr;
};
