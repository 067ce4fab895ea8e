#include "TestDatabase.h"

#include "core/db/Database.h"

#include <bit>

namespace kx3::test {

TestInstallation::TestInstallation(const BuilderOptions &options)
{
    const DatabaseBuilder builder(options);
    mOptions = builder.options();
    if (!mDir.isValid())
        mError = mDir.errorString();
    else
        mWritten = builder.write(mDir.path(), &mError);
}

QString TestInstallation::filePath(DataFile file) const
{
    return path() + QStringLiteral("/Data/") + dataFileName(file);
}

bool TestInstallation::loadInto(Database &db) const
{
    if (!mWritten) {
        qWarning("test installation not written: %s", qPrintable(mError));
        return false;
    }
    if (!db.load(path())) {
        qWarning("%s", qPrintable(db.errorString()));
        return false;
    }
    return true;
}

QByteArray le16(std::uint16_t v)
{
    QByteArray b(2, '\0');
    b[0] = char(v & 0xFF);
    b[1] = char(v >> 8);
    return b;
}

QByteArray le32(std::uint32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

QByteArray le64(double v)
{
    const auto bits = std::bit_cast<std::uint64_t>(v);
    QByteArray b(8, '\0');
    for (int i = 0; i < 8; ++i)
        b[i] = char((bits >> (8 * i)) & 0xFF);
    return b;
}

} // namespace kx3::test
