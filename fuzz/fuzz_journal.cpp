// The save journal as the next load finds it: read, shown read-only and
// acted on. Whatever the journal says, a data file may only ever end with
// its own earlier or its own new content (never another file's), nothing
// outside the data files and the save's own files is touched, and the
// read-only view names only files of the folder.
//
// Input: one byte choosing which of the save's files lie beside the data
// files, then the journal. "$S" and "$C" in it stand for the checksums of
// staff.dat's and club.Dat's new contents, so that mutations reach whole
// journals and not only damaged ones.
#include "FuzzInput.h"

#include "core/db/AtomicFileSetWriter.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <xxhash.h>

#include <cstdint>

using namespace kx3;
using kx3::fuzz::fail;

namespace {

const QByteArray OldStaff = QByteArrayLiteral("staff as it was");
const QByteArray NewStaff = QByteArrayLiteral("staff as saved, longer");
const QByteArray OldClub = QByteArrayLiteral("clubs as they were");
const QByteArray NewClub = QByteArrayLiteral("clubs as saved");
const QByteArray Notes = QByteArrayLiteral("a file of the user's");

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
        fail("cannot write a file of the fixture");
}

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir root;
    if (size < 1 || size > 4096)
        return 0;
    const std::uint8_t present = data[0];
    QByteArray journal(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    journal.replace("$S", checksumText(NewStaff)).replace("$C", checksumText(NewClub));

    const QString dir = root.path() + QStringLiteral("/Data");
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    put(root.path() + QStringLiteral("/outside.txt"), Notes);
    put(dir + QStringLiteral("/notes.txt"), Notes);
    // Each file of an interrupted save, there or not as the input chooses;
    // the data files hold either content.
    put(dir + QStringLiteral("/staff.dat"), present & 1 ? NewStaff : OldStaff);
    put(dir + QStringLiteral("/club.Dat"), present & 2 ? NewClub : OldClub);
    if (present & 4)
        put(dir + QStringLiteral("/.staff.dat.Ab12Cd.kx3new"), NewStaff);
    if (present & 8)
        put(dir + QStringLiteral("/.staff.dat.0.kx3old"), OldStaff);
    if (present & 16)
        put(dir + QStringLiteral("/.club.Dat.Xy34Zw.kx3new"), NewClub);
    if (present & 32)
        put(dir + QStringLiteral("/.club.Dat.0.kx3old"), OldClub);
    put(dir + QLatin1Char('/') + AtomicFileSetWriter::journalName(), journal);
    const QStringList names = {QStringLiteral("staff.dat"), QStringLiteral("club.Dat"),
                               QStringLiteral("index.dat")};

    QHash<QString, QString> view;
    AtomicFileSetWriter::recoveredView(dir, names, &view);
    for (auto it = view.cbegin(); it != view.cend(); ++it) {
        if (!names.contains(it.key(), Qt::CaseInsensitive))
            fail("the read-only view names a file that is not a data file");
        if (!it.value().isEmpty() && !it.value().startsWith(dir + QLatin1Char('/')))
            fail("the read-only view reads a file outside the folder");
        if (it.value().mid(dir.size() + 1).contains(QLatin1Char('/')))
            fail("the read-only view reads a file below the folder");
    }

    AtomicFileSetWriter::recover(dir, names);
    const QByteArray staff = contentOf(dir + QStringLiteral("/staff.dat"));
    const QByteArray club = contentOf(dir + QStringLiteral("/club.Dat"));
    // A file that did not exist before the save (no backup) is removed when undone.
    if (staff != OldStaff && staff != NewStaff && staff != "<missing>")
        fail("staff.dat ended with another file's content", staff);
    if (club != OldClub && club != NewClub && club != "<missing>")
        fail("club.Dat ended with another file's content", club);
    if (contentOf(dir + QStringLiteral("/notes.txt")) != Notes
        || contentOf(root.path() + QStringLiteral("/outside.txt")) != Notes)
        fail("a file that is not the save's was changed");
    return 0;
}
