#include "core/db/DataImage.h"
#include "core/db/SetupLines.h"

#include <QTest>

using kx3::DataImage;

class tst_DataImage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void littleEndianWhateverTheHost();
    void outOfBoundsNeverTouchesMemory_data();
    void outOfBoundsNeverTouchesMemory();
    void insertAndRemoveRanges();
    void textFields();
    void setupLines_data();
    void setupLines();
};

void tst_DataImage::littleEndianWhateverTheHost()
{
    DataImage img(QByteArray(16, '\0'));
    QVERIFY(img.setI32(0, -2));
    QCOMPARE(img.bytes().left(4), QByteArray("\xFE\xFF\xFF\xFF", 4));
    QVERIFY(img.setU16(4, 0x1234));
    QCOMPARE(img.bytes().mid(4, 2), QByteArray("\x34\x12", 2));
    QVERIFY(img.setI16(6, -500));
    QCOMPARE(img.i16(6), std::int16_t(-500));
    QCOMPARE(img.u16(6), std::uint16_t(65036));
    QVERIFY(img.setF64(8, 51.4769));
    QCOMPARE(img.f64(8), 51.4769);
    QCOMPARE(img.i32(0), -2);
    QCOMPARE(img.u32(0), 0xFFFFFFFEu);
    QCOMPARE(img.u8(1), std::uint8_t(0xFF));
}

void tst_DataImage::outOfBoundsNeverTouchesMemory_data()
{
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<int>("width");
    QTest::newRow("negative") << qsizetype(-1) << 1;
    QTest::newRow("last byte of a u32") << qsizetype(7) << 4;
    QTest::newRow("just past the end") << qsizetype(8) << 1;
    QTest::newRow("far away") << qsizetype(1) << 8 * 1024 * 1024;
    QTest::newRow("overflowing sum") << std::numeric_limits<qsizetype>::max() << 4;
}

void tst_DataImage::outOfBoundsNeverTouchesMemory()
{
    QFETCH(qsizetype, offset);
    QFETCH(int, width);
    DataImage img(QByteArray(8, '\x55'));
    const QByteArray before = img.bytes();
    QVERIFY(!img.contains(offset, width));
    if (width == 4) {
        QVERIFY(!img.tryI32(offset).has_value());
        QVERIFY(!img.setI32(offset, 7));
        QVERIFY(!img.setF64(offset, 1.0));
    }
    QVERIFY(!img.write(offset, QByteArray(width, 'x')));
    QVERIFY(!img.fill(offset, width, 'x'));
    QVERIFY(!img.remove(offset, width));
    QCOMPARE(img.text(offset, width), QByteArray());
    QCOMPARE(img.bytes(), before);
    QCOMPARE(img.i32(8), 0);
    QVERIFY(!img.setU8(8, 1));
    QVERIFY(!img.insert(9, "x"));
    QCOMPARE(img.bytes(), before);
}

void tst_DataImage::insertAndRemoveRanges()
{
    DataImage img(QByteArray("abcdef"));
    QVERIFY(img.insert(6, "XY"));
    QVERIFY(img.insert(0, "0"));
    QCOMPARE(img.bytes(), QByteArray("0abcdefXY"));
    QVERIFY(img.remove(1, 3));
    QCOMPARE(img.bytes(), QByteArray("0defXY"));
    QVERIFY(img.remove(6, 0));
    img.append("!");
    QCOMPARE(img.bytes(), QByteArray("0defXY!"));
    QCOMPARE(img.read(5, 10), QByteArray("Y!"));
    QCOMPARE(img.recordCount(3), qsizetype(2));
}

void tst_DataImage::textFields()
{
    DataImage img(QByteArray(60, '\x11'));
    // A text as long as the field's text part has no terminator at all.
    const QByteArray longName(51, 'L');
    QVERIFY(img.setFixedText(4, 52, longName + "cut"));
    QCOMPARE(img.text(4, 51), longName);
    QCOMPARE(img.u8(4 + 51), std::uint8_t(0xFF));
    QCOMPARE(img.u8(3), std::uint8_t(0x11));
    QCOMPARE(img.u8(56), std::uint8_t(0x11));

    QVERIFY(img.setFixedText(4, 52, "Ab\x81"));
    QCOMPARE(img.text(4, 51), QByteArray("Ab\x81"));
    QCOMPARE(img.read(7, 48), QByteArray(48, '\0'));
    QCOMPARE(img.u8(55), std::uint8_t(0xFF));

    const std::uint8_t after = img.u8(51);
    QVERIFY(img.setPaddedText(0, 51, QByteArray(51, 'n')));
    QCOMPARE(img.text(0, 51), QByteArray(51, 'n'));
    QCOMPARE(img.u8(51), after);
    QVERIFY(img.setPaddedText(0, 51, "ab"));
    QCOMPARE(img.read(0, 51), QByteArray("ab") + QByteArray(49, '\0'));
    QVERIFY(!img.setFixedText(50, 52, "x"));
}

void tst_DataImage::setupLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("empty") << QByteArray() << QList<QByteArray>() << QByteArray();
    QTest::newRow("crlf round trip")
        << QByteArray("\"a\"\r\n\"b\"\r\n") << QList<QByteArray>{"\"a\"", "\"b\""}
        << QByteArray("\"a\"\r\n\"b\"\r\n");
    QTest::newRow("mixed ends, no final end")
        << QByteArray("\"a\"\rplain\n\"b\"") << QList<QByteArray>{"\"a\"", "plain", "\"b\""}
        << QByteArray("\"a\"\r\nplain\r\n\"b\"\r\n");
    QTest::newRow("tail without quotes dropped")
        << QByteArray("\"a\"\r\n\r\nno quote\r\n\r\n") << QList<QByteArray>{"\"a\""}
        << QByteArray("\"a\"\r\n");
    QTest::newRow("no line has a quote")
        << QByteArray("x\r\ny\r\n") << QList<QByteArray>() << QByteArray();
    QTest::newRow("empty lines inside kept")
        << QByteArray("\"a\"\n\n\"b\"\n") << QList<QByteArray>{"\"a\"", "", "\"b\""}
        << QByteArray("\"a\"\r\n\r\n\"b\"\r\n");
}

void tst_DataImage::setupLines()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QByteArray, saved);
    QCOMPARE(kx3::parseSetupLines(content), lines);
    QCOMPARE(kx3::serializeSetupLines(lines), saved);
}

QTEST_GUILESS_MAIN(tst_DataImage)
#include "tst_DataImage.moc"
