#pragma once

#include <QByteArray>
#include <QList>

namespace kx3 {

class Database;
class DataImage;

/// One row of a person's history list, as texts the way the screen holds them.
struct HistoryRow
{
    QByteArray season; ///< e.g. "1998/99"; a save reads the year from its first 4 characters
    QByteArray club;   ///< club short name, "<unknown>" for no club
    QByteArray apps;
    QByteArray goals;

    friend bool operator==(const HistoryRow &, const HistoryRow &) = default;
};

/// Shown for a history record whose club is none or out of range.
inline constexpr char UnknownHistoryClubText[] = "<unknown>";

/// Earliest year a season label shows; older stored years read as this one.
inline constexpr int FirstHistoryYear = 1900;

/// "1998/99" for 1998, "1999/00" for 1999; years before 1900 read as 1900.
QByteArray seasonLabel(int year);

/// Person `person`'s history records in file order, as rows; club indices are
/// shown through `clubNames` (the club short names, index-aligned with the clubs).
QList<HistoryRow> loadHistory(const Database &db, qsizetype person,
                              const QList<QByteArray> &clubNames);

/// The row of the history record at byte `offset` of staff_history.dat.
HistoryRow historyRowAt(const DataImage &image, qsizetype offset,
                        const QList<QByteArray> &clubNames);

/// Replaces person `person`'s history records by `rows`, appended in row order
/// behind the other records, and leaves every record's id equal to its position.
///
/// Every row's year (first 4 characters of the season), apps and goals are checked
/// first: when one is not an integer nothing changes, false is returned and
/// `badText` (if given) receives that text.
bool saveHistory(Database &db, qsizetype person, const QList<HistoryRow> &rows,
                 const QList<QByteArray> &clubNames, QByteArray *badText = nullptr);

} // namespace kx3
