#pragma once

#include "binding/QvPage.h"

#include <memory>

namespace Ui {
class TLogSetForm;
}
class QvSNMPRequest2Edits;
class QvStatusBar;

// "Advanced\System Log\Log Setting": which events the device logs and where it sends them.
// The system log page owns the binding of these controls and reads it when it opens; this
// dialog is shown and hidden in between, so the controls keep what was read or typed.
class TLogSetForm : public QvPage {
    Q_OBJECT
public:
    explicit TLogSetForm(QWidget* owner = nullptr);
    ~TLogSetForm() override;

    // The log page's binding of this dialog's controls, and the log page's status bar.
    void UseSettings(QvSNMPRequest2Edits* settings, QvStatusBar* logPageStatus);

    void Bt_ApplyClick();
    void Bt_CancelClick();

    std::unique_ptr<Ui::TLogSetForm> ui;

private:
    QvSNMPRequest2Edits* m_settings = nullptr;
    QvStatusBar* m_logPageStatus = nullptr;
};
