#include "binding/QvPage.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "support/PageTestKit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

// The module ending while a page waits for its device: the wait ends at once, and nothing is
// sent afterwards. (A program of its own: a quitting application stays quitting.)
namespace {

const VariableDescriptor kName[] = {
    {"1.3.6.1.2.1.1.5", "sysName", kSyntaxDisplayString, kAccessReadWrite},
    {nullptr, nullptr, 0, 0},
};

class ModuleEnding : public PageWithoutDevice {};

TEST_F(ModuleEnding, AWaitingReadEndsWhenTheModuleQuitsAndNothingLeavesAfterwards)
{
    AimAt(silent->port(), 3000);  // 30 s per try
    QvPage page;
    QLineEdit name(&page);
    auto& binding = page.NewBinding<QvSNMPRequest2Edits>();
    binding.RequestMode = QvSNMPRequest2Controls::kWaiting;
    binding.request.list.Assign(QvSNMPVarList(kName, kListScalars, 0));
    binding.BindEdit(0, &name, "%s");
    page.show();
    // The main window's end: the application leaves its event loops.
    QTimer::singleShot(300, [] { QCoreApplication::exit(0); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(binding.Get());
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_EQ(silent->datagramsReceived(), 1);
    name.setText("written after the end");
    EXPECT_FALSE(binding.Set(false));
    EXPECT_EQ(silent->datagramsReceived(), 0);
}

} // namespace
