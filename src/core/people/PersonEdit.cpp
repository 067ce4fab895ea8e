#include "core/people/PersonEdit.h"

#include "core/db/Database.h"
#include "core/layout/CodeLists.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/NameTables.h"
#include "core/people/PersonTables.h"

#include <algorithm>
#include <array>

namespace kx3 {

namespace {

/// The boxes of the screens `screen` names, in the order of the person's
/// field rows: a date's day, month and year in turn. Day and month go
/// through the date conversion, which takes any number; only the year is
/// stored as it is typed.
template <std::uint8_t Screen>
constexpr auto boxesOf()
{
    std::array<PersonBox, boxCount(PersonFieldRows, Screen)> boxes{};
    std::size_t at = 0;
    for (const FieldRow &f : PersonFieldRows) {
        if (!(f.screens & Screen) || f.boxCount() == 0)
            continue;
        NumberField n = f.number;
        if (Screen == OnStaff && f.staffLabel)
            n.caption = f.staffLabel;
        const PersonPart part = PersonPart(int(f.part));
        if (f.type == FieldType::Date) {
            for (const PersonBox::Kind k : {PersonBox::Day, PersonBox::Month, PersonBox::Year})
                boxes[at++] = {k, part, n};
        } else {
            boxes[at++] = {PersonBox::Number, part, n};
        }
    }
    return boxes;
}

constexpr auto PlayerBoxes = boxesOf<OnPlayer>();
constexpr auto StaffBoxes = boxesOf<OnStaff>();

constexpr NumberField HistoryYear = numberField(HistoryField::Year, "Season");
constexpr NumberField HistoryApps = numberField(HistoryField::Appearances, "Apps");
constexpr NumberField HistoryGoals = numberField(HistoryField::Goals, "Goals");

const QByteArray FirstNamePlaceholder = QByteArrayLiteral("<first name>");
const QByteArray SecondNamePlaceholder = QByteArrayLiteral("<second name>");
const QByteArray CommonNamePlaceholder = QByteArrayLiteral("<common name>");

/// Item of `value` in a list of `count` items (item = value + shift), or -1.
int itemOf(qint64 value, int count, int shift = 0)
{
    const qint64 item = value + shift;
    return item >= 0 && item < count ? int(item) : -1;
}

/// Start of the record each PersonPart is stored in, or -1 for a record the
/// person does not have.
template <typename Person>
std::array<qsizetype, 3> partOffsets(const Database &db, const Person &p)
{
    const auto player = playerAttributesOf(db, p);
    const auto staff = staffAttributesOf(db, p);
    return {p.offset(), player ? player->offset() : -1, staff ? staff->offset() : -1};
}

QString dateText(int value)
{
    return QString::number(value);
}

void showDate(QList<QString> &boxes, std::size_t first, const RecordDate &date)
{
    int day = 0;
    int month = 0;
    decodeRecordDate(date, day, month);
    boxes[qsizetype(first)] = dateText(day);
    boxes[qsizetype(first) + 1] = dateText(month);
    boxes[qsizetype(first) + 2] = QString::number(date.year);
}

/// Whether the three boxes of the date starting at `dayBox` still read the
/// date stored at `at`: such a date is kept as it is, whatever it is.
bool storedDateShown(const DataImage &image, qsizetype at, const QList<QString> &boxes,
                     std::size_t dayBox)
{
    QList<QString> shown(3);
    showDate(shown, 0, readRecordDate(image, at));
    return shown == boxes.mid(qsizetype(dayBox), 3);
}

/// The first history row that cannot be stored, with its message.
std::optional<QString> historyProblem(const QList<HistoryRow> &rows)
{
    for (const HistoryRow &row : rows) {
        const std::pair<QByteArray, const NumberField *> texts[] = {
            {row.season.left(4), &HistoryYear},
            {row.apps, &HistoryApps},
            {row.goals, &HistoryGoals}};
        for (const auto &[text, field] : texts) {
            const NumberCheck check = checkNumber(QString::fromLatin1(text), *field);
            if (!check.stored)
                return check.message;
        }
    }
    return std::nullopt;
}

} // namespace

std::span<const PersonBox> personBoxes(RoleScreen screen)
{
    if (screen == RoleScreen::Player)
        return PlayerBoxes;
    return StaffBoxes;
}

std::vector<EditBox> personEditBoxes(RoleScreen screen)
{
    std::vector<EditBox> boxes;
    for (const PersonBox &b : personBoxes(screen)) {
        boxes.push_back({b.kind == PersonBox::Number  ? EditBox::Integer
                         : b.kind == PersonBox::Day   ? EditBox::Day
                         : b.kind == PersonBox::Month ? EditBox::Month
                                                      : EditBox::Year,
                         b.field});
    }
    return boxes;
}

int nationItemCount(const Database &db)
{
    return nationCount(db) + 1;
}

std::optional<PersonEdit> loadPersonEdit(const Database &db, int index, RoleScreen screen,
                                         const QList<QByteArray> &clubNames,
                                         const PersonLines &lines)
{
    const std::optional<ConstPersonRecord> found = person(db, index);
    if (!found)
        return std::nullopt;
    const ConstPersonRecord &p = *found;
    PersonEdit e;
    e.screen = screen;
    e.firstName = FirstNameText(db, p.firstName());
    e.secondName = SecondNameText(db, p.secondName());
    e.commonName = CommonNameText(db, p.commonName());

    const std::span<const PersonBox> boxes = personBoxes(screen);
    e.boxes.resize(qsizetype(boxes.size()));
    const std::array<qsizetype, 3> parts = partOffsets(db, p);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const PersonBox &box = boxes[i];
        if (box.kind == PersonBox::Day) {
            showDate(e.boxes, i,
                     readRecordDate(db.image(DataFile::Staff), p.offset() + box.field.offset));
        } else if (box.kind == PersonBox::Number) {
            // Without its attribute record a person's ratings read 0, and the
            // confirm then writes his person record only.
            const qsizetype at = parts[std::size_t(box.part)];
            e.boxes[qsizetype(i)] =
                QString::number(at < 0 ? 0 : readNumber(db.image(DataFile::Staff), at, box.field));
        }
    }

