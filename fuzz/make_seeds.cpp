// Writes the seed corpora of the fuzzers: make_seeds <folder> fills
// <folder>/fileset, <folder>/misclines, <folder>/wineregistry and <folder>/journal.
//
// Seeds are generated, never copied from a game: databases from the builder
// at a few sizes, with the odd bytes real files carry (a part record behind
// the clubs, bytes behind the staff tables, lines the game skips), and
// registry files written the way Wine writes them.
#include "FuzzInput.h"

#include "DatabaseBuilder.h"
#include "DatabaseGenerator.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace kx3;

namespace {

bool writeSeed(const QString &folder, const QString &name, const QByteArray &bytes)
{
    if (!QDir().mkpath(folder))
        return false;
    QFile f(folder + QLatin1Char('/') + name);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray randomBytes(quint32 seed, int count)
{
    BuilderRandom random(seed);
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char(random.next()));
    return bytes;
}

std::array<QByteArray, DataFileCount> databaseFiles(int persons, quint32 seed)
{
    BuilderOptions options;
    options.persons = persons;
    options.seed = seed;
    return DatabaseBuilder(options).files();
}

QByteArray &file(std::array<QByteArray, DataFileCount> &files, DataFile f)
{
    return files[std::size_t(f)];
}

bool writeFileSetSeeds(const QString &folder)
{
    struct Size
    {
        int persons;
        quint32 seed;
    };
    // Small on purpose: every run of the harness goes over the whole set.
    static constexpr Size Sizes[] = {{0, 1}, {1, 2}, {3, 3}, {12, 4}, {20, 5}, {30, 6}};
    int n = 0;
    bool ok = true;
    for (const Size &s : Sizes) {
        const QByteArray choices = randomBytes(s.seed, 24);
        std::array<QByteArray, DataFileCount> files = databaseFiles(s.persons, s.seed);
        ok = ok
             && writeSeed(folder, QStringLiteral("db-%1").arg(n++),
                          fuzz::joinFileSet(files, choices));
        if (s.persons < 12)
            continue;
        // The stray bytes and lines that load fine and must survive a save.
        file(files, DataFile::Club).append(QByteArray(100, '\x5A'));
        file(files, DataFile::Staff).append(QByteArray(33, '\x11'));
        file(files, DataFile::StaffHistory).append(QByteArray(5, '\x22'));
        file(files, DataFile::PlayerSetup).append("no quote in this line\r\n\"LAST\"\n");
        ok = ok
             && writeSeed(folder, QStringLiteral("db-%1").arg(n++),
                          fuzz::joinFileSet(files, choices));
    }
    return ok;
}

bool writeMiscLineSeeds(const QString &folder)
{
    bool ok = true;
    int n = 0;
    for (int persons : {12, 30, 60}) {
        const QByteArray setup =
            databaseFiles(persons, quint32(persons))[std::size_t(DataFile::PlayerSetup)];
        // The first byte picks the line of the person, the second his record.
        for (char line : {'\x0F', '\x20', '\x7F'}) {
            const QString name = QStringLiteral("setup-%1").arg(n);
            ok = ok && writeSeed(folder, name, QByteArray(1, line) + char(n) + setup);
            ++n;
        }
    }
    return ok;
}

bool writeRegistrySeeds(const QString &folder)
{
    const QByteArray header = "WINE REGISTRY Version 2\n"
                              ";; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
    const QByteArray plain = "[Software\\\\Vantorel Ltd\\\\Kickora 3] 1796628448\n"
                             "#time=1d9a4f0c2b3e8a0\n"
                             "\"Location\"=\"C:\\\\Games\\\\Kickora 3\"\n"
                             "@=\"default\"\n\n";
    const QByteArray wow =
        "[Software\\\\Wow6432Node\\\\Vantorel Ltd\\\\Kickora 99-00] 1796628450\n"
        "\"Location\"=str(2):\"C:\\\\Program Files\\\\K\\x263a\\303\\n\\\"99\\\"\"\n"
        "\"Version\"=dword:00000002\n\n";
    const QByteArray hex = "[Software\\\\Vantorel Ltd\\\\Kickora 99-00]\n"
                           "\"Location\"=hex(2):43,00,3a,00,5c,00,4b,00,\\\n"
                           "  39,00,39,00,00,00\n"
                           "\"LOCATION\"=hex(1):44,00,3a,00\n\n";
    const QByteArray seeds[] = {header + plain, header + wow + plain, header + hex,
                                header + "[Software\\\\Vantorel Ltd\\\\Kickora 3\n\"x\"\n" + wow};
    bool ok = true;
    int n = 0;
    for (const QByteArray &seed : seeds)
        ok = ok && writeSeed(folder, QStringLiteral("reg-%1").arg(n++), seed);
    return ok;
}

} // namespace

/// A journal as a save writes it, with the save's files as a crash at each
/// stage leaves them (the first byte; see fuzz_journal.cpp).
bool writeJournalSeeds(const QString &folder)
{
    const QByteArray journal =
        "KX3SAVE 2\nstaff.dat\t.staff.dat.Ab12Cd.kx3new\t.staff.dat.0.kx3old\t22\t$S\n"
        "club.Dat\t.club.Dat.Xy34Zw.kx3new\t.club.Dat.0.kx3old\t14\t$C\nEND\n";
    bool ok = true;
    for (const int files : {4 | 8 | 16 | 32, 1 | 8 | 16 | 32, 1 | 2 | 8 | 32, 1 | 2, 4 | 8})
        ok = ok && writeSeed(folder, QString::number(files), char(files) + journal);
    return ok;
}

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <corpus folder>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const bool ok = writeFileSetSeeds(root + QStringLiteral("/fileset"))
                    && writeMiscLineSeeds(root + QStringLiteral("/misclines"))
                    && writeRegistrySeeds(root + QStringLiteral("/wineregistry"))
                    && writeJournalSeeds(root + QStringLiteral("/journal"));
    if (!ok) {
        std::fprintf(stderr, "make_seeds: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
