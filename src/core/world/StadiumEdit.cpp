#include "core/world/StadiumEdit.h"

#include "core/db/Database.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/Lookups.h"
#include "core/records/CreateRecords.h"

namespace kx3 {

namespace {

constexpr auto Boxes = editBoxesOf<StadiumFieldRows>();
static_assert(Boxes.size() == StadiumBoxCount);

enum : std::size_t { CapacityBox, SeatingBox, ExpansionBox };

const QByteArray NamePlaceholder = QByteArrayLiteral("<stadium name>");

} // namespace

std::span<const EditBox> stadiumBoxes()
{
    return Boxes;
}

std::optional<StadiumEdit> loadStadiumEdit(const Database &db, const Lookups &lookups, int index)
{
    const std::optional<ConstStadiumRecord> found = stadium(db, index);
    if (!found)
        return std::nullopt;
    const ConstStadiumRecord &s = *found;
    StadiumEdit e;
    e.name = s.name();
    e.boxes = boxTexts(db.image(DataFile::Stadium), s.offset(), Boxes);
    e.cityItem = pickListItem(lookups.cities(), s.city());
    e.nearbyItem = pickListItem(lookups.stadiums(), s.nearby());
    e.retractableRoof = s.retractableRoof() == FlagYes;
    e.underSoilHeating = s.underSoilHeating() == FlagYes;
    return e;
}

StadiumEdit newStadiumEdit()
{
    StadiumEdit e;
    e.name = NamePlaceholder;
    e.boxes = newBoxTexts(RecordKind::Stadium);
    e.cityItem = 0;
    e.nearbyItem = 0;
    return e;
}

EditResult applyStadiumEdit(Database &db, Lookups &lookups, std::optional<int> index,
                            const StadiumEdit &edit)
{
    std::optional<StadiumRecord> shown;
    if (index) {
        shown = stadium(db, *index);
        if (!shown) {
            return EditResult::refused(
                QStringLiteral("The stadium shown is no longer in the database."));
        }
    }
    const CheckedBoxes boxes =
        shown ? checkBoxes(Boxes, edit.boxes, &db.image(DataFile::Stadium), shown->offset())
              : checkBoxes(Boxes, edit.boxes);
    if (!boxes.ok())
        return EditResult::refused(boxes.message, boxes.box);

    StadiumValues values;
    if (shown) {
        values.city = shown->city();
        values.nearby = shown->nearby();
    }
    values.name = edit.name;
    values.city = pickListValue(lookups.cities(), edit.cityItem, values.city);
    values.capacity = std::int32_t(boxes.integer(CapacityBox));
    values.seating = std::int32_t(boxes.integer(SeatingBox));
    values.expansion = std::int32_t(boxes.integer(ExpansionBox));
    values.nearby = pickListValue(lookups.stadiums(), edit.nearbyItem, values.nearby);
    values.retractableRoof = edit.retractableRoof;
    values.underSoilHeating = edit.underSoilHeating;

    if (!shown) {
        const int created = appendStadium(db, lookups.stadiums(), values);
        return EditResult::accepted(created);
    }
    writeStadiumValues(*shown, values);
    // The entry takes the name as stored, cut to the field, as a reload would.
    if (!lookups.stadiums().rename(*index, shown->name()))
        lookups.stadiums().add(shown->name(), *index);
    return EditResult::accepted(*index);
}

} // namespace kx3