    const int nations = nationItemCount(db);
    e.nationItem = itemOf(p.nationality(), nations, 1);
    e.secondNationItem = p.secondNationality() < 0 ? 0 : itemOf(p.secondNationality(), nations, 1);
    e.jobItem = itemOf(p.job(), int(JobNames.size()));
    e.classItem = itemOf(p.classification(), int(ClassificationNames.size()));
    e.shownClub = p.club();
    const MiscIdentity who{{e.firstName, e.commonName, e.secondName},
                           p.club() >= 0 ? ClubLongName(db, p.club()) : QByteArray()};
    if (screen == RoleScreen::Player) {
        e.playsInItem = itemOf(p.playsIn(), int(PlaysInNames.size()));
        e.playerMisc =
            LoadPlayerMiscEntries(lines.miscLines ? *lines.miscLines : db.setupLines(), who);
        e.history = lines.history ? *lines.history : loadHistory(db, index, clubNames);
    } else {
        // National team C + k belongs to nation k, which is item k + 1; a duty
        // that names no national team shows no item and is kept.
        const std::int32_t team = p.nationalTeam();
        e.nationalTeamItem = team < 0 ? 0 : itemOf(qint64(team) - db.clubCount(), nations, 1);
        if (e.nationalTeamItem == 0 && team >= 0)
            e.nationalTeamItem = -1;
        e.nationalJobItem = itemOf(p.nationalJob(), int(JobNames.size()));
        if (const auto a = staffAttributesOf(db, p))
            e.formationItem = itemOf(a->formation(), int(FormationNames.size()), -1);
        e.staffMisc =
            LoadStaffMiscEntries(lines.miscLines ? *lines.miscLines : db.setupLines(), who);
    }
    return e;
}

PersonEdit newPersonEdit(RoleScreen screen)
{
    PersonEdit e;
    e.screen = screen;
    e.firstName = FirstNamePlaceholder;
    e.secondName = SecondNamePlaceholder;
    e.commonName = CommonNamePlaceholder;
    e.boxes = newBoxTexts(RecordKind::Person, screen == RoleScreen::Player ? OnPlayer : OnStaff);
    e.nationItem = 0;
    e.secondNationItem = 0;
    e.jobItem = newRecordJob(screen);
    e.classItem = newRecordClass(screen);
    if (screen == RoleScreen::Player) {
        e.playsInItem = 1; // "Senior Squad"
    } else {
        e.nationalTeamItem = 0;
        e.nationalJobItem = 0;
        e.formationItem = NewStaffFormation - 1;
    }
    e.changed.firstName = e.changed.secondName = e.changed.commonName = true;
    e.changed.misc = true;
    return e;
}

