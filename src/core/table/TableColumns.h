#pragma once

// Where each column of a table reads its cells. Internal to the tables.

#include "core/layout/PersonRecord.h"
#include "core/lookup/NameTables.h"
#include "core/people/PersonEdit.h"
#include "core/table/RecordTable.h"

#include <functional>
#include <string>

namespace kx3 {

struct ColumnSource
{
    enum Kind : std::uint8_t {
        Box,   ///< a box of a person screen, read from its record
        Age,   ///< whole years from the date of birth
        Name,  ///< a name of a person, from its name table
        Coded, ///< a list field: its text follows from one stored code
        Form,  ///< anything else: read from the record's form
        Title, ///< the name the search lists give the record, from its form
    };
    Kind kind = Form;
    PersonBox box;
    NameTable table = NameTable::First;
    std::function<qint64(const Database &, const ConstPersonRecord &)> code;
    /// A Coded field's text of a code, where reading it from a form for
    /// each code would cost too much (a person's club: tens of thousands);
    /// empty: read from the form of the first record with that code.
    std::function<QString(const Database &, qint64)> codeText;
};

/// The columns of `kind`, in the order of its screen's fields, and where
/// each reads its cells.
void tableColumns(TableKind kind, std::vector<TableColumn> &columns,
                  std::vector<ColumnSource> &sources);

/// A Box or Age cell's text and value, straight from the person's records.
QString personCellText(const Database &db, const ConstPersonRecord &p, const ColumnSource &source);
std::optional<double> personCellValue(const Database &db, const ConstPersonRecord &p,
                                      const ColumnSource &source);

/// The same cell's text appended as UTF-8, without making a string: a table
/// of a million persons is exported cell by cell.
/// `parts`: where his person, player and staff attribute records start (-1
/// for one he does not own), found once per row.
void appendPersonCell(const Database &db, const std::array<qsizetype, 3> &parts,
                      const ColumnSource &source, std::string &out);
std::array<qsizetype, 3> personParts(const Database &db, const ConstPersonRecord &p);

/// `text` as one CSV field: quoted when it holds a comma, a quote or a line
/// break, its quotes doubled; a text a spreadsheet would take for a formula
/// ("=SUM(A1)", "+cmd") behind an apostrophe.
void appendCsvField(std::string &out, const QString &text);
/// Whether a read CSV cell carries the apostrophe appendCsvField adds, which
/// the import takes off.
bool marksText(const QString &cell);

/// What a cell's text compares by in a column of `type`: a number, or a
/// d/m/yyyy date as yyyymmdd; nothing when the text is neither.
std::optional<double> cellValue(TableColumn::Type type, const QString &text);

/// The day, month and year of a d/m/yyyy text.
std::optional<std::array<int, 3>> dateParts(const QString &text);

/// Whole years from a date of birth to the day the game's 99/00 season
/// begins (1 July 1999), as the Age column reads them.
int ageOn1999(int day, int month, int year);

} // namespace kx3
