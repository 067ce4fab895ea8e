#pragma once

#include <QList>
#include <QStringList>

namespace kx3 {

class Database;
class Lookups;

/// What checkIntegrity looks at beyond the shapes and references every
/// operation must keep.
struct IntegrityOptions
{
    /// Also require each name entry's usage count and each nation's person and
    /// club counts to be at least the number of records that use them. A whole
    /// confirm keeps them so; a bare table operation (a person appended before
    /// its names are resolved) need not, and a deletion leaves them high.
    /// Whether a step left them exactly right is countChanges()'s question.
    bool counts = false;
    /// Most problems listed of each severity; the rest are summed up in one
    /// last line of that severity.
    int limit = 200;
};

/// How much a problem matters.
enum class IntegritySeverity {
    /// A value the editor's lists do not offer (a kit colour beyond the colour
    /// table, a code with no list item): shown as no selection and kept, so
    /// the game's own files may well hold it.
    Note,
    /// Tables or references that disagree: edits and saves may damage them.
    Error,
};

struct IntegrityProblem
{
    IntegritySeverity severity = IntegritySeverity::Error;
    QString text;

    friend bool operator==(const IntegrityProblem &, const IntegrityProblem &) = default;
};

/// What checking a database found: the problems listed (at most the limit of
/// each severity, errors first, each severity summed up in a last line when
/// more were found) and how many of each were found in all.
struct IntegrityReport
{
    QList<IntegrityProblem> problems;
    int errorCount = 0;
    int noteCount = 0;

    bool hasErrors() const { return errorCount > 0; }
    /// The texts of the listed errors.
    QStringList errors() const;
};

/// Every way a loaded database breaks the rules that keep its tables and the
/// references between them consistent (errors), and every value outside the
/// editor's lists (notes), each naming the file, the record and the value.
IntegrityReport integrityReport(const Database &db, const IntegrityOptions &options = {});

/// The same, plus the lists kept beside the database (see checkIntegrity).
IntegrityReport integrityReport(const Database &db, const Lookups &lookups,
                                const IntegrityOptions &options = {});

/// The errors of integrityReport(), one text per problem; empty when the
/// database is sound. Notes do not count: the editor keeps such values.
QStringList checkIntegrity(const Database &db, const IntegrityOptions &options = {});

/// The same, plus the lists kept beside the database: the club name list holds
/// every club's short name in club order, and each pick list holds exactly one
/// entry per stadium or city record.
QStringList checkIntegrity(const Database &db, const Lookups &lookups,
                           const IntegrityOptions &options = {});

} // namespace kx3
