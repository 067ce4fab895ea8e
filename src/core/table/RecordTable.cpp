#include "core/table/RecordTable.h"

#include "core/table/TableColumns.h"

#include "core/changes/PersonForms.h"
#include "core/clubs/ClubEdit.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"
#include "core/lookup/CollationKeys.h"
#include "core/lookup/NameTables.h"
#include "core/lookup/RecordTitles.h"
#include "core/people/PersonEdit.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace kx3 {

const char *tableKindName(TableKind kind)
{
    static const char *const Names[] = {"players", "staff",  "clubs",    "national-teams",
                                        "nations", "cities", "stadiums", "officials"};
    return Names[std::size_t(kind)];
}

std::optional<TableKind> tableKindFromName(const QString &name)
{
    for (TableKind kind : AllTableKinds) {
        if (name.compare(QLatin1String(tableKindName(kind)), Qt::CaseInsensitive) == 0)
            return kind;
    }
    return std::nullopt;
}

QString tableKindNoun(TableKind kind)
{
    return kind == TableKind::NationalTeams ? QStringLiteral("national teams")
                                            : QLatin1String(tableKindName(kind));
}

QString tableCountText(TableKind kind, qsizetype shown, qsizetype total)
{
    // Grouped the same way whatever the machine's locale, as the game's own
    // figures are written.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    return QStringLiteral("%1 of %2 %3")
        .arg(english.toString(qint64(shown)), english.toString(qint64(total)),
             tableKindNoun(kind));
}

RecordKind tableFormKind(TableKind kind)
{
    switch (kind) {
    case TableKind::Players:
    case TableKind::Staff: return RecordKind::Person;
    case TableKind::Clubs:
    case TableKind::NationalTeams: return RecordKind::Club;
    case TableKind::Nations: return RecordKind::Nation;
    case TableKind::Cities: return RecordKind::City;
    case TableKind::Stadiums: return RecordKind::Stadium;
    case TableKind::Officials: return RecordKind::Official;
    }
    return RecordKind::Person;
}

QString tableRecordTitle(const Database &db, RecordKind kind, int record)
{
    switch (kind) {
    case RecordKind::Person: return fromCp1252(personTitle(db, record));
    case RecordKind::Club: return fromCp1252(clubTitle(db, record));
    case RecordKind::Nation: return fromCp1252(nationTitle(db, record));
    case RecordKind::City: return fromCp1252(cityTitle(db, record));
    case RecordKind::Stadium: return fromCp1252(stadiumTitle(db, record));
    case RecordKind::Official: return fromCp1252(officialTitle(db, record));
    case RecordKind::Misc: break;
    }
    return {};
}

namespace {

/// The persons a person table lists: his screen is the one his attribute
/// records say, or, owning neither, the one his classification goes with.
bool listedOn(const Database &db, const ConstPersonRecord &p, TableKind kind)
{
    const bool player = playerAttributesOf(db, p).has_value();
    const bool staff = staffAttributesOf(db, p).has_value();
    if (!player && !staff)
        return kind == TableKind::Staff || Classification::hasPlayerAttributes(p.classification());
    return kind == TableKind::Players ? player : staff;
}

} // namespace

struct RecordTable::Reader
{
    Reader(const Database &db, const Lookups &lookups) : db(db), lookups(lookups) {}

    const Database &db;
    const Lookups &lookups;
    std::vector<ColumnSource> sources;
    /// A list field's text for each stored code, read once from the form of
    /// the first record found with that code.
    mutable std::vector<QHash<qint64, QString>> codeTexts;
    mutable std::vector<std::unordered_map<qint64, std::string>> codeFields;
    mutable std::unique_ptr<FormReader> forms;
    mutable std::vector<std::optional<RecordForm>> formCache;

    const FormReader &formReader() const
    {
        if (!forms)
            forms = std::make_unique<FormReader>(db, lookups);
        return *forms;
    }
};

