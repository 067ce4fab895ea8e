// How the command line reads file and folder names from its arguments and
// prints them back: any bytes the system allows in a name, a working folder
// that is gone.
#include "core/app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kx3 {

namespace {

/// Names that Qt's texts cannot hold byte for byte, opened by handle: the path
/// the program works with ("/proc/self/fd/3") and the bytes it stands for.
QHash<QString, QByteArray> &handleNames()
{
    static QHash<QString, QByteArray> names;
    return names;
}

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0);
}

/// The UTF-8 sequence at `at`, as one code point, with its length; length 0
/// when the bytes there are not UTF-8.
std::pair<char32_t, int> utf8At(const QByteArray &bytes, qsizetype at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const int length = lead < 0x80                   ? 1
                       : lead >= 0xc2 && lead < 0xe0 ? 2
                       : lead >= 0xe0 && lead < 0xf0 ? 3
                       : lead >= 0xf0 && lead < 0xf5 ? 4
                                                     : 0;
    if (length == 0 || at + length > bytes.size())
        return {0, 0};
    const QByteArray sequence = bytes.mid(at, length);
    const QString text = QString::fromUtf8(sequence);
    // The decoder replaces what is not UTF-8 (an overlong form, a surrogate)
    // with U+FFFD, which encodes differently.
    if (text.toUtf8() != sequence)
        return {0, 0};
    return {text.toUcs4().value(0), length};
}

/// `bytes` as text, each control character and byte that is not UTF-8
/// escaped C-style; `quoted` also escapes the quote and the backslash.
QString escaped(const QByteArray &bytes, bool quoted, bool *changed = nullptr)
{
    QString text;
    for (qsizetype at = 0; at < bytes.size();) {
        const auto [c, length] = utf8At(bytes, at);
        if (length > 0 && !isControl(c) && !(quoted && (c == '"' || c == '\\'))) {
            text += QString::fromUtf8(bytes.mid(at, length));
            at += length;
            continue;
        }
        if (changed && (length == 0 || isControl(c)))
            *changed = true;
        const int n = length > 0 ? length : 1;
        for (int i = 0; i < n; ++i) {
            const auto byte = static_cast<unsigned char>(bytes[at + i]);
            switch (byte) {
            case '\n': text += QLatin1String("\\n"); break;
            case '\t': text += QLatin1String("\\t"); break;
            case '\r': text += QLatin1String("\\r"); break;
            case '"': text += QLatin1String("\\\""); break;
            case '\\': text += QLatin1String("\\\\"); break;
            default: text += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
            }
        }
        at += n;
    }
    return text;
}

/// The bytes of `path` as the user gave them: a name opened by handle
/// becomes its own bytes again.
QByteArray originalBytes(const QString &path)
{
    for (auto it = handleNames().cbegin(); it != handleNames().cend(); ++it) {
        if (path == it.key())
            return it.value();
        if (path.startsWith(it.key() + QLatin1Char('/')))
            return it.value() + QFile::encodeName(path.mid(it.key().size()));
    }
    return QFile::encodeName(QDir::toNativeSeparators(path));
}

#ifdef Q_OS_LINUX
/// `bytes` made absolute, as bytes: the working folder's own when it has them.
QByteArray absoluteBytes(const QByteArray &bytes)
{
    if (bytes.startsWith('/'))
        return bytes;
    char cwd[PATH_MAX + 1];
    if (!::getcwd(cwd, sizeof cwd))
        return bytes;
    return QByteArray(cwd) + '/' + bytes;
}

/// A folder whose name is not UTF-8, or a file in one: a path through a
/// handle on the folder, so that Qt's texts can reach it. Empty when there
/// is no such folder.
QString openByHandle(const QByteArray &bytes)
{
    QByteArray folder = bytes;
    QByteArray rest;
    int fd = ::open(bytes.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        // A file to write or read inside such a folder: the name of the file
        // itself must be text.
        const qsizetype slash = bytes.lastIndexOf('/');
        rest = bytes.mid(slash + 1);
        folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : bytes.left(slash);
        if (rest.isEmpty() || QFile::encodeName(QFile::decodeName(rest)) != rest)
            return QString();
        fd = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return QString();
    }
    // The handle stays open for the program's life: the path names it.
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    handleNames().insert(path, absoluteBytes(folder));
    return rest.isEmpty() ? path : path + QLatin1Char('/') + QFile::decodeName(rest);
}
#endif

} // namespace

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        QString text = QString::fromLocal8Bit(bytes);
#ifdef Q_OS_LINUX
        if (QFile::encodeName(text) != bytes) {
            if (const QString handle = openByHandle(bytes); !handle.isEmpty())
                text = handle;
            else
                handleNames().insert(text, bytes);
        }
#endif
        arguments.append(text);
    }
    return arguments;
}

QString printableName(const QString &path)
{
    const QByteArray bytes = originalBytes(path);
    bool changed = bytes.startsWith('"');
    escaped(bytes, false, &changed);
    if (!changed)
        return QDir::toNativeSeparators(QFile::decodeName(bytes));
    return QLatin1Char('"') + escaped(bytes, true) + QLatin1Char('"');
}

QString printableText(const QString &text)
{
    QString printable = escaped(text.toUtf8(), false);
    // The longest first: /proc/self/fd/3 must not take the start of /proc/self/fd/31.
    QStringList handles = handleNames().keys();
    std::sort(handles.begin(), handles.end(),
              [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &handle : handles)
        printable.replace(handle, escaped(handleNames().value(handle), false));
    return printable;
}

QString workingFolder(QString *error)
{
#ifdef Q_OS_UNIX
    char cwd[PATH_MAX + 1];
    if (!::getcwd(cwd, sizeof cwd)) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return QString();
    }
    if (::access(".", R_OK | X_OK) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return QString();
    }
#ifdef Q_OS_LINUX
    const QByteArray bytes(cwd);
    if (QFile::encodeName(QFile::decodeName(bytes)) != bytes) {
        if (const QString handle = openByHandle(bytes); !handle.isEmpty())
            return handle;
    }
#endif
#endif
    const QString path = QDir::currentPath();
    if (path.isEmpty() || !QFileInfo(path).isReadable()) {
        *error = QStringLiteral("it cannot be found");
        return QString();
    }
    return path;
}

} // namespace kx3
