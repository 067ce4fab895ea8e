#pragma once

#include "core/lookup/EditBoxes.h"
#include "core/lookup/EditResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <span>

namespace kx3 {

class Database;
class Lookups;

/// The typed boxes of the nation screen, in the order they are stored: game
/// importance, league standard, season update day, reputation, the FIFA
/// coefficient, then the FIFA and the UEFA coefficients of the years 91 to 96.
inline constexpr std::size_t NationBoxCount = boxCount(NationFieldRows);
std::span<const EditBox> nationBoxes();

/// A nation as its screen holds it. Items are those of the screen's lists;
/// -1 (no item) keeps the stored value, for which the list has no item.
struct NationEdit
{
    // Shown only: nations are named by the game, and a confirm never writes these.
    QByteArray longName;
    QByteArray shortName;
    QByteArray abbreviation; ///< the three stored bytes
    QByteArray nationalityName;
    QString clubCount;   ///< kept by the club editor's recounts
    QString personCount; ///< kept by the person editors' recounts

    /// One text per entry of nationBoxes().
    QList<QString> boxes;
    int continentItem = -1;    ///< item 0 "<unknown>" stores -2
    int regionItem = -1;       ///< item = stored value, here and in the lists below
    int actualRegionItem = -1; ///< ActualRegionNames
    std::array<int, 3> languageItems = {-1, -1, -1};
    int capitalCityItem = -1; ///< items of the city pick list; item 0 stores -2
    int developmentStateItem = -1;
    int groupMembershipItem = -1;
    int nationalStadiumItem = -1; ///< items of the stadium pick list; item 0 stores -2
    /// Home 1, home 2, away 1, away 2, third 1, third 2; item 0 "None" stores -2.
    std::array<int, 6> kitColourItems = {-1, -1, -1, -1, -1, -1};
    /// Items of the nation list; item 0 "<none>" stores -2.
    std::array<int, 3> rivalItems = {-1, -1, -1};

    friend bool operator==(const NationEdit &, const NationEdit &) = default;
};

/// Nation `nation` as its screen shows it; nothing when there is no such nation.
std::optional<NationEdit> loadNationEdit(const Database &db, const Lookups &lookups, int nation);

/// Checks every box of `edit` and only then writes it into nation `nation`,
/// from the continent to the rivals. The names and the club and person counts
/// are never written, and nations are never created. A box whose text still
/// reads what the stored value shows keeps that value exactly (a coefficient
/// with more digits than the box shows stays as it is). A refused edit changes
/// nothing at all. Sets the data-modified flag on success.
EditResult applyNationEdit(Database &db, const Lookups &lookups, int nation,
                           const NationEdit &edit);

} // namespace kx3
