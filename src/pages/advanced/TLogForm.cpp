#include "pages/advanced/TLogForm.h"

#include "binding/DeviceVariables.h"
#include "binding/ListFind.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "pages/advanced/TLogSetForm.h"
#include "ui_TLogSetForm.h"
#include "ui_TLogForm.h"

#include <QResizeEvent>

#include <exception>

namespace {

const OptionRow kGetLogRows[] = {{0, "nothing"}, {1, "get"}, {0, nullptr}};
const OptionRow kClearRows[] = {{0, "nothing"}, {1, "clear"}, {0, nullptr}};
const OptionRow kLevelRows[] = {{0, "disable"}, {1, "enable"}, {0, nullptr}};
const QvOptionList kGetLogOptions(kGetLogRows);
const QvOptionList kClearOptions(kClearRows);
const QvOptionList kLevelOptions(kLevelRows);

constexpr int kCommandRow = 1;  // "get" / "clear"

// Makes the device copy its log into the log table.
const VariableDescriptor kGetLog[] = {
    {VTA_OID(".2.11.11.1"), "adGetLog", kSyntaxInteger, kAccessReadWrite, &kGetLogOptions},
    DeviceVariables::EndOfTable,
};

const VariableDescriptor kClearLog[] = {
    {VTA_OID(".2.11.10"), "adClearLocalLog", kSyntaxInteger, kAccessReadWrite, &kClearOptions},
    DeviceVariables::EndOfTable,
};

const VariableDescriptor kSettings[] = {
    {VTA_OID(".2.11.1.0"), "adSystemLevel", kSyntaxInteger, kAccessReadWrite, &kLevelOptions},
    {VTA_OID(".2.11.2.0"), "adWirelessLevel", kSyntaxInteger, kAccessReadWrite, &kLevelOptions},
    {VTA_OID(".2.11.3.0"), "adNoticeLevel", kSyntaxInteger, kAccessReadWrite, &kLevelOptions},
    {VTA_OID(".2.11.9.0"), "adLogServerIP", kSyntaxIpAddress, kAccessReadWrite},
    DeviceVariables::EndOfTable,
};

#define LOG_ENTRY VTA_OID(".2.11.12.1")
const VariableDescriptor kLogTable[] = {
    {LOG_ENTRY ".1", "Index", kSyntaxInteger, kAccessNotAccessible},
    {LOG_ENTRY ".2", "Time", kSyntaxDisplayString, kAccessReadOnly},
    {LOG_ENTRY ".3", "Message", kSyntaxDisplayString, kAccessReadOnly},
    DeviceVariables::EndOfTable,
};
#undef LOG_ENTRY

// The design width the buttons' places are given for, and each button's left edge there.
constexpr int kDesignWidth = 478;
constexpr int kClearLeft = 40;
constexpr int kSettingsLeft = 142;
constexpr int kGetLeft = 252;
constexpr int kCloseLeft = 368;
constexpr int kPanelMargin = 20;

} // namespace

TLogForm::TLogForm(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TLogForm>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre, Sizing::Resizable);
    UseStatusBar(ui->StatusBar1, {50});
    Handle(ui->GetBtn, &QPushButton::clicked, [this] { GetBtnClick(); });
    Handle(ui->Clear_Btn, &QPushButton::clicked, [this] { Clear_BtnClick(); });
    Handle(ui->SetBtn, &QPushButton::clicked, [this] { SetBtnClick(); });
    Handle(ui->CloseBtn, &QPushButton::clicked, [this] { CloseBtnClick(); });
    // Rows out of sight are only hidden: the list keeps everything the device sent.
    FilterListAsYouType(ui->Ed_Find, ui->ViewListView);
    RunFormCreate([this] { FormCreate(); });
}

TLogForm::~TLogForm()
{
    // The dialog's controls go before the bindings that show values in them.
    ReleaseBindings();
}

