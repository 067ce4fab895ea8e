#pragma once

// A person's form: the fields of his player and staff screens in one list,
// his club and his misc entries and history among them. Internal to the
// change list and patches.

#include "core/changes/FormFields.h"
#include "core/people/CareerHistory.h"

#include <QHash>

namespace kx3 {

/// What reading every person's form needs once: his history rows grouped by
/// person. (His misc lines are compared as lines of their own.)
struct PersonFormCache
{
    QHash<qsizetype, QList<HistoryRow>> history;
    void build(const Database &db, const Lookups &lookups);
};

QStringList personIdentityFields();
QStringList personFieldNames();
/// The identity texts of person `index` read straight from his record.
QStringList personIdentity(const Database &db, int index);
/// The same as one key, equal for two persons exactly when their identity
/// texts are; far cheaper to make for a million persons.
QByteArray personIdentityKey(const Database &db, int index);
std::optional<RecordForm> readPersonForm(const FormLists &lists, const PersonFormCache &cache,
                                         int index);
/// Whether person `i` of `a` and person `j` of `b` read the same on every
/// field without reading their forms: their stored bytes agree but for ids
/// and references, their clubs are the same club (`clubMap`: club of `a` to
/// club of `b`), and so does their history. False does not mean they differ.
bool samePersonRecords(const Database &a, const PersonFormCache &ca, int i, const Database &b,
                       const PersonFormCache &cb, int j, const std::vector<int> &clubMap);
EditResult writePersonForm(Database &db, Lookups &lookups, std::optional<int> index,
                           const std::vector<std::pair<QString, QString>> &fields);

// Shared with the other kinds' fields.
QList<QByteArray> listOf(std::span<const char *const> names);
QString itemText(const QList<QByteArray> &items, int item);
QString findItem(const QList<QByteArray> &items, const QString &text, int &item);
int nationRef(int item);

} // namespace kx3
