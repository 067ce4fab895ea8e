#pragma once

// A person's form: the fields of his player and staff screens in one list,
// his club and his misc entries and history among them. Internal to the
// change list and patches.

#include "core/changes/FormFields.h"
#include "core/people/CareerHistory.h"
#include "core/people/RoleRules.h"

#include <QHash>

#include <span>
#include <vector>

namespace kx3 {

/// What reading every person's form needs once: where each person's history
/// records are (grouped in one pass, decoded only when his form is read).
struct PersonFormCache
{
    void build(const Database &db, const Lookups &lookups);
    /// His history rows, as his player screen shows them.
    QList<HistoryRow> rows(const Database &db, int person) const;
    /// Indices of his records in staff_history.dat, in file order.
    std::span<const int> records(int person) const;
    int clubNameCount() const { return int(mClubNames.size()); }

private:
    std::vector<int> mFirst; ///< per person, where his records start in mRecords
    std::vector<int> mRecords;
    QList<QByteArray> mClubNames;
};

/// A field of one person screen: a box of personBoxes(screen), or -1 for a
/// name or list field.
struct PersonScreenField
{
    QString name;
    int box = -1;
    bool date = false;
};
/// The fields `screen` shows, in the form's order, as the form names them.
std::vector<PersonScreenField> personScreenFields(RoleScreen screen);

QStringList personIdentityFields();
QStringList personFieldNames();
/// The identity texts of person `index` read straight from his record.
QStringList personIdentity(const Database &db, int index);
/// The same as one key, equal for two persons exactly when their identity
/// texts are; far cheaper to make for a million persons.
void personIdentityKey(const Database &db, int index, QByteArray &key);
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
/// recordFormAdvice for a person.
QStringList personFormAdvice(const Database &db, const Lookups &lookups, std::optional<int> index,
                             const std::vector<std::pair<QString, QString>> &fields);

// Shared with the other kinds' fields.
QList<QByteArray> listOf(std::span<const char *const> names);
QString itemText(const QList<QByteArray> &items, int item);
QString findItem(const QList<QByteArray> &items, const QString &text, int &item);
int nationRef(int item);

} // namespace kx3
