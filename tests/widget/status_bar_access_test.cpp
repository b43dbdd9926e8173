#include "binding/QvStatusBar.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

// A screen reader hears what the status bar says: every new text of a panel or of the bar's
// simple text raises a name change on the accessibility interface, and the bar reads as it.
namespace {

std::vector<std::pair<QObject*, QAccessible::Event>> g_events;

void Record(QAccessibleEvent* event) { g_events.emplace_back(event->object(), event->type()); }

class StatusBarAccess : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_events.clear();
        // As when a screen reader listens: Qt passes events on only then.
        QAccessible::setActive(true);
        QAccessible::installUpdateHandler(Record);
    }
    void TearDown() override
    {
        QAccessible::installUpdateHandler(nullptr);
        QAccessible::setActive(false);
    }

    static int nameChanges(QObject* object)
    {
        return static_cast<int>(std::count_if(g_events.begin(), g_events.end(), [object](const auto& event) {
            return event.first == object && event.second == QAccessible::NameChanged;
        }));
    }
};

TEST_F(StatusBarAccess, ANewTextIsAnnouncedAndTheSameTextAgainIsNot)
{
    QWidget window;
    auto* bar = new QvStatusBar(&window);
    QvStatusPanel* panel = bar->AddPanel(100, true);
    window.show();

    g_events.clear();
    panel->SetText("Setting Success!");
    EXPECT_GE(nameChanges(panel), 1);
    const int afterFirst = nameChanges(panel);
    panel->SetText("Setting Success!");
    EXPECT_EQ(nameChanges(panel), afterFirst);

    bar->SetSimpleText("Busy, please try again in a moment.");
    bar->SetSimplePanel(true);
    EXPECT_GE(nameChanges(bar), 1);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(bar)->text(QAccessible::Name),
              QString("Busy, please try again in a moment."));
}

} // namespace
