#include "CareerHistory.h"

#include "core/db/Database.h"
#include "core/layout/HistoryRecord.h"

#include <optional>

namespace kx3 {

namespace {

/// A row converted to the values its record stores.
struct HistoryValues
{
    int year = 0;
    std::int32_t club = UnmatchedHistoryClub;
    int apps = 0;
    int goals = 0;
};

std::optional<int> toInteger(const QByteArray &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::int32_t historyClubIndex(const QList<QByteArray> &clubNames, const QByteArray &text)
{
    const qsizetype i = clubNames.indexOf(text);
    return i < 0 ? UnmatchedHistoryClub : std::int32_t(i);
}

QByteArray historyRecordBytes(std::int32_t id, std::int32_t person, const HistoryValues &v)
{
    DataImage record(QByteArray(RecordSize::History, '\0'));
    HistoryRecord view(&record, 0);
    view.setId(id);
    view.setPerson(person);
    view.setYear(v.year);
    view.setClub(v.club);
    view.setUnused14(0);
    view.setAppearances(v.apps);
    view.setGoals(v.goals);
    return record.bytes();
}

} // namespace

QByteArray seasonLabel(int year)
{
    if (year < FirstHistoryYear)
        year = FirstHistoryYear;
    const int next = (year % 100 + 1) % 100;
    return QByteArray::number(year) + '/' + QByteArray::number(next).rightJustified(2, '0');
}

HistoryRow historyRowAt(const DataImage &image, qsizetype at, const QList<QByteArray> &clubNames)
{
    const std::int32_t club = image.i32(at + HistoryField::Club.offset);
    HistoryRow row;
    row.season = seasonLabel(image.i16(at + HistoryField::Year.offset));
    row.club = club >= 0 && club < clubNames.size() ? clubNames.at(club)
                                                    : QByteArray(UnknownHistoryClubText);
    row.apps = QByteArray::number(image.u8(at + HistoryField::Appearances.offset));
    row.goals = QByteArray::number(image.u8(at + HistoryField::Goals.offset));
    return row;
}

QList<HistoryRow> loadHistory(const Database &db, qsizetype person,
                              const QList<QByteArray> &clubNames)
{
    QList<HistoryRow> rows;
    const DataImage &image = db.image(DataFile::StaffHistory);
    const qsizetype count = image.recordCount(RecordSize::History);
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = i * RecordSize::History;
        if (image.i32(at + HistoryField::Person.offset) == person)
            rows.append(historyRowAt(image, at, clubNames));
    }
    return rows;
}

bool saveHistory(Database &db, qsizetype person, const QList<HistoryRow> &rows,
                 const QList<QByteArray> &clubNames, QByteArray *badText)
{
    // Everything is converted before the file is touched, so a typing error in a
    // later row cannot leave the person's history half rewritten.
    QList<HistoryValues> values;
    values.reserve(rows.size());
    for (const HistoryRow &row : rows) {
        HistoryValues v;
        const QByteArray yearText = row.season.left(4);
        const std::optional<int> year = toInteger(yearText);
        const std::optional<int> apps = year ? toInteger(row.apps) : std::nullopt;
        const std::optional<int> goals = apps ? toInteger(row.goals) : std::nullopt;
        if (!goals) {
            if (badText)
                *badText = !year ? yearText : !apps ? row.apps : row.goals;
            return false;
        }
        v.year = *year;
        v.club = historyClubIndex(clubNames, row.club);
        v.apps = *apps;
        v.goals = *goals;
        values.append(v);
    }

    // The person's records are found by where they are, not by their id field, and
    // every record is renumbered: a stale id left by another tool must not steer
    // the removal onto someone else's record.
    DataImage &image = db.image(DataFile::StaffHistory);
    const QByteArray &old = image.bytes();
    const qsizetype count = image.recordCount(RecordSize::History);
    QByteArray out;
    out.reserve(old.size() + values.size() * RecordSize::History);
    std::int32_t position = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = i * RecordSize::History;
        if (image.i32(at + HistoryField::Person.offset) == person)
            continue;
        DataImage record(old.mid(at, RecordSize::History));
        HistoryRecord(&record, 0).setId(position++);
        out.append(record.bytes());
    }
    for (const HistoryValues &v : values)
        out.append(historyRecordBytes(position++, std::int32_t(person), v));
    // Bytes of a partial last record stay behind the whole records.
    out.append(old.mid(count * RecordSize::History));
    image.setBytes(std::move(out));
    return true;
}

} // namespace kx3
