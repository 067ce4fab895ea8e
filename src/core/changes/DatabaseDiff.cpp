#include "core/changes/DatabaseDiff.h"

#include "core/changes/PersonForms.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/lookup/MiscEntries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <map>

namespace kx3 {

qsizetype DatabaseDiff::rowCount() const
{
    qsizetype rows = 0;
    for (const RecordChange &r : records)
        rows += r.type == RecordChange::Type::Changed ? qsizetype(r.fields.size()) : 1;
    return rows;
}

namespace {

using IndexMaps = std::array<std::vector<int>, FormKindCount>;

struct Matching
{
    std::vector<int> oldToNew;
    /// Which of the records of its identity each one is; 0 when unique.
    std::vector<int> oldOccurrence;
    std::vector<int> newOccurrence;
    /// The identity keys, one after the other, and where each starts: no
    /// allocation per record.
    struct Keys
    {
        QByteArray bytes;
        std::vector<qsizetype> start{0};
        std::vector<quint64> hash;
        QByteArrayView operator[](std::size_t i) const
        {
            return QByteArrayView(bytes).sliced(start[i], start[i + 1] - start[i]);
        }
    };
    Keys oldKeys;
    Keys newKeys;
    std::vector<std::pair<int, int>> pairs; ///< in old index order
};

/// Pairs the records of one kind by identity, then what is left over
/// between the same matched neighbours, in order.
Matching match(const FormReader &before, const FormReader &after, RecordKind kind)
{
    const int oldCount = before.count(kind);
    const int newCount = after.count(kind);
    Matching m;
    m.oldToNew.assign(std::size_t(oldCount), -1);
    std::vector<int> newToOld(std::size_t(newCount), -1);
    if (!formKindDeletable(kind)) {
        // Nations, cities and stadiums are only ever appended, and clubs go
        // in front of the national teams: their places tell them apart even
        // when a name changed.
        const bool clubs = kind == RecordKind::Club;
        const int oldClubs = clubs ? before.database().clubCount() : oldCount;
        const int newClubs = clubs ? after.database().clubCount() : newCount;
        for (int i = 0; i < oldCount; ++i) {
            const int j = i < oldClubs ? i : i - oldClubs + newClubs;
            if (j < newCount && (i >= oldClubs || j < newClubs))
                m.oldToNew[std::size_t(i)] = j;
        }
    }

    // Records of one identity chained in file order: a hash of first records
    // and a next index each, no list per identity.
    // Every key's hash beside its index, sorted: records of one identity
    // lie together in file order. Sorting a million of them costs less than
    // a million look-ups scattered over a hash table.
    using Entry = std::pair<quint64, int>;
    auto sorted = [kind](const FormReader &reader, int count, Matching::Keys &keys,
                         std::vector<int> &occurrence) {
        std::vector<Entry> entries(static_cast<std::size_t>(count));
        keys.start.reserve(std::size_t(count) + 1);
        keys.hash.reserve(std::size_t(count));
        QByteArray key;
        for (int i = 0; i < count; ++i) {
            reader.identityKey(kind, i, key);
            keys.bytes += key;
            keys.start.push_back(keys.bytes.size());
            keys.hash.push_back(qHash(QByteArrayView(key), 0x4b5833));
            entries[std::size_t(i)] = {keys.hash.back(), i};
        }
        std::sort(entries.begin(), entries.end());
        occurrence.assign(std::size_t(count), 0);
        for (std::size_t a = 0; a < entries.size();) {
            std::size_t b = a + 1;
            while (b < entries.size() && entries[b].first == entries[a].first)
                ++b;
            // Only equal keys are one identity; a hash shared by two is rare.
            for (std::size_t k = a; b - a > 1 && k < b; ++k) {
                int same = 0;
                int before = 0;
                for (std::size_t l = a; l < b; ++l) {
                    if (keys[std::size_t(entries[l].second)]
                        != keys[std::size_t(entries[k].second)])
                        continue;
                    ++same;
                    before += l < k ? 1 : 0;
                }
                if (same > 1)
                    occurrence[std::size_t(entries[k].second)] = before + 1;
            }
            a = b;
        }
        return entries;
    };
    const std::vector<Entry> olds = sorted(before, oldCount, m.oldKeys, m.oldOccurrence);
    const std::vector<Entry> news = sorted(after, newCount, m.newKeys, m.newOccurrence);
    // The first of equals with the first: the runs of one hash are walked
    // side by side, each old record taking the first free new one of its key.
    for (std::size_t a = 0, b = 0; formKindDeletable(kind) && a < olds.size();) {
        const quint64 h = olds[a].first;
        while (b < news.size() && news[b].first < h)
            ++b;
        std::size_t aEnd = a;
        while (aEnd < olds.size() && olds[aEnd].first == h)
            ++aEnd;
        std::size_t bEnd = b;
        while (bEnd < news.size() && news[bEnd].first == h)
            ++bEnd;
        for (std::size_t k = a; k < aEnd; ++k) {
            const int i = olds[k].second;
            for (std::size_t l = b; l < bEnd; ++l) {
                const int j = news[l].second;
                if (newToOld[std::size_t(j)] < 0
                    && m.newKeys[std::size_t(j)] == m.oldKeys[std::size_t(i)]) {
                    m.oldToNew[std::size_t(i)] = j;
                    newToOld[std::size_t(j)] = i;
                    break;
                }
            }
        }
        a = aEnd;
    }

    // Left-overs, grouped by the matched record in front of them (its index
    // in the new database), are paired in order within each group.
    std::map<int, std::vector<int>> oldGaps;
    std::map<int, std::vector<int>> newGaps;
    int gap = -1;
    for (int i = 0; i < oldCount; ++i) {
        if (m.oldToNew[std::size_t(i)] >= 0)
            gap = m.oldToNew[std::size_t(i)];
        else
            oldGaps[gap].push_back(i);
    }
    gap = -1;
    for (int j = 0; j < newCount; ++j) {
        if (newToOld[std::size_t(j)] >= 0)
            gap = j;
        else
            newGaps[gap].push_back(j);
    }
    // Only a person or official that kept most of what identifies him is the
    // same one renamed; one deleted and another created in his place are two.
    // Kinds the editor never deletes have no removed records at all.
    auto alike = [&](int i, int j) {
        if (!formKindDeletable(kind))
            return true;
        const QStringList a = before.identity(kind, i);
        const QStringList b = after.identity(kind, j);
        int same = 0;
        for (qsizetype k = 0; k < a.size() && k < b.size(); ++k)
            same += a[k] == b[k] ? 1 : 0;
        return same >= std::max<qsizetype>(1, a.size() - 2);
    };
    for (const auto &[at, olds] : oldGaps) {
        const auto news = newGaps.find(at);
        if (news == newGaps.end())
            continue;
        std::size_t next = 0;
        for (int i : olds) {
            for (std::size_t k = next; k < news->second.size(); ++k) {
                if (alike(i, news->second[k])) {
                    m.oldToNew[std::size_t(i)] = news->second[k];
                    next = k + 1;
                    break;
                }
            }
        }
    }
    for (int i = 0; i < oldCount; ++i) {
        if (m.oldToNew[std::size_t(i)] >= 0)
            m.pairs.emplace_back(i, m.oldToNew[std::size_t(i)]);
    }
    return m;
}

bool sameField(const FormField &a, const FormField &b, const IndexMaps &maps)
{
    // A reference to a record that is not there reads as none, by its text.
    if (a.isReference() && b.isReference() && a.refKind == b.refKind && a.ref >= 0 && b.ref >= 0) {
        const std::vector<int> &map = maps[std::size_t(a.refKind)];
        if (std::size_t(a.ref) < map.size() && map[std::size_t(a.ref)] >= 0)
            return map[std::size_t(a.ref)] == b.ref;
    }
    return a.text == b.text;
}

std::vector<FieldChange> compareForms(const RecordForm &a, const RecordForm &b,
                                      const IndexMaps &maps)
{
    std::vector<FieldChange> changes;
    const bool aligned = a.fields.size() == b.fields.size();
    for (std::size_t k = 0; k < b.fields.size(); ++k) {
        const FormField &f = b.fields[k];
        const FormField *was =
            aligned && a.fields[k].name == f.name ? &a.fields[k] : a.field(f.name);
        if (!was) {
            changes.push_back({f.name, QString(), f.text});
        } else if (!sameField(*was, f, maps)) {
            changes.push_back({f.name, was->text, f.text});
        }
    }
    // A field the record no longer has went with a role (his staff ratings
    // when he stopped being staff): the job or classification says so.
    return changes;
}

} // namespace

namespace {
void diffMiscLines(const Database &before, const Database &after, DatabaseDiff &diff);
} // namespace

DatabaseDiff diffDatabases(const FormReader &before, const FormReader &after)
{
    DatabaseDiff diff;
    IndexMaps maps;
    // Every kind matched first: a nation names its capital, a city renamed
    // or not.
    std::array<Matching, FormKindCount> matchings;
    for (RecordKind kind : AllFormKinds) {
        matchings[std::size_t(kind)] = match(before, after, kind);
        maps[std::size_t(kind)] = matchings[std::size_t(kind)].oldToNew;
    }
    for (RecordKind kind : AllFormKinds) {
        const Matching &m = matchings[std::size_t(kind)];
        std::vector<bool> matchedNew(std::size_t(after.count(kind)), false);
        for (const auto &[i, j] : m.pairs)
            matchedNew[std::size_t(j)] = true;
        const std::vector<int> &clubs = maps[std::size_t(RecordKind::Club)];
        std::vector<RecordChange> kindChanges;
        for (int i = 0; i < before.count(kind); ++i) {
            const int j = m.oldToNew[std::size_t(i)];
            if (j < 0) {
                RecordChange r{kind, RecordChange::Type::Removed, i, -1, QString(), QStringList(),
                               0,    std::vector<FieldChange>{}};
                const std::optional<RecordForm> form = before.read(kind, i);
                r.title = form ? form->title : QString();
                r.identity = before.identity(kind, i);
                r.occurrence = m.oldOccurrence[std::size_t(i)];
                kindChanges.push_back(std::move(r));
                continue;
            }
            if (kind == RecordKind::Person
                && samePersonRecords(before.database(), before.personCache(), i, after.database(),
                                     after.personCache(), j, clubs)
                && m.oldKeys[std::size_t(i)] == m.newKeys[std::size_t(j)])
                continue;
            const std::optional<RecordForm> a = before.read(kind, i);
            const std::optional<RecordForm> b = after.read(kind, j);
            if (!a || !b)
                continue;
            std::vector<FieldChange> fields = compareForms(*a, *b, maps);
            if (fields.empty())
                continue;
            RecordChange r{kind,
                           RecordChange::Type::Changed,
                           i,
                           j,
                           b->title,
                           a->identity,
                           m.oldOccurrence[std::size_t(i)],
                           std::move(fields)};
            kindChanges.push_back(std::move(r));
        }
        for (int j = 0; j < after.count(kind); ++j) {
            if (matchedNew[std::size_t(j)])
                continue;
            const std::optional<RecordForm> b = after.read(kind, j);
            if (!b)
                continue;
            RecordChange r{kind,
                           RecordChange::Type::Added,
                           -1,
                           j,
                           b->title,
                           b->identity,
                           m.newOccurrence[std::size_t(j)],
                           std::vector<FieldChange>()};
            for (const FormField &f : b->fields)
                r.fields.push_back({f.name, QString(), f.text});
            kindChanges.push_back(std::move(r));
        }
        std::stable_sort(kindChanges.begin(), kindChanges.end(),
                         [](const RecordChange &x, const RecordChange &y) {
                             const int xi = x.newIndex >= 0 ? x.newIndex : x.oldIndex;
                             const int yi = y.newIndex >= 0 ? y.newIndex : y.oldIndex;
                             return xi < yi;
                         });
        std::move(kindChanges.begin(), kindChanges.end(), std::back_inserter(diff.records));
    }
    diffMiscLines(before.database(), after.database(), diff);
    return diff;
}

namespace {

/// The entry lines only one side has, as many times as it has more of them.
void diffMiscLines(const Database &before, const Database &after, DatabaseDiff &diff)
{
    const QList<QByteArray> &a = before.setupLines();
    const QList<QByteArray> &b = after.setupLines();
    QHash<QByteArray, int> left;
    for (qsizetype i = ProtectedSetupLines; i < a.size(); ++i)
        ++left[a[i]];
    QHash<QByteArray, int> seenAfter;
    for (qsizetype j = ProtectedSetupLines; j < b.size(); ++j) {
        const int copy = ++seenAfter[b[j]];
        int &unmatched = left[b[j]];
        if (unmatched > 0) {
            --unmatched;
            continue;
        }
        const QString text = fromCp1252(b[j]);
        diff.records.push_back({RecordKind::Misc,
                                RecordChange::Type::Added,
                                -1,
                                int(j),
                                text,
                                {text},
                                copy,
                                std::vector<FieldChange>()});
    }
    QHash<QByteArray, int> seenBefore;
    for (qsizetype i = ProtectedSetupLines; i < a.size(); ++i) {
        const int copy = ++seenBefore[a[i]];
        // The last copies are the ones the other side lacks.
        if (copy <= seenAfter.value(a[i]))
            continue;
        const QString text = fromCp1252(a[i]);
        diff.records.push_back({RecordKind::Misc,
                                RecordChange::Type::Removed,
                                int(i),
                                -1,
                                text,
                                {text},
                                copy,
                                std::vector<FieldChange>()});
    }
}

} // namespace

QStringList diffLines(const DatabaseDiff &diff)
{
    QStringList lines;
    for (const RecordChange &r : diff.records) {
        const QString head =
            QStringLiteral("%1 %2").arg(QLatin1String(formKindName(r.kind)), r.title);
        switch (r.type) {
        case RecordChange::Type::Added: lines.append(head + QStringLiteral(": added")); break;
        case RecordChange::Type::Removed: lines.append(head + QStringLiteral(": removed")); break;
        case RecordChange::Type::Changed:
            for (const FieldChange &f : r.fields) {
                lines.append(
                    QStringLiteral("%1: %2: %3 -> %4").arg(head, f.field, f.oldText, f.newText));
            }
            break;
        }
    }
    return lines;
}

QString changeSummary(const DatabaseDiff &diff, int named)
{
    const qsizetype count = qsizetype(diff.records.size());
    if (count == 0)
        return {};
    QStringList names;
    for (qsizetype i = 0; i < count && i < named; ++i)
        names.append(diff.records[std::size_t(i)].title);
    if (count > named)
        names.append(QStringLiteral("…"));
    return QStringLiteral("%1 %2: %3")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("record changes") : QStringLiteral("records change"),
             names.join(QStringLiteral(", ")));
}

bool loadDataFolder(Database &db, const QString &folder, QString *error)
{
    const QString inside = resolvePathIgnoringCase(folder, QStringLiteral("Data"));
    if (db.loadDataDir(QFileInfo(inside).isDir() ? inside : folder))
        return true;
    if (error) {
        *error = db.errorString();
        if (!db.errorDetail().isEmpty())
            *error += QStringLiteral(" (%1)").arg(db.errorDetail());
    }
    return false;
}

} // namespace kx3
