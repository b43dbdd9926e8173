// vta-fleet runs on servers without a display stack: the program as built depends on Qt's
// core and network libraries only, no widget or GUI library.
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

TEST(FleetProgram, LinksNoWidgetOrGuiLibrary)
{
    if (QStandardPaths::findExecutable("readelf").isEmpty())
        GTEST_SKIP() << "no readelf to list the program's libraries";
    QProcess readelf;
    readelf.start("readelf", {"--dynamic", QStringLiteral(VTA_BIN_DIR) + "/vta-fleet"});
    ASSERT_TRUE(readelf.waitForFinished(10000));
    ASSERT_EQ(readelf.exitCode(), 0) << readelf.readAllStandardError().toStdString();
    QStringList needed;
    for (const QString& line : QString::fromUtf8(readelf.readAllStandardOutput()).split('\n'))
        if (line.contains("(NEEDED)"))
            needed << line.section('[', 1).section(']', 0, 0);
    EXPECT_TRUE(needed.contains("libQt6Core.so.6")) << needed.join(' ').toStdString();
    EXPECT_TRUE(needed.contains("libQt6Network.so.6")) << needed.join(' ').toStdString();
    for (const QString& library : needed)
        EXPECT_FALSE(library.startsWith("libQt6") && library != "libQt6Core.so.6" && library != "libQt6Network.so.6")
            << library.toStdString();
}

}  // namespace
