#include "core/changes/ModPatch.h"

#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/fields/FieldRules.h"
#include "core/layout/ClubRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/MiscEntries.h"
#include "core/lookup/PickList.h"
#include "core/records/DeleteRecords.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <set>

namespace kx3 {

namespace {

const char *changeName(RecordChange::Type type)
{
    switch (type) {
    case RecordChange::Type::Added: return "added";
    case RecordChange::Type::Removed: return "removed";
    case RecordChange::Type::Changed: return "changed";
    }
    return "";
}

const QString OccurrenceKey = QStringLiteral("occurrence");

/// The key a version 2 patch names a field or identity text by: the field's
/// own key, or for an identity text no field holds (a nation's name, a
/// stadium's nation, a misc line) the caption in the same form.
QString fieldKey(RecordKind kind, const QString &caption)
{
    if (const FieldRow *f = fieldByCaption(kind, caption))
        return QLatin1String(f->key);
    return caption.toLower().replace(QLatin1Char(' '), QLatin1Char('_'));
}

/// The caption a patch of `version` means by `name`; empty for none.
QString fieldCaptionOf(RecordKind kind, const QString &name, int version, const QStringList &known)
{
    if (version < 2)
        return known.contains(name) ? name : QString();
    if (const FieldRow *f = fieldByKey(kind, name))
        return fieldCaption(*f);
    for (const QString &caption : known) {
        if (fieldKey(kind, caption) == name)
            return caption;
    }
    return {};
}

QJsonObject identityObject(RecordKind kind, const QStringList &identity, int occurrence)
{
    QJsonObject o;
    const QStringList names = identityFields(kind);
    for (qsizetype i = 0; i < names.size(); ++i)
        o.insert(fieldKey(kind, names[i]), identity.value(i));
    // Namesakes born the same day are told apart by their order.
    if (occurrence > 0)
        o.insert(OccurrenceKey, occurrence);
    return o;
}

int lineAt(const QByteArray &text, qsizetype offset)
{
    return int(text.left(offset).count('\n')) + 1;
}

} // namespace

QByteArray writePatch(const DatabaseDiff &diff)
{
    QJsonArray records;
    for (const RecordChange &r : diff.records) {
        QJsonObject o;
        o.insert(QStringLiteral("kind"), QLatin1String(formKindName(r.kind)));
        o.insert(QStringLiteral("change"), QLatin1String(changeName(r.type)));
        o.insert(QStringLiteral("record"), r.title);
        o.insert(QStringLiteral("identity"), identityObject(r.kind, r.identity, r.occurrence));
        QJsonObject fields;
        for (const FieldChange &f : r.fields) {
            const QString key = fieldKey(r.kind, f.field);
            if (r.type == RecordChange::Type::Added) {
                fields.insert(key, f.newText);
            } else {
                fields.insert(key, QJsonObject{{QStringLiteral("old"), f.oldText},
                                               {QStringLiteral("new"), f.newText}});
            }
        }
        if (r.type != RecordChange::Type::Removed)
            o.insert(QStringLiteral("fields"), fields);
        records.append(o);
    }
    const QJsonObject root{{QStringLiteral("format"), QLatin1String(PatchFormat)},
                           {QStringLiteral("version"), PatchVersion},
                           {QStringLiteral("records"), records}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Patch> readPatch(const QByteArray &text, QString *error)
{
    auto fail = [error](int line, const QString &why) -> std::optional<Patch> {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(line).arg(why);
        return std::nullopt;
    };
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(lineAt(text, parseError.offset), parseError.errorString());
    if (!doc.isObject())
        return fail(1, QStringLiteral("the patch is not a JSON object"));
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("format")).toString() != QLatin1String(PatchFormat))
        return fail(1, QStringLiteral("the format is not \"%1\"").arg(QLatin1String(PatchFormat)));
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toInt() < 1)
        return fail(1, QStringLiteral("the version is missing"));
    if (version.toInt() > PatchVersion) {
        return fail(1, QStringLiteral("version %1 is newer than this editor reads (%2)")
                           .arg(version.toInt())
                           .arg(PatchVersion));
    }
    if (!root.value(QStringLiteral("records")).isArray())
        return fail(1, QStringLiteral("there is no list of records"));

