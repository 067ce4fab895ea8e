#include "core/table/TableEdit.h"

#include "core/changes/FormFields.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/lookup/EditBoxes.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/RecordTitles.h"
#include "core/table/TableRows.h"

#include <algorithm>

namespace kx3 {

// On a refusal the one cell to blame is found by writing the row's cells one
// at a time: all of it is taken back anyway.
TableEditOutcome writeRows(Database &db, Lookups &lookups, RecordTable &table,
                           const std::vector<RowWrite> &writes, bool keep,
                           const std::function<QString(const RowWrite &, int cell)> &where,
                           const Progress &progress)
{
    TableEditOutcome out;
    const RecordKind kind = tableFormKind(table.kind());
    const std::vector<TableColumn> &columns = table.columns();
    std::vector<std::vector<QString>> before(writes.size());
    for (std::size_t w = 0; w < writes.size(); ++w) {
        const int row = table.rowOf(writes[w].record);
        for (const auto &[column, text] : writes[w].cells)
            before[w].push_back(table.text(row, column));
    }
    // A refusal takes back what changed since the last step: changes made
    // before become a step of their own first, as an undo does.
    db.commitStep({QStringLiteral("Changes"), {}, {}});
    const QString step = keep ? QStringLiteral("Writing rows") : QStringLiteral("Checking rows");
    int done = 0;
    for (const RowWrite &w : writes) {
        reportEvery(progress, 1024, step, done++, int(writes.size()));
        std::vector<std::pair<QString, QString>> fields;
        for (const auto &[column, text] : w.cells)
            fields.emplace_back(columns[std::size_t(column)].field, text);
        for (const QString &a : recordFormAdvice(db, lookups, kind, w.record, fields))
            out.advice.append(fromCp1252(recordTitle(db, kind, w.record)) + QStringLiteral(": ")
                              + a);
        const EditResult r = writeRecordForm(db, lookups, kind, w.record, fields);
        if (r.ok())
            continue;
        std::size_t blamed = 0;
        QString why = r.message;
        for (std::size_t c = 0; fields.size() > 1 && c < fields.size(); ++c) {
            const EditResult one = writeRecordForm(db, lookups, kind, w.record, {fields[c]});
            if (!one.ok()) {
                blamed = c;
                why = one.message;
                break;
            }
        }
        out.refused.append(where(w, int(blamed)) + why);
    }
    table.reload();
    if (out.ok()) {
        for (std::size_t w = 0; w < writes.size(); ++w) {
            RecordChange change;
            change.kind = kind;
            change.oldIndex = change.newIndex = writes[w].record;
            change.title = tableRecordTitle(db, kind, writes[w].record);
            const int row = table.rowOf(writes[w].record);
            for (std::size_t c = 0; c < writes[w].cells.size(); ++c) {
                const auto &[column, text] = writes[w].cells[c];
                // Read back: the record shows what was stored, not what was typed.
                const QString now = row >= 0 ? table.text(row, column) : text;
                if (now != before[w][c])
                    change.fields.push_back(
                        {columns[std::size_t(column)].name, before[w][c], now});
            }
            if (!change.fields.empty())
                out.changes.records.push_back(std::move(change));
        }
    }
    if (!out.ok() || !keep) {
        db.rollBackChanges();
        lookups.build(db, lookups.stadiums().locale());
        table.reload();
    }
    out.applied = out.ok() && keep;
    return out;
}

RowMatcher::RowMatcher(const RecordTable &table, int indexAt, const std::vector<int> &columnOf)
    : mTable(table), mIndexAt(indexAt)
{
    if (indexAt >= 0)
        return;
    // By the columns that name a record, whichever the file has: persons by
    // their three names, officials by two, clubs by their long name, a
    // national team or a nation by the name the search lists give it. Towns
    // of one name lie in many nations: a city goes with its nation and a
    // stadium with its city, when the file has them.
    QStringList names;
    switch (tableFormKind(table.kind())) {
    case RecordKind::Person:
        names = {QStringLiteral("First Name"), QStringLiteral("Second Name"),
                 QStringLiteral("Common Name")};
        break;
    case RecordKind::Official:
        names = {QStringLiteral("First Name"), QStringLiteral("Second Name")};
        break;
    case RecordKind::Club: names = {QStringLiteral("Name"), QStringLiteral("Long Name")}; break;
    case RecordKind::City: names = {QStringLiteral("Name"), QStringLiteral("Nation")}; break;
    case RecordKind::Stadium: names = {QStringLiteral("Name"), QStringLiteral("City")}; break;
    default: names = {QStringLiteral("Name")}; break;
    }
    for (std::size_t f = 0; f < columnOf.size(); ++f) {
        if (columnOf[f] >= 0 && names.contains(table.columns()[std::size_t(columnOf[f])].name))
            mNames.emplace_back(int(f), columnOf[f]);
    }
    // A nation or a city alone names no town.
    const RecordKind kind = tableFormKind(table.kind());
    if ((kind == RecordKind::City || kind == RecordKind::Stadium)
        && std::none_of(mNames.begin(), mNames.end(), [&table](const auto &n) {
               return table.columns()[std::size_t(n.second)].name == QLatin1String("Name");
           }))
        mNames.clear();
}

QString RowMatcher::key(const QStringList &fields) const
{
    QStringList parts;
    for (const auto &[file, column] : mNames)
        parts.append(fields.value(file));
    return parts.join(QChar(0x1f));
}

int RowMatcher::match(const QStringList &fields, QString &why, int &blame) const
{
    const QString noun = tableKindNoun(mTable.kind());
    if (mIndexAt >= 0) {
        blame = mIndexAt;
        bool ok = false;
        const int record = fields.value(mIndexAt).trimmed().toInt(&ok);
        const int row = ok ? mTable.rowOf(record) : -1;
        if (row < 0)
            why = QStringLiteral("no one of the %1 has the index '%2'")
                      .arg(noun, fields.value(mIndexAt));
        return row;
    }
    blame = mNames.front().first;
    if (!mRowsByName) {
        mRowsByName.emplace();
        for (int r = 0; r < mTable.rowCount(); ++r) {
            QStringList parts;
            for (const auto &[file, column] : mNames)
                parts.append(mTable.text(r, column));
            (*mRowsByName)[parts.join(QChar(0x1f))].push_back(r);
        }
    }
    const QString k = key(fields);
    const auto found = mRowsByName->constFind(k);
    const QString named = QString(k).replace(QChar(0x1f), QLatin1Char(' ')).simplified();
    if (found == mRowsByName->constEnd()) {
        why = QStringLiteral("none of the %1 is named '%2'").arg(noun, named);
        return -1;
    }
    if (found->size() > 1) {
        why = QStringLiteral("%1 of the %2 are named '%3': an Index column tells them apart")
                  .arg(found->size())
                  .arg(noun, named);
        return -1;
    }
    return found->front();
}

namespace {

/// `text` plus `delta`: whole numbers stay whole.
std::optional<QString> added(const QString &text, const QString &delta)
{
    bool wholeText = false;
    bool wholeDelta = false;
    const qint64 a = text.trimmed().toLongLong(&wholeText);
    const qint64 b = delta.trimmed().toLongLong(&wholeDelta);
    if (wholeText && wholeDelta)
        return QString::number(a + b);
    const std::optional<double> x = parseReal(text);
    const std::optional<double> y = parseReal(delta);
    if (!x || !y)
        return std::nullopt;
    return realText(*x + *y);
}

} // namespace

TableEditOutcome bulkEdit(Database &db, Lookups &lookups, RecordTable &table,
                          std::span<const int> rows, int column, BulkOperation operation,
                          const QString &text, const Progress &progress)
{
    TableEditOutcome out;
    if (column < 0 || std::size_t(column) >= table.columns().size())
        return out;
    const TableColumn &c = table.columns()[std::size_t(column)];
    if (!c.editable) {
        out.refused.append(
            QStringLiteral("%1 cannot be set: it is worked out from other fields").arg(c.name));
        return out;
    }
    if (operation == BulkOperation::Add && c.type != TableColumn::Number) {
        out.refused.append(
            QStringLiteral("Only numbers can be added to; %1 is no number column").arg(c.name));
        return out;
    }
    if (const QString why = unstorableText(text, c.name); !why.isEmpty()) {
        out.refused.append(why);
        return out;
    }
    const RecordKind kind = tableFormKind(table.kind());
    std::vector<RowWrite> writes;
    for (const int row : rows) {
        if (row < 0 || row >= table.rowCount())
            continue;
        const QString now = table.text(row, column);
        QString next = text.trimmed();
        if (operation == BulkOperation::Add) {
            const std::optional<QString> sum = added(now, text);
            if (!sum) {
                out.refused.append(
                    QStringLiteral("%1: '%2' plus '%3' is not a number")
                        .arg(tableRecordTitle(db, kind, table.record(row)), now, text));
                continue;
            }
            next = *sum;
        }
        if (next == now)
            continue;
        writes.push_back({table.record(row), QString(), {{column, next}}, {}});
    }
    if (!out.ok())
        return out;
    return writeRows(
        db, lookups, table, writes, true,
        [&](const RowWrite &w, int) {
            return tableRecordTitle(db, kind, w.record) + QStringLiteral(": ");
        },
        progress);
}

} // namespace kx3
