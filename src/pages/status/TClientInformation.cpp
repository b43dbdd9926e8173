#include "pages/status/TClientInformation.h"

#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "platform/Dialogs.h"
#include "platform/TimeScale.h"
#include "shell/ModuleConstants.h"
#include "ui_TClientInformation.h"

#include <QThread>
#include <QTimer>

#include <vector>

namespace {

const OptionRow kAcquireRows[] = {{0, "Nothing"}, {1, "acquire"}, {0, nullptr}};
const OptionRow kBandRows[] = {{1, "11a"}, {2, "11g"}, {0, nullptr}};
const OptionRow kAuthRows[] = {{1, "Open System"},  {2, "Shared Key"},   {3, "Open System / Shared Key"},
                               {4, "802.1x"},       {5, "WPA-EAP"},      {6, "WPA-PSK"},
                               {7, "WPA2-EAP"},     {8, "WPA2-PSK"},     {9, "WPA-Auto-EAP"},
                               {10, "WPA-Auto-PSK"}, {0, nullptr}};
const OptionRow kPowerSavingRows[] = {{0, "Off"}, {1, "On"}, {0, nullptr}};
const QvOptionList kAcquireOptions(kAcquireRows);
const QvOptionList kBandOptions(kBandRows);
const QvOptionList kAuthOptions(kAuthRows);
const QvOptionList kPowerSavingOptions(kPowerSavingRows);

// Makes the device collect the stations of radio 1 and 2 into its client table.
const VariableDescriptor kAcquire[] = {
    {VTA_OID(".4.5.1.1.1.1"), "adGetClient", kSyntaxInteger, kAccessReadWrite, &kAcquireOptions},
    {VTA_OID(".4.5.1.1.1.2"), "adGetClient", kSyntaxInteger, kAccessReadWrite, &kAcquireOptions},
    DeviceVariables::EndOfTable,
};
constexpr int kAcquireRow = 1;  // "acquire"

// Indexed by radio, then station.
#define CLIENT_ENTRY VTA_OID(".4.5.2.1")
const VariableDescriptor kClients[] = {
    {CLIENT_ENTRY ".1", "BandIndex", kSyntaxInteger, kAccessNotAccessible},
    {CLIENT_ENTRY ".1", "InfoIndex", kSyntaxInteger, kAccessNotAccessible},
    {CLIENT_ENTRY ".2", "MAC", kSyntaxMacAddress, kAccessReadOnly},
    {CLIENT_ENTRY ".3", "Band", kSyntaxInteger, kAccessReadOnly, &kBandOptions},
    {CLIENT_ENTRY ".4", "Auth", kSyntaxInteger, kAccessReadOnly, &kAuthOptions},
    {CLIENT_ENTRY ".5", "RSSI", kSyntaxInteger, kAccessReadOnly},
    {CLIENT_ENTRY ".8", "Power Saving Mode", kSyntaxInteger, kAccessReadOnly, &kPowerSavingOptions},
    DeviceVariables::EndOfTable,
};
#undef CLIENT_ENTRY

// Columns of the raw list: the radio as caption, then station number, MAC and the rest.
constexpr int kRadioColumn = 0;
constexpr int kMacColumn = 2;
constexpr int kLastColumn = 6;
// The device reports a free slot of its table as twelve zeros.
const QString kFreeSlot = "000000000000";

// The visible list's columns with their designed widths: together narrower than the list, so
// every column shows without scrolling (each grows to its caption and values if the font
// needs it).
const struct {
    const char* caption;
    int width;
} kVisibleColumns[] = {{"Index", 40},           {"Client MAC Address", 100}, {"Band", 40},
                       {"Authentication", 90}, {"RSSI (%)", 60},           {"Power Saving Mode", 100}};

// The device says an object does not exist: SNMPv1 noSuchName, or a set it can never take.
bool ObjectMissing(const QvSNMPError& record)
{
    constexpr int kNoSuchName = -102, kNoCreation = -111, kNotWritable = -117;
    return record.code == kNoSuchName || record.code == kNoCreation || record.code == kNotWritable;
}

constexpr int kCheckMs = 1000;
constexpr int kCloseWaitMs = 1000;

} // namespace

