// Random sequences of every operation the core offers, on generated databases:
// after each one the integrity check must find nothing, every stored count
// must have changed only as the operation allows, a refused edit must leave
// every byte as it was, and at the end the saved set must load as itself.
// Each operation is a step of the history; undos and redos at random must
// bring back exactly the state the history was in there.
//
// A failure names its seed and operation; KX3_SEED=<seed> runs that seed alone
// (KX3_OPERATIONS=<n> changes how many operations a seed runs).
#include "RandomTexts.h"

#include "core/changes/DatabaseDiff.h"
#include "core/changes/ModPatch.h"
#include "core/clubs/ClubEdit.h"
#include "core/db/Database.h"
#include "core/db/RecordDate.h"
#include "core/document/Document.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/CompetitionRecord.h"
#include "core/layout/KitColours.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/RecordCounts.h"
#include "core/layout/StadiumRecord.h"
#include "core/layout/StaffAttributes.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/MiscEntries.h"
#include "core/nations/NationEdit.h"
#include "core/people/CareerHistory.h"
#include "core/people/PersonEdit.h"
#include "core/people/RoleRules.h"
#include "core/people/Transfers.h"
#include "core/records/CreateRecords.h"
#include "core/records/DeleteRecords.h"
#include "core/records/IntegrityCheck.h"
#include "core/records/IntegrityCheckCounts.h"
#include "core/world/CityEdit.h"
#include "core/world/OfficialEdit.h"
#include "core/world/StadiumEdit.h"

#include <QtTest>

#include <functional>

using namespace kx3;
using kx3::test::RandomTexts;

namespace {

constexpr int DefaultOperations = 1200;

/// What went wrong in one operation; empty when nothing did.
using Fault = QString;

template <std::size_t N>
constexpr int countOf(const std::array<const char *, N> &)
{
    return int(N);
}

EditBox asEditBox(const PersonBox &box)
{
    static constexpr EditBox::Kind Kinds[] = {EditBox::Integer, EditBox::Day, EditBox::Month,
                                              EditBox::Year};
    return {Kinds[box.kind], box.field};
}

/// A generated database and the lists kept beside it, worked on by random
/// operations as the screens would: each edit loaded, changed and applied.
class Session
{
public:
    Session(quint32 seed, int persons) : mFollowRandom(seed), mTexts(quint64(seed) * 7919 + 17)
    {
        BuilderOptions options;
        options.seed = seed;
        options.persons = persons;
        mLoaded = mDb.loadFiles(DatabaseBuilder(options).files());
        // Lines the game skips, as a hand-edited file has them: blank ones and
        // ones without a quote, among the entries.
        QList<QByteArray> &lines = mDb.setupLines();
        // One comes right before the last entry, whose owner may lose his lines.
        for (int k = 0; k < 6 && lines.size() > ProtectedSetupLines; ++k) {
            const qsizetype at =
                k == 0 ? lines.size() - 1
                       : ProtectedSetupLines + below(lines.size() - ProtectedSetupLines);
            lines.insert(at, k % 2 ? QByteArray() : QByteArray("; skipped"));
        }
        rebuildLookups();
        mDb.clearHistory();
        // Some sessions run into the history's limits, so that its oldest
        // steps go.
        if (seed % 4 == 0)
            mDb.history().setLimits(30, 64 << 10);
        mStates = {digest()};
        mInitial = mDb.savedFileSet();
        mCounts = CountState(mDb);
        for (RecordKind kind : FollowedKinds) {
            std::vector<int> &tags = mTags[std::size_t(kind)];
            for (int i = 0; i < recordCount(mDb, kind); ++i)
                tags.push_back(mNextTag++);
        }
        mTagStates = {mTags};
        QObject::connect(&mDoc, &Document::changed, [this](const DocumentChange &change) {
            for (Followed &f : mFollowed)
                f.ref = change.follow(f.ref);
        });
        followMore();
    }

    bool loaded() const { return mLoaded; }
    /// Undoes every step, which must lead back to the state the session
    /// began with, unmodified; then redoes them all.
    Fault undoAndRedoAll();
    QString description() const { return mDescription; }

    /// Runs one random operation and checks what it left.
    Fault step();
    /// The saved set loaded into a fresh database saves the same bytes.
    Fault saveAndReload();
    /// The patch of the session, applied to the database as it began, gives
    /// one that reads the same as the session's; applied to one changed
    /// elsewhere first, it leaves those changes.
    Fault patchRoundTrip();

private:
    using Operation = Fault (Session::*)();
    struct Kind
    {
        const char *name;
        Operation run;
        int weight;
    };
    static const Kind Kinds[];

    void rebuildLookups()
    {
        mLookups.build(mDb, QLocale(QLocale::English, QLocale::UnitedStates));
    }
    QList<QByteArray> clubNames() const { return mLookups.clubNames().names(); }
    int nationItems() const { return int(mLookups.nations().size()); }
    void describe(const QString &text) { mDescription += QLatin1Char(' ') + text; }
    int below(qint64 n) { return mTexts.below(n); }
    bool chance(int percent) { return mTexts.chance(percent); }

    /// The screen a person is opened on: the one his classification finds him by.
    RoleScreen screenOf(int p);
    /// `apply` must succeed when `valid`, else refuse and change nothing.
    Fault expect(bool valid, const std::function<EditResult()> &apply);

