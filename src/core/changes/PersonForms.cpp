#include "core/changes/PersonForms.h"

#include "core/changes/RoleWays.h"

#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/fields/FieldRules.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/MiscEntries.h"
#include "core/lookup/NameTables.h"
#include "core/lookup/RecordTitles.h"
#include "core/people/PersonEdit.h"
#include "core/people/RoleRules.h"
#include "core/people/Transfers.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <map>

namespace kx3 {

namespace {

using Fields = std::vector<std::pair<QString, QString>>;

/// A field of one or both person screens.
struct PersonBinding
{
    FieldBinding<PersonEdit> binding;
    bool player = true;
    bool staff = true;
    /// Stored in the staff attribute record: writing it needs one.
    bool staffRecord = false;
    bool playerRecord = false;
    /// The box of each screen it is, player then staff; -1 on a screen without it.
    int box[2] = {-1, -1};
    bool date = false;
};

const QString ClubFieldName = QStringLiteral("Club");
const QString JobField = QStringLiteral("Job");
const QString ClassField = QStringLiteral("Classification");
// Whether he owns each attribute record: what his roles left him, which the
// role rules follow when a patch changes them.
const QString PlayerRecordField = QStringLiteral("Player Attributes");
const QString StaffRecordField = QStringLiteral("Staff Attributes");
const QString YesText = QStringLiteral("Yes");
const QString NoText = QStringLiteral("No");
const QString NoneText = QStringLiteral("<none>");

FieldBinding<PersonEdit> nameBinding(const QString &name, QByteArray PersonEdit::*member,
                                     bool PersonEditFlags::*flag)
{
    return {name,
            [=](const PersonEdit &e, const FormLists &) {
                return FormField{name, fromCp1252(e.*member)};
            },
            [=](PersonEdit &e, const QString &text, const FormLists &) {
                const QByteArray bytes = toCp1252(text);
                if (bytes != e.*member || text != fromCp1252(bytes)) {
                    // Only a new text is held to the rules: a stored name the
                    // rules would refuse stays as the game's files have it.
                    if (QString why = textRefusal(*fieldByCaption(RecordKind::Person, name), text);
                        !why.isEmpty())
                        return why;
                    e.*member = bytes;
                    e.changed.*flag = true;
                }
                return QString();
            }};
}

template <typename Access>
FieldBinding<PersonEdit> itemBinding(const QString &name, Access access, QList<QByteArray> items,
                                     bool nationRefs = false)
{
    return {name,
            [=](const PersonEdit &e, const FormLists &l) {
                const int item = access(const_cast<PersonEdit &>(e));
                FormField f{name, itemText(nationRefs ? l.lookups.nations() : items, item)};
                f.listed = true;
                if (nationRefs) {
                    f.refKind = RecordKind::Nation;
                    f.ref = nationRef(item);
                }
                return f;
            },
            [=](PersonEdit &e, const QString &text, const FormLists &l) {
                return findItem(nationRefs ? l.lookups.nations() : items, text, access(e));
            }};
}

QString historyText(const QList<HistoryRow> &rows)
{
    QStringList parts;
    for (const HistoryRow &r : rows) {
        parts.append(fromCp1252(r.season + ' ' + r.club + ' ' + r.apps + ' ' + r.goals));
    }
    return parts.join(QStringLiteral(" | "));
}

/// Rows of "season club apps goals" joined by " | "; the club may hold
/// blanks and bars, the numbers end each row.
std::optional<QList<HistoryRow>> parseHistory(const QString &text)
{
    QList<HistoryRow> rows;
    static const QRegularExpression row(
        QStringLiteral("\\G(\\S+) (.*?) (-?\\d+) (-?\\d+)(?: \\| |$)"));
    qsizetype at = 0;
    while (at < text.size()) {
        const QRegularExpressionMatch m = row.match(text, at);
        if (!m.hasMatch() || m.capturedLength() == 0)
            return std::nullopt;
        rows.append({toCp1252(m.captured(1)), toCp1252(m.captured(2)), toCp1252(m.captured(3)),
                     toCp1252(m.captured(4))});
        at = m.capturedEnd();
    }
    return rows;
}

/// The boxes of both screens, each field once, named by its row: where each
/// screen has it in its box list follows from the rows before it.
void addPersonBoxes(std::vector<PersonBinding> &bindings)
{
    int next[2] = {0, 0};
    for (const FieldRow &row : PersonFieldRows) {
        if (row.boxCount() == 0)
            continue;
        const int player = row.screens & OnPlayer ? next[0] : -1;
        const int staff = row.screens & OnStaff ? next[1] : -1;
        for (int s = 0; s < 2; ++s) {
            if (row.screens & (s == 0 ? OnPlayer : OnStaff))
                next[s] += row.boxCount();
        }
        auto at = [player, staff](const PersonEdit &e) {
            return qsizetype(e.screen == RoleScreen::Player ? player : staff);
        };
        FieldBinding<PersonEdit> binding{fieldCaption(row), nullptr, nullptr};
        const QString name = binding.name;
        const bool date = row.type == FieldType::Date;
        if (date) {
            binding.read = [=](const PersonEdit &e, const FormLists &) {
                return FormField{name, dateText(e.boxes, at(e))};
            };
            binding.write = [=](PersonEdit &e, const QString &text, const FormLists &) {
                const qsizetype i = at(e);
                if (!splitDate(text, e.boxes[i], e.boxes[i + 1], e.boxes[i + 2]))
                    return QStringLiteral("'%1' is not a day/month/year date").arg(text);
                return QString();
            };
        } else {
            binding.read = [=](const PersonEdit &e, const FormLists &) {
                return FormField{name, e.boxes.value(at(e))};
            };
            binding.write = [=](PersonEdit &e, const QString &text, const FormLists &) {
                e.boxes[at(e)] = text.trimmed();
                return QString();
            };
        }
        bindings.push_back({binding,
                            player >= 0,
                            staff >= 0,
                            row.part == FieldPart::StaffAttributes,
                            row.part == FieldPart::PlayerAttributes,
                            {player, staff},
                            date});
    }
}

#define ITEM(member) [](PersonEdit &e) -> int & { return e.member; }

const std::vector<PersonBinding> &personBindings()
{
    static const std::vector<PersonBinding> bindings = [] {
        std::vector<PersonBinding> s;
        s.push_back({nameBinding(QStringLiteral("First Name"), &PersonEdit::firstName,
                                 &PersonEditFlags::firstName)});
        s.push_back({nameBinding(QStringLiteral("Second Name"), &PersonEdit::secondName,
                                 &PersonEditFlags::secondName)});
        s.push_back({nameBinding(QStringLiteral("Common Name"), &PersonEdit::commonName,
                                 &PersonEditFlags::commonName)});
        FieldBinding<PersonEdit> nation =
            itemBinding(QStringLiteral("Nation"), ITEM(nationItem), {}, true);
        const auto setNation = nation.write;
        nation.write = [setNation](PersonEdit &e, const QString &text, const FormLists &l) {
            const int was = e.nationItem;
            QString why = setNation(e, text, l);
            e.changed.nationality |= e.nationItem != was;
            return why;
        };
        s.push_back({nation});
        s.push_back(
            {itemBinding(QStringLiteral("Second Nation"), ITEM(secondNationItem), {}, true)});
        // The club: shown from the record, moved by a transfer (see writePersonForm).
        s.push_back(
            {{ClubFieldName,
              [](const PersonEdit &e, const FormLists &l) {
                  const QByteArray title = clubTitle(l.db, e.shownClub);
                  FormField f{ClubFieldName,
                              e.shownClub < 0 || title.isEmpty() ? NoneText : fromCp1252(title)};
                  f.refKind = RecordKind::Club;
                  f.ref = e.shownClub < 0 ? -1 : e.shownClub;
                  return f;
              },
              [](PersonEdit &, const QString &, const FormLists &) { return QString(); }}});
        s.push_back({itemBinding(JobField, ITEM(jobItem), listOf(JobNames))});
        s.push_back({itemBinding(ClassField, ITEM(classItem), listOf(ClassificationNames))});
        s.push_back(
            {itemBinding(QStringLiteral("Plays In"), ITEM(playsInItem), listOf(PlaysInNames)),
             true, false});
        s.push_back(
            {itemBinding(QStringLiteral("National Team"), ITEM(nationalTeamItem), {}, true), false,
             true});
        s.push_back(
            {itemBinding(QStringLiteral("National Job"), ITEM(nationalJobItem), listOf(JobNames)),
             false, true});
        s.push_back(
            {itemBinding(QStringLiteral("Formation"), ITEM(formationItem), listOf(FormationNames)),
             false, true});
        addPersonBoxes(s);
        const QString history = QStringLiteral("History");
        s.push_back({{history,
                      [history](const PersonEdit &e, const FormLists &) {
                          return FormField{history, historyText(e.history)};
                      },
                      [](PersonEdit &e, const QString &text, const FormLists &) {
                          const std::optional<QList<HistoryRow>> rows = parseHistory(text);
                          if (!rows)
                              return QStringLiteral("'%1' is not a list of seasons").arg(text);
                          // The rows he has are kept where they are stored.
                          if (*rows == e.history)
                              return QString();
                          e.history = *rows;
                          e.changed.history = true;
                          return QString();
                      }},
                     true,
                     false});
        return s;
    }();
    return bindings;
}

#undef ITEM

/// Whether `binding` is read from, or written to, the edit of `screen`: a field
/// both screens show goes with the player screen's.
bool belongs(const PersonBinding &binding, RoleScreen screen)
{
    return screen == RoleScreen::Player ? binding.player : binding.staff && !binding.player;
}

/// The screens a person is shown on: the player screen when he owns player
/// attributes, the staff screen when he owns staff attributes; a person
/// owning neither on the screen his classification goes with.
std::pair<bool, bool> screensOf(const Database &db, int index)
{
    const auto p = person(db, index);
    if (!p)
        return {false, false};
    const bool player = playerAttributesOf(db, *p).has_value();
    const bool staff = staffAttributesOf(db, *p).has_value();
    if (!player && !staff)
        return {Classification::hasPlayerAttributes(p->classification()), true};
    return {player, staff};
}

const QString &dateOfBirthField()
{
    static const QString name =
        QString::fromUtf8(personBoxes(RoleScreen::Player)[0].field.caption);
    return name;
}

} // namespace

std::span<const int> PersonFormCache::records(int person) const
{
    if (person < 0 || std::size_t(person) + 1 >= mFirst.size())
        return {};
    return std::span<const int>(mRecords).subspan(
        std::size_t(mFirst[std::size_t(person)]),
        std::size_t(mFirst[std::size_t(person) + 1] - mFirst[std::size_t(person)]));
}

QList<HistoryRow> PersonFormCache::rows(const Database &db, int person) const
{
    QList<HistoryRow> out;
    const DataImage &image = db.image(DataFile::StaffHistory);
    for (const int r : records(person))
        out.append(historyRowAt(image, qsizetype(r) * RecordSize::History, mClubNames));
    return out;
}

void PersonFormCache::build(const Database &db, const Lookups &lookups)
{
    mClubNames = lookups.clubNames().names();
    const DataImage &image = db.image(DataFile::StaffHistory);
    const int count = int(image.recordCount(RecordSize::History));
    const int persons = std::max(0, personCount(db));
    auto owner = [&](int r) {
        return image.i32(qsizetype(r) * RecordSize::History + HistoryField::Person.offset);
    };
    mFirst.assign(std::size_t(persons) + 1, 0);
    for (int r = 0; r < count; ++r) {
        const std::int32_t p = owner(r);
        if (p >= 0 && p < persons)
            ++mFirst[std::size_t(p) + 1];
    }
    for (std::size_t p = 0; p < std::size_t(persons); ++p)
        mFirst[p + 1] += mFirst[p];
    mRecords.resize(std::size_t(mFirst.back()));
    std::vector<int> next(mFirst.begin(), mFirst.end() - 1);
    for (int r = 0; r < count; ++r) {
        const std::int32_t p = owner(r);
        if (p >= 0 && p < persons)
            mRecords[std::size_t(next[std::size_t(p)]++)] = r;
    }
}

QStringList personIdentityFields()
{
    return {QStringLiteral("First Name"), QStringLiteral("Second Name"),
            QStringLiteral("Common Name"), dateOfBirthField(), QStringLiteral("Nation")};
}

QStringList personFieldNames()
{
    QStringList names{PlayerRecordField, StaffRecordField};
    for (const PersonBinding &s : personBindings()) {
        if (!names.contains(s.binding.name))
            names.append(s.binding.name);
    }
    return names;
}

std::vector<PersonScreenField> personScreenFields(RoleScreen screen)
{
    std::vector<PersonScreenField> out;
    const int s = screen == RoleScreen::Player ? 0 : 1;
    for (const PersonBinding &b : personBindings()) {
        if ((s == 0 ? b.player : b.staff) && b.binding.name != QLatin1String("History"))
            out.push_back({b.binding.name, b.box[s], b.date});
    }
    return out;
}

QStringList personIdentity(const Database &db, int index)
{
    const auto p = person(db, index);
    if (!p)
        return {};
    int day = 0;
    int month = 0;
    const RecordDate born = p->dateOfBirth();
    decodeRecordDate(born, day, month);
    const int nation = p->nationality();
    const QString nationText = nation < 0                 ? NoneText
                               : nation < nationCount(db) ? fromCp1252(NationName(db, nation))
                                                          : QString();
    return {fromCp1252(FirstNameText(db, p->firstName())),
            fromCp1252(SecondNameText(db, p->secondName())),
            fromCp1252(CommonNameText(db, p->commonName())),
            QStringLiteral("%1/%2/%3").arg(day).arg(month).arg(born.year), nationText};
}

void personIdentityKey(const Database &db, int index, QByteArray &key)
{
    key.clear();
    const auto p = person(db, index);
    if (!p)
        return;
    int day = 0;
    int month = 0;
    const RecordDate born = p->dateOfBirth();
    decodeRecordDate(born, day, month);
    const int nation = p->nationality();
    key.reserve(3 * NameEntryField::Text.capacity + 32);
    // Straight from the name tables: a million persons, three names each.
    for (const auto &[table, name] : {std::pair(NameTable::First, p->firstName()),
                                      std::pair(NameTable::Second, p->secondName()),
                                      std::pair(NameTable::Common, p->commonName())}) {
        const DataImage &image = db.image(nameTableFile(table));
        const qsizetype at = qsizetype(name) * RecordSize::NameEntry;
        if (name >= 0 && image.contains(at, RecordSize::NameEntry)) {
            const char *text = image.bytes().constData() + at;
            const qsizetype capacity = NameEntryField::Text.capacity;
            const void *end = std::memchr(text, 0, std::size_t(capacity));
            key.append(text, end ? static_cast<const char *>(end) - text : capacity);
        }
        key += '\x1f';
    }
    const std::int32_t date[] = {day, month, born.year};
    key.append(reinterpret_cast<const char *>(date), sizeof date);
    if (nation < 0) {
        key += '\x1e';
    } else if (nation < nationCount(db)) {
        const DataImage &nations = db.image(DataFile::Nation);
        const qsizetype at = qsizetype(nation) * RecordSize::Nation + NationField::LongName.offset;
        const char *text = nations.bytes().constData() + at;
        const void *end = std::memchr(text, 0, std::size_t(NationField::LongName.capacity));
        key.append(text,
                   end ? static_cast<const char *>(end) - text : NationField::LongName.capacity);
    }
}

std::optional<RecordForm> readPersonForm(const FormLists &lists, const PersonFormCache &cache,
                                         int index)
{
    const Database &db = lists.db;
    const auto p = person(db, index);
    if (!p)
        return std::nullopt;
    static const QList<QByteArray> noLines;
    // His misc lines are compared as lines of their own, not read here.
    const QList<HistoryRow> rows = cache.rows(db, index);
    const PersonLines lines{&noLines, &rows};
    const QList<QByteArray> clubs = lists.lookups.clubNames().names();
    // Both screens: each shows fields of his own record the other does not.
    const std::optional<PersonEdit> playerEdit =
        loadPersonEdit(db, index, RoleScreen::Player, clubs, lines);
    const std::optional<PersonEdit> staffEdit =
        loadPersonEdit(db, index, RoleScreen::Staff, clubs, lines);

    // Ratings of an attribute record he does not own read 0 on his screen;
    // they are no fields of his.
    const bool ownsPlayer = playerAttributesOf(db, *p).has_value();
    const bool ownsStaff = staffAttributesOf(db, *p).has_value();
    RecordForm form;
    for (const PersonBinding &s : personBindings()) {
        if (s.binding.name == QLatin1String("Plays In")) {
            form.fields.push_back({PlayerRecordField, ownsPlayer ? YesText : NoText});
            form.fields.push_back({StaffRecordField, ownsStaff ? YesText : NoText});
        }
        if ((s.playerRecord && !ownsPlayer) || (s.staffRecord && !ownsStaff))
            continue;
        if (playerEdit && belongs(s, RoleScreen::Player))
            form.fields.push_back(s.binding.read(*playerEdit, lists));
        else if (staffEdit && belongs(s, RoleScreen::Staff))
            form.fields.push_back(s.binding.read(*staffEdit, lists));
    }
    form.title = fromCp1252(personTitle(db, index));
    for (const QString &name : personIdentityFields()) {
        const FormField *f = form.field(name);
        form.identity.append(f ? f->text : QString());
    }
    return form;
}

bool samePersonRecords(const Database &a, const PersonFormCache &ca, int i, const Database &b,
                       const PersonFormCache &cb, int j, const std::vector<int> &clubMap)
{
    const auto pa = person(a, i);
    const auto pb = person(b, j);
    if (!pa || !pb)
        return false;
    const DataImage &ia = a.image(DataFile::Staff);
    const DataImage &ib = b.image(DataFile::Staff);
    auto sameBytes = [&](qsizetype offsetA, qsizetype offsetB, qsizetype from, qsizetype to) {
        return std::memcmp(ia.bytes().constData() + offsetA + from,
                           ib.bytes().constData() + offsetB + from, std::size_t(to - from))
               == 0;
    };
    // Ids, names (compared as identities), clubs, national teams and the
    // relationship slots are references; everything else is compared as stored.
    const qsizetype oa = pa->offset();
    const qsizetype ob = pb->offset();
    if (!sameBytes(oa, ob, PersonField::DateOfBirth.offset, PersonField::NationalTeam.offset)
        || !sameBytes(oa, ob, PersonField::NationalJob.offset, PersonField::Club.offset)
        || !sameBytes(oa, ob, PersonField::Job.offset, PersonField::Relationships.offset))
        return false;
    auto sameClub = [&](std::int32_t x, std::int32_t y) {
        if (x < 0 || y < 0)
            return x < 0 && y < 0;
        return std::size_t(x) < clubMap.size() && clubMap[std::size_t(x)] == y;
    };
    if (!sameClub(pa->club(), pb->club()) || !sameClub(pa->nationalTeam(), pb->nationalTeam()))
        return false;
    const auto playerA = playerAttributesOf(a, *pa);
    const auto playerB = playerAttributesOf(b, *pb);
    const auto staffA = staffAttributesOf(a, *pa);
    const auto staffB = staffAttributesOf(b, *pb);
    if (playerA.has_value() != playerB.has_value() || staffA.has_value() != staffB.has_value())
        return false;
    auto sameAttributes = [&](const auto &x, const auto &y, qsizetype size) {
        return !x
               || std::memcmp(x->image()->bytes().constData() + x->offset() + 4,
                              y->image()->bytes().constData() + y->offset() + 4,
                              std::size_t(size - 4))
                      == 0;
    };
    if (!sameAttributes(playerA, playerB, RecordSize::PlayerAttributes)
        || !sameAttributes(staffA, staffB, RecordSize::StaffAttributes))
        return false;
    const std::span<const int> ra = ca.records(i);
    const std::span<const int> rb = cb.records(j);
    if (ra.size() != rb.size())
        return false;
    const DataImage &ha = a.image(DataFile::StaffHistory);
    const DataImage &hb = b.image(DataFile::StaffHistory);
    for (std::size_t k = 0; k < ra.size(); ++k) {
        const qsizetype x = qsizetype(ra[k]) * RecordSize::History;
        const qsizetype y = qsizetype(rb[k]) * RecordSize::History;
        auto shown = [](std::int32_t club, int names) { return club >= 0 && club < names; };
        const std::int32_t cx = ha.i32(x + HistoryField::Club.offset);
        const std::int32_t cy = hb.i32(y + HistoryField::Club.offset);
        const bool sx = shown(cx, ca.clubNameCount());
        const bool sy = shown(cy, cb.clubNameCount());
        if (ha.i16(x + HistoryField::Year.offset) != hb.i16(y + HistoryField::Year.offset)
            || ha.u8(x + HistoryField::Appearances.offset)
                   != hb.u8(y + HistoryField::Appearances.offset)
            || ha.u8(x + HistoryField::Goals.offset) != hb.u8(y + HistoryField::Goals.offset)
            || sx != sy || (sx && !sameClub(cx, cy)))
            return false;
    }
    return true;
}

namespace {

std::optional<QString> valueOf(const Fields &fields, const QString &name)
{
    for (const auto &[n, text] : fields) {
        if (n == name)
            return text;
    }
    return std::nullopt;
}

/// The club a text names: -1 for none, nothing when no club has that name.
std::optional<int> clubNamed(const Database &db, const QString &text)
{
    if (text == NoneText || text.isEmpty())
        return -1;
    const QByteArray bytes = toCp1252(text);
    // A club before a national team of the same name: only clubs take transfers.
    for (int c = 0; c < clubTotal(db); ++c) {
        if (clubTitle(db, c) == bytes)
            return c;
    }
    return std::nullopt;
}

/// Sets the fields of `fields` that belong to an edit of `screen`.
QString setPersonFields(PersonEdit &e, RoleScreen screen, bool bothSides, const Fields &fields,
                        const FormLists &lists)
{
    for (const auto &[name, text] : fields) {
        if (name == ClubFieldName || name == JobField || name == ClassField
            || name == PlayerRecordField || name == StaffRecordField)
            continue;
        bool known = false;
        for (const PersonBinding &s : personBindings()) {
            if (s.binding.name != name)
                continue;
            known = true;
            // A field both screens show is set once, on the edit taking both sides.
            const bool shown = screen == RoleScreen::Player ? s.player : s.staff;
            if (!shown || (s.player && s.staff && !bothSides))
                continue;
            if (QString why = s.binding.write(e, text, lists); !why.isEmpty())
                return QStringLiteral("%1: %2").arg(name, why);
        }
        if (!known)
            return QStringLiteral("%1: no such field").arg(name);
    }
    return {};
}

/// The screen a new person of class `cls` is created on. A player screen's
/// field says he was made a player, whatever his class now.
RoleScreen createdOn(const Fields &fields, int cls)
{
    const std::optional<QString> playerRecord = valueOf(fields, PlayerRecordField);
    return (playerRecord ? *playerRecord == YesText : Classification::hasPlayerAttributes(cls))
               ? RoleScreen::Player
               : RoleScreen::Staff;
}

RoleScreen otherScreen(RoleScreen screen)
{
    return screen == RoleScreen::Player ? RoleScreen::Staff : RoleScreen::Player;
}

EditResult refusedField(const QString &field, const QString &text, const char *why)
{
    return EditResult::refused(
        QStringLiteral("%1: '%2': %3").arg(field, text, QLatin1String(why)));
}

} // namespace

EditResult writePersonForm(Database &db, Lookups &lookups, std::optional<int> index,
                           const Fields &fields)
{
    const FormLists lists{db, lookups};
    const QList<QByteArray> listNames = listOf(ClassificationNames);
    const QList<QByteArray> jobNames = listOf(JobNames);
    if (!index) {
        // Created on the screen its classification goes with, then written
        // like any other person, so that club and role follow the same rules.
        int cls = Classification::Player;
        if (const auto text = valueOf(fields, ClassField)) {
            if (!findItem(listNames, *text, cls).isEmpty())
                return refusedField(ClassField, *text, "no such classification");
        }
        const RoleScreen screen = createdOn(fields, cls);
        PersonEdit e = newPersonEdit(screen);
        // A new person takes what his create screen's lists accept.
        int job = -1;
        if (const auto text = valueOf(fields, JobField);
            text && findItem(listOf(JobNames), *text, job).isEmpty()
            && decideJobChange(db, std::nullopt, screen, job, false).verdict
                   == RoleVerdict::Accept)
            e.jobItem = job;
        if (decideClassChange(db, std::nullopt, screen, cls).verdict == RoleVerdict::Accept)
            e.classItem = cls;
        if (QString why = setPersonFields(e, screen, true, fields, lists); !why.isEmpty())
            return EditResult::refused(why);
        const EditResult created =
            applyPersonEdit(db, lookups.clubNames().names(), std::nullopt, e);
        if (!created.ok())
            return created;
        const EditResult written = writePersonForm(db, lookups, created.record, fields);
        return written.ok() ? created : written;
    }

    const int p = *index;
    const auto record = person(db, p);
    if (!record)
        return EditResult::refused(QStringLiteral("No such person."));
    const QList<QByteArray> clubs = lookups.clubNames().names();
    const auto [hadPlayer, hadStaff] = screensOf(db, p);
    // Fields that neither move him nor change his roles or history leave his
    // history as it is, and unless they rename him his misc lines too: they
    // are not looked up, which would read the whole history table for each
    // person of a bulk edit.
    static const QList<QByteArray> noLines;
    static const QList<HistoryRow> noHistory;
    const bool keepsLines = std::none_of(fields.begin(), fields.end(), [](const auto &f) {
        return f.first == ClubFieldName || f.first == JobField || f.first == ClassField
               || f.first == PlayerRecordField || f.first == StaffRecordField
               || f.first == QLatin1String("History");
    });
    const bool renames = std::any_of(fields.begin(), fields.end(), [](const auto &f) {
        return f.first == QLatin1String("First Name") || f.first == QLatin1String("Second Name")
               || f.first == QLatin1String("Common Name");
    });
    const PersonLines lines =
        keepsLines ? PersonLines{renames ? nullptr : &noLines, &noHistory} : PersonLines{};
    // The misc lines are filed under the names and club he has now, by the
    // confirm of the screen he is shown on: a move or a rename takes them along.
    const RoleScreen home = hadPlayer ? RoleScreen::Player : RoleScreen::Staff;
    const std::optional<PersonEdit> before = loadPersonEdit(db, p, home, clubs, lines);
    const int clubBefore = record->club();

    int target = clubBefore;
    if (const auto text = valueOf(fields, ClubFieldName)) {
        const std::optional<int> named = clubNamed(db, *text);
        if (!named)
            return refusedField(ClubFieldName, *text, "no such club");
        target = *named;
    }
    int job = -1;
    int cls = -1;
    const auto jobText = valueOf(fields, JobField);
    const auto clsText = valueOf(fields, ClassField);
    if (jobText && !findItem(jobNames, *jobText, job).isEmpty())
        return refusedField(JobField, *jobText, "no such job");
    if (clsText && !findItem(listNames, *clsText, cls).isEmpty())
        return refusedField(ClassField, *clsText, "no such classification");
    // A job may change only without a club: he leaves it first and comes
    // back after, as a user of the transfer panel would do.
    bool released = false;
    auto release = [&]() -> EditResult {
        if (released || person(db, p)->club() < 0)
            return EditResult::passed();
        released = true;
        EditResult r = releasePerson(db, p);
        return r.ok()
                   ? r
                   : EditResult::refused(QStringLiteral("%1: %2").arg(ClubFieldName, r.message));
    };
    if (clubBefore >= 0 && target != clubBefore) {
        if (EditResult r = release(); !r.ok())
            return r;
    }
    auto owns = [&](const QString &field) -> std::optional<bool> {
        const std::optional<QString> text = valueOf(fields, field);
        return text ? std::optional<bool>(*text == YesText) : std::nullopt;
    };
    const std::optional<bool> wantPlayer = owns(PlayerRecordField);
    const std::optional<bool> wantStaff = owns(StaffRecordField);
    const bool roleChanges =
        (job >= 0 && job != person(db, p)->job())
        || (cls >= 0 && cls != person(db, p)->classification())
        || (wantPlayer && *wantPlayer != playerAttributesOf(db, *person(db, p)).has_value())
        || (wantStaff && *wantStaff != staffAttributesOf(db, *person(db, p)).has_value());
    if (roleChanges) {
        if (EditResult left = release(); !left.ok())
            return left;
        if (EditResult r = changeRoles(db, p, job, cls, wantPlayer, wantStaff); !r.ok())
            return r;
    }
    if (target >= 0 && person(db, p)->club() != target) {
        if (EditResult r = transferPerson(db, p, target); !r.ok())
            return EditResult::refused(QStringLiteral("%1: %2").arg(ClubFieldName, r.message));
    }

    bool first = true;
    for (RoleScreen screen : {home, otherScreen(home)}) {
        PersonEdit e = *loadPersonEdit(db, p, screen, clubs, lines);
        if (before && before->screen == screen && person(db, p)->club() != clubBefore) {
            e.shownClub = before->shownClub;
            e.playerMisc = before->playerMisc;
            e.staffMisc = before->staffMisc;
            e.changed.misc = true;
        }
        if (QString why = setPersonFields(e, screen, first, fields, lists); !why.isEmpty())
            return EditResult::refused(why);
        // As his screen's name boxes do: the lines go under the names typed.
        if (first && (e.changed.firstName || e.changed.secondName || e.changed.commonName))
            e.changed.misc = true;
        if (EditResult r = applyPersonEdit(db, clubs, p, e); !r.ok())
            return r;
        first = false;
    }
    return EditResult::accepted(p);
}

QStringList personFormAdvice(const Database &db, const Lookups &lookups, std::optional<int> index,
                             const Fields &fields)
{
    const FormLists lists{db, lookups};
    const QList<QByteArray> clubs = lookups.clubNames().names();
    static const QList<QByteArray> noLines;
    static const QList<HistoryRow> noHistory;
    RoleScreen home = RoleScreen::Player;
    if (index) {
        const auto [player, staff] = screensOf(db, *index);
        if (!player && !staff)
            return {};
        home = player ? RoleScreen::Player : RoleScreen::Staff;
    } else {
        int cls = Classification::Player;
        if (const auto text = valueOf(fields, ClassField))
            findItem(listOf(ClassificationNames), *text, cls);
        home = createdOn(fields, cls);
    }
    // The screens in the order writePersonForm sets them, each value on one.
    QStringList advice;
    bool first = true;
    for (RoleScreen screen : {home, otherScreen(home)}) {
        const std::optional<PersonEdit> loaded =
            index ? loadPersonEdit(db, *index, screen, clubs, {&noLines, &noHistory})
                  : newPersonEdit(screen);
        if (!loaded)
            break;
        PersonEdit e = *loaded;
        setPersonFields(e, screen, first, fields, lists);
        advice += rangeQuestions(boxAdvice(personEditBoxes(screen)), e.boxes, loaded->boxes);
        first = false;
    }
    return advice;
}

} // namespace kx3
