#pragma once

#include "core/clubs/ClubRecord.h"
#include "core/db/Database.h"
#include "core/people/PersonRecord.h"
#include "core/records/IntegrityCheck.h"

#include <QStringList>
#include <QTest>

#include <functional>

/// Fails the test with every problem listed when the database is not sound.
#define KX3_VERIFY_SOUND(...)                                                                     \
    do {                                                                                          \
        const QStringList kx3Problems = kx3::checkIntegrity(__VA_ARGS__);                         \
        QVERIFY2(kx3Problems.isEmpty(), qPrintable(kx3Problems.join(QLatin1Char('\n'))));         \
    } while (false)

namespace kx3::test {

/// First person for which `pred` holds, or -1.
inline int findPerson(Database &db, const std::function<bool(const PersonRecord &)> &pred)
{
    for (int i = 0; i < personCount(db); ++i) {
        if (pred(*person(db, i)))
            return i;
    }
    return -1;
}

/// First position slot of record `clubIndex` holding `value` (-1 finds an empty
/// slot) within [first, first + count), or -1.
inline int findSlot(Database &db, int clubIndex, std::int32_t value, int first = 0,
                    int count = ClubSlots::Count)
{
    const std::optional<ClubRecord> c = club(db, clubIndex);
    for (int s = first; c && s < first + count; ++s) {
        if (c->positionSlot(s) == value)
            return s;
    }
    return -1;
}

} // namespace kx3::test
