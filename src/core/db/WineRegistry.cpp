#include "WineRegistry.h"

#include "Database.h"
#include "core/db/LittleEndian.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QProcessEnvironment>
#include <QStringDecoder>

#include <algorithm>
#include <utility>
#include <vector>

namespace kx3 {

namespace {

// A fresh hive has lines of a few hundred bytes; anything far longer is
// skipped rather than held, so a damaged file cannot exhaust memory.
constexpr qint64 MaxLineLength = 256 * 1024;
constexpr qsizetype MaxValueBytes = 1024 * 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// The C escapes Wine writes for control characters; 0 for any other letter.
char16_t controlEscape(char c)
{
    static constexpr std::pair<char, char16_t> escapes[] = {
        {'a', u'\a'}, {'b', u'\b'}, {'e', u'\x1b'}, {'f', u'\f'},
        {'n', u'\n'}, {'r', u'\r'}, {'t', u'\t'},   {'v', u'\v'},
    };
    for (const auto &[letter, unit] : escapes) {
        if (letter == c)
            return unit;
    }
    return 0;
}

void skipSpaces(const QByteArray &line, qsizetype &pos)
{
    while (pos < line.size() && isSpace(line[pos]))
        ++pos;
}

class LineReader
{
public:
    explicit LineReader(QIODevice &device) : mDevice(device) {}

    /// Next line without its line end (LF or CRLF); false at the end.
    bool next(QByteArray &line)
    {
        for (;;) {
            if (!readUpTo(line, MaxLineLength - 1))
                return false;
            if (line.endsWith('\n') || mDevice.atEnd()) {
                if (line.endsWith('\n'))
                    line.chop(1);
                if (line.endsWith('\r'))
                    line.chop(1);
                return true;
            }
            if (!skipRestOfLine())
                return false;
        }
    }

private:
    /// Reads through the next line end, but no more than `limit` bytes, a
    /// piece at a time: QIODevice::readLine(max) would take a buffer of `max`
    /// bytes for every line, a quarter megabyte each for a hive's short lines.
    bool readUpTo(QByteArray &line, qint64 limit)
    {
        line.clear();
        char piece[4096];
        while (line.size() < limit) {
            const qint64 room = std::min<qint64>(qint64(sizeof(piece)), limit - line.size() + 1);
            const qint64 n = mDevice.readLine(piece, room);
            if (n <= 0)
                break;
            line.append(piece, qsizetype(n));
            if (piece[n - 1] == '\n')
                break;
        }
        return !line.isEmpty();
    }

    bool skipRestOfLine()
    {
        QByteArray rest;
        for (;;) {
            if (!readUpTo(rest, MaxLineLength - 1))
                return false;
            if (rest.endsWith('\n'))
                return true;
        }
    }

