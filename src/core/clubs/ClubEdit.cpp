#include "core/clubs/ClubEdit.h"

#include "core/db/Database.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/KitColours.h"
#include "core/layout/NationRecord.h"
#include "core/lookup/Lookups.h"
#include "core/records/CreateRecords.h"

namespace kx3 {

namespace {

constexpr auto Boxes = editBoxesOf<ClubFieldRows>();
static_assert(Boxes.size() == ClubBoxCount);

// Where each box's value lives in ClubValues, in the order of Boxes.
using IntMember = int ClubValues::*;
using I32Member = std::int32_t ClubValues::*;
struct BoxTarget
{
    IntMember asInt = nullptr;
    I32Member asI32 = nullptr;
};
constexpr std::array<BoxTarget, ClubBoxCount> Targets = {{
    {&ClubValues::lastPosition, nullptr},
    {nullptr, &ClubValues::cash},
    {nullptr, &ClubValues::averageAttendance},
    {nullptr, &ClubValues::minimumAttendance},
    {nullptr, &ClubValues::maximumAttendance},
    {&ClubValues::trainingFacility, nullptr},
    {&ClubValues::reputation, nullptr},
}};

const QByteArray LongNamePlaceholder = QByteArrayLiteral("<long name>");
const QByteArray ShortNamePlaceholder = QByteArrayLiteral("<short name>");

/// Item of `value` in a list of `count` items (item = value + 1), or -1.
int itemOf(qint64 value, int count)
{
    const qint64 item = value + 1;
    return item >= 0 && item < count ? int(item) : -1;
}

/// Division lists show every negative value as "<none>".
int divisionItem(std::int32_t value, int count)
{
    return value < 0 ? 0 : itemOf(value, count);
}

/// A stadium that is not in the pick list has no item and is kept.
int stadiumItem(const PickList &stadiums, std::int32_t value)
{
    if (value < 0)
        return 0;
    const int position = stadiums.position(value);
    return position < 0 ? -1 : position + 1;
}

constexpr bool isFlagSet(int byte)
{
    return byte == FlagYes;
}

template <typename Image>
ClubValues readClubValues(const BasicClubRecord<Image> &c)
{
    ClubValues v;
    v.longName = c.longName();
    v.shortName = c.shortName();
    v.nation = c.nation();
    v.division = c.division();
    v.lastDivision = c.lastDivision();
    v.lastPosition = c.lastPosition();
    v.otherDivision = c.otherDivision();
    v.status = c.status();
    v.cash = c.cash();
    v.mainStadium = c.mainStadium();
    v.ownStadium = isFlagSet(c.ownStadium());
    v.reserveStadium = c.reserveStadium();
    v.homeMatchDay = c.homeMatchDay();
    v.averageAttendance = c.averageAttendance();
    v.minimumAttendance = c.minimumAttendance();
    v.maximumAttendance = c.maximumAttendance();
    v.trainingFacility = c.trainingFacility();
    v.reputation = c.reputation();
    v.plc = isFlagSet(c.plc());
    for (int k = 0; k < int(v.kitColours.size()); ++k)
        v.kitColours[std::size_t(k)] = c.kitColour(k);
    return v;
}

/// Stores the value of a division item; no item keeps `value`.
void storeDivision(std::int32_t &value, int item)
{
    if (item == 0)
        value = -2;
    else if (item > 0)
        value = item - 1;
}

void storeStadium(std::int32_t &value, const PickList &stadiums, int item)
{
    if (item >= 0)
        value = stadiums.recordIndex(item);
}

/// Overwrites `v` with what the lists and check marks of `edit` choose.
void applyChoices(ClubValues &v, const ClubEdit &edit, const Lookups &lookups)
{
    v.longName = edit.longName;
    v.shortName = edit.shortName;
    if (edit.nationItem >= 0)
        v.nation = edit.nationItem - 1;
    storeDivision(v.division, edit.divisionItem);
    storeDivision(v.lastDivision, edit.lastDivisionItem);
    storeDivision(v.otherDivision, edit.otherDivisionItem);
    if (edit.statusItem >= 0)
        v.status = edit.statusItem;
    storeStadium(v.mainStadium, lookups.stadiums(), edit.mainStadiumItem);
    v.ownStadium = edit.ownStadium;
    storeStadium(v.reserveStadium, lookups.stadiums(), edit.reserveStadiumItem);
    if (edit.homeMatchDayItem == 0)
        v.homeMatchDay = NoMatchDay;
    else if (edit.homeMatchDayItem > 0)
        v.homeMatchDay = edit.homeMatchDayItem - 1;
    v.plc = edit.plc;
    for (std::size_t k = 0; k < v.kitColours.size(); ++k) {
        if (edit.kitColourItems[k] >= 0)
            v.kitColours[k] = kitColourStored(edit.kitColourItems[k]);
    }
}

} // namespace

std::span<const EditBox> clubBoxes()
{
    return Boxes;
}

std::optional<ClubEdit> loadClubEdit(const Database &db, const Lookups &lookups, int index)
{
    const std::optional<ConstClubRecord> found = club(db, index);
    if (!found)
        return std::nullopt;
    const ConstClubRecord &c = *found;
    ClubEdit e;
    e.longName = c.longName();
    e.shortName = c.shortName();
    e.boxes = boxTexts(db.clubs(), c.offset(), Boxes);
    e.statusItem = c.status() < int(ClubStatusNames.size()) ? c.status() : -1;
    e.nationItem = itemOf(c.nation(), int(lookups.nations().size()));
    const int competitions = int(lookups.competitions().size());
    e.divisionItem = divisionItem(c.division(), competitions);
    e.lastDivisionItem = divisionItem(c.lastDivision(), competitions);
    e.otherDivisionItem = divisionItem(c.otherDivision(), competitions);
    e.mainStadiumItem = stadiumItem(lookups.stadiums(), c.mainStadium());
    e.reserveStadiumItem = stadiumItem(lookups.stadiums(), c.reserveStadium());
    e.homeMatchDayItem =
        c.homeMatchDay() == NoMatchDay ? 0 : itemOf(c.homeMatchDay(), int(MatchDayNames.size()));
    for (std::size_t k = 0; k < e.kitColourItems.size(); ++k)
        e.kitColourItems[k] = kitColourItem(c.kitColour(int(k)));
    e.ownStadium = isFlagSet(c.ownStadium());
    e.plc = isFlagSet(c.plc());
    return e;
}

ClubEdit newClubEdit()
{
    ClubEdit e;
    e.longName = LongNamePlaceholder;
    e.shortName = ShortNamePlaceholder;
    e.boxes = newBoxTexts(RecordKind::Club);
    e.statusItem = 1; // "Professional"
    e.nationItem = e.divisionItem = e.lastDivisionItem = e.otherDivisionItem = 0;
    e.mainStadiumItem = e.reserveStadiumItem = e.homeMatchDayItem = 0;
    e.kitColourItems.fill(0);
    return e;
}

EditResult applyClubEdit(Database &db, Lookups &lookups, std::optional<int> index,
                         const ClubEdit &edit)
{
    std::optional<ClubRecord> shown;
    if (index) {
        shown = club(db, *index);
        if (!shown)
            return EditResult::refused(
                QStringLiteral("The club shown is no longer in the database."));
    }

    // Every box is checked before anything is written; an untouched one keeps
    // its stored value, unrounded.
    const CheckedBoxes boxes = shown ? checkBoxes(Boxes, edit.boxes, &db.clubs(), shown->offset())
                                     : checkBoxes(Boxes, edit.boxes);
    if (!boxes.ok())
        return EditResult::refused(boxes.message, boxes.box);
    ClubValues values = shown ? readClubValues(*shown) : ClubValues{};
    for (std::size_t i = 0; i < ClubBoxCount; ++i) {
        if (Targets[i].asInt)
            values.*Targets[i].asInt = int(boxes.integer(i));
        else
            values.*Targets[i].asI32 = std::int32_t(boxes.integer(i));
    }
    applyChoices(values, edit, lookups);

    if (!shown) {
        const int created = insertClub(db, lookups.clubNames(), values);
        return EditResult::accepted(created);
    }
    const std::int32_t oldNation = shown->nation();
    writeClubValues(*shown, values);
    if (*index < db.clubCount())
        lookups.clubNames().set(*index, shown->shortName());
    if (edit.nationChanged || oldNation != values.nation) {
        RecountNationClubs(db, oldNation);
        if (values.nation != oldNation)
            RecountNationClubs(db, values.nation);
    }
    return EditResult::accepted(*index);
}

} // namespace kx3
