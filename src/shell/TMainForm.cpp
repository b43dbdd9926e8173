#include "TMainForm.h"

#include "DevicePicture.h"
#include "Dialogs.h"
#include "ExceptionGuard.h"
#include "HostRegistry.h"
#include "InstanceLock.h"
#include "ModuleConstants.h"
#include "QvSNMPStartup.h"
#include "Startup.h"

#include <QCoreApplication>
#include <QLayout>
#include <QStatusBar>
#include <exception>

TMainForm::TMainForm(const std::vector<std::string>& arguments, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName("MainForm");
    setWindowTitle(ModelName);
    m_picture = new DevicePicture(this);
    setCentralWidget(m_picture);
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName("StatusBar1");
    m_statusBar->setSizeGripEnabled(false);
    setStatusBar(m_statusBar);
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

TMainForm::~TMainForm() = default;

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
    return StartOutcome::Running;
}
