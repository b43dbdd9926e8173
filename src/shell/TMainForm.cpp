#include "shell/TMainForm.h"

#include "binding/Mnemonics.h"
#include "binding/QvPage.h"
#include "binding/WaitInputGate.h"

#include "shell/DevicePicture.h"
#include "platform/Dialogs.h"
#include "platform/ExceptionGuard.h"
#include "platform/HostRegistry.h"
#include "platform/InstanceLock.h"
#include "shell/ModuleConstants.h"
#include "snmp/QvSNMPStartup.h"
#include "host/Startup.h"

#include "shell/MenuItems.h"
#include "shell/PageRegistry.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "shell/StatusLamps.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <exception>

namespace {
TMainForm* g_mainForm = nullptr;
}

TMainForm::TMainForm(const std::vector<std::string>& arguments, QWidget* parent)
    : QMainWindow(parent)
{
    g_mainForm = this;
    WaitInputGate::Install();
    InstallCapabilities(this);
    setObjectName("MainForm");
    setWindowTitle(ModelName);
    m_picture = new DevicePicture(this);
    setCentralWidget(m_picture);
    m_statusBar = new QvStatusBar(this);
    m_statusBar->setObjectName("StatusBar1");
    m_statusBar->setSizeGripEnabled(false);
    m_statusBar->AddPanel(DevicePicture::kWidth);
    setStatusBar(m_statusBar);
    createCapabilityEdits();
    m_lamps = new StatusLamps(m_picture, this);
    connect(m_lamps, &StatusLamps::ticked, this, &TMainForm::copyStatus);
    buildMenu();
    // Fixed single border sized to the picture, no maximise button.
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowMaximizeButtonHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    try {
        m_outcome = construct(arguments);
    } catch (const std::exception& error) {
        // A number that does not convert, or a library that cannot start: say so and end in
        // order, before any polling starts.
        ShowExceptionBox(error.what(), this);
        m_outcome = StartOutcome::Failed;
    }
}

TMainForm::~TMainForm()
{
    if (g_mainForm == this) {
        g_mainForm = nullptr;
        InstallCapabilities(nullptr);
    }
    // Bindings wait for their exchanges and let events run meanwhile: stop everything that
    // could call back into this window first, and let them go while the window is whole.
    Timer1.stop();
    Timer4.stop();
    m_lamps->showNoAnswer();
    m_capabilityBindings.clear();
    m_statusPolls.clear();
    m_bindings.Release(true, false);
}

TMainForm* MainForm() { return g_mainForm; }

namespace {

// The model whose devices detect rogue access points.
constexpr const char* kRogueModel = "VTA-8800QX";

} // namespace

void TMainForm::buildMenu()
{
    QMap<QString, QMenu*> menus;
    for (const MenuEntry& entry : MenuEntries()) {
        QMenu*& menu = menus[entry.menu];
        if (!menu) {
            menu = menuBar()->addMenu(entry.menu);
            menu->setObjectName(QString("MN_") + entry.menu);
        }
        QAction* action = menu->addAction(entry.caption);
        action->setObjectName(QString("MI_") + QString(entry.caption).trimmed().replace(' ', '_').replace('-', '_'));
        const MenuItem item = entry.item;
        connect(action, &QAction::triggered, this, [this, item] { RunGuarded([&] { openPage(item); }, this); });
    }
    m_advancedMenu = menus["Advanced"];
    m_statusMenu = menus["Status"];
    connect(m_advancedMenu, &QMenu::aboutToShow, this, &TMainForm::AdvancedMenuShow);
    connect(m_statusMenu, &QMenu::aboutToShow, this, [this] { RunGuarded([this] { StatusMenuShow(); }, this); });
    AdvancedMenuShow();
    // The keyboard's ways in: Alt with a menu's underlined letter, and F10 for the first menu.
    AssignMnemonics(menuBar());
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        const QList<QAction*> menus = menuBar()->actions();
        if (!menus.isEmpty()) {
            menuBar()->setFocus(Qt::MenuBarFocusReason);
            menuBar()->setActiveAction(menus.first());
        }
    });
}

QAction* TMainForm::menuItem(const QString& caption) const
{
    for (QAction* action : findChildren<QAction*>())
        if (WithoutMnemonic(action->text()) == caption)
            return action;
    return nullptr;
}

void TMainForm::openPage(MenuItem item)
{
    const PageRegistry::Factory factory = PageRegistry::find(item);
    if (!factory) {
        Dialogs::message(this, "This page is not available yet.", QString(EntryOf(item).caption).trimmed(), DialogButtons::Ok,
                         DialogIcon::Information);
        return;
    }
    std::unique_ptr<QDialog> page;
    {
        // The page fills on the screen: its opening reads may take a while on a slow link.
        const QvPage::OpenShown shown;
        page.reset(factory(this));
    }
    page->exec();
}

void TMainForm::AdvancedMenuShow() { menuItem("Rogue AP ")->setVisible(QString(ModelName) == kRogueModel); }

QString TMainForm::StatusText() const { return m_statusBar->Panel(0)->Text(); }

QString TMainForm::DeviceAddress() const { return QString::fromStdString(m_deviceAddress); }
QString TMainForm::FirmwareVersion() const { return Ed_FwVer->text(); }
QString TMainForm::CountryCode() const { return Ed_Countrycode->text(); }
QString TMainForm::TurboMode(int radio) const { return radio == 2 ? ED_Turbomode_g->text() : ED_Turbomode->text(); }
QString TMainForm::ApModes() const { return APModeSupport->text(); }
QString TMainForm::MultiSsidSupported() const { return ifMultiSSID_Edit->text(); }
QString TMainForm::IpAddress() const { return IPAddressEdit->text(); }
QString TMainForm::SubnetMask() const { return SubMaskEdit->text(); }

void TMainForm::SetStatusText(const QString& text) { m_statusBar->Panel(0)->SetText(text); }

void TMainForm::copyStatus() { m_lastStatus = StatusText(); }

void TMainForm::StatusPolled(int flags)
{
    SetStatusText("Ready. ");
    m_lamps->showFlags(flags);
}

void TMainForm::StatusFailed(const QString& message)
{
    m_lamps->showNoAnswer();
    SetStatusText(message);
    copyStatus();
}

TMainForm::StartOutcome TMainForm::construct(const std::vector<std::string>& arguments)
{
    const std::string executableDir = QCoreApplication::applicationDirPath().toStdString() + "/";
    LoadMessageFiles(executableDir + "errMSg/", ExecutableMessageFiles());

    QvSNMPStartup("");

    HostRegistry registry;
    m_moduleDir = ModuleDirFromHelpPath(ReadHelpPath(registry));
    LoadMessageFiles(m_moduleDir, ModuleMessageFiles());
    m_configDir = DetermineConfigDir(registry);

    if (arguments.empty()) {
        Dialogs::message(this, kNoArgumentsMessage, ModelName);
        return StartOutcome::NoArguments;
    }

    ApplyArguments(arguments, m_configDir, m_deviceAddress);

    const std::string caption = ModuleCaption(m_deviceAddress);
    setWindowTitle(QString::fromStdString(caption));
    m_lock = std::make_unique<InstanceLock>(caption);
    if (!m_lock->acquire()) {
        Dialogs::message(this, kDuplicateInstanceMessage, "Warning", DialogButtons::Ok, DialogIcon::Warning);
        return StartOutcome::AlreadyRunning;
    }
    StartPolling();
    return StartOutcome::Running;
}