TClientInformation::TClientInformation(QWidget* owner)
    : QvPage(owner), ui(std::make_unique<Ui::TClientInformation>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre, Sizing::Resizable);
    UseStatusBar(ui->StatusBar, {50});
    for (QTreeWidget* list : {ui->User_ListView, ui->User_ListView_g}) {
        SetReportStyle(list);
        list->setColumnCount(0);
        for (const auto& column : kVisibleColumns)
            AddListColumn(list, column.caption, Scale().X(column.width));
    }
    Timer2 = NewTimer(kCheckMs, [this] { Timer2Timer(); });
    Handle(ui->Bt_Rfrsh, &QPushButton::clicked, [this] { Bt_RfrshClick(); });
    Handle(ui->Bt_Rfrsh_g, &QPushButton::clicked, [this] { Bt_RfrshClick(); });
    Handle(ui->Bt_Close, &QPushButton::clicked, [this] { Bt_CloseClick(); });
    Handle(ui->Bt_Close_g, &QPushButton::clicked, [this] { Bt_CloseClick(); });
    RunFormCreate([this] { FormCreate(); });
    // Connected after the captions are set, so only the user's tab changes read again.
    Handle(ui->PageControl1, &QTabWidget::currentChanged, [this] { PageControl1Change(); });
}

TClientInformation::~TClientInformation() = default;

void TClientInformation::FormCreate()
{
    auto& acquire = NewBinding<QvSNMPRequest2Edits>();
    acquire.request.list.Assign(QvSNMPVarList(kAcquire, kListSingleInstances, 0));
    acquire.BindComboBox(0, ui->IfGetInfo0);
    acquire.BindComboBox(1, ui->IfGetInfo1);
    acquire.OnSetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        Guard([this, &record] { AcquireDone(record); });
    };
    AcquireEdits = &acquire;
    // Only the first radio's tab is ever shown: the second radio is never commanded (a device
    // that refuses its instance would otherwise fail the whole command).
    SetTabSheetVisible(ui->TabSheet11g, false);
    Acquire();

    auto& clients = NewBinding<QvSNMPRequest2Edits>();
    clients.request.list.Assign(QvSNMPVarList(kClients, kListTableUnlisted, 2));
    clients.BindListView(ui->ClientListView, false);
    clients.OnGetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        Guard([this, &record] { ClientGetDone(record); });
    };
    clients.SetStatusSink(ui->StatusBar->Panel(0));
    ClientEdits = &clients;
    clients.Get();

    ui->User_ListView->clear();
    ui->User_ListView_g->clear();
    m_countdown = 2;
    ui->PageControl1->setTabText(0, kFirstBandTitle);
    ui->PageControl1->setTabText(1, kSecondBandTitle);
}

// Commands only the radio whose tab can be seen.
void TClientInformation::Acquire()
{
    m_acquireFailure.clear();
    QvSNMPVarList& list = AcquireEdits->request.list;
    QComboBox* const commands[] = {ui->IfGetInfo0, ui->IfGetInfo1};
    QWidget* const sheets[] = {ui->TabSheet11a, ui->TabSheet11g};
    for (int radio = 0; radio < 2; ++radio) {
        list.Item(radio).access = kAccessInvalid;
        if (TabSheetVisible(sheets[radio])) {
            list.Item(radio).access = kAccessReadWrite;
            commands[radio]->setCurrentIndex(kAcquireRow);
        }
    }
    AcquireEdits->Set();
}

void TClientInformation::showEvent(QShowEvent* event)
{
    QvPage::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // The tab sheets take their size only as the page is shown: lay the panels out anew.
        Guard([this] { FormResize(); });
        Guard([this] { FormShow(); });
    }
}

void TClientInformation::FormShow()
{
    Timer2->start();
}

void TClientInformation::Bt_RfrshClick()
{
    if (!AcquireEdits || !ClientEdits || RefusedWhileBusy(ClientEdits->Busy))
        return;
    ShowStatus("Refresh...");
    m_busy = true;
    Acquire();
    ClientEdits->Get();
    ui->User_ListView->clear();
    ui->User_ListView_g->clear();
    // No count stands over an emptied list.
    ui->NumOfRecord->clear();
    ui->NumOfRecord_g->clear();
}

void TClientInformation::AcquireDone(const QvSNMPError& record)
{
    if (m_openingAcquire) {
        m_openingAcquire = false;
        m_function = ObjectMissing(record) ? Function::Missing : Function::Present;
    }
    if (record.code != 0)
        m_acquireFailure = QString::fromStdString(record.message);
}

