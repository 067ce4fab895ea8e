// Persons, their attribute records, career history and misc entries.
#include "DatabaseGenerator.h"

#include "core/layout/CodeLists.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"

namespace kx3 {

namespace {

int slotGroup(const SlotRange &range)
{
    switch (range.first) {
    case 0: return 0;
    case 1: return 1;
    case 4: return 2;
    case 5: return 3;
    case 6: return 4;
    case 56: return 5;
    case 61: return 6;
    default: return 7;
    }
}

// Non-playing jobs weighted roughly as clubs employ them.
constexpr int StaffJobs[] = {1, 2, 3, 4, 5, 5, 6, 7, 8, 8, 8, 8, 9, 9, 9, 9, 9, 10, 10, 10};

/// Classification of person i: the first five cover every class once.
int classFor(int index, BuilderRandom &random)
{
    constexpr int Forced[] = {Classification::Player, Classification::NonPlayer,
                              Classification::PlayerNonPlayer, Classification::YouthPlayer,
                              Classification::Unknown};
    if (index < 5)
        return Forced[index];
    const int roll = random.range(0, 99);
    if (roll < 58)
        return Classification::Player;
    if (roll < 68)
        return Classification::YouthPlayer;
    if (roll < 88)
        return Classification::NonPlayer;
    if (roll < 95)
        return Classification::PlayerNonPlayer;
    return Classification::Unknown;
}

QByteArray quoted(const QByteArray &text)
{
    return " \"" + text + '"';
}

} // namespace

void DatabaseGenerator::buildPersons()
{
    const int count = mOptions.persons;
    std::vector<std::uint8_t> classes(static_cast<std::size_t>(count));
    int staffCount = 0;
    int playerCount = 0;
    for (int i = 0; i < count; ++i) {
        const int c = classFor(i, mRandom);
        classes[std::size_t(i)] = std::uint8_t(c);
        staffCount += Classification::hasStaffAttributes(c) ? 1 : 0;
        playerCount += Classification::hasPlayerAttributes(c) ? 1 : 0;
    }
    const qsizetype os = qsizetype(count) * RecordSize::Person;
    const qsizetype op = os + qsizetype(staffCount) * RecordSize::StaffAttributes;
    mDb.image(DataFile::Staff)
        .setBytes(QByteArray(op + qsizetype(playerCount) * RecordSize::PlayerAttributes, '\0'));
    mDb.counters() =
        StaffCounters{count, staffCount, std::int32_t(os), playerCount, std::int32_t(op)};
    // Attribute records are not in person order, so nothing may confuse a
    // record index with a person index.
    const std::vector<std::int32_t> staffIndices = shuffledIndices(staffCount);
    const std::vector<std::int32_t> playerIndices = shuffledIndices(playerCount);
    std::size_t nextStaff = 0;
    std::size_t nextPlayer = 0;
    std::vector<bool> nationHasManager(std::size_t(mNations), false);
    const RecordDate noDate;
    const RecordDate noNationalEnd{31, 1900, 1};

    for (int i = 0; i < count; ++i) {
        PersonRecord p = *person(mDb, i);
        const int cls = classes[std::size_t(i)];
        const bool plays = Classification::hasPlayerAttributes(cls);
        std::int32_t nationality = mRandom.chance(1) ? -1 : mRandom.range(0, mNations - 1);
        int firstPool = mRandom.range(0, int(mPools[FirstNameTable].size()) - 1);
        int secondPool = mRandom.range(0, int(mPools[SecondNameTable].size()) - 1);
        int commonPool =
            mRandom.chance(15) ? mRandom.range(1, int(mPools[CommonNameTable].size()) - 1) : 0;
        if (i == 5 || i == 6) {
            // One surname text under two nation keys.
            nationality = (i - 5) % mNations;
            secondPool = 0;
        } else if (i == 7) {
            secondPool = 1;
        } else if (i == 8) {
            firstPool = 1;
            secondPool = 2;
            commonPool = 1;
        } else if (i == 0) {
            secondPool = SurnameSmith; // a player
        } else if (i == 1) {
            secondPool = SurnameJohnson; // a manager
        }
        p.setId(i);
        p.setFirstName(nameEntry(FirstNameTable, firstPool, nationality));
        p.setSecondName(nameEntry(SecondNameTable, secondPool, nationality));
        p.setCommonName(nameEntry(CommonNameTable, commonPool, nationality));
        if (i == 3)
            p.setDateOfBirth(encodeRecordDate(29, 2, 1980));
        else if (cls == Classification::YouthPlayer)
            p.setDateOfBirth(randomDate(1979, 1983));
        else
            p.setDateOfBirth(plays ? randomDate(1962, 1982) : randomDate(1940, 1970));
        p.set(PersonField::Unused24, std::uint16_t(mRandom.range(1, 65535)));
        p.setNationality(nationality);
        p.setSecondNationality(mRandom.chance(10) ? mRandom.range(0, mNations - 1) : -2);
        const int caps = plays && mRandom.chance(30) ? mRandom.range(1, 80) : 0;
        p.setCaps(caps);
        p.setGoals(caps > 0 ? mRandom.range(0, caps / 3) : 0);
        p.setNationalTeam(PersonNone::Club);
        p.setNationalJob(Job::Unemployed);
        p.setNationalJoined(noDate);
        p.setNationalContractEnd(noNationalEnd);

        int job = Job::Unemployed;
        int preferredClub = -1;
        switch (cls) {
        case Classification::NonPlayer:
            job = mRandom.chance(8)   ? Job::Unemployed
                  : mRandom.chance(4) ? Job::Retired
                                      : StaffJobs[mRandom.next() % std::size(StaffJobs)];
            break;
        case Classification::Player:
        case Classification::YouthPlayer:
            job = mRandom.chance(90)   ? Job::Player
                  : mRandom.chance(50) ? Job::Unemployed
                                       : Job::Retired;
            break;
        case Classification::PlayerNonPlayer:
            job = mRandom.chance(10) ? Job::Unemployed : mRandom.range(12, 15);
            break;
        default: break;
        }
        if (i == 0) {
            job = Job::Retired;
        } else if (i == 1) {
            job = Job::Manager;
            preferredClub = 0;
        } else if (i == 2) {
            job = Job::PlayerManager;
            preferredClub = 1 % mClubs;
        }
        p.setJob(job);
        assignClub(p, i, job, preferredClub);
        const bool employed = p.club() >= 0;
        p.setJoined(employed ? randomDate(1988, 1998) : noDate);
        p.setContractEnd(employed ? randomDate(1999, 2003) : noDate);
        p.setWage(employed && plays ? mRandom.range(1, 120) * 500 : 0);
        p.setValue(plays ? mRandom.range(0, 400) * 25000 : 0);
        for (int m = 0; m < 8; ++m)
            p.setMentalRating(m, mRandom.range(1, 20));
        p.setPlaysIn(cls == Classification::Unknown       ? 0
                     : cls == Classification::YouthPlayer ? 2
                     : plays                              ? mRandom.range(1, 2)
                                                          : 1);
        p.setClassification(cls);
        p.set(PersonField::Unused96, std::uint8_t(mRandom.nonZeroByte()));
        for (int s = 0; s < PersonRelationship::Count; ++s) {
            const bool clubSlot = PersonRelationship::isClubSlot(s);
            const bool used = mRandom.chance(s % 3 == 0 ? 25 : 8);
            if (clubSlot)
                p.setRelationship(s, used ? mRandom.range(0, mClubs - 1) : PersonNone::Club);
            else
                p.setRelationship(s, used ? mRandom.range(0, count - 1) : PersonNone::Person);
        }
        p.setPlayerAttributes(plays ? playerIndices[nextPlayer++] : PersonNone::AttributeRecord);
        p.setStaffAttributes(Classification::hasStaffAttributes(cls)
                                 ? staffIndices[nextStaff++]
                                 : PersonNone::AttributeRecord);
        p.set(PersonField::Unused149, mRandom.chance(80) ? -1 : std::int32_t(mRandom.next()));
        if (p.playerAttributes() >= 0)
            fillPlayerAttributes(p.playerAttributes());
        if (p.staffAttributes() >= 0)
            fillStaffAttributes(p.staffAttributes());

        // National duty: a manager per nation where one turns up, a few senior
        // players and a few youth players with their under-21 team.
        if (nationality >= 0) {
            const auto k = std::size_t(nationality);
            int team = -1;
            int nationalJob = Job::Unemployed;
            if (cls == Classification::NonPlayer && !nationHasManager[k] && mRandom.chance(50)) {
                nationHasManager[k] = true;
                team = mClubs + nationality;
                nationalJob = Job::Manager;
            } else if (cls == Classification::Player && employed && mRandom.chance(4)) {
                team = mClubs + nationality;
                nationalJob = Job::Player;
            } else if (cls == Classification::YouthPlayer && mRandom.chance(6)) {
                team = mClubs + mNations + nationality;
                nationalJob = Job::Player;
            }
            if (team >= 0) {
                p.setNationalTeam(team);
                p.setNationalJob(nationalJob);
                p.setNationalJoined(randomDate(1994, 1998));
                p.setNationalContractEnd(randomDate(1999, 2002));
            }
        }
    }
}

void DatabaseGenerator::buildNationalSquads()
{
    // Chosen by rule, not by chance, so every other table stays as it was.
    constexpr int SeniorSquad = 18;
    constexpr int WithoutClub = 2;
    constexpr int YouthSquad = 11;
    struct Squad
    {
        std::vector<std::int32_t> onDuty, employed, free;
    };
    std::vector<Squad> squads(std::size_t(2 * mNations));
    for (int i = 0; i < mOptions.persons; ++i) {
        const PersonRecord p = *person(mDb, i);
        const std::int32_t nationality = p.nationality();
        if (p.nationalJob() == Job::Manager && p.nationalTeam() >= mClubs) {
            ClubRecord team = *club(mDb, p.nationalTeam());
            team.setPositionSlot(ClubSlots::Manager.first, i);
            continue;
        }
        if (p.playerAttributes() < 0 || nationality < 0 || nationality >= mNations)
            continue;
        const bool youth = p.classification() == Classification::YouthPlayer;
        Squad &squad = squads[std::size_t(nationality + (youth ? mNations : 0))];
        if (p.nationalTeam() >= mClubs && p.nationalJob() == Job::Player)
            squad.onDuty.push_back(i);
        else if (p.club() >= 0)
            squad.employed.push_back(i);
        else if (p.job() != Job::Retired)
            squad.free.push_back(i);
    }
    for (std::size_t t = 0; t < squads.size(); ++t) {
        const Squad &squad = squads[t];
        const bool youth = int(t) >= mNations;
        std::vector<std::int32_t> chosen = squad.onDuty;
        const std::size_t size = youth ? YouthSquad : SeniorSquad;
        const std::size_t clubless = youth ? 0 : WithoutClub;
        for (std::size_t k = 0; k < squad.employed.size() && chosen.size() < size - clubless; ++k)
            chosen.push_back(squad.employed[k]);
        for (std::size_t k = 0; k < squad.free.size() && chosen.size() < size; ++k)
            chosen.push_back(squad.free[k]);
        ClubRecord team = *club(mDb, mClubs + int(t));
        for (std::size_t k = 0; k < chosen.size() && int(k) < ClubSlots::Squad.count; ++k)
            team.setPositionSlot(ClubSlots::Squad.first + int(k), chosen[k]);
    }
}

bool DatabaseGenerator::assignClub(PersonRecord &p, int index, int job, int preferredClub)
{
    const SlotRange staff = staffSlotRange(job);
    const SlotRange squad = playerSlotRange(job);
    p.setClub(PersonNone::Club);
    if (staff.isEmpty() && squad.isEmpty())
        return false;
    auto room = [this](int c, const SlotRange &r) {
        return r.isEmpty() || mSlotFill[std::size_t(c) * 8 + std::size_t(slotGroup(r))] < r.count;
    };
    auto take = [this, index](ClubRecord &c, int clubIndex, const SlotRange &r) {
        if (r.isEmpty())
            return;
        std::uint8_t &fill = mSlotFill[std::size_t(clubIndex) * 8 + std::size_t(slotGroup(r))];
        c.setPositionSlot(r.first + fill, index);
        ++fill;
    };
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int c =
            attempt == 0 && preferredClub >= 0 ? preferredClub : mRandom.range(0, mClubs - 1);
        if (!room(c, staff) || !room(c, squad))
            continue;
        ClubRecord record = *club(mDb, c);
        take(record, c, staff);
        take(record, c, squad);
        p.setClub(c);
        return true;
    }
    // Every club is full for this job: he stays without one.
    p.setJob(Job::Unemployed);
    return false;
}

