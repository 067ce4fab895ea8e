#pragma once

// The checker behind checkIntegrity(), shared by the sources that hold its
// parts; nothing outside core/records includes it.

#include "core/records/IntegrityCheck.h"

#include "core/db/DataFiles.h"
#include "core/db/Database.h"
#include "core/db/NumberField.h"
#include "core/db/RecordView.h"
#include "core/layout/CityRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/KitColours.h"
#include "core/lookup/PickList.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <span>
#include <utility>

namespace kx3::integrity {

inline constexpr int KitColourCount = int(KitColourItems.size()) - 1;
inline constexpr int ClimateCount = int(ClimateItems.size()) - 1;
inline constexpr int HighestJob = Job::Retired;
inline constexpr int HighestClassification = Classification::YouthPlayer;

/// Valid indices [first, end).
struct Range
{
    qint64 first = 0;
    qint64 end = 0;

    bool contains(qint64 v) const { return v >= first && v < end; }
    QString text() const
    {
        return end > first ? QStringLiteral("%1..%2").arg(first).arg(end - 1)
                           : QStringLiteral("no valid value");
    }
};

/// Names the record a problem is about; formatted only when one is reported.
struct Where
{
    const char *format;
    qint64 first = 0;
    qint64 second = 0;
    bool twoNumbers = false;

    QString text() const
    {
        const QString once = QString::fromLatin1(format).arg(first);
        return twoNumbers ? once.arg(second) : once;
    }
};

inline QString fileName(DataFile file)
{
    return dataFileName(file);
}

class Checker
{
public:
    Checker(const Database &db, const IntegrityOptions &options);

    /// Everything, or only what can be an error: the advised ranges give
    /// notes alone and are a quarter of a whole check's time.
    void run(bool notes = true);
    void checkLookups(const Lookups &lookups);
    IntegrityReport result() const;

private:
    /// The problems of one severity: the first ones listed, all counted.
    struct Found
    {
        QStringList texts;
        int total = 0;
    };

    template <typename Make>
    void report(IntegritySeverity severity, Make &&make)
    {
        Found &found = severity == IntegritySeverity::Error ? mErrors : mNotes;
        ++found.total;
        if (found.texts.size() < std::max(mOptions.limit, 0))
            found.texts.append(make());
    }
    template <typename Make>
    void report(Make &&make)
    {
        report(IntegritySeverity::Error, std::forward<Make>(make));
    }
    /// A reference that may be none (any negative value) or must lie in range.
    void optional(const Where &where, const char *what, qint64 value, Range range,
                  IntegritySeverity severity = IntegritySeverity::Error);
    /// A reference that must lie in range.
    void required(const Where &where, const char *what, qint64 value, Range range,
                  IntegritySeverity severity = IntegritySeverity::Error);
    void ids(const DataImage &image, qint64 tableOffset, qint64 count, int recordSize,
             int idOffset, const QString &table);
    /// A note for each value of the record at `at` outside the range its
    /// screen shows; the game may take them, so they are no error.
    void advised(const Where &where, const DataImage &image, qint64 at,
                 std::span<const NumberField> fields);
    /// A note when the date at `lateAt` is before the one at `earlyAt`, both set.
    void dateOrder(const Where &where, const DataImage &image, qint64 earlyAt, qint64 lateAt,
                   const char *early, const char *late);
    void checkAdvice();

    const DataImage &file(DataFile f) const { return mDb.image(f); }
    qint64 personAt(qint64 i) const { return i * RecordSize::Person; }

    void checkShapes();
    void checkIds();
    void checkPersons();
    void checkClubs();
    void checkSlots();
    void checkNations();
    void checkWorld();
    void checkHistory();
    void checkNameEntries();
    void checkCounts();
    void checkPickList(const PickList &list, DataFile file, int recordSize, TextField name,
                       int count, const char *what);

    const Database &mDb;
    IntegrityOptions mOptions;
    Found mErrors;
    Found mNotes;

    /// False when the staff table counters do not describe staff.dat; nothing
    /// that indexes persons or attribute records is looked at then.
    bool mStaffSound = false;
    qint64 mPersons = 0;
    qint64 mStaffRecords = 0;
    qint64 mPlayerRecords = 0;
    qint64 mClubs = 0;
    qint64 mClubTotal = 0;
    qint64 mNations = 0;
    qint64 mCities = 0;
    qint64 mStadiums = 0;
    qint64 mCompetitions = 0;
    std::array<qint64, 3> mNames{};
};

} // namespace kx3::integrity
