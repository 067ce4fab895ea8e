// The save journal as the next load finds it, read-only and then acted on.
// Whatever it says, a data file may only end with its own earlier or new
// content (or be gone, had it no backup), never another file's; no other
// file changes; the read-only view reads only files of the folder.
//
// Input: one byte choosing which of the save's files lie beside the data
// files, then the journal, where "$S" and "$C" stand for the checksums of
// the new contents, so that mutations reach whole journals too.
#include "FuzzInput.h"

#include "core/db/AtomicFileSetWriter.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <xxhash.h>

using namespace kx3;

namespace {

QByteArray checksumText(const QByteArray &content)
{
    return QByteArray::number(quint64(XXH3_64bits(content.constData(), size_t(content.size()))),
                              16)
        .rightJustified(16, '0');
}

void put(const QString &path, const QByteArray &content)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        fuzz::fail("cannot write a file of the fixture");
}

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("gone");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir root;
    if (size < 1 || size > 4096)
        return 0;
    const QByteArray staff[] = {"staff as it was", "staff as saved, longer"};
    const QByteArray club[] = {"clubs as they were", "clubs as saved"};
    QByteArray journal(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    journal.replace("$S", checksumText(staff[1])).replace("$C", checksumText(club[1]));
    const QString dir = root.path() + QStringLiteral("/Data/");
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    put(root.path() + QStringLiteral("/outside.txt"), "theirs");
    put(dir + QStringLiteral("notes.txt"), "theirs");
    put(dir + QStringLiteral("staff.dat"), staff[data[0] & 1]);
    put(dir + QStringLiteral("club.Dat"), club[(data[0] >> 1) & 1]);
    const std::pair<const char *, QByteArray> saved[] = {{".staff.dat.Ab12Cd.kx3new", staff[1]},
                                                         {".staff.dat.0.kx3old", staff[0]},
                                                         {".club.Dat.Xy34Zw.kx3new", club[1]},
                                                         {".club.Dat.0.kx3old", club[0]}};
    for (int i = 0; i < 4; ++i) {
        if (data[0] & (4 << i))
            put(dir + QLatin1String(saved[i].first), saved[i].second);
    }
    put(dir + AtomicFileSetWriter::journalName(), journal);
    const QStringList names = {QStringLiteral("staff.dat"), QStringLiteral("club.Dat"),
                               QStringLiteral("index.dat")};

    QHash<QString, QString> view;
    AtomicFileSetWriter::recoveredView(dir.chopped(1), names, &view);
    for (auto it = view.cbegin(); it != view.cend(); ++it) {
        if (!names.contains(it.key(), Qt::CaseInsensitive)
            || (!it.value().isEmpty()
                && (!it.value().startsWith(dir) || it.value().mid(dir.size()).contains('/'))))
            fuzz::fail("the read-only view reads a file it must not", it.value().toUtf8());
    }
    AtomicFileSetWriter::recover(dir.chopped(1), names);
    const QByteArray nowStaff = contentOf(dir + QStringLiteral("staff.dat"));
    const QByteArray nowClub = contentOf(dir + QStringLiteral("club.Dat"));
    if ((nowStaff != staff[0] && nowStaff != staff[1] && nowStaff != "gone")
        || (nowClub != club[0] && nowClub != club[1] && nowClub != "gone"))
        fuzz::fail("a data file ended with another file's content", nowStaff + '|' + nowClub);
    if (contentOf(dir + QStringLiteral("notes.txt")) != "theirs"
        || contentOf(root.path() + QStringLiteral("/outside.txt")) != "theirs")
        fuzz::fail("a file that is not the save's was changed");
    return 0;
}
