#include "core/world/OfficialEdit.h"

#include "core/db/Database.h"
#include "core/layout/OfficialRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/NameTables.h"
#include "core/records/CreateRecords.h"

#include <algorithm>

namespace kx3 {

namespace {

constexpr auto Boxes = editBoxesOf<OfficialFieldRows>();
static_assert(Boxes.size() == OfficialBoxCount);

enum : std::size_t {
    BirthDayBox,
    CurrentAbilityBox = 3,
    PotentialAbilityBox,
    CurrentReputationBox,
    FirstCommonBox,
};

const QByteArray FirstNamePlaceholder = QByteArrayLiteral("<first name>");
const QByteArray SecondNamePlaceholder = QByteArrayLiteral("<second name>");

template <typename Record>
OfficialValues readOfficialValues(const Record &o)
{
    OfficialValues v;
    v.dateOfBirth = o.dateOfBirth();
    v.nation = o.nation();
    v.city = o.city();
    v.currentAbility = o.currentAbility();
    v.potentialAbility = o.potentialAbility();
    v.currentReputation = o.currentReputation();
    for (std::size_t r = 0; r < v.ratings.size(); ++r)
        v.ratings[r] = o.commonRating(int(r));
    return v;
}

} // namespace

std::span<const EditBox> officialBoxes()
{
    return Boxes;
}

std::optional<OfficialEdit> loadOfficialEdit(const Database &db, const Lookups &lookups, int index)
{
    const std::optional<ConstOfficialRecord> found = official(db, index);
    if (!found)
        return std::nullopt;
    const ConstOfficialRecord &o = *found;
    OfficialEdit e;
    e.firstName = FirstNameText(db, o.firstName());
    e.secondName = SecondNameText(db, o.secondName());
    e.boxes = boxTexts(db.image(DataFile::Officials), o.offset(), Boxes);
    // Only -1 is "<none>" here: a value below shows no item and is kept.
    e.nationItem = codeItem(o.nation(), int(lookups.nations().size()), 1);
    e.cityItem = pickListItem(lookups.cities(), o.city());
    return e;
}

OfficialEdit newOfficialEdit()
{
    OfficialEdit e;
    e.firstName = FirstNamePlaceholder;
    e.secondName = SecondNamePlaceholder;
    e.boxes = newBoxTexts(RecordKind::Official);
    e.nationItem = 0;
    e.cityItem = 0;
    e.firstNameChanged = e.secondNameChanged = true;
    return e;
}

EditResult applyOfficialEdit(Database &db, const Lookups &lookups, std::optional<int> index,
                             const OfficialEdit &edit)
{
    std::optional<OfficialRecord> shown;
    if (index) {
        shown = official(db, *index);
        if (!shown) {
            return EditResult::refused(
                QStringLiteral("The official shown is no longer in the database."));
        }
    }
    const CheckedBoxes boxes =
        shown ? checkBoxes(Boxes, edit.boxes, &db.image(DataFile::Officials), shown->offset())
              : checkBoxes(Boxes, edit.boxes);
    if (!boxes.ok())
        return EditResult::refused(boxes.message, boxes.box);

    OfficialValues values = shown ? readOfficialValues(*shown) : OfficialValues{};
    const std::int32_t storedNation = values.nation;
    values.firstName = edit.firstName;
    values.secondName = edit.secondName;
    values.dateOfBirth = boxes.date(BirthDayBox);
    values.nation = referenceValue(edit.nationItem, values.nation, -1);
    values.city = pickListValue(lookups.cities(), edit.cityItem, values.city);
    values.currentAbility = int(boxes.integer(CurrentAbilityBox));
    values.potentialAbility = int(boxes.integer(PotentialAbilityBox));
    values.currentReputation = int(boxes.integer(CurrentReputationBox));
    for (std::size_t r = 0; r < values.ratings.size(); ++r)
        values.ratings[r] = int(boxes.integer(FirstCommonBox + r));

    if (!shown) {
        const int created = appendOfficial(db, values);
        return EditResult::accepted(created);
    }
    // A name is kept under the nation of its holder, so a new nation moves
    // both names to entries of that nation.
    const bool nationChanged = values.nation != storedNation;
    const NameTarget target = NameTarget::official(*index);
    if (edit.firstNameChanged || nationChanged
        || FirstNameText(db, shown->firstName()) != edit.firstName) {
        FindOrAddName(db, NameTable::First, values.nation, edit.firstName, target);
    }
    if (edit.secondNameChanged || nationChanged
        || SecondNameText(db, shown->secondName()) != edit.secondName) {
        FindOrAddName(db, NameTable::Second, values.nation, edit.secondName, target);
    }
    writeOfficialValues(*shown, values);
    return EditResult::accepted(*index);
}

QList<PerfectValue> officialPerfectValues()
{
    QList<PerfectValue> values;
    for (std::size_t i = CurrentAbilityBox; i < FirstCommonBox; ++i)
        values.append({int(i), 200});
    for (std::size_t i = FirstCommonBox; i < OfficialBoxCount; ++i)
        values.append({int(i), 20});
    return values;
}

} // namespace kx3
