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

/// The typed boxes of the stadium screen, in the order they are stored:
/// capacity, seating and expansion.
inline constexpr std::size_t StadiumBoxCount = boxCount(StadiumFieldRows);
std::span<const EditBox> stadiumBoxes();

/// A stadium as its screen holds it. Items are those of the screen's lists;
/// -1 (no item) keeps the stored value, for which the list has no item.
struct StadiumEdit
{
    QByteArray name;
    /// One text per entry of stadiumBoxes().
    QList<QString> boxes;
    int cityItem = -1;   ///< items of the city pick list; item 0 "<none>" stores -2
    int nearbyItem = -1; ///< items of the stadium pick list; item 0 "<none>" stores -2
    bool retractableRoof = false;
    bool underSoilHeating = false;

    friend bool operator==(const StadiumEdit &, const StadiumEdit &) = default;
};

/// Stadium `stadium` as its screen shows it; nothing when there is no such
/// stadium. A flag shows as checked only when its byte is 255.
std::optional<StadiumEdit> loadStadiumEdit(const Database &db, const Lookups &lookups,
                                           int stadium);

/// What a new stadium's screen starts with: "<stadium name>", "<none>" in both
/// lists, zeros and no facilities.
StadiumEdit newStadiumEdit();

/// Checks every box of `edit` and only then writes it into stadium `stadium`,
/// or appends a new stadium when `stadium` is empty; a new stadium has no
/// nearby stadium, whatever the edit chose. The stadium's entry in the stadium
/// pick list follows its name at once (a new stadium gets one); the record
/// index never changes. A check mark left as shown keeps its stored byte (a 1
/// shows unchecked and stays 1). A refused edit changes nothing at all. Sets
/// the data-modified flag on success.
EditResult applyStadiumEdit(Database &db, Lookups &lookups, std::optional<int> stadium,
                            const StadiumEdit &edit);

} // namespace kx3
