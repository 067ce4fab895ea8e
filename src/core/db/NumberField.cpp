#include "core/db/NumberField.h"

#include <algorithm>

namespace kx3 {

std::int64_t readNumber(const DataImage &image, qsizetype recordOffset, const NumberField &field)
{
    const qsizetype at = recordOffset + field.offset;
    switch (field.type) {
    case NumberType::U8: return image.u8(at);
    case NumberType::I16: return image.i16(at);
    case NumberType::U16: return image.u16(at);
    case NumberType::I32: return image.i32(at);
    }
    return 0;
}

bool writeNumber(DataImage &image, qsizetype recordOffset, const NumberField &field,
                 std::int64_t stored)
{
    Q_ASSERT(stored >= numberMin(field.type) && stored <= numberMax(field.type));
    const qsizetype at = recordOffset + field.offset;
    switch (field.type) {
    case NumberType::U8: return image.setU8(at, std::uint8_t(stored));
    case NumberType::I16: return image.setI16(at, std::int16_t(stored));
    case NumberType::U16: return image.setU16(at, std::uint16_t(stored));
    case NumberType::I32: return image.setI32(at, std::int32_t(stored));
    }
    return false;
}

QString notAnIntegerMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

std::optional<std::int32_t> parseInteger(const QString &text)
{
    // The career history converts its texts as bytes; boxes go the same way so
    // that both accept exactly the same numbers.
    bool ok = false;
    const int value = text.toLatin1().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    // A character outside Latin-1 became '?' above, which no number holds.
    return std::int32_t(value);
}

NumberCheck checkNumber(const QString &text, const NumberField &field)
{
    const std::optional<std::int32_t> typed = parseInteger(text);
    if (!typed)
        return {std::nullopt, notAnIntegerMessage(text)};
    const std::int64_t stored = std::int64_t(*typed) * field.scale;
    const std::int64_t low = numberMin(field.type);
    const std::int64_t high = numberMax(field.type);
    if (stored >= low && stored <= high)
        return {stored, QString()};
    // Storing it would keep only its low bytes: another number than the one typed.
    const std::int64_t scale = field.scale > 0 ? field.scale : 1;
    return {std::nullopt,
            QStringLiteral("'%1' cannot be stored as %2: it must be between %3 and %4.")
                .arg(text, QString::fromUtf8(field.caption))
                .arg(low / scale) // truncation is the ceiling for a negative bound
                .arg(high / scale)};
}

bool isOutsideAdvice(const NumberField &field, std::int64_t stored)
{
    if (field.advisedMax < 0)
        return false;
    const std::int64_t value = stored / (field.scale > 0 ? field.scale : 1);
    return value < std::min(field.advisedLowest, 0) || value > field.advisedMax;
}

QString outsideAdvice(const NumberField &field, std::int64_t stored)
{
    if (!isOutsideAdvice(field, stored))
        return {};
    const std::int64_t value = stored / (field.scale > 0 ? field.scale : 1);
    return QStringLiteral("%1 %2 is outside 0 - %3")
        .arg(QString::fromUtf8(field.caption))
        .arg(value)
        .arg(field.advisedMax);
}

} // namespace kx3
