// player_Setup.cfg and its misc entry lines: split and joined again, every
// line read as an entry, and a person's entries loaded and saved twice.
//
// Input: two choice bytes (the line whose names are the person's, the person
// whose record the lines are saved for), then the file.
#include "FuzzInput.h"

#include "DatabaseBuilder.h"

#include "core/db/Database.h"
#include "core/db/SetupLines.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/MiscEntries.h"

#include <memory>

using namespace kx3;
using kx3::fuzz::fail;

namespace {

/// A small generated database whose persons and clubs the lines are saved for;
/// each run replaces its setup lines only.
Database &world()
{
    static const std::unique_ptr<Database> db = [] {
        BuilderOptions options;
        options.persons = 12;
        auto loaded = std::make_unique<Database>();
        if (!loaded->loadFiles(DatabaseBuilder(options).files()))
            fail("the generated database does not load", loaded->errorString().toUtf8());
        return loaded;
    }();
    return *db;
}

void readEveryLine(const QList<QByteArray> &lines)
{
    for (const QByteArray &line : lines) {
        for (int field = 0; field <= 7; ++field)
            miscQuotedField(line, field);
        miscTailValues(line);
        miscManagerConfValue(line);
        if (const auto sixth = miscQuotedField(line, 6))
            preInjuryItem(*sixth);
    }
}

MiscIdentity identityOf(const QByteArray &line)
{
    return {{miscQuotedField(line, 2).value_or(QByteArray()),
             miscQuotedField(line, 3).value_or(QByteArray()),
             miscQuotedField(line, 4).value_or(QByteArray())},
            miscQuotedField(line, 5).value_or(QByteArray())};
}

bool hasName(const MiscNames &n)
{
    return !n.firstName.isEmpty() || !n.secondName.isEmpty() || !n.commonName.isEmpty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QByteArray content(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const QList<QByteArray> lines = parseSetupLines(content);
    // What a save writes, a load reads back line for line.
    if (parseSetupLines(serializeSetupLines(lines)) != lines)
        fail("setup lines change through a save and a load");
    readEveryLine(lines);
    if (lines.isEmpty())
        return 0;

    Database &db = world();
    const QList<QByteArray> clubNames = ClubNameList::fromDatabase(db).names();
    const MiscIdentity who = identityOf(lines[data[0] % lines.size()]);
    const int person = data[1] % personCount(db);
    const PlayerMiscEntries player = LoadPlayerMiscEntries(lines, who);
    const StaffMiscEntries staff = LoadStaffMiscEntries(lines, who);

    db.setupLines() = lines;
    SavePlayerMiscEntries(db, person, who, who.names, player, clubNames);
    db.setupLines() = lines;
    SaveStaffMiscEntries(db, person, who, who.names, staff);

    // Saved under his own names and club, the same entries saved again leave
    // the file as it is: a confirm without a change never reorders it. (Lines
    // inside the protected header are never replaced, so the file must reach
    // past it; a person without a name owns no line.)
    const MiscIdentity own{who.names, personClubLongName(db, person)};
    if (lines.size() < ProtectedSetupLines || !hasName(own.names))
        return 0;
    db.setupLines() = lines;
    SavePlayerMiscEntries(db, person, own, own.names, player, clubNames);
    const QList<QByteArray> once = db.setupLines();
    SavePlayerMiscEntries(db, person, own, own.names, player, clubNames);
    if (db.setupLines() != once)
        fail("saving unchanged player entries changed the file");
    SaveStaffMiscEntries(db, person, own, own.names, staff);
    const QList<QByteArray> staffOnce = db.setupLines();
    SaveStaffMiscEntries(db, person, own, own.names, staff);
    if (db.setupLines() != staffOnce)
        fail("saving unchanged staff entries changed the file");
    return 0;
}
