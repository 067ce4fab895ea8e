#include "TestDatabase.h"

#include "core/db/Database.h"
#include "core/people/CareerHistory.h"

#include <QTest>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;

namespace {

/// One history record spelt out byte by byte, independent of the record view.
QByteArray rec(std::int32_t id, std::int32_t person, int year, std::int32_t club, int apps,
               int goals)
{
    return le32(std::uint32_t(id)) + le32(std::uint32_t(person)) + le16(std::uint16_t(year))
           + le32(std::uint32_t(club)) + QByteArray(1, '\0') + QByteArray(1, char(apps))
           + QByteArray(1, char(goals));
}

const QList<QByteArray> ClubNames = {"Northgate", "Eastbrook", "Northgate", "Harbour"};

} // namespace

class tst_CareerHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void seasonLabels();
    void loadShowsPersonsRecordsInFileOrder();
    void saveAppendsRecords();
    void saveRemovesByPositionNotById();
    void badNumberChangesNothing_data();
    void badNumberChangesNothing();
    void partialTrailingRecordStaysBehind();
};

void tst_CareerHistory::seasonLabels()
{
    QCOMPARE(seasonLabel(1998), QByteArray("1998/99"));
    QCOMPARE(seasonLabel(1999), QByteArray("1999/00"));
    QCOMPARE(seasonLabel(2000), QByteArray("2000/01"));
    // Years before 1900 read as 1900.
    QCOMPARE(seasonLabel(1850), QByteArray("1900/01"));
    QCOMPARE(seasonLabel(-5), QByteArray("1900/01"));
}

void tst_CareerHistory::loadShowsPersonsRecordsInFileOrder()
{
    Database db;
    db.image(DataFile::StaffHistory)
        .setBytes(rec(0, 4, 1997, 1, 30, 2) + rec(1, 9, 1998, 0, 1, 1)
                  + rec(2, 4, 1850, -2, 255, 0) + rec(3, 4, 1999, 3, 12, 40)
                  + rec(4, 4, 2000, 4, 0, 0) + rec(5, 4, 2001, -3, 1, 0));
    const QList<HistoryRow> want = {
        {"1997/98", "Eastbrook", "30", "2"}, {"1900/01", "<unknown>", "255", "0"},
        {"1999/00", "Harbour", "12", "40"},  {"2000/01", "<unknown>", "0", "0"},
        {"2001/02", "<unknown>", "1", "0"},
    };
    QCOMPARE(loadHistory(db, 4, ClubNames), want);
    QCOMPARE(loadHistory(db, 5, ClubNames), QList<HistoryRow>());
}

void tst_CareerHistory::saveAppendsRecords()
{
    Database db;
    DataImage &history = db.image(DataFile::StaffHistory);
    history.setBytes(rec(0, 4, 1997, 1, 30, 2) + rec(1, 9, 1998, 0, 1, 1)
                     + rec(2, 4, 1850, 1, 20, 0) + rec(3, 7, 1998, 2, 3, 3));
    QList<HistoryRow> rows = loadHistory(db, 4, ClubNames);
    QCOMPARE(rows.at(1).season, QByteArray("1900/01"));
    rows.append({"2002/03", "Northgate", "300", "-1"});
    rows.append({"1900", "<club short-name>", "0", "0"});
    rows.append({"2003/04", "Harbour", "12", "3"});
    rows.append({"1999/00", "northgate", "1", "0"});
    rows[0].club = "Eastbrook";
    QVERIFY(saveHistory(db, 4, rows, ClubNames));

    // Others keep their order and are renumbered; the person's rows follow in list
    // order; the second "Northgate" is saved as the first, an unknown text as -3.
    const QByteArray want = rec(0, 9, 1998, 0, 1, 1) + rec(1, 7, 1998, 2, 3, 3)
                            + rec(2, 4, 1997, 1, 30, 2) + rec(3, 4, 1900, 1, 20, 0)
                            + rec(4, 4, 2002, 0, 44, 255) + rec(5, 4, 1900, -3, 0, 0)
                            + rec(6, 4, 2003, 3, 12, 3) + rec(7, 4, 1999, -3, 1, 0);
    QCOMPARE(history.bytes(), want);
    QCOMPARE(loadHistory(db, 4, ClubNames).at(2),
             (HistoryRow{"2002/03", "Northgate", "44", "255"}));
}

