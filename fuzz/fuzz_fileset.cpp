// A whole database loaded from memory, worked on the way a session does, and
// saved and loaded again: the set a save writes must load, and say the same.
//
// Input: the fifteen files in FuzzInput.h's container, then the choice bytes
// that pick the records worked on.
#include "FuzzInput.h"

#include "core/clubs/ClubEdit.h"
#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/Search.h"
#include "core/nations/NationEdit.h"
#include "core/people/PersonEdit.h"
#include "core/records/DeleteRecords.h"
#include "core/records/IntegrityCheck.h"
#include "core/records/IntegrityCheckCounts.h"
#include "core/world/CityEdit.h"
#include "core/world/OfficialEdit.h"
#include "core/world/StadiumEdit.h"

using namespace kx3;
using kx3::fuzz::Choices;
using kx3::fuzz::fail;

namespace {

QByteArray problemsText(const QStringList &problems)
{
    return problems.join(QLatin1Char('\n')).toUtf8();
}

// A screen shown and confirmed without a change must be accepted: the texts
// it shows are what the record stores.
template <typename Result>
void mustAccept(const Result &result, const char *what)
{
    if (!result.ok())
        fail(what, result.message.toUtf8());
}

void searchEverything(const Database &db, Choices &choices)
{
    // One letter, in either case: it matches most generated names, so the
    // result lists are long and every name is decoded.
    const QByteArray text(1, char('a' + choices.below(26)));
    const bool caseSensitive = choices.flag();
    searchPlayers(db, text, caseSensitive);
    searchStaff(db, text, caseSensitive);
    searchClubs(db, text, caseSensitive);
    searchOfficials(db, text, caseSensitive);
    searchNations(db, text);
    searchCities(db, text);
    searchStadiums(db, text);
}

void confirmUnchanged(Database &db, Lookups &lookups, Choices &choices)
{
    const QList<QByteArray> clubNames = lookups.clubNames().names();
    if (const int n = personCount(db); n > 0) {
        const int p = choices.below(n);
        for (RoleScreen screen : {RoleScreen::Player, RoleScreen::Staff}) {
            if (const auto e = loadPersonEdit(db, p, screen, clubNames))
                mustAccept(applyPersonEdit(db, clubNames, p, *e), "unchanged person refused");
        }
    }
    if (const int n = clubTotal(db); n > 0) {
        const int c = choices.below(n);
        if (const auto e = loadClubEdit(db, lookups, c))
            mustAccept(applyClubEdit(db, lookups, c, *e), "unchanged club refused");
    }
    if (const int n = nationCount(db); n > 0) {
        const int k = choices.below(n);
        if (const auto e = loadNationEdit(db, lookups, k))
            mustAccept(applyNationEdit(db, lookups, k, *e), "unchanged nation refused");
    }
    if (const int n = cityCount(db); n > 0) {
        const int c = choices.below(n);
        if (const auto e = loadCityEdit(db, lookups, c))
            mustAccept(applyCityEdit(db, lookups, c, *e), "unchanged city refused");
    }
    if (const int n = stadiumCount(db); n > 0) {
        const int s = choices.below(n);
        if (const auto e = loadStadiumEdit(db, lookups, s))
            mustAccept(applyStadiumEdit(db, lookups, s, *e), "unchanged stadium refused");
    }
    if (const int n = officialCount(db); n > 0) {
        const int o = choices.below(n);
        if (const auto e = loadOfficialEdit(db, lookups, o))
            mustAccept(applyOfficialEdit(db, lookups, o, *e), "unchanged official refused");
    }
}

void createAndDelete(Database &db, Lookups &lookups, Choices &choices, CountStep &step)
{
    if (choices.flag()) {
        step.clubs = {db.clubCount()};
        mustAccept(applyClubEdit(db, lookups, std::nullopt, newClubEdit()), "new club refused");
    } else {
        mustAccept(applyCityEdit(db, lookups, std::nullopt, newCityEdit()), "new city refused");
    }
    if (const int n = personCount(db); n > 0)
        deletePerson(db, step.deletedPerson = choices.below(n));
}

void saveAndReload(Database &db)
{
    const std::array<QByteArray, DataFileCount> saved = db.savedFileSet();
    Database again;
    if (!again.loadFiles(saved))
        fail("a saved set does not load", again.errorString().toUtf8());
    const std::array<QByteArray, DataFileCount> resaved = again.savedFileSet();
    for (DataFile file : AllDataFiles) {
        if (saved[std::size_t(file)] != resaved[std::size_t(file)])
            fail("a saved set loads as another", dataFileName(file).toUtf8());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::FileSetInput in = fuzz::splitFileSet(data, size);
    Database db;
    if (!db.loadFiles(std::move(in.files)))
        return 0;
    Choices choices(in.choices);
    Lookups lookups;
    lookups.build(db, QLocale(QLocale::English, QLocale::UnitedStates));

    // A sound database must stay sound through everything below; a damaged
    // one only must not crash it.
    const IntegrityOptions counts{true};
    const bool sound = checkIntegrity(db, lookups, counts).isEmpty();
    searchEverything(db, choices);
    const CountState loaded(db);
    confirmUnchanged(db, lookups, choices);
    const CountState confirmed(db);
    CountStep created;
    createAndDelete(db, lookups, choices, created);
    if (sound) {
        // Whatever counts were loaded: unchanged confirms keep every one.
        QStringList problems = countChanges(loaded, confirmed, {});
        problems += countChanges(confirmed, CountState(db), created);
        problems += checkIntegrity(db, lookups, counts);
        if (!problems.isEmpty())
            fail("a sound database was left unsound", problemsText(problems));
    }
    saveAndReload(db);
    return 0;
}
