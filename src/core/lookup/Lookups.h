#pragma once

#include "core/lookup/PickList.h"

#include <QByteArray>
#include <QList>
#include <QLocale>

namespace kx3 {

class Database;

/// Names of referenced records; empty for a negative index or one outside the image.
QByteArray NationName(const Database &db, int nation);
QByteArray CompetitionName(const Database &db, int competition);
QByteArray CityName(const Database &db, int city);
/// Club indices cover clubs and national teams (the combined club image).
QByteArray ClubLongName(const Database &db, int club);
QByteArray ClubShortName(const Database &db, int club);

/// Counts the persons of nationality `nation` into that nation's person count.
/// Does nothing for a negative nation or one outside nation.dat.
void RecountNationPersons(Database &db, int nation);
/// Counts the clubs (national teams never) of nation `nation` into its club count.
/// Does nothing for a negative nation or one outside nation.dat.
void RecountNationClubs(Database &db, int nation);

/// Items of a choice box in file order: "<none>", then one name per record
/// (item = record index + 1).
QList<QByteArray> nationItems(const Database &db);
QList<QByteArray> competitionItems(const Database &db);

/// Short names of the clubs (national teams excluded), index-aligned with them.
class ClubNameList
{
public:
    ClubNameList() = default;
    explicit ClubNameList(QList<QByteArray> names) : mNames(std::move(names)) {}

    /// The short names of clubs 0 .. C - 1.
    static ClubNameList fromDatabase(const Database &db);

    int size() const { return int(mNames.size()); }
    const QList<QByteArray> &names() const { return mNames; }

    /// Short name of club `index`; empty outside the list.
    QByteArray get(int index) const;
    /// Replaces the name of club `index`; false outside the list. Names are cut
    /// to the 26 bytes a club record keeps, so the list says what the record says.
    bool set(int index, const QByteArray &name);
    void append(const QByteArray &name);
    /// First club whose short name equals `name` exactly, or -1.
    int indexOf(const QByteArray &name) const;
    /// First club whose short name equals `name` when the letters of both are
    /// compared without case (Windows-1252 letters, accented ones included), or -1.
    int indexOfIgnoringCase(const QByteArray &name) const;

private:
    QList<QByteArray> mNames;
};

/// The lists the screens share, built once after a load and kept beside the
/// database: the competition and nation choices, the stadium and city pick
/// lists and the club name list.
class Lookups
{
public:
    Lookups() = default;

    /// Builds every list from a loaded database; `locale` orders the pick lists.
    void build(const Database &db, const QLocale &locale = QLocale());

    const QList<QByteArray> &competitions() const { return mCompetitions; }
    const QList<QByteArray> &nations() const { return mNations; }
    PickList &stadiums() { return mStadiums; }
    const PickList &stadiums() const { return mStadiums; }
    PickList &cities() { return mCities; }
    const PickList &cities() const { return mCities; }
    ClubNameList &clubNames() { return mClubNames; }
    const ClubNameList &clubNames() const { return mClubNames; }

private:
    QList<QByteArray> mCompetitions;
    QList<QByteArray> mNations;
    PickList mStadiums;
    PickList mCities;
    ClubNameList mClubNames;
};

} // namespace kx3
