#include "support/DesktopSession.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

// What a screen reader hears: the module's windows read over the real accessibility bus
// (AT-SPI), as Orca would read them, with python3-pyatspi.
namespace {

struct Accessible {
    QString role;
    QString name;
    bool showing = false;
};

// Every object under the program's window titled so, as the bus gives them.
std::vector<Accessible> ReadOverTheBus(DesktopSession& desktop, const QString& title)
{
    int code = -1;
    const QByteArray printed =
        desktop.run("/usr/bin/python3",
                    {VTA_SOURCE_DIR "/tests/desktop/accessible_tree.py",
                     QString::number(desktop.module().process().processId()), title, "15"},
                    &code, 30000);
    EXPECT_EQ(code, 0) << "the window " << title.toStdString() << " is not on the accessibility bus";
    std::vector<Accessible> found;
    for (const QByteArray& line : printed.split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (!object.isEmpty())
            found.push_back({object["role"].toString(), object["name"].toString(), object["showing"].toBool()});
    }
    return found;
}

TEST(AccessibilityOnTheDesktop, AScreenReaderFindsTheWirelessPagesControlsByTheirLabels)
{
    DesktopSession desktop(DesktopSession::Accessibility::On);
    ASSERT_TRUE(desktop.start()) << desktop.error();
    ASSERT_TRUE(desktop.startModule()) << desktop.error();
    ASSERT_TRUE(desktop.keys(desktop.mainWindow(), {"alt+h", "w"}));
    const QString title = "Home \\ Wireless";
    ASSERT_FALSE(desktop.waitForWindow(title).isEmpty());

    const std::vector<Accessible> objects = ReadOverTheBus(desktop, title);
    ASSERT_FALSE(objects.empty());
    QStringList unnamed, ssid, broadcast;
    for (const Accessible& object : objects) {
        if (!object.showing)
            continue;
        const bool control = object.role == "text" || object.role == "password text" || object.role == "combo box"
                             || object.role == "spin button" || object.role == "table" || object.role == "tree table"
                             || object.role == "list";
        if (control && object.name.isEmpty())
            unnamed << object.role;
        if (object.role == "text" && object.name == "SSID")
            ssid << object.name;
        if (object.role == "combo box" && object.name == "SSID Broadcast")
            broadcast << object.name;
    }
    EXPECT_EQ(ssid.size(), 1) << "the SSID edit is not read as \"SSID\"";
    EXPECT_EQ(broadcast.size(), 1) << "the SSID Broadcast choice is read as its item, not its label";
    EXPECT_TRUE(unnamed.isEmpty()) << "controls a screen reader hears without a name: "
                                   << unnamed.join(", ").toStdString();
}

} // namespace
