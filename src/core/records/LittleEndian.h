#pragma once

#include "core/db/DataImage.h"

#include <QByteArray>

#include <cstdint>

namespace kx3::LittleEndian {

// Inline field access for the passes that visit every record of a big table
// (a deletion renumbers a hundred thousand persons). Bounds-checked like
// DataImage: a read outside yields 0, a write outside changes nothing.

inline bool fits(const QByteArray &bytes, qint64 offset, qint64 width)
{
    return offset >= 0 && offset <= bytes.size() - width;
}

inline std::uint8_t u8(const QByteArray &bytes, qint64 offset)
{
    return fits(bytes, offset, 1) ? std::uint8_t(bytes.constData()[offset]) : 0;
}

inline std::int32_t i32(const QByteArray &bytes, qint64 offset)
{
    if (!fits(bytes, offset, 4))
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData() + offset);
    return std::int32_t(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8)
                        | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24));
}

/// Writes into `bytes`, which the caller owns alone (see takeBytes), so no
/// write ever copies the whole array.
inline void setI32(QByteArray &bytes, qint64 offset, std::int32_t value)
{
    if (!fits(bytes, offset, 4))
        return;
    auto *p = reinterpret_cast<unsigned char *>(bytes.data() + offset);
    const auto v = std::uint32_t(value);
    p[0] = static_cast<unsigned char>(v & 0xFF);
    p[1] = static_cast<unsigned char>((v >> 8) & 0xFF);
    p[2] = static_cast<unsigned char>((v >> 16) & 0xFF);
    p[3] = static_cast<unsigned char>((v >> 24) & 0xFF);
}

/// Moves an image's bytes out, leaving the image empty, so that they can be
/// changed in place and given back with DataImage::setBytes.
inline QByteArray takeBytes(DataImage &image)
{
    QByteArray bytes = image.bytes();
    image.clear();
    return bytes;
}

} // namespace kx3::LittleEndian
