#include "tftp/TftpPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

bool isInside(const QString& canonicalRoot, const QString& canonicalPath)
{
    if (canonicalPath == canonicalRoot)
        return false;
    const QString prefix = canonicalRoot.endsWith(QLatin1Char('/')) ? canonicalRoot
                                                                     : canonicalRoot + QLatin1Char('/');
    return canonicalPath.startsWith(prefix);
}

// The requested name as a path below the root, or an empty text when the name is
// absolute, names a drive, climbs with "..", or names nothing.
QString relativeName(const QString& requested)
{
    QString name = requested;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')))
        return {};
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':'))
        return {};
    QStringList kept;
    for (const QString& segment : name.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (segment == QLatin1String(".."))
            return {};
        if (segment != QLatin1String("."))
            kept << segment;
    }
    return kept.join(QLatin1Char('/'));
}

struct Start {
    QString canonicalRoot;
    QString joined;
};

bool prepare(const QString& root, const QString& requested, Start& start)
{
    if (root.isEmpty())
        return false;
    start.canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QString relative = relativeName(requested);
    if (start.canonicalRoot.isEmpty() || relative.isEmpty())
        return false;
    start.joined = start.canonicalRoot + QLatin1Char('/') + relative;
    return true;
}

} // namespace

TftpPath TftpPath::forReading(const QString& root, const QString& requested)
{
    Start start;
    if (!prepare(root, requested, start))
        return {Refused, {}};
    const QFileInfo info(start.joined);
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty()) {
        // A link whose target is gone may still have pointed outside, and so may the
        // folder of a missing file: refuse those rather than say what exists there.
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        const bool folderInside = folder.isEmpty() || folder == start.canonicalRoot
                                  || isInside(start.canonicalRoot, folder);
        return info.isSymLink() || !folderInside ? TftpPath{Refused, {}} : TftpPath{Missing, {}};
    }
    if (!isInside(start.canonicalRoot, canonical))
        return {Refused, {}};
    if (!QFileInfo(canonical).isFile())
        return {Missing, {}};
    return {Inside, canonical};
}

TftpPath TftpPath::forWriting(const QString& root, const QString& requested)
{
    Start start;
    if (!prepare(root, requested, start))
        return {Refused, {}};
    const QFileInfo info(start.joined);
    // A name in the folder itself lies in the folder just resolved; a deeper one's folder is
    // resolved in turn, as a link on the way may lead out.
    const QString folderPath = info.absolutePath();
    const QString folder =
        folderPath == start.canonicalRoot ? folderPath : QFileInfo(folderPath).canonicalFilePath();
    if (folder.isEmpty())
        return {Missing, {}};
    if (folder != start.canonicalRoot && !isInside(start.canonicalRoot, folder))
        return {Refused, {}};
    if (info.exists() || info.isSymLink()) {
        const QString canonical = info.canonicalFilePath();
        if (canonical.isEmpty() || !isInside(start.canonicalRoot, canonical))
            return {Refused, {}};
        // Only a file is ever replaced, never a folder.
        if (QFileInfo(canonical).isDir())
            return {Missing, {}};
        return {Inside, canonical};
    }
    return {Inside, folder + QLatin1Char('/') + info.fileName()};
}