void DatabaseGenerator::fillPlayerAttributes(std::int32_t index)
{
    PlayerAttributes a = *playerAttributes(mDb, index);
    a.setId(index);
    a.setSquadNumber(mRandom.chance(20) ? 0 : mRandom.range(1, 40));
    const int current = mRandom.range(30, 190);
    a.setCurrentAbility(current);
    a.setPotentialAbility(mRandom.chance(8) ? -mRandom.range(1, 2)
                                            : std::min(200, current + mRandom.range(0, 40)));
    a.setHomeReputation(mRandom.range(1, 200));
    a.setCurrentReputation(mRandom.range(1, 200));
    a.setWorldReputation(mRandom.range(1, 200));
    for (int r = 0; r < 12; ++r)
        a.setPositionRating(r, mRandom.range(1, 20));
    for (int r = 0; r < 42; ++r)
        a.setPlayingRating(r, mRandom.range(1, 20));
    a.set(PlayerAttributesField::Unused69, NewPlayerAttributesTrailer);
}

void DatabaseGenerator::fillStaffAttributes(std::int32_t index)
{
    StaffAttributes a = *staffAttributes(mDb, index);
    a.setId(index);
    a.setCurrentAbility(mRandom.range(20, 200));
    a.setPotentialAbility(mRandom.range(20, 200));
    a.setHomeReputation(mRandom.range(1, 200));
    a.setCurrentReputation(mRandom.range(1, 200));
    a.setWorldReputation(mRandom.range(1, 200));
    for (int r = 0; r < 21; ++r)
        a.setRating(r, mRandom.range(1, 20));
    for (int w = 0; w < StaffAttributesField::Unused35.count; ++w)
        a.set(StaffAttributesField::Unused35.at(w), std::int32_t(-1));
    a.setFormation(mRandom.range(1, 9));
}

