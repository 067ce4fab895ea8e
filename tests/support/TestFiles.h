#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>

namespace kx3::test {

/// The bytes of a file, or "<missing>" when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

/// Replaces a file's content; false when it cannot be written.
inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && f.write(content) == content.size();
}

/// Every file of a folder, hidden ones included, with its bytes: for
/// comparing a folder before and after.
inline QMap<QString, QByteArray> filesIn(const QString &dir)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden)) {
        // The editor's lock, held while a database of the folder is open.
        if (name != QLatin1String(".kx3edit.lock"))
            files.insert(name, readFile(dir + QLatin1Char('/') + name));
    }
    return files;
}

} // namespace kx3::test