void tst_CareerHistory::saveRemovesByPositionNotById()
{
    // Ids that disagree with the positions: a removal steered by them would cut
    // other people's records.
    Database db;
    DataImage &history = db.image(DataFile::StaffHistory);
    history.setBytes(rec(5, 1, 1990, 0, 1, 1) + rec(0, 2, 1991, 1, 2, 2) + rec(0, 2, 1992, 1, 3, 3)
                     + rec(1, 3, 1993, 2, 4, 4) + rec(-7, 2, 1994, 3, 5, 5)
                     + rec(99, 3, 1995, 0, 6, 6));
    QVERIFY(saveHistory(db, 2, {{"2001/02", "Harbour", "9", "1"}}, ClubNames));
    QCOMPARE(history.bytes(), rec(0, 1, 1990, 0, 1, 1) + rec(1, 3, 1993, 2, 4, 4)
                                  + rec(2, 3, 1995, 0, 6, 6) + rec(3, 2, 2001, 3, 9, 1));
    // An empty list removes them all.
    QVERIFY(saveHistory(db, 3, {}, ClubNames));
    QCOMPARE(history.bytes(), rec(0, 1, 1990, 0, 1, 1) + rec(1, 2, 2001, 3, 9, 1));
}

void tst_CareerHistory::badNumberChangesNothing_data()
{
    QTest::addColumn<QList<HistoryRow>>("rows");
    QTest::addColumn<QByteArray>("bad");
    const HistoryRow good{"1999/00", "Harbour", "10", "2"};
    QTest::newRow("year") << QList<HistoryRow>{good, {"19x9/00", "Harbour", "1", "1"}}
                          << QByteArray("19x9");
    QTest::newRow("apps") << QList<HistoryRow>{good, {"2000/01", "Harbour", "ten", "1"}}
                          << QByteArray("ten");
    QTest::newRow("empty goals") << QList<HistoryRow>{good, {"2000/01", "Harbour", "1", ""}}
                                 << QByteArray();
    QTest::newRow("first bad wins")
        << QList<HistoryRow>{{"2000/01", "Harbour", "1", "g"}, {"2001/02", "Harbour", "a", "1"}}
        << QByteArray("g");
}

void tst_CareerHistory::badNumberChangesNothing()
{
    QFETCH(QList<HistoryRow>, rows);
    QFETCH(QByteArray, bad);
    Database db;
    const QByteArray before =
        rec(0, 4, 1997, 1, 30, 2) + rec(7, 9, 1998, 0, 1, 1) + rec(2, 4, 1998, 1, 20, 0);
    db.image(DataFile::StaffHistory).setBytes(before);
    QByteArray badText = "untouched";
    QVERIFY(!saveHistory(db, 4, rows, ClubNames, &badText));
    QCOMPARE(badText, bad);
    QCOMPARE(db.image(DataFile::StaffHistory).bytes(), before);
}

void tst_CareerHistory::partialTrailingRecordStaysBehind()
{
    Database db;
    const QByteArray extra = "\x01\x02\x03\x04\x05";
    db.image(DataFile::StaffHistory)
        .setBytes(rec(0, 4, 1997, 1, 30, 2) + rec(1, 9, 1998, 0, 1, 1) + extra);
    QVERIFY(saveHistory(db, 4, {{"1997/98", "Eastbrook", "30", "2"}, {"1998", "x", "1", "0"}},
                        ClubNames));
    QCOMPARE(db.image(DataFile::StaffHistory).bytes(), rec(0, 9, 1998, 0, 1, 1)
                                                           + rec(1, 4, 1997, 1, 30, 2)
                                                           + rec(2, 4, 1998, -3, 1, 0) + extra);
    QCOMPARE(loadHistory(db, 4, ClubNames).size(), 2);
}

QTEST_GUILESS_MAIN(tst_CareerHistory)
#include "tst_CareerHistory.moc"