    Fault editPerson();
    Fault editPersonOn(int p, RoleScreen screen, bool boxes, bool misc, bool history);
    Fault createPerson();
    Fault editMisc();
    Fault editHistoryRows();
    Fault changeJob();
    Fault changeClass();
    Fault transfer();
    Fault release();
    Fault deletePersonOp();
    Fault editClub();
    Fault createClub();
    Fault insertClubOp();
    Fault editNation();
    Fault cityOp(bool create);
    Fault stadiumOp(bool create);
    Fault officialOp(bool create);
    Fault editCity() { return cityOp(false); }
    Fault createCity() { return cityOp(true); }
    Fault editStadium() { return stadiumOp(false); }
    Fault createStadium() { return stadiumOp(true); }
    Fault editOfficial() { return officialOp(false); }
    Fault createOfficial() { return officialOp(true); }
    Fault deleteOfficialOp();

    /// Sets random texts into `boxes` (about one in `every`); false when one
    /// of them cannot be stored. `checked` says which boxes the core looks at.
    template <typename Box, typename ToEditBox>
    bool randomBoxes(QList<QString> &texts, std::span<const Box> boxes, ToEditBox toEditBox,
                     const std::function<bool(std::size_t)> &checked, int every = 4);
    /// The same for a record whose boxes the core checks all.
    bool randomBoxes(QList<QString> &texts, std::span<const EditBox> boxes, int every = 4)
    {
        return randomBoxes(
            texts, boxes, std::identity(), [](std::size_t) { return true; }, every);
    }
    /// `rows` changed at random; `valid` false when a text cannot be stored,
    /// which with `rangeChecked` includes a number too big for its field.
    QList<HistoryRow> randomHistory(QList<HistoryRow> rows, bool &valid, bool rangeChecked);
    void randomMisc(PersonEdit &e);
    /// Up to three undos or redos, each checked against the state recorded
    /// for where it leads.
    Fault undoRedo();
    /// Closes the operation just run into a step, or checks that it changed
    /// no byte when no step is made.
    Fault record(const char *name);
    std::size_t digest() const;

    /// The kinds whose references are followed, each record known by a tag
    /// of the session's own: what its operations are known to do (a person,
    /// city, stadium or official appended, a club inserted before the
    /// national teams, a person or official removed where it was) moves the
    /// tags, independently of how the history tells it.
    static constexpr std::array FollowedKinds = {RecordKind::Person, RecordKind::Club,
                                                 RecordKind::City, RecordKind::Stadium,
                                                 RecordKind::Official};
    struct Followed
    {
        RecordRef ref;
        int tag = 0;
    };
    using Tags = std::array<std::vector<int>, RecordKindCount>;
    /// Tags moved as the operation just run moved records.
    void moveTags();
    /// Every followed reference names the record it was taken on, or is
    /// invalid because that record is gone.
    Fault checkFollowed();
    /// Up to four followed references per kind, on random records.
    void followMore();

