// Wine's system.reg as the installation lookup reads it, and the escapes of
// its key names and strings.
//
// Input: the registry file.
#include "FuzzInput.h"

#include "core/db/WineRegistry.h"

#include <QBuffer>
#include <QStringList>

using namespace kx3;

namespace {

// The keys the installation lookup asks for, and one of each kind that a
// hand-edited file might hold.
const QStringList &keyPaths()
{
    static const QStringList keys = {
        QStringLiteral("Software\\Wow6432Node\\Vantorel Ltd\\Kickora 3"),
        QStringLiteral("Software\\Vantorel Ltd\\Kickora 3"),
        QStringLiteral("Software\\Wow6432Node\\Vantorel Ltd\\Kickora 99-00"),
        QStringLiteral("Software\\Vantorel Ltd\\Kickora 99-00"),
    };
    return keys;
}

std::optional<QString> lookUp(const QByteArray &content, const QString &valueName)
{
    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    return WineRegistry::readString(buffer, keyPaths(), valueName);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    lookUp(content, QStringLiteral("Location"));
    lookUp(content, QString()); // the default value, written as @=

    // Every terminator the reader passes, from the start and from a quote;
    // the position may only move forward, onto or past the terminator.
    for (const char terminator : {'"', ']'}) {
        for (qsizetype start : {qsizetype(0), content.indexOf('"') + 1}) {
            qsizetype pos = start;
            if (WineRegistry::unescape(content, pos, terminator)
                && (pos <= start || pos > content.size() || content[pos - 1] != terminator)) {
                fuzz::fail("unescape ended off its terminator");
            }
        }
    }
    return 0;
}
