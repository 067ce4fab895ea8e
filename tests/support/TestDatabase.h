#pragma once

#include "db/DataImage.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

namespace kx3::test {

/// Little-endian bytes of a value, for comparing against raw record bytes.
QByteArray le16(std::uint16_t v);
QByteArray le32(std::uint32_t v);
QByteArray le64(double v);

/// Writes one field through a record view and checks the raw bytes.
///
/// The view sits on the second record of a two-record image filled with 0xA5,
/// so a field written at the wrong offset, with the wrong width or relative to
/// the wrong base shows up as a byte change outside [offset, offset + size).
/// Returns an empty string on success, otherwise what went wrong.
template <typename View>
QString probeField(int recordSize, int fieldOffset, const QByteArray &expected,
                   const std::function<bool(View &)> &write)
{
    const QByteArray background(2 * recordSize, char(0xA5));
    DataImage image(background);
    View view(&image, recordSize);
    if (!write(view))
        return QStringLiteral("the setter refused");
    QByteArray want = background;
    want.replace(recordSize + fieldOffset, expected.size(), expected);
    if (want.size() != background.size())
        return QStringLiteral("the expected field runs past the record");
    for (qsizetype i = 0; i < want.size(); ++i) {
        if (image.bytes().at(i) != want.at(i)) {
            return QStringLiteral("byte +%1 of the record is %2, expected %3")
                .arg(i - recordSize)
                .arg(quint8(image.bytes().at(i)), 2, 16, QLatin1Char('0'))
                .arg(quint8(want.at(i)), 2, 16, QLatin1Char('0'));
        }
    }
    return {};
}

} // namespace kx3::test