namespace {

/// Checks every text of `edit` against person `index` (a new person when
/// empty) and converts the boxes into `values`; the refusal when one cannot
/// be stored.
EditResult checkEdit(const Database &db, std::optional<int> index, const PersonEdit &edit,
                     std::vector<std::int64_t> &values)
{
    const bool creating = !index.has_value();
    const std::span<const PersonBox> boxes = personBoxes(edit.screen);
    if (edit.boxes.size() != qsizetype(boxes.size()))
        return EditResult::refused(QStringLiteral("The screen does not match the record."));
    std::optional<ConstPersonRecord> shown;
    if (!creating) {
        shown = person(db, *index);
        if (!shown)
            return EditResult::refused(
                QStringLiteral("The person shown is no longer in the database."));
    }

    // Every text is checked before anything is written, in the order the
    // fields are stored, so the message names the first bad box and a typing
    // error never leaves a half-written person behind.
    values.assign(boxes.size(), 0);
    const std::array<qsizetype, 3> shownParts =
        creating ? std::array<qsizetype, 3>{} : partOffsets(db, *shown);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const PersonBox &box = boxes[i];
        if (!creating && shownParts[std::size_t(box.part)] < 0)
            continue; // no record to store it in: the box is not written
        const QString &text = edit.boxes[qsizetype(i)];
        if (box.kind == PersonBox::Day || box.kind == PersonBox::Month) {
            const std::optional<std::int32_t> v = parseInteger(text);
            if (!v)
                return EditResult::refused(notAnIntegerMessage(text), int(i));
            values[i] = *v;
            continue;
        }
        const NumberCheck check = checkNumber(text, box.field);
        if (!check.stored)
            return EditResult::refused(check.message, int(i));
        values[i] = *check.stored;
        if (box.kind == PersonBox::Year) {
            const std::size_t day = i - 2;
            if (!isRealDate(values[day], values[day + 1], values[i])
                && (creating
                    || !storedDateShown(db.image(DataFile::Staff),
                                        shownParts[std::size_t(box.part)] + box.field.offset,
                                        edit.boxes, day))) {
                return EditResult::refused(
                    notADateMessage(edit.boxes[qsizetype(day)], edit.boxes[qsizetype(day) + 1],
                                    text, QString::fromUtf8(box.field.caption)),
                    int(values[day + 1] < 1 || values[day + 1] > 12 ? day + 1 : day));
            }
        }
    }
    if (edit.changed.history) {
        if (const std::optional<QString> problem = historyProblem(edit.history))
            return EditResult::refused(*problem, HistoryBox);
    }
    return EditResult::passed();
}

} // namespace

EditResult personEditRefusal(const Database &db, std::optional<int> person, const PersonEdit &edit)
{
    std::vector<std::int64_t> values;
    return checkEdit(db, person, edit, values);
}

