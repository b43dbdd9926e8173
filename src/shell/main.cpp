#include "InformationPage.h"
#include "ModuleConstants.h"
#include "PageRegistry.h"
#include "SnapshotTour.h"
#include "TAboutForm.h"
#include "TFM_CfgFile.h"
#include "TFM_Firmware.h"
#include "TMainForm.h"

#include <QApplication>

// Exit codes: 0 normal end, 1 the module could not start, 2 started without arguments,
// 3 another module already manages this device.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(ModelName);

    PageRegistry::add("About", [](QWidget* owner) { return new TAboutForm(owner); });
    PageRegistry::add("Information", NewInformationPage);
    PageRegistry::add("Firmware", [](QWidget* owner) { return new TFM_Firmware(owner); });
    PageRegistry::add("Configuration File", [](QWidget* owner) { return new TFM_CfgFile(owner); });

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
