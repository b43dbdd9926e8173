#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

namespace Ui {
class TFM_StaticIP;
}
class QLineEdit;
class QTreeWidget;

// The entry dialog of one static lease. Its controls show the row of the lease table that
// is selected; Apply checks them and, when they pass, hands the write to the page. The mode
// is the enabled state of Ed_OldIP: enabled while adding, disabled while editing.
class TFM_StaticIP : public QDialog {
    Q_OBJECT
public:
    // What the checks compare with, all on the DHCP page.
    struct PageFields {
        QTreeWidget* table = nullptr;        // every row of the lease table, IP in column 1
        QLineEdit* poolStart = nullptr;      // the dynamic pool as the first tab shows it
        QLineEdit* poolRange = nullptr;
        QLineEdit* deviceAddress = nullptr;  // the device's own address
        std::function<void()> write;         // the entry passed every check
    };

    explicit TFM_StaticIP(PageFields fields, QWidget* owner = nullptr);
    ~TFM_StaticIP() override;

    void ApplyClick();

    // Mask, gateway, WINS and DNS and domain as they were when editing began, and the status.
    void SaveEditStart();
    void RestoreEditStart();
    // The visible values into the save edits and back (an entry that outlives the clearing
    // of its row).
    void SaveEntry();
    void RestoreEntry();
    void FillEmptyAddresses();
    bool Adding() const;

    std::unique_ptr<Ui::TFM_StaticIP> ui;

private:
    bool ChecksPass();

    PageFields m_page;
    QString m_saved[5];
    int m_savedStatus = 0;
    int m_entryStatus = 0;
};
