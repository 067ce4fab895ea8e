#include "core/table/TableColumns.h"

#include "core/changes/FormFields.h"
#include "core/changes/PersonForms.h"
#include "core/clubs/ClubEdit.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"
#include "core/lookup/RecordTitles.h"

#include <QLocale>

#include <charconv>
#include <limits>
#include <map>

namespace kx3 {

namespace {

using Code = std::function<qint64(const Database &, const ConstPersonRecord &)>;

/// The list fields of the person screens and the stored code each one's
/// text follows from. A field not here is read from the form, row by row.
const std::map<QString, Code> &personCodes()
{
    static const std::map<QString, Code> codes = {
        {QStringLiteral("Nation"), [](auto &, auto &p) { return qint64(p.nationality()); }},
        {QStringLiteral("Second Nation"),
         [](auto &, auto &p) { return qint64(p.secondNationality()); }},
        {QStringLiteral("Club"), [](auto &, auto &p) { return qint64(p.club()); }},
        {QStringLiteral("Job"), [](auto &, auto &p) { return qint64(p.job()); }},
        {QStringLiteral("Classification"),
         [](auto &, auto &p) { return qint64(p.classification()); }},
        {QStringLiteral("Plays In"), [](auto &, auto &p) { return qint64(p.playsIn()); }},
        {QStringLiteral("National Team"),
         [](auto &, auto &p) { return qint64(p.nationalTeam()); }},
        {QStringLiteral("National Job"), [](auto &, auto &p) { return qint64(p.nationalJob()); }},
        {QStringLiteral("Formation"),
         [](const Database &db, const ConstPersonRecord &p) {
             const auto staff = staffAttributesOf(db, p);
             return staff ? qint64(staff->formation()) : std::numeric_limits<qint64>::min();
         }},
    };
    return codes;
}

const std::map<QString, NameTable> &personNames()
{
    static const std::map<QString, NameTable> names = {
        {QStringLiteral("First Name"), NameTable::First},
        {QStringLiteral("Second Name"), NameTable::Second},
        {QStringLiteral("Common Name"), NameTable::Common}};
    return names;
}

const QString StaffSuffix = QStringLiteral(" (Staff)");

/// Start of the record a box is stored in; -1 for one he does not own.
qsizetype partOffset(const Database &db, const ConstPersonRecord &p, PersonPart part)
{
    switch (part) {
    case PersonPart::Person: return p.offset();
    case PersonPart::PlayerAttributes: {
        const auto a = playerAttributesOf(db, p);
        return a ? a->offset() : -1;
    }
    case PersonPart::StaffAttributes: {
        const auto a = staffAttributesOf(db, p);
        return a ? a->offset() : -1;
    }
    }
    return -1;
}

std::array<int, 3> dateOf(const Database &db, const ConstPersonRecord &p, int offset)
{
    const RecordDate date = readRecordDate(db.image(DataFile::Staff), p.offset() + offset);
    int day = 0;
    int month = 0;
    decodeRecordDate(date, day, month);
    return {day, month, int(date.year)};
}

} // namespace

void tableColumns(TableKind kind, std::vector<TableColumn> &columns,
                  std::vector<ColumnSource> &sources)
{
    columns.clear();
    sources.clear();
    const RecordKind form = tableFormKind(kind);
    if (form != RecordKind::Person) {
        // A nation's name is no field of its form, and a national team's long
        // name is its under-21 team's too: both tables lead with the name
        // the search lists show.
        if (kind == TableKind::Nations || kind == TableKind::NationalTeams) {
            columns.push_back({QStringLiteral("Name"), QString(), TableColumn::Text, false});
            ColumnSource title;
            title.kind = ColumnSource::Title;
            sources.push_back(title);
        }
        for (const QString &field : formFieldNames(form)) {
            TableColumn c{field, field};
            // Numbers sort and filter as numbers, as their rows say.
            if (const FieldRow *row = fieldByCaption(form, field)) {
                if (row->type == FieldType::Date)
                    c.type = TableColumn::Date;
                else if (row->type == FieldType::Whole || row->type == FieldType::Real)
                    c.type = TableColumn::Number;
            }
            columns.push_back(c);
            sources.push_back({});
        }
        return;
    }
    const RoleScreen screen = kind == TableKind::Players ? RoleScreen::Player : RoleScreen::Staff;
    const std::span<const PersonBox> boxes = personBoxes(screen);
    for (const PersonScreenField &f : personScreenFields(screen)) {
        TableColumn c{f.name, f.name};
        // One table shows one screen: its own caption is enough.
        if (c.name.endsWith(StaffSuffix))
            c.name.chop(StaffSuffix.size());
        ColumnSource s;
        if (f.box >= 0) {
            s.kind = ColumnSource::Box;
            s.box = boxes[std::size_t(f.box)];
            c.type = f.date ? TableColumn::Date : TableColumn::Number;
        } else if (const auto name = personNames().find(f.name); name != personNames().end()) {
            s.kind = ColumnSource::Name;
            s.table = name->second;
            s.code = [table = name->second](const Database &, const ConstPersonRecord &p) {
                return qint64(table == NameTable::First    ? p.firstName()
                              : table == NameTable::Second ? p.secondName()
                                                           : p.commonName());
            };
        } else if (const auto code = personCodes().find(f.name); code != personCodes().end()) {
            s.kind = ColumnSource::Coded;
            s.code = code->second;
            if (f.name == QLatin1String("Club")) {
                s.codeText = [](const Database &db, qint64 club) {
                    const QByteArray title = club < 0 ? QByteArray() : clubTitle(db, int(club));
                    return title.isEmpty() ? QStringLiteral("<none>") : fromCp1252(title);
                };
            }
        }
        columns.push_back(c);
        sources.push_back(s);
        if (f.box >= 0 && f.date && s.box.part == PersonPart::Person
            && s.box.field.offset == PersonField::DateOfBirth.offset) {
            columns.push_back({QStringLiteral("Age"), QString(), TableColumn::Number, false});
            ColumnSource age = s;
            age.kind = ColumnSource::Age;
            sources.push_back(age);
        }
    }
}

QString personCellText(const Database &db, const ConstPersonRecord &p, const ColumnSource &source)
{
    if (source.kind == ColumnSource::Age || source.box.kind == PersonBox::Day) {
        const std::array<int, 3> d = dateOf(db, p, source.box.field.offset);
        if (source.kind == ColumnSource::Age)
            return QString::number(ageOn1999(d[0], d[1], d[2]));
        return QStringLiteral("%1/%2/%3").arg(d[0]).arg(d[1]).arg(d[2]);
    }
    // Without its attribute record a person's ratings read 0, as on his screen.
    const qsizetype at = partOffset(db, p, source.box.part);
    return QString::number(at < 0 ? 0
                                  : readNumber(db.image(DataFile::Staff), at, source.box.field));
}

std::optional<double> personCellValue(const Database &db, const ConstPersonRecord &p,
                                      const ColumnSource &source)
{
    if (source.kind == ColumnSource::Age || source.box.kind == PersonBox::Day) {
        const std::array<int, 3> d = dateOf(db, p, source.box.field.offset);
        if (source.kind == ColumnSource::Age)
            return ageOn1999(d[0], d[1], d[2]);
        return d[2] * 10000.0 + d[1] * 100.0 + d[0];
    }
    const qsizetype at = partOffset(db, p, source.box.part);
    return at < 0 ? 0.0 : double(readNumber(db.image(DataFile::Staff), at, source.box.field));
}

std::array<qsizetype, 3> personParts(const Database &db, const ConstPersonRecord &p)
{
    return {p.offset(), partOffset(db, p, PersonPart::PlayerAttributes),
            partOffset(db, p, PersonPart::StaffAttributes)};
}

void appendPersonCell(const Database &db, const std::array<qsizetype, 3> &parts,
                      const ColumnSource &source, std::string &out)
{
    auto put = [&](qint64 v) {
        char buffer[24];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
        out.append(buffer, std::size_t(r.ptr - buffer));
    };
    const DataImage &image = db.image(DataFile::Staff);
    if (source.kind == ColumnSource::Age || source.box.kind == PersonBox::Day) {
        const RecordDate date = readRecordDate(image, parts[0] + source.box.field.offset);
        int day = 0;
        int month = 0;
        decodeRecordDate(date, day, month);
        if (source.kind == ColumnSource::Age) {
            put(ageOn1999(day, month, date.year));
        } else {
            put(day);
            out += '/';
            put(month);
            out += '/';
            put(date.year);
        }
        return;
    }
    const qsizetype at = parts[std::size_t(source.box.part)];
    put(at < 0 ? 0 : readNumber(image, at, source.box.field));
}

namespace {

/// What a spreadsheet reads as the start of a formula (the list OWASP gives
/// for CSV injection).
bool startsFormula(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

} // namespace

bool marksText(const QString &cell)
{
    return cell.size() > 1 && cell.front() == u'\'' && (startsFormula(cell[1]) || cell[1] == u'\'');
}

void appendCsvField(std::string &out, const QString &given)
{
    // A text a spreadsheet would run as a formula is written behind the
    // apostrophe that marks a cell as text; so is one that begins with that
    // mark already, so that the import, which takes one off, gives back
    // exactly what was exported. A number ("-5") is left as it is.
    QString text = given;
    if (!text.isEmpty()
        && ((startsFormula(text.front()) && !cellValue(TableColumn::Number, text))
            || marksText(text)))
        text.prepend(u'\'');
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') {
            quoted = true;
            break;
        }
    }
    const QByteArray utf8 =
        quoted ? QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")).toUtf8()
               : text.toUtf8();
    if (quoted)
        out += '"';
    out.append(utf8.constData(), std::size_t(utf8.size()));
    if (quoted)
        out += '"';
}

std::optional<std::array<int, 3>> dateParts(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('/'));
    if (parts.size() != 3)
        return std::nullopt;
    std::array<int, 3> d{};
    for (std::size_t i = 0; i < 3; ++i) {
        bool ok = false;
        d[i] = parts[qsizetype(i)].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return d;
}

std::optional<double> cellValue(TableColumn::Type type, const QString &text)
{
    if (type == TableColumn::Date) {
        const auto d = dateParts(text);
        return d ? std::optional<double>((*d)[2] * 10000.0 + (*d)[1] * 100.0 + (*d)[0])
                 : std::nullopt;
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

int ageOn1999(int day, int month, int year)
{
    const bool birthdayLater = month > 7 || (month == 7 && day > 1);
    return 1999 - year - (birthdayLater ? 1 : 0);
}

} // namespace kx3
