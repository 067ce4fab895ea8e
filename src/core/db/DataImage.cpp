#include "DataImage.h"

#include <bit>
#include <cstring>

namespace kx3 {

template <typename T>
std::optional<T> DataImage::readLe(qsizetype offset) const
{
    if (!contains(offset, qsizetype(sizeof(T))))
        return std::nullopt;
    using U = std::make_unsigned_t<T>;
    const auto *p = reinterpret_cast<const unsigned char *>(mBytes.constData() + offset);
    U v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        v = U(v | (U(p[i]) << (8 * i)));
    return static_cast<T>(v);
}

template <typename T>
bool DataImage::writeLe(qsizetype offset, T value)
{
    if (!contains(offset, qsizetype(sizeof(T))))
        return false;
    using U = std::make_unsigned_t<T>;
    auto v = static_cast<U>(value);
    char *p = mBytes.data() + offset;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
    return true;
}

std::optional<std::uint8_t> DataImage::tryU8(qsizetype o) const
{
    return readLe<std::uint8_t>(o);
}
std::optional<std::int16_t> DataImage::tryI16(qsizetype o) const
{
    return readLe<std::int16_t>(o);
}
std::optional<std::uint16_t> DataImage::tryU16(qsizetype o) const
{
    return readLe<std::uint16_t>(o);
}
std::optional<std::int32_t> DataImage::tryI32(qsizetype o) const
{
    return readLe<std::int32_t>(o);
}
std::optional<std::uint32_t> DataImage::tryU32(qsizetype o) const
{
    return readLe<std::uint32_t>(o);
}

std::optional<double> DataImage::tryF64(qsizetype offset) const
{
    auto bits = readLe<std::uint64_t>(offset);
    if (!bits)
        return std::nullopt;
    return std::bit_cast<double>(*bits);
}

bool DataImage::setU8(qsizetype o, std::uint8_t v)
{
    return writeLe(o, v);
}
bool DataImage::setI16(qsizetype o, std::int16_t v)
{
    return writeLe(o, v);
}
bool DataImage::setU16(qsizetype o, std::uint16_t v)
{
    return writeLe(o, v);
}
bool DataImage::setI32(qsizetype o, std::int32_t v)
{
    return writeLe(o, v);
}
bool DataImage::setU32(qsizetype o, std::uint32_t v)
{
    return writeLe(o, v);
}
bool DataImage::setF64(qsizetype o, double v)
{
    return writeLe(o, std::bit_cast<std::uint64_t>(v));
}

QByteArray DataImage::read(qsizetype offset, qsizetype length) const
{
    if (offset < 0 || length <= 0 || offset >= mBytes.size())
        return {};
    return mBytes.mid(offset, qMin(length, mBytes.size() - offset));
}

bool DataImage::write(qsizetype offset, const QByteArray &data)
{
    if (!contains(offset, data.size()))
        return false;
    if (!data.isEmpty())
        std::memcpy(mBytes.data() + offset, data.constData(), std::size_t(data.size()));
    return true;
}

bool DataImage::fill(qsizetype offset, qsizetype length, char value)
{
    if (!contains(offset, length))
        return false;
    if (length > 0)
        std::memset(mBytes.data() + offset, value, std::size_t(length));
    return true;
}

bool DataImage::insert(qsizetype offset, const QByteArray &data)
{
    if (offset < 0 || offset > mBytes.size())
        return false;
    mBytes.insert(offset, data);
    return true;
}

bool DataImage::remove(qsizetype offset, qsizetype length)
{
    if (!contains(offset, length))
        return false;
    mBytes.remove(offset, length);
    return true;
}

QByteArray DataImage::text(qsizetype offset, qsizetype capacity) const
{
    if (!contains(offset, capacity) || capacity <= 0)
        return {};
    const char *p = mBytes.constData() + offset;
    const void *zero = std::memchr(p, 0, std::size_t(capacity));
    const qsizetype len = zero ? static_cast<const char *>(zero) - p : capacity;
    return QByteArray(p, len);
}

bool DataImage::setFixedText(qsizetype offset, qsizetype width, const QByteArray &value)
{
    if (width <= 0 || !contains(offset, width))
        return false;
    fill(offset, width, 0);
    write(offset, value.left(width - 1));
    mBytes[offset + width - 1] = char(0xFF);
    return true;
}

bool DataImage::setPaddedText(qsizetype offset, qsizetype width, const QByteArray &value)
{
    if (width <= 0 || !contains(offset, width))
        return false;
    fill(offset, width, 0);
    write(offset, value.left(width));
    return true;
}

} // namespace kx3
