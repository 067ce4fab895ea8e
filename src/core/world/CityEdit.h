#pragma once

#include "core/lookup/EditBoxes.h"
#include "core/lookup/EditResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <span>

namespace kx3 {

class Database;
class Lookups;

/// The typed boxes of the city screen, in the order they are stored:
/// latitude, longitude (floating point) and attraction.
inline constexpr std::size_t CityBoxCount = boxCount(CityFieldRows);
std::span<const EditBox> cityBoxes();

/// A city as its screen holds it. Items are those of the screen's lists; -1
/// (no item) keeps the stored value, for which the list has no item.
struct CityEdit
{
    QByteArray name;
    /// One text per entry of cityBoxes().
    QList<QString> boxes;
    int nationItem = -1;  ///< nation list; item 0 "<none>" stores -2
    int climateItem = -1; ///< ClimateItems; item 0 "<Unknown>" stores -2

    friend bool operator==(const CityEdit &, const CityEdit &) = default;
};

/// City `city` as its screen shows it; nothing when there is no such city.
std::optional<CityEdit> loadCityEdit(const Database &db, const Lookups &lookups, int city);

/// What a new city's screen starts with: "<city name>", "<none>", zeros and
/// "<Unknown>".
CityEdit newCityEdit();

/// Checks every box of `edit` and only then writes it into city `city`, or
/// appends a new city when `city` is empty. The city's entry in the city pick
/// list follows its name at once (a new city gets one), so every city choice
/// can be refilled from the list; the record index never changes. A refused
/// edit changes nothing at all. Sets the data-modified flag on success.
EditResult applyCityEdit(Database &db, Lookups &lookups, std::optional<int> city,
                         const CityEdit &edit);

} // namespace kx3
