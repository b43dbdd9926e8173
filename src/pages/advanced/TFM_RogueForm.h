#pragma once

#include "binding/QvPage.h"

#include <array>
#include <cstdint>
#include <memory>

namespace Ui {
class TFM_RogueForm;
}
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QvSNMPRequest2Edits;
struct QvSNMPError;
struct VariableDescriptor;

// "Advanced \ Rogue AP": what the device looks for (BSS type, bands, security kinds), a
// detection run on the device, and the two lists it keeps: the detection result and the
// known access points. A found access point can be moved into the known list, and rows can
// be deleted from either; the page writes the row's key into a command variable and the
// device acts on that row. The window is resizable; its controls follow FormResize.
class TFM_RogueForm : public QvPage {
    Q_OBJECT
public:
    explicit TFM_RogueForm(QWidget* owner = nullptr);
    ~TFM_RogueForm() override;

    void FormCreate();
    void FormClose();
    // Refused from the detection command until its result rows are in.
    bool FormCloseQuery() const { return detectIdle != 0; }
    void FormResize();
    void DetectBtnClick();
    void AddBtnClick();
    void DelBtnClick();
    void ListDelBtnClick();
    void Apply_BtnClick();
    void Cancel_BtnClick();
    void BSSTypRadGrpClick();
    // The WPA boxes are enabled unless the BSS type is "Ad Hoc"; the masks stay as they are.
    void WpaBoxesFollowBssType();
    void CheckBox_11aClick();  // any of the three band boxes
    void ChcBxo_offClick();    // any of the eight security boxes

    std::unique_ptr<Ui::TFM_RogueForm> ui;
    QvSNMPRequest2Edits* DetectSettingsEdits = nullptr;
    QvSNMPRequest2Edits* DetectCmdEdits = nullptr;
    QvSNMPRequest2Edits* AddToListEdits = nullptr;
    QvSNMPRequest2Edits* DeleteResultEdits = nullptr;
    QvSNMPRequest2Edits* ResultEdits = nullptr;
    QvSNMPRequest2Edits* DeleteListEdits = nullptr;
    QvSNMPRequest2Edits* APListEdits = nullptr;
    // 0 from the moment a detection command is written until the result table has been read.
    uint8_t detectIdle = 1;

protected:
    bool CloseAllowed() override { return FormCloseQuery(); }
    void resizeEvent(QResizeEvent* event) override;

private:
    // Band boxes in the order of their bits 0 (1), 2 (4), 3 (8).
    std::array<QCheckBox*, 3> BandBoxes() const;
    // Security boxes in bit order 0 to 7; the last six are the WPA kinds.
    std::array<QCheckBox*, 8> SecurityBoxes() const;
    // Detect, Add, Del, the AP list's Del, Apply and Cancel.
    std::array<QPushButton*, 6> SixButtons() const;
    void EnableButtons(bool enabled);
    void DecodeMasks();

    QvSNMPRequest2Edits& NewRowCommand(const VariableDescriptor* table, QLineEdit* key, bool readsApList);
    QvSNMPRequest2Edits& NewTable(const VariableDescriptor* table, QTreeWidget* listView);
    void ReadTables(bool apListToo);
    void RowCommand(QTreeWidget* listView, QLineEdit* key, QvSNMPRequest2Edits* command);
    void ResultAfterGet();
    void ApListAfterGet();
    void ReadFailed(QvSNMPRequest2Controls& binding, const QvSNMPError& record);
};
