#pragma once

#include "binding/QvPage.h"

#include <memory>

namespace Ui {
class TClientInformation;
}
class QTimer;
class QvSNMPRequest2Edits;
struct QvSNMPError;

// "Status \ Client Info": the stations associated with the radio. The device collects them
// only when told to (the acquire command), then the page reads its client table into a raw
// list and shows the real stations of the visible radio, numbered. A device that never
// delivers the list is taken for firmware without the function: the page says so and closes.
class TClientInformation : public QvPage {
    Q_OBJECT
public:
    explicit TClientInformation(QWidget* owner = nullptr);
    ~TClientInformation() override;

    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormResize();
    void Bt_RfrshClick();
    void Bt_CloseClick();
    void PageControl1Change();
    void Timer2Timer();

    std::unique_ptr<Ui::TClientInformation> ui;
    QvSNMPRequest2Edits* AcquireEdits = nullptr;
    QvSNMPRequest2Edits* ClientEdits = nullptr;  // the client table in ClientListView
    QTimer* Timer2 = nullptr;                    // the old-firmware check
    bool Busy() const { return m_busy; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Refused while busy, unless the page closes itself (the old-firmware check).
    bool CloseAllowed() override { return !m_busy || m_closeAllowed; }
    void done(int result) override;

private:
    void Acquire();
    void ClientGetDone(const QvSNMPError& record);
    void RebuildVisibleList();

    void AcquireDone(const QvSNMPError& record);

    bool m_busy = true;
    bool m_closeAllowed = false;
    int m_countdown = 2;
    // What the opening acquire learnt: still outstanding, the device has the function, or it
    // said the command's object does not exist (firmware without the client list).
    enum class Function { Unknown, Present, Missing };
    Function m_function = Function::Unknown;
    bool m_openingAcquire = true;
    // A refused acquire of a Refresh, shown once the table read has reported.
    QString m_acquireFailure;
    bool m_shown = false;
};