    Patch patch;
    qsizetype from = 0;
    for (const QJsonValue &value : root.value(QStringLiteral("records")).toArray()) {
        // Where each record starts: the next "kind" key after the last one.
        const qsizetype at = text.indexOf("\"kind\"", from);
        from = at < 0 ? from : at + 1;
        const int line = at < 0 ? 1 : lineAt(text, at);
        if (!value.isObject())
            return fail(line, QStringLiteral("a record is not an object"));
        const QJsonObject o = value.toObject();
        PatchRecord r;
        r.line = line;
        const QString kindName = o.value(QStringLiteral("kind")).toString();
        const std::optional<RecordKind> kind = formKindFromName(kindName);
        if (!kind)
            return fail(line, QStringLiteral("'%1' is no kind of record").arg(kindName));
        r.kind = *kind;
        const QString change = o.value(QStringLiteral("change")).toString();
        if (change == QLatin1String("added"))
            r.change = RecordChange::Type::Added;
        else if (change == QLatin1String("removed"))
            r.change = RecordChange::Type::Removed;
        else if (change != QLatin1String("changed"))
            return fail(line, QStringLiteral("'%1' is not added, removed or changed").arg(change));
        else
            r.change = RecordChange::Type::Changed;

        const int v = version.toInt();
        const QJsonObject identity = o.value(QStringLiteral("identity")).toObject();
        for (const QString &caption : identityFields(r.kind)) {
            const QString name = v < 2 ? caption : fieldKey(r.kind, caption);
            if (!identity.value(name).isString())
                return fail(line, QStringLiteral("the identity has no \"%1\"").arg(name));
            r.identity.append(identity.value(name).toString());
        }
        r.occurrence = identity.value(OccurrenceKey).toInt();
        const QStringList known = formFieldNames(r.kind);
        const QJsonObject fields = o.value(QStringLiteral("fields")).toObject();
        for (auto it = fields.begin(); it != fields.end(); ++it) {
            const QString caption = fieldCaptionOf(r.kind, it.key(), v, known);
            if (caption.isEmpty()) {
                return fail(line, QStringLiteral("%1 has no field \"%2\"")
                                      .arg(QLatin1String(formKindName(r.kind)), it.key()));
            }
            PatchRecord::Field f{caption, {}, {}};
            if (r.change == RecordChange::Type::Added && it.value().isString()) {
                f.newText = it.value().toString();
            } else {
                const QJsonObject values = it.value().toObject();
                if (!values.value(QStringLiteral("old")).isString()
                    || !values.value(QStringLiteral("new")).isString()) {
                    return fail(
                        line,
                        QStringLiteral("field \"%1\" needs an old and a new text").arg(it.key()));
                }
                f.oldText = values.value(QStringLiteral("old")).toString();
                f.newText = values.value(QStringLiteral("new")).toString();
            }
            r.fields.push_back(f);
        }
        if (r.kind == RecordKind::Misc && r.change == RecordChange::Type::Changed)
            return fail(line, QStringLiteral("a misc line is added or removed, never changed"));
        if (r.kind == RecordKind::Misc && r.change == RecordChange::Type::Added) {
            if (const QString why = miscLineRefusal(r.identity.value(0)); !why.isEmpty())
                return fail(line, why);
        }
        if (r.change == RecordChange::Type::Added && !formKindCreatable(r.kind))
            return fail(line, QStringLiteral("a %1 cannot be added").arg(kindName));
        if (r.change == RecordChange::Type::Removed && !formKindDeletable(r.kind))
            return fail(line, QStringLiteral("a %1 cannot be removed").arg(kindName));
        patch.records.push_back(std::move(r));
    }
    return patch;
}

namespace {

/// How many times the entry lines of `lines` hold the record's line.
qsizetype miscCopies(const QList<QByteArray> &lines, const PatchRecord &r)
{
    const QByteArray line = toCp1252(r.identity.value(0));
    return std::count(lines.begin() + std::min<qsizetype>(ProtectedSetupLines, lines.size()),
                      lines.end(), line);
}

/// Whether the target has the line as many times as the record's copy needs.
bool hasMiscLine(const Database &db, const PatchRecord &r)
{
    return miscCopies(db.setupLines(), r) >= std::max(1, r.occurrence);
}

QString recordName(const PatchRecord &r)
{
    if (r.kind == RecordKind::Misc)
        return QStringLiteral("misc %1").arg(r.identity.value(0));
    QStringList parts;
    for (const QString &t : r.identity) {
        if (!t.isEmpty() && t != QLatin1String("<none>"))
            parts.append(t);
    }
    return QStringLiteral("%1 %2").arg(QLatin1String(formKindName(r.kind)),
                                       parts.join(QLatin1Char(' ')));
}

/// Where each record the patch speaks of is, and what it writes there.
struct Plan
{
    struct Write
    {
        const PatchRecord *record;
        int index = -1; ///< -1: created in the first phase
        std::vector<std::pair<QString, QString>> fields;
    };
    std::vector<Write> writes;
    std::vector<std::pair<RecordKind, int>> removals;
};

} // namespace

