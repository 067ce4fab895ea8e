#pragma once

#include "core/db/DataImage.h"
#include "core/db/RecordDate.h"

#include <QByteArray>

#include <concepts>
#include <cstdint>
#include <optional>
#include <type_traits>

namespace kx3 {

/// One integer or double field of a record: its offset, its width follows from T.
template <typename T>
struct Field
{
    int offset;
    static constexpr int width = int(sizeof(T));
};

/// `count` consecutive fields of one type, e.g. the twelve relationship slots.
template <typename T>
struct ArrayField
{
    int offset;
    int count;
    static constexpr int width = int(sizeof(T));
    constexpr Field<T> at(int i) const { return Field<T>{offset + i * width}; }
    constexpr int end() const { return offset + count * width; }
};

/// A text field of `width` bytes of which at most `capacity` are ever read as text.
struct TextField
{
    int offset;
    int width;
    int capacity;
};

/// An 8-byte record date.
struct DateField
{
    int offset;
    static constexpr int width = 8;
};

/// Bytes the editor carries without interpreting them.
struct BytesField
{
    int offset;
    int width;
};

/// Base of the record views: a record of some kind at a byte offset of an image.
///
/// `Image` is DataImage for a view that reads and writes (RecordView) and
/// const DataImage for one that only reads (ConstRecordView), which is what
/// code holding a const Database gets; the setters exist only on the first.
///
/// A view owns nothing; it is valid as long as the image is not resized in front
/// of it. Views are handed out only for records that lie wholly inside their
/// image, and every access stays bounds-checked by DataImage anyway.
template <typename Image>
class BasicRecordView
{
    static_assert(std::is_same_v<std::remove_const_t<Image>, DataImage>);

public:
    /// True for a view that may change its record.
    static constexpr bool Writable = !std::is_const_v<Image>;

    BasicRecordView(Image *image, qsizetype offset) : mImage(image), mOffset(offset) {}

    Image *image() const { return mImage; }
    qsizetype offset() const { return mOffset; }

    template <typename T>
    T get(Field<T> field) const
    {
        const qsizetype at = mOffset + field.offset;
        if constexpr (std::is_same_v<T, std::uint8_t>)
            return mImage->u8(at);
        else if constexpr (std::is_same_v<T, std::int16_t>)
            return mImage->i16(at);
        else if constexpr (std::is_same_v<T, std::uint16_t>)
            return mImage->u16(at);
        else if constexpr (std::is_same_v<T, std::int32_t>)
            return mImage->i32(at);
        else if constexpr (std::is_same_v<T, std::uint32_t>)
            return mImage->u32(at);
        else
            return mImage->f64(at);
    }

    template <typename T>
    bool set(Field<T> field, T value) requires Writable
    {
        const qsizetype at = mOffset + field.offset;
        if constexpr (std::is_same_v<T, std::uint8_t>)
            return mImage->setU8(at, value);
        else if constexpr (std::is_same_v<T, std::int16_t>)
            return mImage->setI16(at, value);
        else if constexpr (std::is_same_v<T, std::uint16_t>)
            return mImage->setU16(at, value);
        else if constexpr (std::is_same_v<T, std::int32_t>)
            return mImage->setI32(at, value);
        else if constexpr (std::is_same_v<T, std::uint32_t>)
            return mImage->setU32(at, value);
        else
            return mImage->setF64(at, value);
    }

    QByteArray get(TextField field) const
    {
        return mImage->text(mOffset + field.offset, field.capacity);
    }
    /// Zero-filled, text cut to width - 1 bytes, last byte 0xFF.
    bool setFixed(TextField field, const QByteArray &text) requires Writable
    {
        return mImage->setFixedText(mOffset + field.offset, field.width, text);
    }
    /// Zero-filled, text cut to the field's capacity.
    bool setPadded(TextField field, const QByteArray &text) requires Writable
    {
        if (!mImage->contains(mOffset + field.offset, field.width))
            return false;
        mImage->fill(mOffset + field.offset, field.width, 0);
        return mImage->write(mOffset + field.offset, text.left(field.capacity));
    }

    RecordDate get(DateField field) const
    {
        return readRecordDate(*mImage, mOffset + field.offset);
    }
    bool set(DateField field, const RecordDate &date) requires Writable
    {
        return writeRecordDate(*mImage, mOffset + field.offset, date);
    }

    QByteArray get(BytesField field) const
    {
        return mImage->read(mOffset + field.offset, field.width);
    }
    bool set(BytesField field, const QByteArray &bytes) requires Writable
    {
        return bytes.size() == field.width && mImage->write(mOffset + field.offset, bytes);
    }

protected:
    Image *mImage;
    qsizetype mOffset;
};

/// A view that reads and writes its record.
using RecordView = BasicRecordView<DataImage>;

/// The image a view over a database's records gets: read-only when the
/// database is const, so read-only code needs no second accessor.
template <typename Db>
using ImageOf = std::conditional_t<std::is_const_v<Db>, const DataImage, DataImage>;
/// A view that only reads its record.
using ConstRecordView = BasicRecordView<const DataImage>;

/// The view of record `index` of a table of `count` records of `recordSize` bytes
/// starting at `tableOffset`, or nothing when the index or the record lies outside.
/// A const image gives only read-only views.
template <typename View, typename Image>
std::optional<View> recordAt(Image &image, qsizetype tableOffset, qsizetype count,
                             qsizetype recordSize, qsizetype index)
{
    if (index < 0 || index >= count || tableOffset < 0)
        return std::nullopt;
    const qsizetype offset = tableOffset + index * recordSize;
    if (!image.contains(offset, recordSize))
        return std::nullopt;
    return View(&image, offset);
}

/// The same for a table that fills its image: the count is size / record size.
template <typename View, typename Image>
std::optional<View> recordAt(Image &image, qsizetype recordSize, qsizetype index)
{
    return recordAt<View>(image, 0, image.recordCount(recordSize), recordSize, index);
}

} // namespace kx3
