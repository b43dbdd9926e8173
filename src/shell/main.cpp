#include "pages/advanced/AdvancedPages.h"
#include "pages/home/HomePages.h"
#include "pages/status/StatusPages.h"
#include "pages/tools/ToolsPages.h"
#include "shell/ModuleConstants.h"
#include "shell/PageRegistry.h"
#include "shell/SnapshotTour.h"
#include "shell/TAboutForm.h"
#include "shell/TMainForm.h"

#include <QApplication>

// Exit codes: 0 normal end, 1 the module could not start, 2 started without arguments,
// 3 another module already manages this device.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(ModelName);

    RegisterHomePages();
    RegisterAdvancedPages();
    RegisterToolsPages();
    RegisterStatusPages();
    PageRegistry::add(MenuItem::About, [](QWidget* owner) { return new TAboutForm(owner); });

    // QApplication has taken its own switches out of argv; the rest are the host's.
    std::vector<std::string> arguments(argv + 1, argv + argc);
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