void DatabaseGenerator::buildClubRelationships()
{
    for (int i = 0; i < mClubs; ++i) {
        ClubRecord c = *club(mDb, i);
        for (int s = 0; s < ClubRelationship::Count; ++s) {
            if (ClubRelationship::isClubSlot(s)) {
                const int rival = mRandom.range(0, mClubs - 1);
                c.setRelationship(s, mRandom.chance(50) && rival != i ? rival : -2);
            } else if (mOptions.persons > 0 && mRandom.chance(25)) {
                c.setRelationship(s, mRandom.range(0, mOptions.persons - 1));
            }
        }
    }
}

void DatabaseGenerator::buildHistory()
{
    // Several seasons for some players, written round by round so that the
    // records of different persons are interleaved as in the game's files.
    std::vector<std::pair<std::int32_t, int>> careers;
    for (int i = 0; i < mOptions.persons; ++i) {
        if (person(mDb, i)->playerAttributes() >= 0 && mRandom.chance(40))
            careers.emplace_back(i, mRandom.range(1, 4));
    }
    std::size_t total = 0;
    for (const auto &career : careers)
        total += std::size_t(career.second);
    DataImage &image = mDb.image(DataFile::StaffHistory);
    image.setBytes(QByteArray(qsizetype(total) * RecordSize::History, '\0'));
    std::int32_t next = 0;
    for (int round = 0; round < 4; ++round) {
        for (const auto &[personIndex, seasons] : careers) {
            if (round >= seasons)
                continue;
            HistoryRecord h = *historyRecord(mDb, next);
            h.setId(next++);
            h.setPerson(personIndex);
            h.setYear(1998 - seasons + 1 + round);
            h.setClub(mRandom.chance(5) ? UnmatchedHistoryClub : mRandom.range(0, mClubs - 1));
            h.setUnused14(0);
            const int apps = mRandom.range(0, 46);
            h.setAppearances(apps);
            h.setGoals(mRandom.range(0, apps / 2));
        }
    }
}

