#include "core/db/DataImage.h"
#include "core/db/RecordDate.h"

#include <QTest>

#include <limits>

using namespace kx3;

class tst_ConvertDate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void everyDayRoundTrips();
    void outOfRangeMonthStaysInsideTheTable_data();
    void outOfRangeMonthStaysInsideTheTable();
    void recordDateBytes();
    void realDates_data();
    void realDates();
};

void tst_ConvertDate::encode_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("dayOfYear");
    QTest::addColumn<int>("leapFlag");
    const int starts[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 1; m <= 12; ++m) {
        QTest::addRow("1/%d", m) << 1 << m << starts[m - 1] << 0;
        QTest::addRow("%d/%d", lengths[m - 1], m)
            << lengths[m - 1] << m << starts[m - 1] + lengths[m - 1] - 1 << 0;
    }
    QTest::newRow("29 February") << 29 << 2 << 59 << 1;
    QTest::newRow("31 December") << 31 << 12 << 364 << 0;
    QTest::newRow("month 13 uses the end of the year") << 1 << 13 << 365 << 0;
    QTest::newRow("day 0 wraps to 16 bits") << 0 << 1 << 65535 << 0;
    QTest::newRow("day 32 of January is unchecked") << 32 << 1 << 31 << 0;
    // Any typed day is taken: the sum may pass 32 bits and still keeps its low 16.
    QTest::newRow("largest day") << std::numeric_limits<int>::max() << 12 << 332 << 0;
    QTest::newRow("smallest day") << std::numeric_limits<int>::min() << 1 << 65535 << 0;
}

void tst_ConvertDate::encode()
{
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, dayOfYear);
    QFETCH(int, leapFlag);
    std::uint16_t d = EncodeDateRequest;
    std::uint32_t flag = 7;
    int m = month;
    int dd = day;
    ConvertDate(d, flag, m, dd);
    QCOMPARE(int(d), dayOfYear);
    QCOMPARE(int(flag), leapFlag);
    QCOMPARE(m, month);
    QCOMPARE(dd, day);
    const RecordDate rd = encodeRecordDate(day, month, 1999);
    QCOMPARE(int(rd.dayOfYear), dayOfYear);
    QCOMPARE(int(rd.leapFlag), leapFlag);
    QCOMPARE(int(rd.year), 1999);
}

void tst_ConvertDate::decode_data()
{
    QTest::addColumn<int>("dayOfYear");
    QTest::addColumn<int>("leapFlag");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::newRow("0") << 0 << 0 << 1 << 1;
    QTest::newRow("30") << 30 << 0 << 31 << 1;
    QTest::newRow("31") << 31 << 0 << 1 << 2;
    QTest::newRow("58") << 58 << 0 << 28 << 2;
    QTest::newRow("59 common is 1 March") << 59 << 0 << 1 << 3;
    QTest::newRow("59 leap is 29 February") << 59 << 1 << 29 << 2;
    QTest::newRow("60 leap is 1 March") << 60 << 1 << 1 << 3;
    QTest::newRow("flag 2 counts as common") << 59 << 2 << 1 << 3;
    QTest::newRow("333") << 333 << 0 << 30 << 11;
    QTest::newRow("334") << 334 << 0 << 1 << 12;
    QTest::newRow("364") << 364 << 0 << 31 << 12;
    QTest::newRow("365 leap is 31 December") << 365 << 1 << 31 << 12;
    // Beyond the end of the year nothing matches: the passed values stay.
    QTest::newRow("365 common keeps month and day") << 365 << 0 << 17 << 9;
    QTest::newRow("366 leap keeps month and day") << 366 << 1 << 17 << 9;
    QTest::newRow("65534 keeps month and day") << 65534 << 0 << 17 << 9;
}

void tst_ConvertDate::decode()
{
    QFETCH(int, dayOfYear);
    QFETCH(int, leapFlag);
    QFETCH(int, day);
    QFETCH(int, month);
    std::uint16_t d = std::uint16_t(dayOfYear);
    std::uint32_t flag = std::uint32_t(leapFlag);
    int m = 9;
    int dd = 17;
    ConvertDate(d, flag, m, dd);
    QCOMPARE(dd, day);
    QCOMPARE(m, month);
    QCOMPARE(int(d), dayOfYear);
    QCOMPARE(int(flag), leapFlag);
}

void tst_ConvertDate::everyDayRoundTrips()
{
    const int lengths[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= lengths[m - 1]; ++d) {
            const RecordDate rd = encodeRecordDate(d, m, 2000);
            int day = 0;
            int month = 0;
            decodeRecordDate(rd, day, month);
            QVERIFY2(
                day == d && month == m,
                qPrintable(
                    QStringLiteral("%1/%2 came back %3/%4").arg(d).arg(m).arg(day).arg(month)));
        }
    }
}

void tst_ConvertDate::outOfRangeMonthStaysInsideTheTable_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("dayOfYear");
    // A month below 1 counts as January, above 13 as the end of the year.
    QTest::newRow("0") << 0 << 4;
    QTest::newRow("-40") << -40 << 4;
    QTest::newRow("14") << 14 << 369;
    QTest::newRow("1000") << 1000 << 369;
}

void tst_ConvertDate::outOfRangeMonthStaysInsideTheTable()
{
    QFETCH(int, month);
    QFETCH(int, dayOfYear);
    const RecordDate rd = encodeRecordDate(5, month, 1990);
    QCOMPARE(int(rd.dayOfYear), dayOfYear);
    QCOMPARE(int(rd.leapFlag), 0);
}

void tst_ConvertDate::recordDateBytes()
{
    DataImage image(QByteArray(12, char(0x5A)));
    QVERIFY(writeRecordDate(image, 2, RecordDate{59, 1972, 1}));
    QCOMPARE(image.bytes(), QByteArray("\x5A\x5A\x3B\x00\xB4\x07\x01\x00\x00\x00\x5A\x5A", 12));
    QCOMPARE(readRecordDate(image, 2), (RecordDate{59, 1972, 1}));
    QVERIFY(!writeRecordDate(image, 5, RecordDate{}));
    QCOMPARE(image.bytes().mid(10), QByteArray("\x5A\x5A", 2));
}

void tst_ConvertDate::realDates_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("real");
    QTest::newRow("31 December") << 31 << 12 << 1999 << true;
    QTest::newRow("29 February of a leap year") << 29 << 2 << 1996 << true;
    QTest::newRow("29 February 2000") << 29 << 2 << 2000 << true;
    QTest::newRow("29 February 1900") << 29 << 2 << 1900 << false;
    QTest::newRow("29 February of a common year") << 29 << 2 << 1999 << false;
    QTest::newRow("31 February") << 31 << 2 << 1999 << false;
    QTest::newRow("31 April") << 31 << 4 << 1999 << false;
    QTest::newRow("day 0") << 0 << 1 << 1958 << false;
    QTest::newRow("month 13") << 1 << 13 << 1958 << false;
    QTest::newRow("month 0") << 1 << 0 << 1958 << false;
    QTest::newRow("negative day") << -1 << 1 << 1958 << false;
}

void tst_ConvertDate::realDates()
{
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(bool, real);
    QCOMPARE(kx3::isRealDate(day, month, year), real);
}

QTEST_GUILESS_MAIN(tst_ConvertDate)
#include "tst_ConvertDate.moc"
