#pragma once

#include "binding/QvPage.h"

#include <memory>

namespace Ui {
class TFM_FilterMAC;
}
class New_req2Edit;
class QvSNMPRequest2Edits;
class QTreeWidgetItem;
class TFM_MACAddr;
struct QvSNMPError;

// The MAC address table of one radio's access filter. The device keeps a fixed number of
// rows; a row holding twelve zeros is free. The visible list shows the used rows numbered
// from 1; the full table underneath is what the entry dialog writes into. Every change is
// written at once, and the page reads both lists again after it.
class TFM_FilterMAC : public QvPage {
    Q_OBJECT
public:
    // radio: the instance (1 or 2) whose table the page edits.
    explicit TFM_FilterMAC(int radio, QWidget* owner = nullptr);
    ~TFM_FilterMAC() override;

    void FormCreate();
    // Refused while busy; a page whose bindings could not be made can always close.
    bool FormCloseQuery() const { return !m_busy || !TableEdits; }
    void Bt_AddClick();
    void Bt_SetClick();
    void Bt_DelClick();
    void Bt_RfrshClick();
    void User_ListViewSelectItem();
    void TableGetDone(const QvSNMPError& record);
    void TableSetDone(const QvSNMPError& record);

    std::unique_ptr<Ui::TFM_FilterMAC> ui;
    // The full table (LV_StaticPoolSet), also bound to the entry dialog.
    QvSNMPRequest2Edits* TableEdits = nullptr;
    // The used rows only (User_ListView).
    New_req2Edit* DisplayEdits = nullptr;
    TFM_MACAddr* EntryDialog() const { return m_entry.get(); }
    bool PageBusy() const { return m_busy; }

protected:
    bool CloseAllowed() override { return FormCloseQuery(); }

private:
    // Selects the full table's row holding mac afresh (the dialog shows its value, not what
    // a cancelled entry left there); false when there is none.
    bool SelectTableRow(const QString& mac);
    QTreeWidgetItem* SelectedDisplayRow() const;
    void ReadBothLists();
    // Reads the used rows again, numbered from 1; a read still walking is let finish first,
    // as its rows would mix into the new ones.
    void ReadDisplayList();

    const int m_radio;
    // From opening, Add, Del, Refresh and every successful set until the table read ends.
    bool m_busy = true;
    // The display list must be read again once its read under way has ended.
    bool m_displayStale = false;
    std::unique_ptr<TFM_MACAddr> m_entry;
};
