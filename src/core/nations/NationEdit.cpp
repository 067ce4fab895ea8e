#include "core/nations/NationEdit.h"

#include "core/db/Database.h"
#include "core/layout/KitColours.h"
#include "core/layout/NationRecord.h"
#include "core/lookup/Lookups.h"

namespace kx3 {

namespace {

constexpr auto Boxes = editBoxesOf<NationFieldRows>();
static_assert(Boxes.size() == NationBoxCount);

// Positions in Boxes.
enum : std::size_t {
    GameImportanceBox,
    LeagueStandardBox,
    SeasonUpdateDayBox,
    ReputationBox,
    FifaBox,
    FifaYearBox,
    UefaYearBox = FifaYearBox + 6,
};

template <std::size_t N>
constexpr int countOf(const std::array<const char *, N> &)
{
    return int(N);
}

} // namespace

std::span<const EditBox> nationBoxes()
{
    return Boxes;
}

std::optional<NationEdit> loadNationEdit(const Database &db, const Lookups &lookups, int index)
{
    const std::optional<ConstNationRecord> found = nation(db, index);
    if (!found)
        return std::nullopt;
    const ConstNationRecord &n = *found;
    NationEdit e;
    e.longName = n.longName();
    e.shortName = n.shortName();
    e.abbreviation = n.abbreviation();
    e.nationalityName = n.nationalityName();
    e.clubCount = QString::number(n.clubCount());
    e.personCount = QString::number(n.personCount());
    e.boxes = boxTexts(db.image(DataFile::Nation), n.offset(), Boxes);

    e.continentItem = referenceItem(n.continent(), countOf(ContinentItems));
    e.regionItem = codeItem(n.region(), countOf(RegionNames));
    e.actualRegionItem = codeItem(n.actualRegion(), countOf(ActualRegionNames));
    for (int k = 0; k < 3; ++k)
        e.languageItems[std::size_t(k)] = codeItem(n.language(k), countOf(LanguageNames));
    e.capitalCityItem = pickListItem(lookups.cities(), n.capitalCity());
    e.developmentStateItem = codeItem(n.developmentState(), countOf(DevelopmentStateNames));
    e.groupMembershipItem = codeItem(n.groupMembership(), countOf(GroupMembershipNames));
    e.nationalStadiumItem = pickListItem(lookups.stadiums(), n.nationalStadium());
    for (int k = 0; k < 6; ++k)
        e.kitColourItems[std::size_t(k)] = kitColourItem(n.kitColour(k));
    const int nations = int(lookups.nations().size());
    for (int k = 0; k < 3; ++k)
        e.rivalItems[std::size_t(k)] = referenceItem(n.rival(k), nations);
    return e;
}

EditResult applyNationEdit(Database &db, const Lookups &lookups, int index, const NationEdit &edit)
{
    std::optional<NationRecord> found = nation(db, index);
    if (!found)
        return EditResult::refused(
            QStringLiteral("The nation shown is no longer in the database."));
    NationRecord &n = *found;
    const CheckedBoxes boxes =
        checkBoxes(Boxes, edit.boxes, &db.image(DataFile::Nation), n.offset());
    if (!boxes.ok())
        return EditResult::refused(boxes.message, boxes.box);

    // In record order from the continent on; the counters between the league
    // standard and the season update day belong to the recounts.
    n.setContinent(referenceValue(edit.continentItem, n.continent()));
    n.setRegion(codeValue(edit.regionItem, n.region()));
    n.setActualRegion(codeValue(edit.actualRegionItem, n.actualRegion()));
    for (int k = 0; k < 3; ++k)
        n.setLanguage(k, codeValue(edit.languageItems[std::size_t(k)], n.language(k)));
    n.setCapitalCity(pickListValue(lookups.cities(), edit.capitalCityItem, n.capitalCity()));
    n.setDevelopmentState(codeValue(edit.developmentStateItem, n.developmentState()));
    n.setGroupMembership(codeValue(edit.groupMembershipItem, n.groupMembership()));
    n.setNationalStadium(
        pickListValue(lookups.stadiums(), edit.nationalStadiumItem, n.nationalStadium()));
    n.setGameImportance(int(boxes.integer(GameImportanceBox)));
    n.setLeagueStandard(int(boxes.integer(LeagueStandardBox)));
    n.setSeasonUpdateDay(int(boxes.integer(SeasonUpdateDayBox)));
    n.setReputation(int(boxes.integer(ReputationBox)));
    for (int k = 0; k < 6; ++k) {
        const int item = edit.kitColourItems[std::size_t(k)];
        if (item >= 0)
            n.setKitColour(k, kitColourStored(item));
    }
    n.setFifaCoefficient(boxes.real(FifaBox));
    for (int y = 0; y < 6; ++y)
        n.setFifaCoefficientOfYear(y, boxes.real(FifaYearBox + std::size_t(y)));
    for (int y = 0; y < 6; ++y)
        n.setUefaCoefficientOfYear(y, boxes.real(UefaYearBox + std::size_t(y)));
    for (int k = 0; k < 3; ++k)
        n.setRival(k, referenceValue(edit.rivalItems[std::size_t(k)], n.rival(k)));
    return EditResult::accepted(index);
}

} // namespace kx3
