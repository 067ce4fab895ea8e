#pragma once

#include "core/db/LittleEndian.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <utility>

namespace kx3 {

class EditHistory;

/// The whole content of one data file, read and written at byte offsets.
///
/// Every access is bounds-checked: a read outside the image yields 0 (or
/// std::nullopt from the try* variants) and a write outside it changes
/// nothing and returns false. Values are little-endian whatever the host.
class DataImage
{
public:
    DataImage() = default;
    explicit DataImage(QByteArray bytes) : mBytes(std::move(bytes)) {}
    /// A copy is a plain image: only the database's own images report their
    /// changes to its history.
    DataImage(const DataImage &other) : mBytes(other.mBytes) {}
    DataImage &operator=(const DataImage &other)
    {
        setBytes(other.mBytes);
        return *this;
    }

    /// From now on every change is reported to `history` as a change of its
    /// image number `slot`; null stops it.
    void attach(EditHistory *history, int slot)
    {
        mHistory = history;
        mSlot = slot;
    }

    qsizetype size() const { return mBytes.size(); }
    bool isEmpty() const { return mBytes.isEmpty(); }
    const QByteArray &bytes() const { return mBytes; }
    void setBytes(QByteArray bytes)
    {
        if (mHistory)
            replacing();
        mBytes = std::move(bytes);
    }
    /// Moves the bytes out and leaves the image empty, so that a pass over a
    /// whole table can change them in place and give them back with setBytes.
    QByteArray takeBytes()
    {
        if (mHistory)
            replacing();
        return std::exchange(mBytes, QByteArray());
    }
    void clear() { setBytes(QByteArray()); }

    /// True when [offset, offset + length) lies inside the image.
    bool contains(qsizetype offset, qsizetype length) const
    {
        return LittleEndian::fits(mBytes.size(), offset, length);
    }

    /// Number of whole records of the given size from the start of the image.
    qsizetype recordCount(qsizetype recordSize) const
    {
        return recordSize > 0 ? mBytes.size() / recordSize : 0;
    }

    std::optional<std::uint8_t> tryU8(qsizetype offset) const
    {
        return readLe<std::uint8_t>(offset);
    }
    std::optional<std::int16_t> tryI16(qsizetype offset) const
    {
        return readLe<std::int16_t>(offset);
    }
    std::optional<std::uint16_t> tryU16(qsizetype offset) const
    {
        return readLe<std::uint16_t>(offset);
    }
    std::optional<std::int32_t> tryI32(qsizetype offset) const
    {
        return readLe<std::int32_t>(offset);
    }
    std::optional<std::uint32_t> tryU32(qsizetype offset) const
    {
        return readLe<std::uint32_t>(offset);
    }
    std::optional<double> tryF64(qsizetype offset) const { return readLe<double>(offset); }

    std::uint8_t u8(qsizetype offset) const { return tryU8(offset).value_or(0); }
    std::int16_t i16(qsizetype offset) const { return tryI16(offset).value_or(0); }
    std::uint16_t u16(qsizetype offset) const { return tryU16(offset).value_or(0); }
    std::int32_t i32(qsizetype offset) const { return tryI32(offset).value_or(0); }
    std::uint32_t u32(qsizetype offset) const { return tryU32(offset).value_or(0); }
    double f64(qsizetype offset) const { return tryF64(offset).value_or(0.0); }

    bool setU8(qsizetype offset, std::uint8_t value) { return writeLe(offset, value); }
    bool setI16(qsizetype offset, std::int16_t value) { return writeLe(offset, value); }
    bool setU16(qsizetype offset, std::uint16_t value) { return writeLe(offset, value); }
    bool setI32(qsizetype offset, std::int32_t value) { return writeLe(offset, value); }
    bool setU32(qsizetype offset, std::uint32_t value) { return writeLe(offset, value); }
    bool setF64(qsizetype offset, double value) { return writeLe(offset, value); }

    /// A copy of [offset, offset + length), clipped to the image.
    QByteArray read(qsizetype offset, qsizetype length) const;
    /// Overwrites bytes in place; refuses (returns false) when they do not fit.
    bool write(qsizetype offset, const QByteArray &data);
    /// Sets [offset, offset + length) to one byte value; refuses when outside.
    bool fill(qsizetype offset, qsizetype length, char value);

    /// Inserts bytes at offset (0..size), moving the tail up.
    bool insert(qsizetype offset, const QByteArray &data);
    /// Removes [offset, offset + length), moving the tail down.
    bool remove(qsizetype offset, qsizetype length);
    void append(const QByteArray &data) { insert(mBytes.size(), data); }

    /// Text of a field of `capacity` bytes: the bytes before the first zero,
    /// never more than `capacity`; empty when the field lies outside the image.
    QByteArray text(qsizetype offset, qsizetype capacity) const;

    /// Writes a fixed text field of `width` bytes the way the game's own tools
    /// do: zero-filled, the text (cut to width - 1 bytes) copied in, and the
    /// last byte set to 0xFF.
    bool setFixedText(qsizetype offset, qsizetype width, const QByteArray &value);

    /// Writes a zero-padded text field of `width` bytes (text cut to `width`).
    bool setPaddedText(qsizetype offset, qsizetype width, const QByteArray &value);

    friend bool operator==(const DataImage &a, const DataImage &b) { return a.mBytes == b.mBytes; }

private:
    template <typename T>
    std::optional<T> readLe(qsizetype offset) const
    {
        return LittleEndian::read<T>(mBytes, offset);
    }
    template <typename T>
    bool writeLe(qsizetype offset, T value)
    {
        if (mHistory)
            overwriting(offset, qsizetype(sizeof(T)));
        return LittleEndian::write(mBytes, offset, value);
    }
    void overwriting(qsizetype offset, qsizetype length);
    void replacing();

    QByteArray mBytes;
    EditHistory *mHistory = nullptr;
    int mSlot = 0;
};

} // namespace kx3
