#pragma once

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
    bool counts = false;
    /// Most problems listed; the rest are summed up in one last line.
    int limit = 200;
};

/// Every way a loaded database breaks the rules that keep its tables and the
/// references between them consistent, one text per problem, each naming the
/// file, the record and the value; empty when the database is sound.
QStringList checkIntegrity(const Database &db, const IntegrityOptions &options = {});

/// The same, plus the lists kept beside the database: the club name list holds
/// every club's short name in club order, and each pick list holds exactly one
/// entry per stadium or city record.
QStringList checkIntegrity(const Database &db, const Lookups &lookups,
                           const IntegrityOptions &options = {});

} // namespace kx3
