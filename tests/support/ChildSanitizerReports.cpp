#include "support/ChildSanitizerReports.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

QString OwnFolder()
{
    const QByteArray reports = qgetenv("VTA_SANITIZER_REPORTS");
    if (reports.isEmpty())
        return {};
    return QString::fromLocal8Bit(reports) + "/" + QString::number(getpid());
}

// The children read their options from the environment they inherit; log_path comes last
// so it wins over one given before.
void AppendOption(const char* variable, const QString& option)
{
    QByteArray value = qgetenv(variable);
    if (!value.isEmpty())
        value += ':';
    value += option.toLocal8Bit();
    setenv(variable, value.constData(), 1);
}

} // namespace

void SendChildSanitizerReportsToOwnFolder()
{
    const QString folder = OwnFolder();
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    // Each sanitizer appends the reporting process's id to the name.
    AppendOption("ASAN_OPTIONS", "log_path=" + folder + "/asan");
    AppendOption("UBSAN_OPTIONS", "log_path=" + folder + "/ubsan");
    AppendOption("LSAN_OPTIONS", "log_path=" + folder + "/lsan");
}

int ChildSanitizerReports()
{
    const QString folder = OwnFolder();
    if (folder.isEmpty())
        return 0;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QFile report(dir.filePath(name));
        report.open(QIODevice::ReadOnly);
        std::fprintf(stderr, "A program this test started reported (%s):\n%s\n", qPrintable(report.fileName()),
                     report.readAll().constData());
    }
    if (names.isEmpty())
        dir.rmdir(folder);
    return static_cast<int>(names.size());
}