    QIODevice &mDevice;
};

// Wine writes pure ASCII, but a hand-edited file may hold raw UTF-8; bytes
// that are not UTF-8 are taken one character each, as Wine itself does.
QString decodeRawBytes(const QByteArray &raw)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(raw);
    if (utf8.hasError())
        return QString::fromLatin1(raw);
    return text;
}

// A string is read the way Windows hands it to a program: up to its first NUL.
QString untilNul(QString text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

QString fromUtf16Le(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = char16_t(LittleEndian::decode<std::uint16_t>(bytes.constData() + i));
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}

bool startsWithAt(const QByteArray &line, qsizetype pos, const char *literal)
{
    return pos <= line.size() && QByteArrayView(line).sliced(pos).startsWith(literal);
}

// Comma-separated hex bytes; a line ending in "\" continues on the next one.
std::optional<QByteArray> parseHexBytes(QByteArray line, qsizetype pos, LineReader &reader)
{
    QByteArray bytes;
    for (;;) {
        while (pos < line.size() && isHexDigit(line[pos])) {
            int value = 0;
            while (pos < line.size() && isHexDigit(line[pos])) {
                value = value * 16 + hexValue(line[pos++]);
                if (value > 0xff)
                    return std::nullopt;
            }
            bytes.append(char(value));
            if (bytes.size() > MaxValueBytes)
                return std::nullopt;
            skipSpaces(line, pos);
            if (pos < line.size() && line[pos] == ',')
                ++pos;
            skipSpaces(line, pos);
        }
        if (pos >= line.size() || line[pos] != '\\')
            return bytes;
        if (!reader.next(line))
            return std::nullopt;
        pos = 0;
        skipSpaces(line, pos);
    }
}

// The data of a value line from `pos` on; nullopt for anything but a string.
std::optional<QString> parseStringData(const QByteArray &line, qsizetype pos, LineReader &reader)
{
    for (const char *quote : {"\"", "str:\"", "str(2):\""}) {
        if (startsWithAt(line, pos, quote)) {
            qsizetype start = pos + qsizetype(qstrlen(quote));
            const std::optional<QString> text = WineRegistry::unescape(line, start, '"');
            if (!text)
                return std::nullopt;
            return untilNul(*text);
        }
    }
    if (!startsWithAt(line, pos, "hex("))
        return std::nullopt;

    // Strings written without their terminating NUL come out as hex(1) (REG_SZ)
    // or hex(2) (REG_EXPAND_SZ) bytes in UTF-16LE.
    qsizetype p = pos + 4;
    quint64 type = 0;
    const qsizetype digitsStart = p;
    while (p < line.size() && isHexDigit(line[p]) && p - digitsStart < 8)
        type = type * 16 + quint64(hexValue(line[p++]));
    if (p == digitsStart || !startsWithAt(line, p, "):"))
        return std::nullopt;
    if (type != 1 && type != 2)
        return std::nullopt;
    const std::optional<QByteArray> bytes = parseHexBytes(line, p + 2, reader);
    if (!bytes)
        return std::nullopt;
    return fromUtf16Le(*bytes);
}

qsizetype indexOfKey(const QStringList &keyPaths, const QString &key)
{
    for (qsizetype i = 0; i < keyPaths.size(); ++i) {
        if (keyPaths[i].compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// Value name of a `"name"=` or `@=` line; `pos` ends on the data.
std::optional<QString> parseValueName(const QByteArray &line, qsizetype &pos)
{
    QString name;
    if (line[pos] == '@') {
        ++pos;
    } else {
        ++pos;
        std::optional<QString> quoted = WineRegistry::unescape(line, pos, '"');
        if (!quoted)
            return std::nullopt;
        name = std::move(*quoted);
    }
    skipSpaces(line, pos);
    if (pos >= line.size() || line[pos] != '=')
        return std::nullopt;
    ++pos;
    skipSpaces(line, pos);
    return name;
}

} // namespace

WineRegistry::WineRegistry(QString prefix) : mPrefix(std::move(prefix)) {}

QString WineRegistry::prefixFromEnvironment(const QProcessEnvironment &env)
{
    QString prefix = env.value(QStringLiteral("WINEPREFIX"));
    if (prefix.isEmpty()) {
        const QString home = env.value(QStringLiteral("HOME"));
        if (home.isEmpty())
            return {};
        prefix = home + QStringLiteral("/.wine");
    }
    if (!prefix.startsWith(QLatin1Char('/')))
        return {};
    while (prefix.size() > 1 && prefix.endsWith(QLatin1Char('/')))
        prefix.chop(1);
    return prefix;
}

QString WineRegistry::machineHivePath() const
{
    return mPrefix + QStringLiteral("/system.reg");
}

std::optional<QString> WineRegistry::machineString(const QStringList &keyPaths,
                                                   const QString &valueName) const
{
    if (mPrefix.isEmpty())
        return std::nullopt;
    QFile file(machineHivePath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readString(file, keyPaths, valueName);
}

std::optional<QString> WineRegistry::readString(QIODevice &file, const QStringList &keyPaths,
                                                const QString &valueName)
{
    LineReader reader(file);
    QByteArray line;
    // Wine itself refuses a hive without this header, so nothing else in the
    // file can be what its installer wrote.
    if (!reader.next(line) || line != "WINE REGISTRY Version 2")
        return std::nullopt;

    std::vector<std::optional<QString>> found(size_t(keyPaths.size()));
    qsizetype current = -1;
    while (reader.next(line)) {
        qsizetype pos = 0;
        skipSpaces(line, pos);
        if (pos >= line.size())
            continue;
        const char first = line[pos];
        if (first == '[') {
            // The file is long and the preferred key settles the answer.
            if (current == 0 && found[0])
                break;
            ++pos;
            const std::optional<QString> key = unescape(line, pos, ']');
            current = key ? indexOfKey(keyPaths, *key) : -1;
            continue;
        }
        if (current < 0 || (first != '"' && first != '@'))
            continue;
        const std::optional<QString> name = parseValueName(line, pos);
        if (!name || name->compare(valueName, Qt::CaseInsensitive) != 0)
            continue;
        found[size_t(current)] = parseStringData(line, pos, reader);
    }
    for (const std::optional<QString> &value : found) {
        if (value)
            return value;
    }
    return std::nullopt;
}

std::optional<QString> WineRegistry::unescape(const QByteArray &text, qsizetype &pos,
                                              char terminator)
{
    QString out;
    QByteArray raw;
    const auto appendUnit = [&](char16_t unit) {
        if (!raw.isEmpty()) {
            out += decodeRawBytes(raw);
            raw.clear();
        }
        out.append(QChar(unit));
    };

    qsizetype p = pos;
    while (p < text.size()) {
        const char c = text[p++];
        if (c == terminator) {
            if (!raw.isEmpty())
                out += decodeRawBytes(raw);
            pos = p;
            return out;
        }
        if (c != '\\') {
            raw.append(c);
            continue;
        }
        if (p >= text.size())
            break;
        const char e = text[p++];
        if (const char16_t control = controlEscape(e)) {
            appendUnit(control);
        } else if (e == 'x' && p < text.size() && isHexDigit(text[p])) {
            // One UTF-16 code unit of one to four digits, as many as follow.
            char16_t unit = 0;
            for (int i = 0; i < 4 && p < text.size() && isHexDigit(text[p]); ++i)
                unit = char16_t(unit * 16 + hexValue(text[p++]));
            appendUnit(unit);
        } else if (isOctalDigit(e)) {
            auto unit = char16_t(e - '0');
            for (int i = 0; i < 2 && p < text.size() && isOctalDigit(text[p]); ++i)
                unit = char16_t(unit * 8 + (text[p++] - '0'));
            appendUnit(unit);
        } else {
            raw.append(e);
        }
    }
    return std::nullopt;
}

std::optional<QString> WineRegistry::toUnixPath(const QString &windowsPath) const
{
    if (mPrefix.isEmpty())
        return std::nullopt;
    QString path = windowsPath;
    if (path.startsWith(QLatin1String("\\\\?\\")) || path.startsWith(QLatin1String("\\??\\")))
        path.remove(0, 4);
    if (path.size() < 2 || path[1] != QLatin1Char(':'))
        return std::nullopt;
    const char16_t letter = path[0].toLower().unicode();
    if (letter < u'a' || letter > u'z')
        return std::nullopt;

    const QString drive =
        mPrefix + QStringLiteral("/dosdevices/") + QChar(letter) + QLatin1Char(':');
    if (!QFileInfo::exists(drive))
        return std::nullopt;

    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const bool trailingSeparator = path.size() > 2 && path.endsWith(QLatin1Char('\\'));
    QStringList components;
    for (const QString &part : path.mid(2).split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!components.isEmpty())
                components.removeLast();
            continue;
        }
        components.append(part);
    }

    QString unixPath = drive;
    bool exists = true;
    for (const QString &part : std::as_const(components)) {
        if (exists) {
            const QString resolved = resolvePathIgnoringCase(unixPath, part);
            if (QFileInfo::exists(resolved)) {
                unixPath = resolved;
                continue;
            }
            exists = false;
        }
        unixPath += QLatin1Char('/') + part;
    }
    if (trailingSeparator)
        unixPath += QLatin1Char('/');

    // Wine shows the drive that maps the whole file system as plain Unix paths.
    if (letter == u'z' && QFileInfo(drive).canonicalFilePath() == QLatin1String("/")) {
        unixPath.remove(0, drive.size());
        if (unixPath.isEmpty())
            unixPath = QStringLiteral("/");
    }
    return unixPath;
}

} // namespace kx3