    /// A digest of the state at each position of the history.
    std::vector<std::size_t> mStates;
    std::array<QByteArray, DataFileCount> mInitial;
    bool mDropped = false;
    Database mDb;
    Lookups mLookups;
    Document mDoc{mDb, mLookups};
    Tags mTags;
    /// The tags at each position of the history, as mStates.
    std::vector<Tags> mTagStates;
    int mNextTag = 0;
    std::vector<Followed> mFollowed;
    /// Apart from the operations' own, so following changes none of them.
    QRandomGenerator mFollowRandom;
    /// The counts after the last step, and the records the running one touched.
    CountState mCounts{mDb};
    CountStep mTouched;
    RandomTexts mTexts;
    QString mDescription;
    bool mLoaded = false;
};

const Session::Kind Session::Kinds[] = {
    {"edit person", &Session::editPerson, 14},
    {"create person", &Session::createPerson, 4},
    {"edit misc entries", &Session::editMisc, 5},
    {"edit history", &Session::editHistoryRows, 5},
    {"change job", &Session::changeJob, 6},
    {"change class", &Session::changeClass, 3},
    {"transfer", &Session::transfer, 8},
    {"release", &Session::release, 4},
    {"delete person", &Session::deletePersonOp, 3},
    {"edit club", &Session::editClub, 6},
    {"create club", &Session::createClub, 1},
    {"insert club", &Session::insertClubOp, 1},
    {"edit nation", &Session::editNation, 4},
    {"edit city", &Session::editCity, 3},
    {"create city", &Session::createCity, 1},
    {"edit stadium", &Session::editStadium, 3},
    {"create stadium", &Session::createStadium, 1},
    {"edit official", &Session::editOfficial, 3},
    {"create official", &Session::createOfficial, 1},
    {"delete official", &Session::deleteOfficialOp, 1},
    {"undo or redo", &Session::undoRedo, 8},
};

Fault Session::step()
{
    int total = 0;
    for (const Kind &k : Kinds)
        total += k.weight;
    int pick = below(total);
    const Kind *kind = &Kinds[0];
    for (const Kind &k : Kinds) {
        if (pick < k.weight) {
            kind = &k;
            break;
        }
        pick -= k.weight;
    }
    mDescription = QString::fromLatin1(kind->name);
    mTouched = {};
    if (Fault fault = (this->*kind->run)(); !fault.isEmpty())
        return fault;
    if (kind->run != &Session::undoRedo) {
        moveTags();
        if (Fault fault = record(kind->name); !fault.isEmpty())
            return fault;
    }
    if (Fault fault = checkFollowed(); !fault.isEmpty())
        return fault;
    followMore();
    QStringList problems = checkIntegrity(mDb, mLookups, IntegrityOptions{true});
    CountState counts(mDb);
    // An undo or redo brings back a state whose counts were checked already.
    if (kind->run != &Session::undoRedo)
        problems += countChanges(mCounts, counts, mTouched);
    mCounts = std::move(counts);
    return problems.isEmpty()
               ? Fault()
               : QStringLiteral("unsound afterwards:\n") + problems.join(QLatin1Char('\n'));
}

Fault Session::expect(bool valid, const std::function<EditResult()> &apply)
{
    const DatabaseSnapshot before(mDb);
    const bool wasModified = mDb.isModified();
    const EditResult result = apply();
    if (valid && !result.ok())
        return QStringLiteral("a valid edit was refused: ") + result.message;
    if (!valid && result.ok())
        return QStringLiteral("an edit with a bad box was accepted");
    if (!valid && (!before.sameAs(mDb) || mDb.isModified() != wasModified))
        return QStringLiteral("a refused edit changed the database: ") + result.message;
    return {};
}

template <typename Box, typename ToEditBox>
bool Session::randomBoxes(QList<QString> &texts, std::span<const Box> boxes, ToEditBox toEditBox,
                          const std::function<bool(std::size_t)> &checked, int every)
{
    bool valid = true;
    const bool spoil = chance(20);
    std::vector<bool> spoilt(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (below(every) != 0)
            continue;
        spoilt[i] = spoil && chance(30);
        texts[qsizetype(i)] = mTexts.boxText(toEditBox(boxes[i]), spoilt[i]);
        if (spoilt[i] && checked(i))
            valid = false;
    }
    // A new year or month under a day kept (29 February, the 31st) may make
    // a date no calendar has; a valid edit moves it to the 1st.
    for (std::size_t i = 0; i + 2 < boxes.size(); ++i) {
        if (toEditBox(boxes[i]).kind != EditBox::Day || spoilt[i] || spoilt[i + 1]
            || spoilt[i + 2])
            continue;
        if (!isRealDate(texts[qsizetype(i)].toLongLong(), texts[qsizetype(i) + 1].toLongLong(),
                        texts[qsizetype(i) + 2].toLongLong()))
            texts[qsizetype(i)] = QStringLiteral("1");
    }
    return valid;
}

RoleScreen Session::screenOf(int p)
{
    const int cls = person(mDb, p)->classification();
    if (cls == Classification::NonPlayer)
        return RoleScreen::Staff;
    if (cls == Classification::Player || cls == Classification::YouthPlayer)
        return RoleScreen::Player;
    return chance(50) ? RoleScreen::Player : RoleScreen::Staff;
}

QList<HistoryRow> Session::randomHistory(QList<HistoryRow> rows, bool &valid, bool rangeChecked)
{
    const QList<QByteArray> clubs = clubNames();
    auto randomRow = [&] {
        HistoryRow row;
        row.season = seasonLabel(1950 + below(60));
        row.club = chance(20) || clubs.isEmpty() ? QByteArray(UnknownHistoryClubText)
                                                 : clubs.at(below(clubs.size()));
        row.apps = QByteArray::number(below(256));
        row.goals = QByteArray::number(below(256));
        return row;
    };
    if (!rows.isEmpty() && chance(30))
        rows.removeAt(below(rows.size()));
    if (chance(60))
        rows.append(randomRow());
    if (!rows.isEmpty() && chance(50))
        rows[below(rows.size())] = randomRow();
    if (!rows.isEmpty() && chance(15)) {
        HistoryRow &row = rows[below(rows.size())];
        // The person screen also refuses a number its field cannot hold;
        // saveHistory on its own only refuses what is no number.
        static const QByteArray bad[] = {"ten", "", "300", "-1"};
        if (chance(50))
            row.apps = bad[below(rangeChecked ? 4 : 2)];
        else
            row.season = "19x8/99";
        valid = false;
    }
    return rows;
}

void Session::randomMisc(PersonEdit &e)
{
    const QList<QByteArray> clubs = clubNames();
    auto club = [&]() -> QByteArray {
        if (chance(40) || clubs.isEmpty())
            return MiscNoneText;
        return chance(80) ? clubs.at(below(clubs.size())) : mTexts.name();
    };
    auto number = [&](int lo, int hi) { return QByteArray::number(lo + below(hi - lo + 1)); };
    PlayerMiscEntries &p = e.playerMisc;
    p.tClub = club();
    p.tDate1 = number(1, 31);
    p.tDate2 = number(1, 12);
    p.tDate3 = number(1998, 2002);
    p.tFee = number(0, 9000000);
    p.tWage = number(0, 90000);
    p.tCLen = number(0, 5);
    p.lClub = club();
    p.lSt1 = number(1, 31);
    p.lEn3 = number(1998, 2002);
    p.preInj = chance(50) ? 0 : below(int(InjuryNames.size()) + 1);
    p.piAdjust = number(-5, 5);
    p.intRet = chance(20);
    e.staffMisc.mConf = number(0, 20);
    e.staffMisc.sIntRet = chance(20);
    e.changed.misc = true;
}

Fault Session::editPerson()
{
    if (personCount(mDb) == 0)
        return {};
    const int p = below(personCount(mDb));
    return editPersonOn(p, screenOf(p), true, chance(30), chance(30));
}

Fault Session::editPersonOn(int p, RoleScreen screen, bool boxes, bool misc, bool history)
{
    mTouched.persons = {p};
    describe(QStringLiteral("person %1 on the %2 screen")
                 .arg(p)
                 .arg(screen == RoleScreen::Player ? "player" : "staff"));
    std::optional<PersonEdit> loaded = loadPersonEdit(mDb, p, screen, clubNames());
    if (!loaded)
        return QStringLiteral("a person in range did not load");
    PersonEdit e = *loaded;
    bool valid = true;
    const PersonRecord record = *person(mDb, p);
    const bool owns[] = {true, playerAttributesOf(mDb, record).has_value(),
                         staffAttributesOf(mDb, record).has_value()};
    const std::span<const PersonBox> all = personBoxes(screen);
    if (boxes) {
        valid = randomBoxes(e.boxes, all, asEditBox,
                            [&](std::size_t i) { return owns[std::size_t(all[i].part)]; });
        if (chance(30)) {
            e.firstName = mTexts.name();
            e.changed.firstName = true;
        }
        if (chance(20)) {
            e.secondName = mTexts.name();
            e.changed.secondName = true;
        }
        if (chance(15)) {
            e.commonName = mTexts.name();
            e.changed.commonName = true;
        }
        if (chance(20)) {
            e.nationItem = below(nationItems());
            e.changed.nationality = true;
        }
        if (chance(20))
            e.secondNationItem = below(nationItems());
        if (screen == RoleScreen::Player && chance(20))
            e.playsInItem = below(countOf(PlaysInNames));
        if (screen == RoleScreen::Staff && chance(20)) {
            e.nationalTeamItem = below(nationItems());
            e.nationalJobItem = below(countOf(JobNames));
            e.formationItem = below(countOf(FormationNames));
        }
    }
    if (misc)
        randomMisc(e);
    if (history && screen == RoleScreen::Player) {
        e.history = randomHistory(e.history, valid, true);
        e.changed.history = true;
    }
    const QList<QByteArray> names = clubNames();
    return expect(valid, [&] { return applyPersonEdit(mDb, names, p, e); });
}

Fault Session::createPerson()
{
    const RoleScreen screen = chance(60) ? RoleScreen::Player : RoleScreen::Staff;
    describe(screen == RoleScreen::Player ? QStringLiteral("player") : QStringLiteral("staff"));
    PersonEdit e = newPersonEdit(screen);
    const std::span<const PersonBox> all = personBoxes(screen);
    bool valid = randomBoxes(
        e.boxes, all, asEditBox, [](std::size_t) { return true; }, 2);
    e.firstName = mTexts.name();
    e.secondName = mTexts.name();
    e.commonName = chance(70) ? QByteArray() : mTexts.name();
    e.nationItem = below(nationItems());
    // The create screen's lists follow the same rules as an existing person's.
    const int job = below(countOf(JobNames));
    if (decideJobChange(mDb, std::nullopt, screen, job, false).verdict == RoleVerdict::Accept)
        e.jobItem = job;
    const int cls = below(countOf(ClassificationNames));
    if (decideClassChange(mDb, std::nullopt, screen, cls).verdict == RoleVerdict::Accept)
        e.classItem = cls;
    if (chance(40))
        randomMisc(e);
    const QList<QByteArray> names = clubNames();
    const int before = personCount(mDb);
    mTouched.persons = {before};
    Fault fault = expect(valid, [&] { return applyPersonEdit(mDb, names, std::nullopt, e); });
    if (fault.isEmpty() && personCount(mDb) != before + (valid ? 1 : 0))
        fault = QStringLiteral("the person count went from %1 to %2")
                    .arg(before)
                    .arg(personCount(mDb));
    return fault;
}

Fault Session::editMisc()
{
    if (personCount(mDb) == 0)
        return {};
    const int p = below(personCount(mDb));
    return editPersonOn(p, screenOf(p), false, true, false);
}

Fault Session::editHistoryRows()
{
    if (personCount(mDb) == 0)
        return {};
    const int p = below(personCount(mDb));
    describe(QStringLiteral("person %1").arg(p));
    bool valid = true;
    const QList<HistoryRow> rows = randomHistory(loadHistory(mDb, p, clubNames()), valid, false);
    const DatabaseSnapshot before(mDb);
    QByteArray bad;
    const bool saved = saveHistory(mDb, p, rows, clubNames(), &bad);
    if (saved != valid)
        return QStringLiteral("history rows saved: %1, expected %2 (%3)")
            .arg(saved)
            .arg(valid)
            .arg(QString::fromLatin1(bad));
    if (!saved && !before.sameAs(mDb))
        return QStringLiteral("refused history rows changed the database");
    return {};
}

Fault Session::changeJob()
{
    if (personCount(mDb) == 0)
        return {};
    const int p = below(personCount(mDb));
    const RoleScreen screen = screenOf(p);
    const int job = below(countOf(JobNames));
    const bool hasClub = person(mDb, p)->club() >= 0;
    describe(QStringLiteral("person %1 to job %2").arg(p).arg(job));
    const RoleDecision decision = decideJobChange(mDb, p, screen, job, hasClub);
    switch (decision.verdict) {
    case RoleVerdict::Refuse: return {};
    case RoleVerdict::AskAddNonPlayingRole:
        return addNonPlayingRole(mDb, p, job) ? Fault()
                                              : QStringLiteral("adding the role was refused");
    case RoleVerdict::AskDropPlayingRole:
        return dropPlayingRole(mDb, p, job) ? Fault()
                                            : QStringLiteral("dropping the role was refused");
    case RoleVerdict::Accept: break;
    }
    PersonEdit e = *loadPersonEdit(mDb, p, screen, clubNames());
    mTouched.persons = {p};
    e.jobItem = job;
    const QList<QByteArray> names = clubNames();
    return expect(true, [&] { return applyPersonEdit(mDb, names, p, e); });
}

Fault Session::changeClass()
{
    if (personCount(mDb) == 0)
        return {};
    const int p = below(personCount(mDb));
    const RoleScreen screen = screenOf(p);
    const int cls = below(countOf(ClassificationNames));
    describe(QStringLiteral("person %1 to class %2").arg(p).arg(cls));
    if (decideClassChange(mDb, p, screen, cls).verdict != RoleVerdict::Accept)
        return {};
    PersonEdit e = *loadPersonEdit(mDb, p, screen, clubNames());
    mTouched.persons = {p};
    e.classItem = cls;
    const QList<QByteArray> names = clubNames();
    return expect(true, [&] { return applyPersonEdit(mDb, names, p, e); });
}

Fault Session::transfer()
{
    if (personCount(mDb) == 0)
        return {};
    const int p = below(personCount(mDb));
    // Now and then a national team or a club past the end, which are refused.
    const int target = below(clubTotal(mDb) + 1);
    describe(QStringLiteral("person %1 to club %2").arg(p).arg(target));
    // The person's screen is shown before the transfer and confirmed after it,
    // so that his misc lines follow him to the new club.
    const RoleScreen screen = screenOf(p);
    PersonEdit e = *loadPersonEdit(mDb, p, screen, clubNames());
    mTouched.persons = {p};
    const DatabaseSnapshot before(mDb);
    const EditResult result = transferPerson(mDb, p, target);
    if (!result.ok())
        return before.sameAs(mDb) ? Fault()
                                  : QStringLiteral("a refused transfer changed the database");
    if (target >= mDb.clubCount())
        return QStringLiteral("a transfer to a national team went through");
    if (person(mDb, p)->club() != target)
        return QStringLiteral("the person is not at his new club");
    e.changed.misc = true;
    const QList<QByteArray> names = clubNames();
    return expect(true, [&] { return applyPersonEdit(mDb, names, p, e); });
}

Fault Session::release()
{
    if (personCount(mDb) == 0)
        return {};
    const int p = below(personCount(mDb));
    describe(QStringLiteral("person %1").arg(p));
    PersonEdit e = *loadPersonEdit(mDb, p, screenOf(p), clubNames());
    mTouched.persons = {p};
    const bool hadClub = person(mDb, p)->club() >= 0;
    const DatabaseSnapshot before(mDb);
    const EditResult result = releasePerson(mDb, p);
    if (result.ok() != hadClub)
        return QStringLiteral("a release with a club %1 gave %2").arg(hadClub).arg(result.ok());
    if (!result.ok())
        return before.sameAs(mDb) ? Fault()
                                  : QStringLiteral("a refused release changed the database");
    e.changed.misc = true;
    const QList<QByteArray> names = clubNames();
    return expect(true, [&] { return applyPersonEdit(mDb, names, p, e); });
}

Fault Session::deletePersonOp()
{
    const int count = personCount(mDb);
    // Past the end now and then, which is refused.
    const int p = below(count + 1);
    describe(QStringLiteral("person %1 of %2").arg(p).arg(count));
    mTouched.deletedPerson = p;
    const bool deleted = deletePerson(mDb, p);
    if (deleted != (p < count) || personCount(mDb) != count - (deleted ? 1 : 0))
        return QStringLiteral("deleting gave %1, %2 persons left")
            .arg(deleted)
            .arg(personCount(mDb));
    return {};
}

Fault Session::editClub()
{
    const int c = below(clubTotal(mDb));
    describe(QStringLiteral("club %1").arg(c));
    mTouched.clubs = {c};
    ClubEdit e = *loadClubEdit(mDb, mLookups, c);
    const bool valid = randomBoxes(e.boxes, clubBoxes(), 2);
    if (chance(30))
        e.longName = mTexts.name();
    if (chance(30))
        e.shortName = mTexts.name();
    if (chance(30)) {
        const int item = below(nationItems());
        e.nationChanged = item != e.nationItem;
        e.nationItem = item;
    }
    const int competitions = int(mLookups.competitions().size());
    const int stadiums = mLookups.stadiums().size() + 1;
    if (chance(30)) {
        e.statusItem = below(countOf(ClubStatusNames));
        e.divisionItem = below(competitions);
        e.lastDivisionItem = below(competitions);
        e.otherDivisionItem = below(competitions);
        e.mainStadiumItem = below(stadiums);
        e.reserveStadiumItem = below(stadiums);
        e.homeMatchDayItem = below(countOf(MatchDayNames) + 1);
        for (int &k : e.kitColourItems)
            k = below(qsizetype(KitColourItems.size()));
        e.ownStadium = chance(50);
        e.plc = chance(50);
    }
    return expect(valid, [&] { return applyClubEdit(mDb, mLookups, c, e); });
}

Fault Session::createClub()
{
    ClubEdit e = newClubEdit();
    const bool valid = randomBoxes(e.boxes, clubBoxes(), 2);
    e.longName = mTexts.name();
    e.shortName = mTexts.name();
    e.nationItem = below(nationItems());
    e.mainStadiumItem = below(mLookups.stadiums().size() + 1);
    const int clubs = mDb.clubCount();
    mTouched.clubs = {clubs};
    Fault fault = expect(valid, [&] { return applyClubEdit(mDb, mLookups, std::nullopt, e); });
    if (fault.isEmpty() && mDb.clubCount() != clubs + (valid ? 1 : 0))
        fault =
            QStringLiteral("the club count went from %1 to %2").arg(clubs).arg(mDb.clubCount());
    return fault;
}

Fault Session::insertClubOp()
{
    ClubValues v;
    v.longName = mTexts.name();
    v.shortName = mTexts.name();
    v.nation = below(nationCount(mDb) + 1) - 1;
    v.division = below(competitionCount(mDb) + 1) - 1;
    v.mainStadium = below(stadiumCount(mDb) + 1) - 1;
    v.kitColours[0] = below(qsizetype(KitColourItems.size()) - 1);
    v.reputation = below(65536);
    mTouched.clubs = {insertClub(mDb, mLookups.clubNames(), v)};
    return {};
}

Fault Session::editNation()
{
    const int n = below(nationCount(mDb));
    describe(QStringLiteral("nation %1").arg(n));
    NationEdit e = *loadNationEdit(mDb, mLookups, n);
    const bool valid = randomBoxes(e.boxes, nationBoxes());
    if (chance(40)) {
        e.continentItem = below(countOf(ContinentItems));
        e.regionItem = below(countOf(RegionNames));
        e.actualRegionItem = below(countOf(ActualRegionNames));
        for (int &k : e.languageItems)
            k = below(countOf(LanguageNames));
        e.capitalCityItem = below(mLookups.cities().size() + 1);
        e.developmentStateItem = below(countOf(DevelopmentStateNames));
        e.groupMembershipItem = below(countOf(GroupMembershipNames));
        e.nationalStadiumItem = below(mLookups.stadiums().size() + 1);
        for (int &k : e.kitColourItems)
            k = below(qsizetype(KitColourItems.size()));
        for (int &k : e.rivalItems)
            k = below(nationItems());
    }
    return expect(valid, [&] { return applyNationEdit(mDb, mLookups, n, e); });
}

// A new record gets a name and its lists chosen; an edit changes them now and then.
Fault Session::cityOp(bool create)
{
    std::optional<int> c;
    if (!create) {
        c = below(cityCount(mDb));
        describe(QStringLiteral("city %1").arg(*c));
    }
    CityEdit e = c ? *loadCityEdit(mDb, mLookups, *c) : newCityEdit();
    const bool valid = randomBoxes(e.boxes, cityBoxes(), 2);
    if (create || chance(40))
        e.name = mTexts.name();
    if (create || chance(40)) {
        e.nationItem = below(nationItems());
        e.climateItem = below(countOf(ClimateItems));
    }
    return expect(valid, [&] { return applyCityEdit(mDb, mLookups, c, e); });
}

Fault Session::stadiumOp(bool create)
{
    std::optional<int> s;
    if (!create) {
        s = below(stadiumCount(mDb));
        describe(QStringLiteral("stadium %1").arg(*s));
    }
    StadiumEdit e = s ? *loadStadiumEdit(mDb, mLookups, *s) : newStadiumEdit();
    const bool valid = randomBoxes(e.boxes, stadiumBoxes(), 2);
    if (create || chance(40))
        e.name = mTexts.name();
    if (create || chance(40)) {
        e.cityItem = below(mLookups.cities().size() + 1);
        e.nearbyItem = below(mLookups.stadiums().size() + 1);
        e.retractableRoof = chance(50);
        e.underSoilHeating = chance(50);
    }
    return expect(valid, [&] { return applyStadiumEdit(mDb, mLookups, s, e); });
}

Fault Session::officialOp(bool create)
{
    std::optional<int> o;
    if (!create) {
        if (officialCount(mDb) == 0)
            return {};
        o = below(officialCount(mDb));
        describe(QStringLiteral("official %1").arg(*o));
    }
    mTouched.officials = {o ? *o : officialCount(mDb)};
    OfficialEdit e = o ? *loadOfficialEdit(mDb, mLookups, *o) : newOfficialEdit();
    const bool valid = randomBoxes(e.boxes, officialBoxes(), create ? 2 : 4);
    if (create || chance(30)) {
        e.firstName = mTexts.name();
        e.firstNameChanged = true;
    }
    if (create || chance(30)) {
        e.secondName = mTexts.name();
        e.secondNameChanged = true;
    }
    if (create || chance(30)) {
        e.nationItem = below(nationItems());
        e.cityItem = below(mLookups.cities().size() + 1);
    }
    return expect(valid, [&] { return applyOfficialEdit(mDb, mLookups, o, e); });
}

Fault Session::deleteOfficialOp()
{
    const int count = officialCount(mDb);
    const int o = below(count + 1);
    describe(QStringLiteral("official %1 of %2").arg(o).arg(count));
    mTouched.deletedOfficial = o;
    if (deleteOfficial(mDb, o) != (o < count) || officialCount(mDb) != count - (o < count))
        return QStringLiteral("deleting the official went wrong");
    return {};
}

std::size_t Session::digest() const
{
    std::size_t h = 0;
    const auto mix = [&h](const char *data, qsizetype size) {
        h = (h * 1000003)
            ^ std::hash<std::string_view>()(std::string_view(data, std::size_t(size)));
    };
    for (DataFile file : AllDataFiles)
        mix(mDb.image(file).bytes().constData(), mDb.image(file).size());
    mix(mDb.clubs().bytes().constData(), mDb.clubs().size());
    mix(reinterpret_cast<const char *>(&mDb.counters()), sizeof(StaffCounters));
    for (const QByteArray &line : mDb.setupLines())
        mix(line.constData(), line.size());
    return h;
}

Fault Session::record(const char *name)
{
    const EditHistory &history = mDb.history();
    const int at = history.undoCount();
    if (!mDoc.commitStep(QString::fromLatin1(name))) {
        if (digest() != mStates[std::size_t(at)])
            return QStringLiteral("a change made no step");
        return {};
    }
    mStates.resize(std::size_t(at) + 1);
    mStates.push_back(digest());
    mTagStates.resize(std::size_t(at) + 1);
    mTagStates.push_back(mTags);
    while (int(mStates.size()) > history.undoCount() + 1) {
        mStates.erase(mStates.begin());
        mTagStates.erase(mTagStates.begin());
        mDropped = true;
    }
    if (!mDb.isModified())
        return QStringLiteral("a step left the data unmodified");
    return {};
}

Fault Session::undoRedo()
{
    const bool undo = chance(60);
    const int count = 1 + below(3);
    describe(QStringLiteral("%1 x%2").arg(undo ? "undo" : "redo").arg(count));
    for (int k = 0; k < count; ++k) {
        const bool could = undo ? mDb.history().canUndo() : mDb.history().canRedo();
        if (bool(undo ? mDoc.undo() : mDoc.redo()) != could)
            return QStringLiteral("the history did not do what it offered");
        const int at = mDb.history().undoCount();
        mTags = mTagStates[std::size_t(at)];
        if (Fault fault = checkFollowed(); !fault.isEmpty())
            return fault;
        if (digest() != mStates[std::size_t(at)])
            return QStringLiteral("step %1 is not the state recorded there").arg(at);
        if (mDb.isModified() != (mDropped || at != 0))
            return QStringLiteral("the modified flag is wrong at step %1").arg(at);
    }
    rebuildLookups();
    return {};
}

void Session::moveTags()
{
    for (RecordKind kind : FollowedKinds) {
        std::vector<int> &tags = mTags[std::size_t(kind)];
        const int grew = recordCount(mDb, kind) - int(tags.size());
        // A new club goes before the national teams, which follow the clubs.
        if (grew == 1)
            tags.insert(tags.begin()
                            + (kind == RecordKind::Club ? mDb.clubCount() - 1 : int(tags.size())),
                        mNextTag++);
        else if (grew == -1)
            tags.erase(tags.begin()
                       + (kind == RecordKind::Person ? mTouched.deletedPerson
                                                     : mTouched.deletedOfficial));
    }
}

Fault Session::checkFollowed()
{
    for (const Followed &f : mFollowed) {
        const std::vector<int> &tags = mTags[std::size_t(f.ref.kind)];
        const bool there = std::find(tags.begin(), tags.end(), f.tag) != tags.end();
        if (f.ref.valid() ? std::size_t(f.ref.index) >= tags.size()
                                || tags[std::size_t(f.ref.index)] != f.tag
                          : there)
            return QStringLiteral("a reference of kind %1 to record %2 (tag %3) is %4")
                .arg(int(f.ref.kind))
                .arg(f.ref.index)
                .arg(f.tag)
                .arg(f.ref.valid() ? "another record" : "lost while its record is there");
    }
    return {};
}

void Session::followMore()
{
    std::erase_if(mFollowed, [](const Followed &f) { return !f.ref.valid(); });
    for (RecordKind kind : FollowedKinds) {
        const std::vector<int> &tags = mTags[std::size_t(kind)];
        const auto held = std::count_if(mFollowed.begin(), mFollowed.end(),
                                        [kind](const Followed &f) { return f.ref.kind == kind; });
        for (auto k = held; k < 4 && !tags.empty(); ++k) {
            const int index = int(mFollowRandom.bounded(quint32(tags.size())));
            mFollowed.push_back({{kind, index}, tags[std::size_t(index)]});
        }
    }
}

Fault Session::undoAndRedoAll()
{
    mDescription = QStringLiteral("undo and redo all");
    while (mDoc.undo()) {
    }
    if (digest() != mStates.front())
        return QStringLiteral("undoing every step does not lead back");
    if (!mDropped && mDb.isModified())
        return QStringLiteral("back at the start, the data are still modified");
    while (mDoc.redo()) {
    }
    if (digest() != mStates.back() || mDb.history().undoCount() + 1 != int(mStates.size()))
        return QStringLiteral("redoing every step does not lead to the last");
    rebuildLookups();
    return {};
}

Fault Session::saveAndReload()
{
    mDescription = QStringLiteral("save and load again");
    const std::array<QByteArray, DataFileCount> saved = mDb.savedFileSet();
    Database again;
    if (!again.loadFiles(saved))
        return QStringLiteral("the saved set does not load: ") + again.errorString();
    const std::array<QByteArray, DataFileCount> resaved = again.savedFileSet();
    for (DataFile file : AllDataFiles) {
        if (saved[std::size_t(file)] != resaved[std::size_t(file)])
            return QStringLiteral("%1 differs once loaded again").arg(dataFileName(file));
    }
    return {};
}

Fault Session::patchRoundTrip()
{
    mDescription = QStringLiteral("patch of the session");
    Database before;
    before.loadFiles(mInitial);
    const DatabaseDiff diff = diffDatabases(FormReader(before), FormReader(mDb));
    QString error;
    const std::optional<Patch> patch = readPatch(writePatch(diff), &error);
    if (!patch)
        return QStringLiteral("the patch written does not read back: ") + error;
    Database target;
    target.loadFiles(mInitial);
    Lookups lookups;
    lookups.build(target, QLocale::c());
    const PatchOutcome outcome = applyPatch(target, lookups, *patch, false);
    // A role the rules cannot reach from where the start left a person (the
    // session's deletions took an attribute record from him), or one of two
    // cities of one name, is refused, and then nothing may be left written.
    if (outcome.error.contains(QLatin1String("cannot be changed"))
        || outcome.error.contains(QLatin1String("can not be changed"))
        || outcome.error.contains(QLatin1String("items of the list: it cannot tell"))) {
        return target.savedFileSet() == mInitial && !target.isModified()
                   ? Fault()
                   : QStringLiteral("a refused patch left changes: ") + outcome.error;
    }
    if (!outcome.ok())
        return QStringLiteral("the patch does not apply to the start: ")
               + (outcome.conflicts + QStringList{outcome.error}).join(QLatin1Char('\n'));
    // A value no list item names (a stadium index -1) cannot be carried by
    // name.
    QStringList left = diffLines(diffDatabases(FormReader(target), FormReader(mDb)));
    // Nor can an attribute record a session's deletions left a person without
    // be taken from him: no edit removes one but the role rules.
    static const QRegularExpression unnamed(
        QStringLiteral(": (.*) -> (\\1)?$|Attributes: Yes -> No$"));
    left.removeIf([](const QString &line) { return unnamed.match(line).hasMatch(); });
    if (!left.isEmpty())
        return QStringLiteral("the patched database differs:\n") + left.mid(0, 20).join('\n');
    const QStringList problems = checkIntegrity(target, lookups, IntegrityOptions{true});
    if (!problems.isEmpty())
        return QStringLiteral("the patched database is unsound:\n") + problems.join('\n');
    return {};
}

} // namespace

