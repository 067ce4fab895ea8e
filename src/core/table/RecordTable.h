#pragma once

#include "core/changes/RecordForms.h"

#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kx3 {

class Database;
class Lookups;

/// What one table lists: persons owning player attributes, persons owning
/// staff attributes, clubs, national teams (under-21 teams among them), or
/// every record of one of the other kinds.
enum class TableKind : std::uint8_t {
    Players,
    Staff,
    Clubs,
    NationalTeams,
    Nations,
    Cities,
    Stadiums,
    Officials
};
inline constexpr std::array<TableKind, 8> AllTableKinds = {
    TableKind::Players, TableKind::Staff,  TableKind::Clubs,    TableKind::NationalTeams,
    TableKind::Nations, TableKind::Cities, TableKind::Stadiums, TableKind::Officials};

/// "players", "staff", "clubs", "national-teams", "nations", "cities",
/// "stadiums", "officials": the command line's names.
const char *tableKindName(TableKind kind);
std::optional<TableKind> tableKindFromName(const QString &name);
/// How a row count speaks of the rows: the command line's name, "national
/// teams" with a blank.
QString tableKindNoun(TableKind kind);
/// "742 of 75,064 players".
QString tableCountText(TableKind kind, qsizetype shown, qsizetype total);
/// The kind of record whose form the table's columns are: persons for the
/// person tables, clubs for clubs and national teams.
RecordKind tableFormKind(TableKind kind);
/// How the search lists name a record of `kind`: "Bamilovia (U21)" for an
/// under-21 team, a person's or official's first and second name.
QString tableRecordTitle(const Database &db, RecordKind kind, int record);

/// A header without the unit in brackets at its end: "Wage" for "Wage (£)".
QString columnShortName(const QString &name);

/// One column: a field of the kind's screen.
struct TableColumn
{
    enum Type : std::uint8_t { Text, Number, Date };
    /// The header, as the screen captions the field.
    QString name;
    /// The field of the record's form it reads and writes.
    QString field;
    Type type = Text;
    /// Age is worked out from the date of birth, and the name a record is
    /// listed by from its fields (or, for a nation, given by the game): they
    /// cannot be set.
    bool editable = true;
};

/// The records of one kind as rows of fields, read as their
/// screens show them. A cell is read straight from the stored bytes when it
/// is asked for, so a table of a million persons costs nothing until shown;
/// whole columns are read, and kept, only to sort or filter on them.
///
/// The table describes the database as it was when built or last reloaded.
class RecordTable
{
public:
    RecordTable(const Database &db, const Lookups &lookups, TableKind kind);
    ~RecordTable();
    RecordTable(const RecordTable &) = delete;
    RecordTable &operator=(const RecordTable &) = delete;

    TableKind kind() const { return mKind; }
    const Database &database() const { return mDb; }
    const Lookups &lookups() const { return mLookups; }
    const std::vector<TableColumn> &columns() const { return mColumns; }
    /// The column of that header, compared without regard to case, or of
    /// that header without its unit ("Wage" for "Wage (£)"); -1 for none.
    int column(const QString &name) const;

    int rowCount() const { return int(mRecords.size()); }
    /// The record (index of its kind) of `row`.
    int record(int row) const { return mRecords[std::size_t(row)]; }
    /// The row of record `record`, -1 when it is not in the table.
    int rowOf(int record) const;

    /// The cell as the record's screen shows it.
    QString text(int row, int column) const;
    /// The cells of `columns` as CSV fields, appended as UTF-8 and joined
    /// by commas.
    void appendCsvRow(int row, std::span<const int> columns, std::string &out) const;
    /// What a Number or Date cell compares by (a date as yyyymmdd); empty
    /// for a text column, or a cell that reads as no number.
    std::optional<double> value(int row, int column) const;

    /// `rows` in the order of `column`: numbers and dates by value (cells
    /// without a value first), texts collated as the result lists collate
    /// names, ties by row. Reads the whole column the first time.
    std::vector<int> sorted(std::vector<int> rows, int column, bool ascending) const;

    /// Reads the database again: rows come and go with roles, cells change.
    void reload();

    /// Whether each row's cell of a Text column passes `test`; a list
    /// field's test runs once per stored code, not once per row.
    std::vector<std::uint8_t> textMatches(int column,
                                          const std::function<bool(const QString &)> &test) const;
    /// Every cell of a Text column, read once and kept until reload().
    const std::vector<QString> &columnTexts(int column) const;
    /// Every value of a Number or Date column, and whether each cell has one.
    std::pair<const std::vector<double> &, const std::vector<std::uint8_t> &>
    columnValues(int column) const;

private:
    struct Reader;
    struct ColumnCache;
    const ColumnCache &cache(int column) const;

    const Database &mDb;
    const Lookups &mLookups;
    TableKind mKind;
    std::vector<TableColumn> mColumns;
    std::vector<int> mRecords;
    std::vector<int> mRowOfRecord;
    std::unique_ptr<Reader> mReader;
    mutable std::vector<std::unique_ptr<ColumnCache>> mCaches;
};

} // namespace kx3