RecordTable::RecordTable(const Database &db, const Lookups &lookups, TableKind kind)
    : mDb(db), mLookups(lookups), mKind(kind), mReader(std::make_unique<Reader>(db, lookups))
{
    tableColumns(kind, mColumns, mReader->sources);
    reload();
}

RecordTable::~RecordTable() = default;

QString columnShortName(const QString &name)
{
    const qsizetype open = name.lastIndexOf(QStringLiteral(" ("));
    return open > 0 && name.endsWith(QLatin1Char(')')) ? name.left(open) : name;
}

int RecordTable::column(const QString &name) const
{
    for (const bool shortNames : {false, true}) {
        for (std::size_t i = 0; i < mColumns.size(); ++i) {
            const QString &n = mColumns[i].name;
            if ((shortNames ? columnShortName(n) : n).compare(name, Qt::CaseInsensitive) == 0)
                return int(i);
        }
    }
    return -1;
}

int RecordTable::rowOf(int record) const
{
    return record >= 0 && std::size_t(record) < mRowOfRecord.size()
               ? mRowOfRecord[std::size_t(record)]
               : -1;
}

void RecordTable::reload()
{
    mRecords.clear();
    if (tableFormKind(mKind) == RecordKind::Person) {
        const int persons = std::max(0, personCount(mDb));
        mRecords.reserve(std::size_t(persons));
        for (int i = 0; i < persons; ++i) {
            if (listedOn(mDb, *person(mDb, i), mKind))
                mRecords.push_back(i);
        }
        mRowOfRecord.assign(std::size_t(persons), -1);
    } else if (tableFormKind(mKind) == RecordKind::Club) {
        const bool teams = mKind == TableKind::NationalTeams;
        const int first = teams ? mDb.clubCount() : 0;
        const int end = teams ? clubTotal(mDb) : mDb.clubCount();
        for (int c = first; c < end; ++c)
            mRecords.push_back(c);
        mRowOfRecord.assign(std::size_t(std::max(0, clubTotal(mDb))), -1);
    } else {
        const int count = std::max(0, recordCount(mDb, tableFormKind(mKind)));
        mRecords.resize(std::size_t(count));
        std::iota(mRecords.begin(), mRecords.end(), 0);
        mRowOfRecord.assign(std::size_t(count), -1);
    }
    for (std::size_t r = 0; r < mRecords.size(); ++r)
        mRowOfRecord[std::size_t(mRecords[r])] = int(r);
    mReader->codeTexts.assign(mColumns.size(), {});
    mReader->codeFields.assign(mColumns.size(), {});
    mReader->forms.reset();
    mReader->formCache.assign(mRecords.size(), std::nullopt);
    mCaches.clear();
    mCaches.resize(mColumns.size());
}

QString RecordTable::text(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || std::size_t(column) >= mColumns.size())
        return {};
    const ColumnSource &source = mReader->sources[std::size_t(column)];
    const int record = mRecords[std::size_t(row)];
    auto formText = [&] {
        // Records other than persons are few and read whole; a person's form
        // is read only for the first of his list codes, and is not kept.
        const RecordKind kind = tableFormKind(mKind);
        std::optional<RecordForm> read;
        std::optional<RecordForm> &form =
            kind != RecordKind::Person ? mReader->formCache[std::size_t(row)] : read;
        if (!form)
            form = mReader->formReader().read(kind, record);
        if (form && source.kind == ColumnSource::Title)
            return form->title;
        const FormField *f = form ? form->field(mColumns[std::size_t(column)].field) : nullptr;
        return f ? f->text : QString();
    };
    if (source.kind == ColumnSource::Form || source.kind == ColumnSource::Title)
        return formText();
    const ConstPersonRecord p = *person(mDb, record);
    switch (source.kind) {
    case ColumnSource::Box:
    case ColumnSource::Age: return personCellText(mDb, p, source);
    case ColumnSource::Name:
        return fromCp1252(nameText(mDb, source.table, int(source.code(mDb, p))));
    case ColumnSource::Coded: {
        QHash<qint64, QString> &known = mReader->codeTexts[std::size_t(column)];
        const qint64 code = source.code(mDb, p);
        auto at = known.constFind(code);
        if (at == known.constEnd()) {
            // Read from a form and not worked out here, so that the table
            // can never show a list field otherwise than its screen does.
            at = known.insert(code, source.codeText ? source.codeText(mDb, code) : formText());
        }
        return *at;
    }
    case ColumnSource::Form:
    case ColumnSource::Title: break;
    }
    return {};
}

