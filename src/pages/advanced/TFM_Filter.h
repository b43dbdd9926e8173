#pragma once

#include "binding/QvPage.h"

#include <array>
#include <memory>

namespace Ui {
class TFM_Filter;
}
class QvSNMPRequest2Edits;

// "Advanced \ Filters": which stations may associate (all, only the listed MAC addresses, all
// but the listed ones) and the WLAN partition switches of the radio. Apply restarts the
// device. "Access Control List" opens the radio's MAC address table.
class TFM_Filter : public QvPage {
    Q_OBJECT
public:
    explicit TFM_Filter(QWidget* owner = nullptr);
    ~TFM_Filter() override;

    void FormCreate();
    void FormClose();
    void Bt_ApplyClick();
    void Bt_RefreshClick();
    void Bt_CloseClick();
    void Bt_MacTabaClick();
    void Bt_MacTabgClick();
    void CB_ACaChange();
    void CB_ACgChange();
    void CB_InSCBaChange();
    void CB_InSCBgChange();

    // Whether the MAC address table of radio 1 or 2 is open.
    bool MacTableOpen(int radio) const { return m_macTableOpen[radio == 2 ? 1 : 0]; }

    std::unique_ptr<Ui::TFM_Filter> ui;
    QvSNMPRequest2Edits* FilterEdits = nullptr;

private:
    void ListButtonRule();
    void OpenMacTable(int radio);

    std::array<bool, 2> m_macTableOpen{};
};
