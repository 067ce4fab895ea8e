#pragma once

#include <QByteArray>
#include <QtEndian>

#include <bit>
#include <cstdint>
#include <optional>
#include <type_traits>

namespace kx3::LittleEndian {

// The one byte-order codec of the core. DataImage reads and writes every field
// through it; the passes that visit every record of a big table (a deletion
// renumbers a hundred thousand persons) call it inline on bytes they own.

/// The value stored least significant byte first in the sizeof(T) bytes at `p`,
/// whatever the host's byte order; a double is read as its 64 bits. The caller
/// has checked that the bytes exist.
template <typename T>
inline T decode(const char *p)
{
    if constexpr (std::is_floating_point_v<T>) {
        static_assert(sizeof(T) == sizeof(std::uint64_t));
        return std::bit_cast<T>(decode<std::uint64_t>(p));
    } else {
        // One unaligned load (plus a swap on a big-endian host), where a loop
        // over the bytes would stay a loop in the whole-table passes.
        return qFromLittleEndian<T>(p);
    }
}

/// Stores `value` at `p` the way decode reads it.
template <typename T>
inline void encode(char *p, T value)
{
    if constexpr (std::is_floating_point_v<T>) {
        static_assert(sizeof(T) == sizeof(std::uint64_t));
        encode(p, std::bit_cast<std::uint64_t>(value));
    } else {
        qToLittleEndian<T>(value, p);
    }
}

/// True when [offset, offset + width) lies inside `size` bytes.
constexpr bool fits(qsizetype size, qsizetype offset, qsizetype width)
{
    return offset >= 0 && width >= 0 && offset <= size && width <= size - offset;
}

/// The value at `offset`, or nothing when it does not lie wholly inside `bytes`.
template <typename T>
inline std::optional<T> read(const QByteArray &bytes, qsizetype offset)
{
    if (!fits(bytes.size(), offset, qsizetype(sizeof(T))))
        return std::nullopt;
    return decode<T>(bytes.constData() + offset);
}

/// Stores `value` at `offset`; false, with nothing changed, when it does not
/// fit. Only bytes shared with another array are ever copied, once.
template <typename T>
inline bool write(QByteArray &bytes, qsizetype offset, T value)
{
    if (!fits(bytes.size(), offset, qsizetype(sizeof(T))))
        return false;
    encode(bytes.data() + offset, value);
    return true;
}

/// The whole-table passes' shorthands: a value outside reads as 0, a write
/// outside changes nothing.
inline std::int32_t i32(const QByteArray &bytes, qsizetype offset)
{
    return read<std::int32_t>(bytes, offset).value_or(0);
}
inline void setI32(QByteArray &bytes, qsizetype offset, std::int32_t value)
{
    write(bytes, offset, value);
}

} // namespace kx3::LittleEndian
