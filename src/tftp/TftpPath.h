#pragma once

#include <QString>

// Where a requested file name leads inside the served folder. Every name is resolved
// inside the folder: absolute names, drive names, ".." segments and names that leave the
// folder through links are refused, and an empty folder serves nothing.
struct TftpPath {
    enum Verdict {
        Inside,   // path names a place inside the folder
        Missing,  // no such file to read, or no such folder (or a folder) to write
        Refused,  // the name points outside the folder, or no folder is served
    };
    Verdict verdict = Refused;
    // The resolved, link-free absolute path (Inside only).
    QString path;

    // "\" separates folders as "/" does, so Windows-style names from a device keep working.
    static TftpPath forReading(const QString& root, const QString& requested);
    // The file to create or replace: its folder must exist inside the served folder; an
    // existing file (or link) must itself resolve inside it.
    static TftpPath forWriting(const QString& root, const QString& requested);
};
