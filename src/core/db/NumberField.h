#pragma once

#include "core/db/DataImage.h"
#include "core/db/RecordView.h"

#include <QString>

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>

namespace kx3 {

/// Storage type of a number field, as its record layout declares it.
enum class NumberType : std::uint8_t { U8, I16, U16, I32 };

constexpr int numberWidth(NumberType type)
{
    return type == NumberType::U8 ? 1 : type == NumberType::I32 ? 4 : 2;
}

constexpr std::int64_t numberMin(NumberType type)
{
    switch (type) {
    case NumberType::U8:
    case NumberType::U16: return 0;
    case NumberType::I16: return std::numeric_limits<std::int16_t>::min();
    case NumberType::I32: return std::numeric_limits<std::int32_t>::min();
    }
    return 0;
}

constexpr std::int64_t numberMax(NumberType type)
{
    switch (type) {
    case NumberType::U8: return std::numeric_limits<std::uint8_t>::max();
    case NumberType::U16: return std::numeric_limits<std::uint16_t>::max();
    case NumberType::I16: return std::numeric_limits<std::int16_t>::max();
    case NumberType::I32: return std::numeric_limits<std::int32_t>::max();
    }
    return 0;
}

template <typename T>
constexpr NumberType numberTypeOf()
{
    if constexpr (std::is_same_v<T, std::uint8_t>)
        return NumberType::U8;
    else if constexpr (std::is_same_v<T, std::int16_t>)
        return NumberType::I16;
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        return NumberType::U16;
    else {
        static_assert(std::is_same_v<T, std::int32_t>, "no number type for this field");
        return NumberType::I32;
    }
}

/// A number a screen shows in a box: where the record stores it, how, the
/// caption it is known by, and the factor between the typed and the stored
/// value (stored = typed x scale).
struct NumberField
{
    int offset = 0;
    NumberType type = NumberType::U8;
    const char *caption = "";
    int scale = 1;
    /// The range caption the screen shows beside the box, "[ Values are 0 -
    /// max ]", when not negative: advice a confirm asks about and the
    /// integrity check notes, never a limit (the game's files may go beyond).
    int advisedMax = -1;
    /// The lowest value the advice takes: below 0 where the game gives
    /// negative values a meaning of their own (-1 and -2 potential).
    int advisedLowest = 0;
};

/// The same fields under a range caption "[ Values are 0 - max ]".
template <std::size_t N>
constexpr std::array<NumberField, N> advised(std::array<NumberField, N> fields, int max)
{
    for (NumberField &f : fields)
        f.advisedMax = max;
    return fields;
}

/// The same fields where the one at `index` also takes the game's special
/// values from `lowest` to -1.
template <std::size_t N>
constexpr std::array<NumberField, N> withSpecialValues(std::array<NumberField, N> fields,
                                                       std::size_t index, int lowest)
{
    fields[index].advisedLowest = lowest;
    return fields;
}

/// "Marking 25 is outside 0 - 20" for a stored value outside the field's
/// advised range; empty inside it or without one.
QString outsideAdvice(const NumberField &field, std::int64_t stored);
/// Whether outsideAdvice would say anything; costs no text, for whole-table checks.
bool isOutsideAdvice(const NumberField &field, std::int64_t stored);

/// The number field of a layout descriptor, so that offsets and widths are
/// written once, in the layout.
template <typename T>
constexpr NumberField numberField(Field<T> field, const char *caption, int scale = 1)
{
    return {field.offset, numberTypeOf<T>(), caption, scale};
}

/// One number field per element of an array field, captioned in order.
template <typename T, std::size_t N>
constexpr std::array<NumberField, N> numberFields(ArrayField<T> array,
                                                  const std::array<const char *, N> &captions)
{
    std::array<NumberField, N> fields{};
    for (std::size_t i = 0; i < N; ++i)
        fields[i] = numberField(array.at(int(i)), captions[i]);
    return fields;
}

/// The stored value of `field` in the record at `recordOffset` (u8 and u16
/// unsigned, the others signed), before any scaling.
std::int64_t readNumber(const DataImage &image, qsizetype recordOffset, const NumberField &field);

/// Stores a value already checked to fit (see checkNumber).
bool writeNumber(DataImage &image, qsizetype recordOffset, const NumberField &field,
                 std::int64_t stored);

/// "'<text>' is not a valid integer value": a typed text that is no number.
QString notAnIntegerMessage(const QString &text);

/// The number a typed text stands for: decimal, optionally signed, within
/// 32 bits; the career history reads its numbers the same way.
std::optional<std::int32_t> parseInteger(const QString &text);

/// What a typed text stores into `field`, or why it cannot be stored.
struct NumberCheck
{
    std::optional<std::int64_t> stored; ///< the value to store (typed x scale)
    QString message;                    ///< empty when `stored` holds a value
};

/// Checks a typed text against the field it is stored in: it must be a number
/// and fit the field's type once scaled. A range caption on a screen is advice
/// and is not checked here.
NumberCheck checkNumber(const QString &text, const NumberField &field);

} // namespace kx3
