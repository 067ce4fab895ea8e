#include "DataImage.h"

#include "EditHistory.h"

#include <cstring>

namespace kx3 {

void DataImage::overwriting(qsizetype offset, qsizetype length)
{
    if (contains(offset, length))
        mHistory->overwriting(mSlot, mBytes, offset, length);
}

void DataImage::replacing()
{
    mHistory->replacing(mSlot, mBytes);
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
    if (mHistory)
        overwriting(offset, data.size());
    if (!data.isEmpty())
        std::memcpy(mBytes.data() + offset, data.constData(), std::size_t(data.size()));
    return true;
}

bool DataImage::fill(qsizetype offset, qsizetype length, char value)
{
    if (!contains(offset, length))
        return false;
    if (mHistory)
        overwriting(offset, length);
    if (length > 0)
        std::memset(mBytes.data() + offset, value, std::size_t(length));
    return true;
}

bool DataImage::insert(qsizetype offset, const QByteArray &data)
{
    if (offset < 0 || offset > mBytes.size())
        return false;
    if (mHistory)
        mHistory->inserting(mSlot, offset, data.size());
    mBytes.insert(offset, data);
    return true;
}

bool DataImage::remove(qsizetype offset, qsizetype length)
{
    if (!contains(offset, length))
        return false;
    if (mHistory)
        mHistory->removing(mSlot, mBytes, offset, length);
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
    // The fill reports the whole field; the last byte lies inside it.
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
