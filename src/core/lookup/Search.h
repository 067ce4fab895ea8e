#pragma once

#include <QByteArray>

#include <vector>

namespace kx3 {

class Database;

/// One record found by a name search.
struct SearchRow
{
    QByteArray name; ///< the name the result list shows
    qint64 offset;   ///< byte offset of the record in the image it was found in
};

using SearchRows = std::vector<SearchRow>;

// Every search makes one pass over its image and returns its rows in record
// order; the result list sorts them. An empty text finds nothing, so that the
// list can keep what it showed before. Without `caseSensitive` only a..z are
// folded to A..Z (foldSearchByte). Only whole records inside their image are
// scanned, and a name, nation or city index that leads nowhere gives an empty
// text.

/// Persons 0..N-1 of classification 2, 3 or 4, by first, second and common
/// name joined with blanks; listed as first and second name, offset in staff.dat.
SearchRows searchPlayers(const Database &db, const QByteArray &text, bool caseSensitive);

/// The same over persons of classification 1 or 3.
SearchRows searchStaff(const Database &db, const QByteArray &text, bool caseSensitive);

/// Clubs and national teams by the raw bytes of both name fields followed by
/// the nation's name; listed by long name, under-21 teams with " (U21)",
/// offset in the combined club image.
SearchRows searchClubs(const Database &db, const QByteArray &text, bool caseSensitive);

/// Officials by first name, " ", second name and the nation's name with no
/// separator; listed as first and second name, offset in officials.dat.
SearchRows searchOfficials(const Database &db, const QByteArray &text, bool caseSensitive);

/// Nations by the raw bytes of both name fields; listed by long name. The
/// search menu offers no case choice for nations, cities and stadiums.
SearchRows searchNations(const Database &db, const QByteArray &text, bool caseSensitive = false);

/// Cities by name and nation name; a match must start within the first 26
/// bytes of the candidate.
SearchRows searchCities(const Database &db, const QByteArray &text, bool caseSensitive = false);

/// Stadiums by name, city name (not for city 0) and the city's nation name;
/// a match must start within the first 26 bytes of the candidate.
SearchRows searchStadiums(const Database &db, const QByteArray &text, bool caseSensitive = false);

} // namespace kx3