EditResult applyPersonEdit(Database &db, const QList<QByteArray> &clubNames,
                           std::optional<int> index, const PersonEdit &edit)
{
    const bool creating = !index.has_value();
    const std::span<const PersonBox> boxes = personBoxes(edit.screen);
    std::vector<std::int64_t> values;
    if (EditResult checked = checkEdit(db, index, edit, values); !checked.ok())
        return checked;
    std::optional<PersonRecord> shown;
    if (!creating)
        shown = person(db, *index);

    const bool player = edit.screen == RoleScreen::Player;
    PersonEditFlags flags = edit.changed;
    // The lines to replace are those written under the names and club the
    // record had until now, not under the names this confirm is storing.
    MiscIdentity stored;
    if (creating) {
        index = createPerson(db, player ? NewPersonKind::NewPlayer : NewPersonKind::NewStaff);
        if (!index) {
            return EditResult::refused(
                player ? QStringLiteral("The new player could not be added: the "
                                        "player tables are not consistent.")
                       : QStringLiteral("The new staff member could not be added: "
                                        "the staff tables are not consistent."));
        }
        flags.nationality = true;
        // His names are written for the first time: the zeros of the new
        // record name no entry he leaves, whose count would be taken again.
        flags.firstName = flags.secondName = flags.commonName = true;
        PersonRecord fresh = *person(db, *index);
        fresh.setFirstName(-1);
        fresh.setSecondName(-1);
        fresh.setCommonName(-1);
    } else {
        stored = {{FirstNameText(db, shown->firstName()), CommonNameText(db, shown->commonName()),
                   SecondNameText(db, shown->secondName())},
                  edit.shownClub >= 0 ? ClubLongName(db, edit.shownClub) : QByteArray()};
    }
    PersonRecord p = *person(db, *index);

    // A nationality the list has no item for (a damaged record) is kept.
    const std::int32_t oldNation = p.nationality();
    const std::int32_t nation = edit.nationItem >= 0 ? edit.nationItem - 1
                                : creating           ? std::int32_t(-2)
                                                     : oldNation;
    const NameTarget target = NameTarget::person(*index);
    if (flags.firstName)
        FindOrAddName(db, NameTable::First, nation, edit.firstName, target);
    if (flags.secondName)
        FindOrAddName(db, NameTable::Second, nation, edit.secondName, target);
    if (flags.commonName)
        FindOrAddName(db, NameTable::Common, nation, edit.commonName, target);
    if (flags.misc) {
        const MiscNames typed{edit.firstName, edit.commonName, edit.secondName};
        if (player)
            SavePlayerMiscEntries(db, *index, stored, typed, edit.playerMisc, clubNames);
        else
            SaveStaffMiscEntries(db, *index, stored, typed, edit.staffMisc);
    }

    DataImage &image = db.image(DataFile::Staff);
    const std::array<qsizetype, 3> parts = partOffsets(db, p);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const PersonBox &box = boxes[i];
        const qsizetype at = parts[std::size_t(box.part)];
        if (at < 0)
            continue;
        if (box.kind == PersonBox::Number) {
            writeNumber(image, at, box.field, values[i]);
        } else if (box.kind == PersonBox::Day) {
            // A date whose boxes still read what is stored keeps its bytes: a
            // damaged date would not come back the same through the conversion.
            if (!creating) {
                QList<QString> shownDate(3);
                showDate(shownDate, 0, readRecordDate(image, at + box.field.offset));
                if (shownDate == edit.boxes.mid(qsizetype(i), 3))
                    continue;
            }
            writeRecordDate(
                image, at + box.field.offset,
                encodeRecordDate(int(values[i]), int(values[i + 1]), int(values[i + 2])));
        }
    }
    p.setNationality(nation);
    if (edit.secondNationItem >= 0) {
        const std::int32_t second = edit.secondNationItem - 1;
        p.setSecondNationality(second < 0 ? PersonNone::Nation : second);
    }
    if (edit.jobItem >= 0)
        p.setJob(edit.jobItem);
    if (edit.classItem >= 0)
        p.setClassification(edit.classItem);
    if (player) {
        if (edit.playsInItem >= 0)
            p.setPlaysIn(edit.playsInItem);
    } else {
        if (edit.nationalTeamItem == 0)
            p.setNationalTeam(PersonNone::Club);
        else if (edit.nationalTeamItem > 0)
            p.setNationalTeam(std::int32_t(db.clubCount() + edit.nationalTeamItem - 1));
        if (edit.nationalJobItem >= 0)
            p.setNationalJob(edit.nationalJobItem);
        if (std::optional<StaffAttributes> a = staffAttributesOf(db, p);
            a && edit.formationItem >= 0)
            a->setFormation(edit.formationItem + 1);
    }

    if (flags.nationality) {
        RecountNationPersons(db, oldNation);
        if (nation != oldNation)
            RecountNationPersons(db, nation);
    }
    // Cannot fail: every row was checked above.
    if (player && flags.history)
        saveHistory(db, *index, edit.history, clubNames);
    return EditResult::accepted(*index);
}

QList<PerfectValue> perfectValues(RoleScreen screen)
{
    QList<PerfectValue> values;
    const std::uint8_t on = screen == RoleScreen::Player ? OnPlayer : OnStaff;
    int box = 0;
    for (const FieldRow &f : PersonFieldRows) {
        if (!(f.screens & on))
            continue;
        if (f.perfect != 0)
            values.append({box, f.perfect});
        box += f.boxCount();
    }
    return values;
}

} // namespace kx3