void RecordTable::appendCsvRow(int row, std::span<const int> columns, std::string &out) const
{
    const bool persons = tableFormKind(mKind) == RecordKind::Person;
    const std::array<qsizetype, 3> parts =
        persons ? personParts(mDb, *person(mDb, mRecords[std::size_t(row)]))
                : std::array<qsizetype, 3>{};
    bool first = true;
    for (const int column : columns) {
        if (!first)
            out += ',';
        first = false;
        const ColumnSource &source = mReader->sources[std::size_t(column)];
        if (source.kind == ColumnSource::Box || source.kind == ColumnSource::Age) {
            appendPersonCell(mDb, parts, source, out);
        } else if (source.kind == ColumnSource::Coded) {
            // A list field's few texts are made into fields once.
            const qint64 code = source.code(mDb, *person(mDb, mRecords[std::size_t(row)]));
            std::unordered_map<qint64, std::string> &known =
                mReader->codeFields[std::size_t(column)];
            auto at = known.find(code);
            if (at == known.end()) {
                std::string field;
                appendCsvField(field, text(row, column));
                at = known.emplace(code, std::move(field)).first;
            }
            out += at->second;
        } else if (source.kind == ColumnSource::Name) {
            // Straight from the name table's bytes: most names are plain
            // ASCII, the same in UTF-8.
            const qint64 name = source.code(mDb, *person(mDb, mRecords[std::size_t(row)]));
            const DataImage &image = mDb.image(nameTableFile(source.table));
            const qsizetype at = qsizetype(name) * RecordSize::NameEntry;
            if (name < 0 || !image.contains(at, RecordSize::NameEntry))
                continue;
            const char *bytes = image.bytes().constData() + at + NameEntryField::Text.offset;
            const auto capacity = std::size_t(NameEntryField::Text.capacity);
            const void *nul = std::memchr(bytes, 0, capacity);
            const std::size_t size =
                nul ? std::size_t(static_cast<const char *>(nul) - bytes) : capacity;
            const bool plain = std::all_of(bytes, bytes + size, [](char c) {
                return c > 0 && c != ',' && c != '"' && c != '\r' && c != '\n';
            });
            if (plain)
                out.append(bytes, size);
            else
                appendCsvField(out, fromCp1252(bytes, qsizetype(size)));
        } else {
            appendCsvField(out, text(row, column));
        }
    }
}

std::optional<double> RecordTable::value(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || std::size_t(column) >= mColumns.size())
        return std::nullopt;
    const TableColumn &c = mColumns[std::size_t(column)];
    if (c.type == TableColumn::Text)
        return std::nullopt;
    const ColumnSource &source = mReader->sources[std::size_t(column)];
    if (source.kind == ColumnSource::Box || source.kind == ColumnSource::Age)
        return personCellValue(mDb, *person(mDb, mRecords[std::size_t(row)]), source);
    return cellValue(c.type, text(row, column));
}

struct RecordTable::ColumnCache
{
    std::vector<QString> texts;
    std::vector<double> values;
    std::vector<std::uint8_t> hasValue;
    /// Per row, the place of its text among the column's texts in collation order.
    std::vector<quint32> ranks;
};

const RecordTable::ColumnCache &RecordTable::cache(int column) const
{
    std::unique_ptr<ColumnCache> &slot = mCaches[std::size_t(column)];
    if (slot)
        return *slot;
    slot = std::make_unique<ColumnCache>();
    ColumnCache &c = *slot;
    const int rows = rowCount();
    if (mColumns[std::size_t(column)].type == TableColumn::Text) {
        c.texts.resize(std::size_t(rows));
        for (int r = 0; r < rows; ++r)
            c.texts[std::size_t(r)] = text(r, column);
    } else {
        c.values.resize(std::size_t(rows));
        c.hasValue.resize(std::size_t(rows));
        for (int r = 0; r < rows; ++r) {
            const std::optional<double> v = value(r, column);
            c.values[std::size_t(r)] = v.value_or(0.0);
            c.hasValue[std::size_t(r)] = v.has_value();
        }
    }
    return c;
}