QByteArray DatabaseGenerator::clubLongName(std::int32_t clubIndex) const
{
    const std::optional<ClubRecord> c = clubIndex >= 0 ? club(mDb, clubIndex) : std::nullopt;
    return c ? c->longName() : QByteArray();
}

QByteArray DatabaseGenerator::entryLine(const char *keyword, std::int32_t personIndex) const
{
    const PersonRecord p = *person(mDb, personIndex);
    return '"' + QByteArray(keyword) + '"' + quoted(nameText(FirstNameTable, p.firstName()))
           + quoted(nameText(CommonNameTable, p.commonName()))
           + quoted(nameText(SecondNameTable, p.secondName())) + quoted(clubLongName(p.club()));
}

void DatabaseGenerator::buildSetupLines()
{
    QList<QByteArray> &lines = mDb.setupLines();
    lines = {
        "\"KICKORA_SETUP\" \"3\"",
        "\"GAME_START\" \"1\" \"7\" \"1998\"",
        "\"COMMENT\" \"Entries below are applied when a new game starts\"",
        "\"SEASON_LENGTH\" \"44\"",
        "\"TRANSFER_WINDOW\" \"OPEN\"",
        "\"FOREIGN_PLAYERS\" \"3\"",
        "\"SUBSTITUTES\" \"5\" \"3\"",
        "\"POINTS_FOR_WIN\" \"3\"",
        "\"CURRENCY\" \"\xA3\"",
        "\"COMMENT\" \"Quoted fields are separated by one blank\"",
        "\"REGIONS\" \"ALL\"",
        "\"YOUTH_INTAKE\" \"1\" \"4\"",
        "\"RESERVED\" \"\"",
        "\"END_OF_HEADER\"",
    };
    // A header line that names a person: it matches him but must never be
    // rewritten or deleted.
    if (mOptions.persons > 1)
        lines[12] = entryLine("SETUP_NOTE", 1);

    std::vector<std::int32_t> players;
    std::vector<std::int32_t> employedPlayers;
    std::vector<std::int32_t> staff;
    std::vector<std::int32_t> managers;
    for (int i = 0; i < mOptions.persons; ++i) {
        const PersonRecord p = *person(mDb, i);
        if (p.playerAttributes() >= 0) {
            players.push_back(i);
            if (p.job() == Job::Player && p.club() >= 0)
                employedPlayers.push_back(i);
        }
        if (p.staffAttributes() >= 0) {
            staff.push_back(i);
            if (p.job() == Job::Manager || p.job() == Job::PlayerManager)
                managers.push_back(i);
        }
    }
    auto otherClub = [this](std::int32_t personIndex) {
        const std::int32_t own = person(mDb, personIndex)->club();
        std::int32_t target = mRandom.range(0, mClubs - 1);
        if (target == own && mClubs > 1)
            target = (target + 1) % mClubs;
        return clubLongName(target);
    };
    auto number = [](int v) { return ' ' + QByteArray::number(v); };
    const std::size_t stride = std::size_t(std::max(1, mOptions.persons / 40));

    for (std::size_t k = 0; k < employedPlayers.size(); k += stride) {
        const std::int32_t i = employedPlayers[k];
        lines.append(entryLine("FUTURE_TRANSFER", i) + quoted(otherClub(i))
                     + number(mRandom.range(1, 28)) + number(mRandom.range(1, 12)) + number(1999)
                     + number(mRandom.range(0, 400) * 25000) + number(mRandom.range(1, 60) * 500)
                     + number(mRandom.range(1, 5)));
    }
    for (std::size_t k = stride / 2; k < employedPlayers.size(); k += stride) {
        const std::int32_t i = employedPlayers[k];
        lines.append(entryLine("LOAN", i) + quoted(otherClub(i)) + number(1) + number(8)
                     + number(1998) + number(mRandom.range(1, 28)) + number(mRandom.range(1, 5))
                     + number(1999));
    }
    for (std::size_t k = 0; k < players.size(); k += stride) {
        const std::int32_t i = players[k];
        QByteArray line = entryLine("INJURY", i) + quoted(InjuryNames[mRandom.next() % 94]);
        if ((k / stride) % 2 == 1)
            line += number(mRandom.range(1, 60));
        lines.append(line);
    }
    for (std::size_t k = 0; k < players.size(); k += 2 * stride)
        lines.append(entryLine("INT_RETIREMENT", players[k]));
    for (std::size_t k = 0; k < staff.size(); k += 2 * stride)
        lines.append(entryLine("INT_RETIREMENT", staff[k]));
    for (std::size_t k = 0; k < managers.size(); k += std::max<std::size_t>(1, stride / 4))
        lines.append(entryLine("MANAGER_CONF", managers[k]) + number(mRandom.range(0, 10000)));
}

} // namespace kx3
