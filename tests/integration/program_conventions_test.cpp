#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "VtaVersion.h"

namespace {

const char* const kPrograms[] = {"vta-module", "vta-fleet", "vta-devsim", "vta-tftp-serve"};

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// A program run as from a terminal without a display: no DISPLAY, no Qt platform chosen,
// a home of its own and a current folder of its own, which show what it left behind.
ProgramRun run(const QString& program, const QStringList& arguments, const QString& home,
               const QStringList& settings = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "VTA_HOST_REGISTRY", "XDG_CONFIG_HOME"})
        environment.remove(name);
    environment.insert("HOME", home);
    for (const QString& setting : settings)
        environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(home);
    process.start(QStringLiteral(VTA_BIN_DIR) + "/" + program, arguments);
    ProgramRun result;
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QStringList longOptions(const QString& text)
{
    QSet<QString> options;
    QRegularExpression option("--[a-z][a-z0-9-]*[a-z0-9]");
    for (auto match = option.globalMatch(text); match.hasNext();)
        options.insert(match.next().captured());
    QStringList sorted(options.begin(), options.end());
    sorted.sort();
    return sorted;
}

TEST(ProgramConventions, HelpVersionAndUnknownOptionsWithoutADisplay)
{
    for (const char* program : kPrograms) {
        SCOPED_TRACE(program);
        QTemporaryDir home;
        const ProgramRun help = run(program, {"--help"}, home.path());
        EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith("Usage: " + QString(program))) << help.out.toStdString();
        EXPECT_EQ(help.err, "");

        const ProgramRun version = run(program, {"--version"}, home.path());
        EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
        EXPECT_EQ(version.out, QString(program) + " " VTA_VERSION "\n");

        for (const QStringList& arguments : {QStringList{"--frobnicate"}, QStringList{"--frobnicate", "1"}}) {
            const ProgramRun unknown = run(program, arguments, home.path());
            EXPECT_EQ(unknown.exitCode, 2) << arguments.join(' ').toStdString();
            EXPECT_TRUE(unknown.err.contains("unknown option '--frobnicate'")) << unknown.err.toStdString();
            EXPECT_EQ(unknown.out, "");
        }
        // Answering opened nothing: no host registry, no boots counter, no window's files.
        EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }
}

// The module's own start-up still sees every argument that holds a "/" (Qt's one-dash options
// included), however it begins.
TEST(ProgramConventions, TheModuleTakesTheHostsArgumentsAsBefore)
{
    QTemporaryDir home;
    const ProgramRun start = run("vta-module", {"-platform", "offscreen", "--x/I10.0.0.7", "/vbad"}, home.path(),
                                 {"VTA_UNATTENDED_DIALOGS=1", "VTA_LOCK_DIR=" + home.path()});
    EXPECT_EQ(start.exitCode, 1);
    EXPECT_TRUE(start.err.contains("'bad' is not a valid integer value")) << start.err.toStdString();
}

// Each manual page names exactly the options the program's --help lists.
TEST(ProgramConventions, ManualPagesNameTheProgramsOptions)
{
    for (const char* program : kPrograms) {
        SCOPED_TRACE(program);
        QFile page(QStringLiteral(VTA_SOURCE_DIR) + "/packaging/man/" + program + ".1");
        ASSERT_TRUE(page.open(QIODevice::ReadOnly));
        const QString source = QString::fromUtf8(page.readAll()).replace("\\-", "-");
        QTemporaryDir home;
        const ProgramRun help = run(program, {"--help"}, home.path());
        EXPECT_EQ(longOptions(source).join(' ').toStdString(), longOptions(help.out).join(' ').toStdString());
        EXPECT_TRUE(source.contains(".TH " + QString(program).toUpper() + " 1"));
    }
    QFile page(QStringLiteral(VTA_SOURCE_DIR) + "/packaging/man/vta-module.1");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString source = QString::fromUtf8(page.readAll());
    for (const char* hostSwitch : {"/I", "/R", "/W", "/v", "/t", "/c", "/d", "/m", "/l", "/n", "/A", "/P", "/a", "/p"})
        EXPECT_TRUE(source.contains(QString(".BI ") + hostSwitch)) << hostSwitch;
}

} // namespace
