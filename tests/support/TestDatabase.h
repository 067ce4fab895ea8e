#pragma once

#include "DatabaseBuilder.h"
#include "core/db/DataImage.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <functional>
#include <vector>

namespace kx3 {
class Database;
}

namespace kx3::test {

/// A generated game installation in a temporary folder, removed with the object.
class TestInstallation
{
public:
    explicit TestInstallation(const BuilderOptions &options = {});

    /// False when the folder or a file could not be written (see errorString()).
    bool isValid() const { return mWritten; }
    QString errorString() const { return mError; }
    /// The installation folder; its database is in path()/Data.
    QString path() const { return mDir.path(); }
    QString filePath(DataFile file) const;
    /// The options used, with every derived count filled in.
    const BuilderOptions &options() const { return mOptions; }

    /// Loads the installation into `db`, with a test warning on failure.
    bool loadInto(Database &db) const;

private:
    QTemporaryDir mDir;
    BuilderOptions mOptions;
    bool mWritten = false;
    QString mError;
};

/// Little-endian bytes of a value, for comparing against raw record bytes.
QByteArray le16(std::uint16_t v);
QByteArray le32(std::uint32_t v);
QByteArray le64(double v);
inline QByteArray u8(int v)
{
    return QByteArray(1, char(v));
}
/// A fixed text field as written: text, zero padding, 0xFF in the last byte.
inline QByteArray fixedText(const QByteArray &text, int width)
{
    return text + QByteArray(width - 1 - text.size(), '\0') + QByteArray(1, char(0xFF));
}

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

/// One field of a record kind: its expected bytes after `write`, and a check
/// that the getter reads the written value back.
template <typename View>
struct FieldProbe
{
    const char *name;
    int offset;
    QByteArray bytes;
    std::function<bool(View &)> write;
    std::function<bool(const View &)> readsBack;
};

/// Runs probeField for every probe and checks that each value reads back.
template <typename View>
void checkFieldProbes(int recordSize, const std::vector<FieldProbe<View>> &probes)
{
    for (const FieldProbe<View> &p : probes) {
        const QString fault = probeField<View>(recordSize, p.offset, p.bytes, p.write);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(p.name, fault)));
        DataImage image(QByteArray(2 * recordSize, '\0'));
        View view(&image, recordSize);
        p.write(view);
        QVERIFY2(p.readsBack(view), p.name);
    }
}

} // namespace kx3::test

/// Setting `value` through set<Name>() of view type V (a `using V = ...;` in scope) must
/// write `bytes` at `offset`, and getter() must read it back; PROBE_AT does the same for
/// element `i` of an array field.
#define PROBE(offset, bytes, Name, getter, value)                                                 \
    kx3::test::FieldProbe<V>(                                                                     \
        #getter, offset, bytes, [=](V &v) { return v.set##Name(value); },                         \
        [=](const V &v) { return v.getter() == value; })
#define PROBE_AT(offset, bytes, Name, getter, i, value)                                           \
    kx3::test::FieldProbe<V>(                                                                     \
        #getter " " #i, offset, bytes, [=](V &v) { return v.set##Name(i, value); },               \
        [=](const V &v) { return v.getter(i) == value; })