void TLogForm::FormCreate()
{
    // A failure here leaves the controls at their defaults; the page says nothing of it.
    try {
        auto& getLog = NewBinding<QvSNMPRequest2Edits>();
        getLog.request.list.Assign(QvSNMPVarList(kGetLog, kListScalars, 0));
        getLog.BindComboBox(0, ui->GetCoBox);
        GetLogCommand = &getLog;

        m_settingsForm = std::make_unique<TLogSetForm>(this);
        auto& settings = NewBinding<QvSNMPRequest2Edits>();
        settings.RequestMode = QvSNMPRequest2Controls::kWaiting;
        settings.request.list.Assign(QvSNMPVarList(kSettings, kListSingleInstances, 0));
        Ui::TLogSetForm& dialog = *m_settingsForm->ui;
        settings.BindCheckBox(0, dialog.SysLevCeBox);
        settings.BindCheckBox(1, dialog.WirelessLevCeBox);
        settings.BindCheckBox(2, dialog.NoticeLevCeBox);
        settings.BindEdit(3, dialog.LogServerEdit, "%s");
        LogSettings = &settings;
        m_settingsForm->UseSettings(&settings, ui->StatusBar1);

        auto& clear = NewBinding<QvSNMPRequest2Edits>();
        clear.request.list.Assign(QvSNMPVarList(kClearLog, kListScalars, 0));
        clear.BindComboBox(0, ui->Bt_Clear);
        clear.OnSetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) {
            Guard([this, &record] { ClearSetDone(record); });
        };
        ClearCommand = &clear;

        // None of the three reads depends on another: they go to the device at once.
        ReadTogether({&getLog, &settings, &clear});
        getLog.Get();
        settings.Get();
        clear.Get();

        auto& table = NewBinding<QvSNMPRequest2Edits>();
        table.request.list.Assign(QvSNMPVarList(kLogTable, kListTableUnlisted, 1));
        table.OnGetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) {
            Guard([this, &record] { LogTableGetDone(record); });
        };
        table.BindListView(ui->ViewListView, false);
        LogTable = &table;
    } catch (const std::exception&) {
    }
}

void TLogForm::GetBtnClick()
{
    if (!GetLogCommand || !LogTable || RefusedWhileBusy(LogTable->Busy))
        return;
    ui->GetCoBox->setCurrentIndex(kCommandRow);
    GetLogCommand->Set();
    ShowStatus("Refresh...");
    EnableButtons(false);
    LogTable->Get();
}

void TLogForm::LogTableGetDone(const QvSNMPError& record)
{
    ShowStatus(QString::fromStdString(record.message));
    EnableButtons(true);
}

void TLogForm::Clear_BtnClick()
{
    if (!ClearCommand || RefusedWhileBusy(ClearCommand->Busy))
        return;
    ui->Bt_Clear->setCurrentIndex(kCommandRow);
    ClearCommand->Set();
}

// The list goes only once the device has said it cleared its log.
void TLogForm::ClearSetDone(const QvSNMPError& record)
{
    if (record.code != 0) {
        ShowStatus("Set error!");
        return;
    }
    ui->ViewListView->clear();
    ShowStatus("Setting success!");
}

void TLogForm::SetBtnClick()
{
    if (m_settingsForm)
        m_settingsForm->exec();
}

void TLogForm::CloseBtnClick()
{
    close();
}

bool TLogForm::FormCloseQuery() const
{
    return ui->CloseBtn->isEnabled();
}

void TLogForm::done(int result)
{
    if (CloseAllowed() && !AnyBindingBusy() && m_settingsForm)
        m_settingsForm->UseSettings(nullptr, nullptr);  // its binding goes now
    QvPage::done(result);
}

void TLogForm::EnableButtons(bool enabled)
{
    for (QPushButton* button : {ui->Clear_Btn, ui->SetBtn, ui->GetBtn, ui->CloseBtn})
        button->setEnabled(enabled);
}

void TLogForm::resizeEvent(QResizeEvent* event)
{
    QvPage::resizeEvent(event);
    Guard([this] { FormResize(); });
}

void TLogForm::FormResize()
{
    const int width = this->width();
    const int statusTop = height() - ui->StatusBar1->height();
    const int buttonsTop = statusTop - ui->Panel3->height();
    ui->StatusBar1->setGeometry(0, statusTop, width, ui->StatusBar1->height());
    ui->Panel3->setGeometry(0, buttonsTop, width, ui->Panel3->height());
    ui->Panel1->setGeometry(0, 0, width, buttonsTop);
    // Designed margins, scaled as the form was.
    const FormScale& scale = Scale();
    ui->Panel2->resize(ui->Panel1->width() - scale.X(kPanelMargin), ui->Panel1->height() - scale.Y(kPanelMargin));
    ui->GB_ViewLog->resize(ui->Panel2->size());
    // The find box and the list fill the group's width; the list takes its height under the box.
    const int right = ui->GB_ViewLog->width() - scale.X(8);
    ui->Ed_Find->resize(right - ui->Ed_Find->x(), ui->Ed_Find->height());
    ui->ViewListView->resize(right - ui->ViewListView->x(),
                             ui->GB_ViewLog->height() - scale.Y(8) - ui->ViewListView->y());
    const std::pair<QPushButton*, int> places[] = {
        {ui->Clear_Btn, kClearLeft}, {ui->SetBtn, kSettingsLeft}, {ui->GetBtn, kGetLeft}, {ui->CloseBtn, kCloseLeft}};
    for (auto [button, left] : places)
        button->move(width * left / kDesignWidth, button->y());
}