PatchOutcome applyPatch(Database &db, Lookups &lookups, const Patch &patch, bool dryRun,
                        const Progress &progress)
{
    PatchOutcome out;
    Plan plan;
    {
        const FormReader reader(db);
        std::array<QHash<QString, std::vector<int>>, FormKindCount> byIdentity;
        std::array<bool, FormKindCount> indexed{};
        auto find = [&](RecordKind kind, const QStringList &identity) {
            auto &index = byIdentity[std::size_t(kind)];
            if (!indexed[std::size_t(kind)]) {
                indexed[std::size_t(kind)] = true;
                const int count = reader.count(kind);
                for (int i = 0; i < count; ++i) {
                    reportEvery(progress, 4096, QStringLiteral("Finding the records"), i, count);
                    index[reader.identity(kind, i).join(QChar(0x1f))].push_back(i);
                }
            }
            return index.value(identity.join(QChar(0x1f)));
        };
        std::set<std::pair<int, int>> claimed;
        for (const PatchRecord &r : patch.records) {
            const QString name = recordName(r);
            if (r.kind == RecordKind::Misc) {
                const bool there = hasMiscLine(db, r);
                const bool adds = r.change == RecordChange::Type::Added;
                if (there == adds)
                    out.skipped.append(name
                                       + (adds ? QStringLiteral(": already there")
                                               : QStringLiteral(": already gone")));
                else
                    out.changes.append(
                        name + (adds ? QStringLiteral(": added") : QStringLiteral(": removed")));
                continue;
            }
            std::vector<int> found = find(r.kind, r.identity);
            if (r.change == RecordChange::Type::Added) {
                // The k-th of its namesakes is there when k of them are.
                if (found.size() >= std::size_t(std::max(1, r.occurrence))) {
                    out.skipped.append(name + QStringLiteral(": already there"));
                    continue;
                }
                Plan::Write w{&r, -1, {}};
                for (const PatchRecord::Field &f : r.fields)
                    w.fields.emplace_back(f.name, f.newText);
                // A field of its identity the patch leaves out is what the
                // identity says, or the record would be added under another.
                const QStringList names = identityFields(r.kind);
                const QStringList fieldNames = formFieldNames(r.kind);
                for (qsizetype i = 0; i < names.size(); ++i) {
                    const bool given =
                        std::any_of(r.fields.begin(), r.fields.end(),
                                    [&](const auto &f) { return f.name == names[i]; });
                    if (!given && fieldNames.contains(names[i]))
                        w.fields.emplace_back(names[i], r.identity.value(i));
                }
                out.changes.append(name + QStringLiteral(": added"));
                for (const QString &a :
                     recordFormAdvice(db, reader.lookups(), r.kind, std::nullopt, w.fields))
                    out.advice.append(name + QStringLiteral(": ") + a);
                plan.writes.push_back(std::move(w));
                continue;
            }
            if (r.occurrence > 0 && found.size() > 1 && r.occurrence <= int(found.size()))
                found = {found[std::size_t(r.occurrence - 1)]};
            // Removed already, by this patch applied before or by hand.
            if (r.change == RecordChange::Type::Removed && found.empty()) {
                out.skipped.append(name + QStringLiteral(": already gone"));
                continue;
            }
            if (found.size() != 1) {
                out.conflicts.append(name
                                     + (found.empty() ? QStringLiteral(": not in this database")
                                                      : QStringLiteral(": %1 records have this "
                                                                       "identity")
                                                            .arg(found.size())));
                continue;
            }
            if (!claimed.emplace(int(r.kind), found.front()).second) {
                out.conflicts.append(name + QStringLiteral(": named twice by the patch"));
                continue;
            }
            if (r.change == RecordChange::Type::Removed) {
                out.changes.append(name + QStringLiteral(": removed"));
                plan.removals.emplace_back(r.kind, found.front());
                continue;
            }
            const std::optional<RecordForm> form = reader.read(r.kind, found.front());
            Plan::Write w{&r, found.front(), {}};
            for (const PatchRecord::Field &f : r.fields) {
                const FormField *now = form->field(f.name);
                const QString text = now ? now->text : QString();
                const QString head = QStringLiteral("%1: %2: ").arg(name, f.name);
                if (text == f.newText) {
                    out.skipped.append(head + QStringLiteral("already %1").arg(f.newText));
                } else if (f.newText.isEmpty() && now && now->listed) {
                    // A stored value no list item shows cannot be written by name.
                    out.skipped.append(head + QStringLiteral("the new value has no name"));
                } else if (text == f.oldText) {
                    out.changes.append(head
                                       + QStringLiteral("%1 -> %2").arg(f.oldText, f.newText));
                    w.fields.emplace_back(f.name, f.newText);
                } else {
                    out.conflicts.append(head
                                         + QStringLiteral("is %1, the patch changes %2 to %3")
                                               .arg(text, f.oldText, f.newText));
                }
            }
            for (const QString &a :
                 recordFormAdvice(db, reader.lookups(), r.kind, w.index, w.fields))
                out.advice.append(name + QStringLiteral(": ") + a);
            if (!w.fields.empty())
                plan.writes.push_back(std::move(w));
        }
    }
    if (!out.conflicts.isEmpty() || dryRun)
        return out;

    // A refusal takes back what changed since the last step: changes made
    // before the patch become a step of their own first, as an undo does.
    db.commitStep({QStringLiteral("Changes"), {}, {}});
    const QList<QByteArray> linesBefore = db.setupLines();
    auto refuse = [&](const PatchRecord &r, const QString &why) {
        db.rollBackChanges();
        lookups.build(db, lookups.stadiums().locale());
        out.error = QStringLiteral("%1 (line %2): %3").arg(recordName(r)).arg(r.line).arg(why);
        return out;
    };
    // First every new record, with defaults: a record may name one created
    // after it. A club goes in front of the national teams, which move up.
    const int clubsBefore = db.clubCount();
    for (Plan::Write &w : plan.writes) {
        if (w.index >= 0)
            continue;
        std::vector<std::pair<QString, QString>> first;
        for (const auto &f : w.fields) {
            // What decides the screen a person is created on.
            if (f.first == QLatin1String("Classification")
                || f.first == QLatin1String("Player Attributes"))
                first.push_back(f);
        }
        const EditResult r = writeRecordForm(db, lookups, w.record->kind, std::nullopt, first);
        if (!r.ok() || !r.record)
            return refuse(*w.record, r.message);
        w.index = *r.record;
    }
    const int clubsAdded = db.clubCount() - clubsBefore;
    for (Plan::Write &w : plan.writes) {
        if (w.record->kind == RecordKind::Club && w.record->change != RecordChange::Type::Added
            && w.index >= clubsBefore)
            w.index += clubsAdded;
    }
    // Then the fields, kind by kind: cities and stadiums before the clubs and
    // nations that name them.
    static constexpr RecordKind Order[] = {RecordKind::City,     RecordKind::Stadium,
                                           RecordKind::Club,     RecordKind::Nation,
                                           RecordKind::Official, RecordKind::Person};
    // Names go first, so that a record may name another of its kind by the
    // name the patch gives it.
    static const QStringList NameFields = {
        QStringLiteral("Name"),        QStringLiteral("Long Name"),
        QStringLiteral("Short Name"),  QStringLiteral("First Name"),
        QStringLiteral("Second Name"), QStringLiteral("Common Name")};
    // Removals next, from the back, so that no index moves under another;
    // the records still to be written move down past each one removed. They
    // go before the writes, which may need the places they leave in a squad.
    std::sort(plan.removals.begin(), plan.removals.end(),
              [](const auto &a, const auto &b) { return a.second > b.second; });
    for (const auto &[kind, index] : plan.removals) {
        const bool removed =
            kind == RecordKind::Person ? deletePerson(db, index) : deleteOfficial(db, index);
        if (!removed) {
            db.rollBackChanges();
            lookups.build(db, lookups.stadiums().locale());
            out.error = QStringLiteral("%1 %2 could not be deleted")
                            .arg(QLatin1String(formKindName(kind)))
                            .arg(index);
            return out;
        }
        for (Plan::Write &w : plan.writes) {
            if (w.record->kind == kind && w.index > index)
                --w.index;
        }
    }
    if (!plan.removals.empty())
        lookups.build(db, lookups.stadiums().locale());
    // Everyone who moves leaves his club first, so that a squad full until
    // someone leaves takes the one who comes.
    for (const Plan::Write &w : plan.writes) {
        if (w.record->kind != RecordKind::Person)
            continue;
        for (const auto &f : w.fields) {
            if (f.first != QLatin1String("Club"))
                continue;
            const EditResult r = writeRecordForm(db, lookups, RecordKind::Person, w.index,
                                                 {{f.first, QStringLiteral("<none>")}});
            if (!r.ok())
                return refuse(*w.record, r.message);
        }
    }
    for (RecordKind kind : Order) {
        for (const bool names : {true, false}) {
            for (const Plan::Write &w : plan.writes) {
                if (w.record->kind != kind)
                    continue;
                std::vector<std::pair<QString, QString>> fields;
                for (const auto &f : w.fields) {
                    if (NameFields.contains(f.first) == names)
                        fields.push_back(f);
                }
                if (fields.empty())
                    continue;
                const EditResult r = writeRecordForm(db, lookups, kind, w.index, fields);
                if (!r.ok())
                    return refuse(*w.record, r.message);
            }
        }
    }
    // What was listed as applied must be what is stored: every record written
    // is read back, an added one by its identity too, or a second apply of the
    // same patch would not find it and add it again.
    {
        const FormReader written(db, lookups);
        for (const Plan::Write &w : plan.writes) {
            const PatchRecord &r = *w.record;
            const std::optional<RecordForm> form = written.read(r.kind, w.index);
            if (!form)
                return refuse(r, QStringLiteral("the record cannot be read back"));
            if (r.change == RecordChange::Type::Added) {
                // A stadium's nation is its city's, a nation's name the game's:
                // only the texts of its own fields can be held to the patch's.
                const QStringList identity = written.identity(r.kind, w.index);
                const QStringList names = identityFields(r.kind);
                const QStringList fieldNames = formFieldNames(r.kind);
                bool same = true;
                for (qsizetype i = 0; i < names.size(); ++i) {
                    if (fieldNames.contains(names[i]) && identity.value(i) != r.identity.value(i))
                        same = false;
                }
                if (!same)
                    return refuse(r, QStringLiteral("its fields make it %1, not the record the "
                                                    "patch names")
                                         .arg(identity.join(QStringLiteral(" / "))));
            }
            for (const auto &[name, text] : w.fields) {
                // The reader keeps no history: it is checked by its own parse.
                // Which attribute records a person owns follows from his
                // roles, as a user answering Yes would have them.
                if (name == QLatin1String("History") || name == QLatin1String("Player Attributes")
                    || name == QLatin1String("Staff Attributes"))
                    continue;
                // An empty text of a list is a value no item names: kept as stored.
                const FormField *f = form->field(name);
                if (f && f->text != text && !(text.isEmpty() && f->listed))
                    return refuse(r, QStringLiteral("%1 would be stored as '%2', not '%3'")
                                         .arg(name, f->text, text));
            }
        }
    }
    // A patch that carries misc lines says what they become, from the lines
    // as they were: the refiling of a rename or a move above is already in
    // them (and a person between two clubs would claim a namesake's lines).
    // One that carries none keeps the lines as the writes refiled them, as
    // the screens do.
    if (std::any_of(patch.records.begin(), patch.records.end(),
                    [](const PatchRecord &r) { return r.kind == RecordKind::Misc; })) {
        QList<QByteArray> lines = linesBefore;
        for (const PatchRecord &r : patch.records) {
            if (r.kind != RecordKind::Misc)
                continue;
            const qsizetype copies = miscCopies(lines, r);
            const QByteArray line = toCp1252(r.identity.value(0));
            if (r.change == RecordChange::Type::Added) {
                if (copies < std::max(1, r.occurrence))
                    lines.append(line);
            } else if (copies > 0) {
                lines.removeAt(lines.lastIndexOf(line));
            }
        }
        db.setupLines() = lines;
    }
    out.applied = true;
    return out;
}

} // namespace kx3
