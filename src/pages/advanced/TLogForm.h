#pragma once

#include "binding/QvPage.h"

#include <memory>

namespace Ui {
class TLogForm;
}
class QvSNMPRequest2Edits;
class TLogSetForm;
struct QvSNMPError;

// "Advanced \ System Log": the device's local log, fetched on request ("Get Log"), cleared
// ("Clear"), and the log settings dialog, whose binding this page owns and reads on opening.
class TLogForm : public QvPage {
    Q_OBJECT
public:
    explicit TLogForm(QWidget* owner = nullptr);
    ~TLogForm() override;

    void FormCreate();
    void GetBtnClick();
    void Clear_BtnClick();
    void SetBtnClick();
    void CloseBtnClick();
    bool FormCloseQuery() const;

    std::unique_ptr<Ui::TLogForm> ui;
    QvSNMPRequest2Edits* GetLogCommand = nullptr;
    QvSNMPRequest2Edits* LogSettings = nullptr;  // the controls of SettingsForm()
    QvSNMPRequest2Edits* ClearCommand = nullptr;
    QvSNMPRequest2Edits* LogTable = nullptr;
    TLogSetForm* SettingsForm() const { return m_settingsForm.get(); }

protected:
    // Closing waits for the log read the disabled buttons stand for.
    bool CloseAllowed() override { return FormCloseQuery(); }
    void done(int result) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LogTableGetDone(const QvSNMPError& record);
    void ClearSetDone(const QvSNMPError& record);
    void EnableButtons(bool enabled);
    void FormResize();

    std::unique_ptr<TLogSetForm> m_settingsForm;
};
