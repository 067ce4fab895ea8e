#pragma once

#include <QByteArray>
#include <QFile>
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

} // namespace kx3::test
