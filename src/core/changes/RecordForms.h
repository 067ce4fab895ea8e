#pragma once

#include "core/layout/RecordCounts.h"
#include "core/lookup/EditResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace kx3 {

class Database;
class Lookups;
struct PersonFormCache;

/// The kinds a change list and a patch speak of are the record kinds, in the
/// order a patch applies them: a record is created before the records that
/// name it. Misc is not a record: the entry lines of player_Setup.cfg,
/// compared and carried as lines (a person's misc screen entries are read
/// from them).
inline constexpr std::array<RecordKind, 6> AllFormKinds = {
    RecordKind::Nation, RecordKind::City,     RecordKind::Stadium,
    RecordKind::Club,   RecordKind::Official, RecordKind::Person};
inline constexpr int FormKindCount = 6;

/// "nation", "city", "stadium", "club", "official", "person", "misc".
const char *formKindName(RecordKind kind);
std::optional<RecordKind> formKindFromName(const QString &name);

/// One field as a user reads it. A field that names another record also
/// carries that record, so a renumbered or renamed one does not count as a
/// change of every record naming it.
struct FormField
{
    QString name;
    QString text;
    RecordKind refKind = RecordKind::Nation;
    int ref = -2; ///< index of the record named, -1 for none; -2: not a reference
    /// An item of a list: empty when the stored value has none.
    bool listed = false;
    bool isReference() const { return ref != -2; }
};

/// A record as its screen shows it, field by field, in screen order.
struct RecordForm
{
    /// The texts that identify it across databases (see identityFields()).
    QStringList identity;
    /// How the search lists name it.
    QString title;
    std::vector<FormField> fields;

    const FormField *field(const QString &name) const;
};

/// Names of the fields that identify a record of `kind`: persons by first,
/// second and common name, date of birth and nation; clubs by long name and
/// nation; nations by name; cities and stadiums by name and nation; officials
/// by names and date of birth. A stadium's nation is its city's.
QStringList identityFields(RecordKind kind);

/// Whether records of `kind` can be created, and deleted, by a patch as the
/// editor can: nations are never created, and only persons and officials
/// are ever deleted.
bool formKindCreatable(RecordKind kind);
bool formKindDeletable(RecordKind kind);

/// Reads the forms of one database. Built once, it reads any record in time
/// independent of the database's size (the history and the misc lines of
/// every person are grouped up front).
class FormReader
{
public:
    explicit FormReader(const Database &db);
    /// Reads with the look-ups kept beside `db`, and without any person's
    /// history (his "History" reads empty): building either for a million
    /// persons costs more than reading a few fields of each.
    FormReader(const Database &db, const Lookups &lookups);
    ~FormReader();
    FormReader(const FormReader &) = delete;
    FormReader &operator=(const FormReader &) = delete;

    const Database &database() const { return mDb; }
    int count(RecordKind kind) const { return recordCount(mDb, kind); }
    /// Record `index` of `kind`; nothing outside the table.
    std::optional<RecordForm> read(RecordKind kind, int index) const;
    /// Only the identity texts, which are cheaper to read than the whole form.
    QStringList identity(RecordKind kind, int index) const;
    /// One key per identity, equal exactly when the identity texts are,
    /// written into `key` (whose room is reused).
    void identityKey(RecordKind kind, int index, QByteArray &key) const;
    /// What reading persons found up front.
    const PersonFormCache &personCache() const;
    /// The look-ups the forms are read with.
    const Lookups &lookups() const;

private:
    struct Cache;
    const Database &mDb;
    std::unique_ptr<Cache> mCache;
};

/// Every field a new record of `kind` may be given, and which of them a
/// change may set: all fields of the form.
QStringList formFieldNames(RecordKind kind);

/// Writes `fields` (name, text) into record `index` of `kind`, or into a new
/// record when `index` is empty, through the same edit values and checks as
/// its screen's confirm; a person's club moves by a transfer or a release,
/// his job or classification by the role rules a user answering Yes would
/// follow. Every text is converted before anything is written: a refusal
/// names the field and changes nothing. `lookups` must describe `db` and is
/// kept up to date.
EditResult writeRecordForm(Database &db, Lookups &lookups, RecordKind kind,
                           std::optional<int> index,
                           const std::vector<std::pair<QString, QString>> &fields);

/// What its screen's confirm would ask before writeRecordForm stored the
/// same fields ("Finishing 25 is outside 0 - 20", "Seating 70000 is more
/// than Capacity 64000"): only values the fields change, every one of a new
/// record (`index` empty). Reads only; a text that cannot be set is left to
/// writeRecordForm's refusal.
QStringList recordFormAdvice(const Database &db, const Lookups &lookups, RecordKind kind,
                             std::optional<int> index,
                             const std::vector<std::pair<QString, QString>> &fields);

} // namespace kx3
