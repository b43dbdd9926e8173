#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TAboutForm;
}
class QKeyEvent;

// Names the module and its release. Shift+Alt+F3 on the OK button shows the build label.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* owner = nullptr);
    ~TAboutForm() override;

    void BT_OkClick();
    void BT_OkKeyDown(QKeyEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TAboutForm> ui;
};