void TClientInformation::PageControl1Change()
{
    Bt_RfrshClick();
}

void TClientInformation::ClientGetDone(const QvSNMPError& record)
{
    // A refused acquire is told, but the table the device gave is still shown.
    ShowStatus(record.code == 0 && !m_acquireFailure.isEmpty() ? m_acquireFailure
                                                               : QString::fromStdString(record.message));
    m_busy = false;
    if (record.code != 0 || m_function == Function::Missing)
        return;
    RebuildVisibleList();
    ui->NumOfRecord->setText(QString::number(ui->User_ListView->topLevelItemCount()));
    ui->NumOfRecord_g->setText(QString::number(ui->User_ListView_g->topLevelItemCount()));
}

// The raw table holds both radios and free slots; the visible list shows the stations of
// the active tab's radio, numbered from 1.
void TClientInformation::RebuildVisibleList()
{
    const bool firstTab = ui->PageControl1->currentWidget() == ui->TabSheet11a;
    QTreeWidget* target = firstTab ? ui->User_ListView : ui->User_ListView_g;
    const QString radio = firstTab ? "1" : "2";
    QList<QTreeWidgetItem*> rows;
    int number = 1;
    for (int row = 0; row < ui->ClientListView->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* raw = ui->ClientListView->topLevelItem(row);
        if (raw->text(kMacColumn) == kFreeSlot || raw->text(kRadioColumn) != radio)
            continue;
        QStringList texts = {QString::number(number++)};
        for (int c = kMacColumn; c <= kLastColumn; ++c)
            texts << raw->text(c);
        rows << new QTreeWidgetItem(texts);
    }
    target->addTopLevelItems(rows);
}

void TClientInformation::Timer2Timer()
{
    if (m_countdown-- > 0)
        return;
    // The check is for the opening only, and for firmware that says the command's object
    // does not exist; a time-out or another refusal shows its own error instead.
    if (m_function == Function::Unknown)
        return;
    if (m_function == Function::Present || ui->PageControl1->currentWidget() != ui->TabSheet11a) {
        Timer2->stop();
        return;
    }
    Timer2->stop();
    Dialogs::message(this, "Maybe this firmware is so old that client info function is not supported.", "Warning",
                     DialogButtons::Ok, DialogIcon::Warning);
    m_closeAllowed = true;
    close();
}

void TClientInformation::Bt_CloseClick()
{
    close();
}

bool TClientInformation::FormCloseQuery()
{
    if (!CloseAllowed()) {
        // The old-firmware check must not close the page under a read the user waits for.
        Timer2->stop();
        QThread::msleep(static_cast<unsigned long>(TimeScale::scaled(kCloseWaitMs)));
        return false;
    }
    return true;
}

// A refused close is held by the base: should the read still be under way a few seconds
// later, the page lets go of it and closes.
void TClientInformation::done(int result)
{
    FormCloseQuery();
    QvPage::done(result);
}

void TClientInformation::resizeEvent(QResizeEvent* event)
{
    QvPage::resizeEvent(event);
    Guard([this] { FormResize(); });
}

void TClientInformation::FormResize()
{
    ui->PageControl1->resize(this->width(), height() - ui->StatusBar->height());
    ui->StatusBar->setGeometry(0, height() - ui->StatusBar->height(), this->width(), ui->StatusBar->height());
    const int width = ui->PageControl1->width();
    struct TabParts {
        QFrame* panel;
        std::vector<QTreeWidget*> lists;
        QPushButton* refresh;
        QPushButton* close;
    };
    const TabParts tabs[] = {
        {ui->Panel4, {ui->User_ListView, ui->ClientListView}, ui->Bt_Rfrsh, ui->Bt_Close},
        {ui->Panel5, {ui->User_ListView_g}, ui->Bt_Rfrsh_g, ui->Bt_Close_g},
    };
    for (const TabParts& tab : tabs) {
        if (QWidget* sheet = tab.panel->parentWidget())
            tab.panel->resize(sheet->size());
        const QSize panel = tab.panel->size();
        for (QTreeWidget* list : tab.lists)
            list->resize(panel.width() - Scale().X(27), panel.height() - Scale().Y(88));
        tab.refresh->move(width * 5 / 27, panel.height() - Scale().Y(41));
        tab.close->move(width * 37 / 63, panel.height() - Scale().Y(41));
    }
}
