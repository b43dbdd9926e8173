#include "pages/advanced/AdvancedPages.h"
#include "pages/home/HomePages.h"
#include "pages/status/StatusPages.h"
#include "pages/tools/ToolsPages.h"
#include "shell/ModuleCommandLine.h"
#include "shell/ModuleConstants.h"
#include "shell/PageRegistry.h"
#include "shell/SnapshotTour.h"
#include "shell/TAboutForm.h"
#include "shell/TConnectForm.h"
#include "shell/TMainForm.h"

#include "VtaVersion.h"

#include <QApplication>

#include <cstdio>

// Exit codes: 0 normal end, 1 the module could not start, 2 started without arguments or
// with a bad option, 3 another module already manages this device.
int main(int argc, char* argv[])
{
    // Read before the GUI starts: --help and --version need no display and open no window.
    const ModuleCommandLine commandLine = ReadModuleCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (commandLine.mode) {
    case ModuleCommandLine::Mode::Help:
        std::fputs(ModuleUsage(), stdout);
        return 0;
    case ModuleCommandLine::Mode::Version:
        std::printf("vta-module %s\n", VTA_VERSION);
        return 0;
    case ModuleCommandLine::Mode::Invalid:
        std::fprintf(stderr, "vta-module: %s\nTry 'vta-module --help'.\n", commandLine.problem.c_str());
        return 2;
    case ModuleCommandLine::Mode::Host:
    case ModuleCommandLine::Mode::Connect:
        break;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(ModelName);
    // Desktops take the window's icon and name from the installed desktop entry.
    QGuiApplication::setDesktopFileName("vta-module");

    RegisterHomePages();
    RegisterAdvancedPages();
    RegisterToolsPages();
    RegisterStatusPages();
    PageRegistry::add(MenuItem::About, [](QWidget* owner) { return new TAboutForm(owner); });

    // QApplication has taken its own switches out of argv; the rest are the host's.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (commandLine.mode == ModuleCommandLine::Mode::Connect) {
        TConnectForm connect;
        if (connect.exec() != QDialog::Accepted)
            return 0;
        arguments = connect.ModuleArguments();
    }
    TMainForm form(arguments);
    switch (form.outcome()) {
    case TMainForm::StartOutcome::Running:
        break;
    case TMainForm::StartOutcome::NoArguments:
        return 2;
    case TMainForm::StartOutcome::AlreadyRunning:
        return 3;
    case TMainForm::StartOutcome::Failed:
        return 1;
    }
    form.show();
    if (SnapshotTour::requested())
        SnapshotTour::start(&form);
    return application.exec();
}
