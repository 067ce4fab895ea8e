#include "RecordDate.h"

#include "DataImage.h"

#include <array>

namespace kx3 {

namespace {

// First day of each month of a common year, counted from 0; the thirteenth
// value is the end of the year.
constexpr std::array<int, 13> MonthStart = {0,   31,  59,  90,  120, 151, 181,
                                            212, 243, 273, 304, 334, 365};

int monthStart(int index, bool leap)
{
    return MonthStart[std::size_t(index)] + (leap && index >= 2 ? 1 : 0);
}

} // namespace

void ConvertDate(std::uint16_t &dayOfYear, std::uint32_t &leapFlag, int &month, int &day)
{
    if (dayOfYear == EncodeDateRequest) {
        leapFlag = (month == 2 && day == 29) ? 1 : 0;
        // Screens pass the typed month unchecked and the table has no start for
        // a month outside 1..13: such a month counts as the nearest one (0 as
        // January, 14 as the end of the year) rather than reading past the table.
        const int m = qBound(1, month, 13);
        // In 64 bits: any typed day keeps its low 16 bits without overflowing.
        dayOfYear = std::uint16_t(std::int64_t(monthStart(m - 1, leapFlag == 1)) + day - 1);
        return;
    }
    const bool leap = leapFlag == 1;
    const int d = dayOfYear;
    for (int m = 1; m <= 12; ++m) {
        if (monthStart(m - 1, leap) <= d && d < monthStart(m, leap)) {
            month = m;
            day = d - monthStart(m - 1, leap) + 1;
            return;
        }
    }
}

RecordDate encodeRecordDate(int day, int month, int year)
{
    RecordDate date;
    date.dayOfYear = EncodeDateRequest;
    ConvertDate(date.dayOfYear, date.leapFlag, month, day);
    date.year = std::uint16_t(year);
    return date;
}

void decodeRecordDate(const RecordDate &date, int &day, int &month)
{
    std::uint16_t dayOfYear = date.dayOfYear;
    std::uint32_t leapFlag = date.leapFlag;
    ConvertDate(dayOfYear, leapFlag, month, day);
}

RecordDate readRecordDate(const DataImage &image, qsizetype offset)
{
    return RecordDate{image.u16(offset), image.u16(offset + 2), image.u32(offset + 4)};
}

bool writeRecordDate(DataImage &image, qsizetype offset, const RecordDate &date)
{
    if (!image.contains(offset, 8))
        return false;
    image.setU16(offset, date.dayOfYear);
    image.setU16(offset + 2, date.year);
    image.setU32(offset + 4, date.leapFlag);
    return true;
}

bool isRealDate(std::int64_t day, std::int64_t month, std::int64_t year)
{
    static constexpr std::array<int, 12> Days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return day <= Days[std::size_t(month - 1)] + (month == 2 && leap ? 1 : 0);
}

QString notADateMessage(const QString &day, const QString &month, const QString &year,
                        const QString &caption)
{
    return QStringLiteral("'%1/%2/%3' is not a date (%4)")
        .arg(day.trimmed(), month.trimmed(), year.trimmed(), caption);
}

} // namespace kx3
