#pragma once

#include "binding/QvPage.h"

#include <memory>

namespace Ui {
class TIndicationForm;
}
class QTimer;
class QvSNMPRequest2Edits;
struct QvSNMPError;

// "Status \ Indication": the device's temperature, read every 10 s, and, for a bridge towards
// exactly one remote access point, the signal strength of that link (decided at opening).
class TIndicationForm : public QvPage {
    Q_OBJECT
public:
    explicit TIndicationForm(QWidget* owner = nullptr);
    ~TIndicationForm() override;

    void FormCreate();
    void FormShow();
    void Timer1Timer();
    void CloseButtonClick();
    bool FormCloseQuery() const;

    std::unique_ptr<Ui::TIndicationForm> ui;
    QvSNMPRequest2Edits* TemperatureEdits = nullptr;
    QvSNMPRequest2Edits* SignalEdits = nullptr;
    QvSNMPRequest2Edits* ModeEdits = nullptr;
    QTimer* Timer1 = nullptr;
    bool SignalStrengthAvailable = false;
    bool RefreshDone = true;  // false while a temperature read is outstanding

    // The two heights of the page: with and without the signal-strength group.
    enum class Layout { Collapsed, Expanded };
    Layout CurrentLayout() const { return m_layout; }

protected:
    void showEvent(QShowEvent* event) override;
    bool CloseAllowed() override { return FormCloseQuery(); }

private:
    void ReadTemperature();
    void TemperatureGetDone(const QvSNMPError& record);
    void ChooseLayout();
    void ApplyLayout(Layout layout);

    Layout m_layout = Layout::Collapsed;
    bool m_shown = false;
};