std::vector<std::uint8_t>
RecordTable::textMatches(int column, const std::function<bool(const QString &)> &test) const
{
    std::vector<std::uint8_t> out(mRecords.size());
    const ColumnSource &source = mReader->sources[std::size_t(column)];
    if (source.kind == ColumnSource::Coded) {
        std::unordered_map<qint64, std::uint8_t> known;
        for (std::size_t r = 0; r < out.size(); ++r) {
            const qint64 code = source.code(mDb, *person(mDb, mRecords[r]));
            auto at = known.find(code);
            if (at == known.end())
                at = known.emplace(code, test(text(int(r), column))).first;
            out[r] = at->second;
        }
        return out;
    }
    const std::vector<QString> &texts = columnTexts(column);
    for (std::size_t r = 0; r < out.size(); ++r)
        out[r] = test(texts[r]);
    return out;
}

const std::vector<QString> &RecordTable::columnTexts(int column) const
{
    return cache(column).texts;
}

std::pair<const std::vector<double> &, const std::vector<std::uint8_t> &>
RecordTable::columnValues(int column) const
{
    const ColumnCache &c = cache(column);
    return {c.values, c.hasValue};
}

std::vector<int> RecordTable::sorted(std::vector<int> rows, int column, bool ascending) const
{
    const ColumnCache &c = cache(column);
    if (mColumns[std::size_t(column)].type != TableColumn::Text) {
        // Sorted as (key, row) pairs side by side: a million rows compare
        // without following an index into the column for each comparison.
        std::vector<std::pair<double, int>> keyed(rows.size());
        constexpr double none = -std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto r = std::size_t(rows[i]);
            const double key = c.hasValue[r] ? c.values[r] : none;
            keyed[i] = {ascending ? key : -key, rows[i]};
        }
        std::sort(keyed.begin(), keyed.end());
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i] = keyed[i].second;
        return rows;
    }
    if (c.ranks.empty() && !c.texts.empty()) {
        // Equal texts (a nation, a club, a common first name) get one key.
        QHash<QString, quint32> distinct;
        std::vector<quint32> textOf(c.texts.size());
        std::vector<const QString *> texts;
        for (std::size_t r = 0; r < c.texts.size(); ++r) {
            auto at = distinct.constFind(c.texts[r]);
            if (at == distinct.constEnd()) {
                at = distinct.insert(c.texts[r], quint32(texts.size()));
                texts.push_back(&c.texts[r]);
            }
            textOf[r] = *at;
        }
        // The result lists' collation: the same keys in the same order.
        const CollationKeys collation(QLocale(), Qt::CaseSensitive);
        std::string keys;
        std::vector<std::size_t> starts;
        starts.reserve(texts.size() + 1);
        for (const QString *t : texts) {
            starts.push_back(keys.size());
            collation.append(std::u16string_view(reinterpret_cast<const char16_t *>(t->utf16()),
                                                 std::size_t(t->size())),
                             keys);
        }
        starts.push_back(keys.size());
        const std::vector<quint32> order = keyOrder(keys, starts);
        std::vector<quint32> rankOf(order.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            rankOf[order[i]] = quint32(i);
        auto &ranks = const_cast<ColumnCache &>(c).ranks;
        ranks.resize(c.texts.size());
        for (std::size_t r = 0; r < ranks.size(); ++r)
            ranks[r] = rankOf[textOf[r]];
    }
    std::vector<std::pair<qint64, int>> keyed(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const qint64 rank = c.ranks[std::size_t(rows[i])];
        keyed[i] = {ascending ? rank : -rank, rows[i]};
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
    return rows;
}

} // namespace kx3
