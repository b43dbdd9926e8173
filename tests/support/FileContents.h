#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file's whole contents; empty when it is missing or cannot be read.
inline QByteArray FileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
