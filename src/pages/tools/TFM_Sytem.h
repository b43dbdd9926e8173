#pragma once

#include "binding/QvPage.h"
#include "shell/TFM_Waiting.h"

#include <QPointer>
#include <memory>

namespace Ui {
class TFM_Sytem;
}
class QvSNMPRequest2Edits;
struct QvSNMPError;

// "Tools \ System": restarts the device, or restores its factory default settings and then
// restarts it. The restore's wait dialog waits for the device's answer, which turns it into
// the restart countdown (or ends it when the device refused).
class TFM_Sytem : public QvPage {
    Q_OBJECT
public:
    explicit TFM_Sytem(QWidget* owner = nullptr);
    ~TFM_Sytem() override;

    void FormCreate();
    void Button1Click();
    void Button2Click();
    // The device answered the restore.
    void FactoryDefaultSetDone(const QvSNMPError& record);

    std::unique_ptr<Ui::TFM_Sytem> ui;
    QvSNMPRequest2Edits* FactoryEdits = nullptr;
    // The wait dialog while a restore runs; null otherwise.
    TFM_Waiting* Waiting() const { return m_waiting; }

private:
    QPointer<TFM_Waiting> m_waiting;
};
