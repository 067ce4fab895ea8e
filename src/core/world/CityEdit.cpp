#include "core/world/CityEdit.h"

#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/lookup/Lookups.h"
#include "core/records/CreateRecords.h"

namespace kx3 {

namespace {

constexpr auto Boxes = editBoxesOf<CityFieldRows>();
static_assert(Boxes.size() == CityBoxCount);

enum : std::size_t { LatitudeBox, LongitudeBox, AttractionBox };

const QByteArray NamePlaceholder = QByteArrayLiteral("<city name>");

} // namespace

std::span<const EditBox> cityBoxes()
{
    return Boxes;
}

std::optional<CityEdit> loadCityEdit(const Database &db, const Lookups &lookups, int index)
{
    const std::optional<ConstCityRecord> found = city(db, index);
    if (!found)
        return std::nullopt;
    const ConstCityRecord &c = *found;
    CityEdit e;
    e.name = c.name();
    e.boxes = boxTexts(db.image(DataFile::City), c.offset(), Boxes);
    e.nationItem = referenceItem(c.nation(), int(lookups.nations().size()));
    e.climateItem = referenceItem(c.climate(), int(ClimateItems.size()));
    return e;
}

CityEdit newCityEdit()
{
    CityEdit e;
    e.name = NamePlaceholder;
    e.boxes = newBoxTexts(RecordKind::City);
    e.nationItem = 0;
    e.climateItem = 0;
    return e;
}

EditResult applyCityEdit(Database &db, Lookups &lookups, std::optional<int> index,
                         const CityEdit &edit)
{
    std::optional<CityRecord> shown;
    if (index) {
        shown = city(db, *index);
        if (!shown)
            return EditResult::refused(
                QStringLiteral("The city shown is no longer in the database."));
    }
    const CheckedBoxes boxes =
        shown ? checkBoxes(Boxes, edit.boxes, &db.image(DataFile::City), shown->offset())
              : checkBoxes(Boxes, edit.boxes);
    if (!boxes.ok())
        return EditResult::refused(boxes.message, boxes.box);

    CityValues values;
    if (shown) {
        values.nation = shown->nation();
        values.climate = shown->climate();
    }
    values.name = edit.name;
    values.nation = referenceValue(edit.nationItem, values.nation);
    values.latitude = boxes.real(LatitudeBox);
    values.longitude = boxes.real(LongitudeBox);
    values.attraction = int(boxes.integer(AttractionBox));
    values.climate = referenceValue(edit.climateItem, values.climate);

    if (!shown) {
        const int created = appendCity(db, lookups.cities(), values);
        return EditResult::accepted(created);
    }
    writeCityValues(*shown, values);
    // The entry takes the name as stored, cut to the field, as a reload would.
    if (!lookups.cities().rename(*index, shown->name()))
        lookups.cities().add(shown->name(), *index);
    return EditResult::accepted(*index);
}

} // namespace kx3
