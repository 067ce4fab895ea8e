#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdint>

namespace kx3 {

class DataImage;

/// An 8-byte date of a person or official record.
struct RecordDate
{
    /// Day of the year counted from 0 (1 January = 0).
    std::uint16_t dayOfYear = 0;
    std::uint16_t year = 0;
    /// 1 when the day count includes 29 February (days from 1 March on are one higher).
    std::uint32_t leapFlag = 0;

    friend bool operator==(const RecordDate &, const RecordDate &) = default;
};

/// Day of year that asks ConvertDate to encode day and month instead of decoding.
inline constexpr std::uint16_t EncodeDateRequest = 0xFFFF;

/// The game's date conversion, one operation with two directions.
///
/// With `dayOfYear` == EncodeDateRequest it encodes `month` and `day` into
/// `dayOfYear` and `leapFlag` (flag 1 only for 29 February; the year is not
/// looked at). Otherwise it decodes `dayOfYear` and `leapFlag` into `month` and
/// `day`, leaving both as passed in when the day lies beyond the end of the year.
/// Day and month are used as typed; the day of year keeps its low 16 bits.
void ConvertDate(std::uint16_t &dayOfYear, std::uint32_t &leapFlag, int &month, int &day);

/// A record date for a typed day, month and year (year cut to 16 bits).
RecordDate encodeRecordDate(int day, int month, int year);

/// Day and month of a record date; both keep their values when the date lies
/// beyond the end of its year.
void decodeRecordDate(const RecordDate &date, int &day, int &month);

/// Whether day/month/year names a day of the calendar (Gregorian leap years,
/// year 0 included as the encoding can store it).
bool isRealDate(std::int64_t day, std::int64_t month, std::int64_t year);

/// "'31/2/1999' is not a date (Date Of Birth)", of the three typed texts.
QString notADateMessage(const QString &day, const QString &month, const QString &year,
                        const QString &caption);

RecordDate readRecordDate(const DataImage &image, qsizetype offset);
bool writeRecordDate(DataImage &image, qsizetype offset, const RecordDate &date);

} // namespace kx3