class tst_RandomOperations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The document builds the lists again in the default locale, the
    // session in this one: the same for both.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void randomSequence_data();
    void randomSequence();
};

void tst_RandomOperations::randomSequence_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("persons");
    bool fixed = false;
    const quint32 chosen = qEnvironmentVariable("KX3_SEED").toUInt(&fixed);
    // Sizes from a handful of persons, where tables empty and clubs fill up,
    // to a few hundred.
    const std::pair<quint32, int> seeds[] = {{1, 200}, {2, 40}, {3, 320}, {4, 8}, {5, 120}};
    for (const auto &[seed, persons] : seeds) {
        if (!fixed || seed == chosen)
            QTest::addRow("seed %u", seed) << seed << persons;
    }
    // Then many more: a rule that only some sequences break showed up first
    // in seeds past the five above.
    constexpr quint32 LastSeed = 40;
    const auto size = [](quint32 seed) { return int(40 + seed % 300); };
    if (!fixed) {
        for (quint32 seed = 6; seed <= LastSeed; ++seed)
            QTest::addRow("seed %u", seed) << seed << size(seed);
    } else if (chosen > 5) {
        QTest::addRow("seed %u", chosen) << chosen << size(chosen);
    }
}

void tst_RandomOperations::randomSequence()
{
    QFETCH(quint32, seed);
    QFETCH(int, persons);
    bool given = false;
    const int operations = qEnvironmentVariableIntValue("KX3_OPERATIONS", &given);
    Session session(seed, persons);
    QVERIFY(session.loaded());
    auto where = [seed](int k, const QString &what, const Fault &fault) {
        return QStringLiteral("seed %1, operation %2 (%3): %4\nreplay: KX3_SEED=%1")
            .arg(seed)
            .arg(k)
            .arg(what, fault);
    };
    const int count = given ? operations : DefaultOperations;
    for (int k = 0; k < count; ++k) {
        Fault fault = session.step();
        // Now and then mid-way too, so a loss shows near the operation causing it.
        if (fault.isEmpty() && k % 300 == 299)
            fault = session.saveAndReload();
        QVERIFY2(fault.isEmpty(), qPrintable(where(k, session.description(), fault)));
    }
    Fault fault = session.undoAndRedoAll();
    if (fault.isEmpty())
        fault = session.saveAndReload();
    if (fault.isEmpty())
        fault = session.patchRoundTrip();
    QVERIFY2(fault.isEmpty(), qPrintable(where(count, session.description(), fault)));
}

QTEST_GUILESS_MAIN(tst_RandomOperations)
#include "tst_RandomOperations.moc"
