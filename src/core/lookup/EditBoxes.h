#pragma once

#include "core/db/NumberField.h"
#include "core/db/RecordDate.h"
#include "core/db/RecordView.h"
#include "core/fields/FieldTable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kx3 {

class DataImage;
class PickList;

/// One typed box of an editor screen and the field it is stored in: an
/// integer, a floating point number, or the day, month or year of a date.
struct EditBox
{
    enum Kind : std::uint8_t { Integer, Real, Day, Month, Year };
    Kind kind = Integer;
    /// Where and how the value is stored. A Real box is an 8-byte double and
    /// uses only the offset and caption; the three boxes of a date share the
    /// date's offset, and the year's type (u16) is the one a Year box checks.
    NumberField field;
};

template <typename T>
constexpr EditBox integerBox(Field<T> field, const char *caption)
{
    return {EditBox::Integer, numberField(field, caption)};
}

constexpr EditBox realBox(Field<double> field, const char *caption)
{
    return {EditBox::Real, {field.offset, NumberType::U8, caption}};
}

/// Day, month and year of a record date, in that order, under one caption.
constexpr std::array<EditBox, 3> dateBoxes(DateField field, const char *caption)
{
    const NumberField f{field.offset, NumberType::U16, caption};
    return {{{EditBox::Day, f}, {EditBox::Month, f}, {EditBox::Year, f}}};
}

/// The boxes of a kind's screen, one per number of its field rows and three
/// per date, in row order.
template <const auto &Rows>
constexpr auto editBoxesOf()
{
    std::array<EditBox, boxCount(Rows)> boxes{};
    std::size_t at = 0;
    for (const FieldRow &f : Rows) {
        if (f.type == FieldType::Date) {
            for (const EditBox::Kind k : {EditBox::Day, EditBox::Month, EditBox::Year})
                boxes[at++] = {k, f.number};
        } else if (f.type == FieldType::Whole || f.type == FieldType::Real) {
            boxes[at++] = {f.type == FieldType::Whole ? EditBox::Integer : EditBox::Real,
                           f.number};
        }
    }
    return boxes;
}

/// A box "Make Perfect" fills and the value it puts there.
struct PerfectValue
{
    int box; ///< index into the screen's box list
    int value;
};

/// How a stored double reads in its box: 7 significant digits, trailing
/// zeros dropped (51.5, -0.1275).
QString realText(double value);

/// "'<text>' is not a valid floating point value".
QString notARealMessage(const QString &text);

/// The number a typed text stands for, read with the C locale (a point, never
/// a comma, and no group separators); nothing when it is not a finite number.
std::optional<double> parseReal(const QString &text);

/// What a refusal of each box adds below its message: the box's caption, and
/// for a whole number the values its field can hold ("Cash (£): a whole
/// number from -2147483648 to 2147483647").
std::vector<QString> boxLimits(std::span<const EditBox> boxes);

/// What a confirm asks about, box by box: the range the screen shows beside
/// it, and the box its value should not be below (seating below capacity, a
/// contract's end after its start). Advice, never a refusal: the game may
/// take such values and its own files may hold them.
struct BoxAdvice
{
    NumberField field;
    EditBox::Kind kind = EditBox::Integer;
    int notBelow = -1; ///< a box of the same kind (a date's day box), or -1
};

/// The advice of each box of `boxes`.
std::vector<BoxAdvice> boxAdvice(std::span<const EditBox> boxes);

/// The values a confirm should ask about before it stores them ("Marking 25
/// is outside 0 - 20", "Seating 70000 is more than Capacity 64000"): those
/// whose boxes differ from `shown`, every box when `shown` is empty (a new
/// record). Texts that are no number or date are left to the confirm's
/// refusal; a date before 1901 counts as none set.
QStringList rangeQuestions(std::span<const BoxAdvice> advice, const QList<QString> &texts,
                           const QList<QString> &shown);

/// What each box shows for the record at `recordOffset` of `image`.
QList<QString> boxTexts(const DataImage &image, qsizetype recordOffset,
                        std::span<const EditBox> boxes);

/// The typed boxes of a screen converted to the values they store, or the
/// first box that cannot be stored and why.
struct CheckedBoxes
{
    struct Value
    {
        std::int64_t integer = 0;
        double real = 0.0;
        RecordDate date; ///< on the day box of a date
    };
    std::vector<Value> values; ///< one per box
    int box = -1;              ///< the box at fault; -1 also when the texts do not match the boxes
    QString message;           ///< empty when every box converted

    bool ok() const { return message.isEmpty(); }
    std::int64_t integer(std::size_t i) const { return values[i].integer; }
    double real(std::size_t i) const { return values[i].real; }
    /// The date whose day box is `dayBox`.
    RecordDate date(std::size_t dayBox) const { return values[dayBox].date; }
};

/// Converts one text per box, in box order, stopping at the first that cannot
/// be stored: an integer must fit its field, a real must be a finite number,
/// day and month any integer. With a stored record (`stored` not null), a box
/// whose text still reads what the stored value shows keeps that value bit
/// for bit; so do the day and month of a date when both still read the same,
/// which keeps a date the conversion would have numbered differently.
CheckedBoxes checkBoxes(std::span<const EditBox> boxes, const QList<QString> &texts,
                        const DataImage *stored = nullptr, qsizetype recordOffset = 0);

// Choice boxes. An item of -1 is no item: the stored value has none in its
// list, and a confirm keeps it rather than guess one.

/// Item of `code` in a list of `count` items where item = code + shift, or -1.
int codeItem(qint64 code, int count, int shift = 0);
/// Item of a reference in a list with item 0 "<none>" and item = index + 1:
/// every negative index reads as item 0; -1 for an index beyond the list.
int referenceItem(qint64 index, int count);
/// Item of a record index in a box filled from a pick list: 0 for a negative
/// index, entry position + 1, or -1 for an index the list has no entry for.
int pickListItem(const PickList &list, qint64 index);

/// The code a list item stores (item - shift); no item keeps `code`.
int codeValue(int item, int code, int shift = 0);
/// The index a reference item stores: item 0 stores `none`, item k index k - 1;
/// no item keeps `value`.
std::int32_t referenceValue(int item, std::int32_t value, std::int32_t none = -2);
/// The record index behind a pick list item, -2 for item 0; no item keeps `value`.
std::int32_t pickListValue(const PickList &list, int item, std::int32_t value);

} // namespace kx3
