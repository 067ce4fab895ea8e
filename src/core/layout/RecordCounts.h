#pragma once

#include "core/db/RecordRef.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"

namespace kx3 {

/// Number of records of `kind` (clubs: national teams included; misc lines
/// are no records).
inline int recordCount(const Database &db, RecordKind kind)
{
    switch (kind) {
    case RecordKind::Nation: return nationCount(db);
    case RecordKind::City: return cityCount(db);
    case RecordKind::Stadium: return stadiumCount(db);
    case RecordKind::Club: return clubTotal(db);
    case RecordKind::Official: return officialCount(db);
    case RecordKind::Person: return personCount(db);
    case RecordKind::Misc: return 0;
    }
    return 0;
}

} // namespace kx3
