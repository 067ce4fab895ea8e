#include "TestDatabase.h"

#include "clubs/ClubRecord.h"
#include "db/Database.h"
#include "db/MiscEntries.h"
#include "people/CodeLists.h"
#include "people/PersonRecord.h"

#include <QTest>

using namespace kx3;

namespace {

const QByteArray Rovers = "Northgate Rovers FC";
const QByteArray Athletic = "Eastbrook Athletic";

/// Two clubs (short names "Northgate", "Eastbrook") and three persons: 0 at club 0,
/// 1 without a club, 2 with a club index past the clubs.
void fillDatabase(Database &db)
{
    DataImage clubs(QByteArray(2 * RecordSize::Club, '\0'));
    ClubRecord(&clubs, 0).setLongName(Rovers);
    ClubRecord(&clubs, 0).setShortName("Northgate");
    ClubRecord(&clubs, RecordSize::Club).setLongName(Athletic);
    ClubRecord(&clubs, RecordSize::Club).setShortName("Eastbrook");
    db.clubs() = clubs;
    db.image(DataFile::Staff).setBytes(QByteArray(3 * RecordSize::Person, '\0'));
    db.counters().persons = 3;
    person(db, 0)->setClub(0);
    person(db, 1)->setClub(PersonNone::Club);
    person(db, 2)->setClub(7);
}

const QList<QByteArray> ClubNames = {"Northgate", "Eastbrook"};

QList<QByteArray> headerLines()
{
    QList<QByteArray> lines;
    for (int i = 0; i < ProtectedSetupLines; ++i)
        lines.append("\"SETUP\" \"" + QByteArray::number(i) + "\"");
    return lines;
}

MiscIdentity jan()
{
    return {{"Jan", "", "Smit"}, Rovers};
}

QByteArray futureTransfer(const QByteArray &first, const QByteArray &second)
{
    return "\"FUTURE_TRANSFER\" \"" + first + "\" \"\" \"" + second + "\" \"" + Rovers + "\" \"" +
           Athletic + "\" 1 7 1999 250000 1200 3";
}

} // namespace

class tst_MiscEntries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void quotedFields_data();
    void quotedFields();
    void tailValues_data();
    void tailValues();
    void managerConfValue_data();
    void managerConfValue();
    void matching_data();
    void matching();
    void injurySelectionIgnoresCase();
    void loadPlayerEntries();
    void loadIgnoresKeywordsInsideNames();
    void loadStaffEntries();
    void saveKeepsLongerNamesAndHeader();
    void saveWritesLinesInOrder();
    void saveAllNoneWritesNothing();
    void injuryAdjustment_data();
    void injuryAdjustment();
    void staffSaveDeletesEveryKeyword();
    void staffConfidence_data();
    void staffConfidence();
    void renamedPersonLosesOldLines();
    void playerEntriesRoundTrip();
};

void tst_MiscEntries::quotedFields_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("value");

    const QByteArray line = futureTransfer("Jan", "Smit");
    QTest::newRow("keyword") << line << 1 << true << QByteArray("FUTURE_TRANSFER");
    QTest::newRow("first name") << line << 2 << true << QByteArray("Jan");
    QTest::newRow("empty common name") << line << 3 << true << QByteArray();
    QTest::newRow("second name") << line << 4 << true << QByteArray("Smit");
    QTest::newRow("club") << line << 5 << true << Rovers;
    QTest::newRow("target club") << line << 6 << true << Athletic;
    QTest::newRow("past the last") << line << 7 << false << QByteArray();
    QTest::newRow("unclosed") << QByteArray("\"INJURY\" \"Jan") << 2 << false << QByteArray();
    QTest::newRow("no quotes") << QByteArray("plain text") << 1 << false << QByteArray();
    QTest::newRow("field 0") << line << 0 << false << QByteArray();
}

void tst_MiscEntries::quotedFields()
{
    QFETCH(QByteArray, line);
    QFETCH(int, field);
    QFETCH(bool, present);
    QFETCH(QByteArray, value);
    const std::optional<QByteArray> got = miscQuotedField(line, field);
    QCOMPARE(got.has_value(), present);
    if (present)
        QCOMPARE(*got, value);
}

void tst_MiscEntries::tailValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QList<QByteArray>>("values");

    const QByteArray head = "\"INJURY\" \"Jan\" \"\" \"Smit\" \"\" \"FLU\"";
    QTest::newRow("six values") << futureTransfer("Jan", "Smit")
                                << QList<QByteArray>{"1", "7", "1999", "250000", "1200", "3"};
    QTest::newRow("ends at the field") << head << QList<QByteArray>{};
    QTest::newRow("one value") << head + " 5" << QList<QByteArray>{"5"};
    QTest::newRow("empty value kept") << head + " 1  3" << QList<QByteArray>{"1", "", "3"};
    QTest::newRow("two characters skipped") << head + "X5 6" << QList<QByteArray>{"5", "6"};
    QTest::newRow("too few quotes")
        << QByteArray("\"INJURY\" \"Jan\" \"\" \"Smit\" \"\" 5") << QList<QByteArray>{};
}

void tst_MiscEntries::tailValues()
{
    QFETCH(QByteArray, line);
    QFETCH(QList<QByteArray>, values);
    QCOMPARE(miscTailValues(line), values);
}

void tst_MiscEntries::managerConfValue_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("value");

    const QByteArray head = "\"MANAGER_CONF\" \"Jan\" \"\" \"Smit\" \"Northgate Rovers FC\"";
    QTest::newRow("value") << head + " 7500" << true << QByteArray("7500");
    QTest::newRow("up to the blank") << head + " 7500 9" << true << QByteArray("7500");
    QTest::newRow("nothing after") << head << false << QByteArray();
    QTest::newRow("too few quotes")
        << QByteArray("\"MANAGER_CONF\" \"Jan\" 7500") << false << QByteArray();
}

void tst_MiscEntries::managerConfValue()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, present);
    QFETCH(QByteArray, value);
    const std::optional<QByteArray> got = miscManagerConfValue(line);
    QCOMPARE(got.has_value(), present);
    if (present)
        QCOMPARE(*got, value);
}

void tst_MiscEntries::matching_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("common");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QByteArray>("club");
    QTest::addColumn<bool>("matches");

    const QByteArray smit = "\"INT_RETIREMENT\" \"Jan\" \"\" \"Smit\" \"" + Rovers + "\"";
    QTest::newRow("all fields") << smit << QByteArray("Jan") << QByteArray() << QByteArray("Smit")
                                << Rovers << true;
    QTest::newRow("first name is a prefix")
        << QByteArray("\"INT_RETIREMENT\" \"Janssen\" \"\" \"Smit\" \"" + Rovers + "\"")
        << QByteArray("Jan") << QByteArray() << QByteArray("Smit") << Rovers << false;
    QTest::newRow("first name inside another field")
        << QByteArray("\"INT_RETIREMENT\" \"Piet\" \"\" \"Jan\" \"" + Rovers + "\"")
        << QByteArray("Jan") << QByteArray() << QByteArray() << QByteArray() << false;
    QTest::newRow("second name is a prefix")
        << QByteArray("\"INT_RETIREMENT\" \"Jan\" \"\" \"Smits\" \"" + Rovers + "\"")
        << QByteArray("Jan") << QByteArray() << QByteArray("Smit") << Rovers << false;
    QTest::newRow("club differs") << smit << QByteArray("Jan") << QByteArray()
                                  << QByteArray("Smit") << Athletic << false;
    QTest::newRow("club is part of the field")
        << smit << QByteArray("Jan") << QByteArray() << QByteArray("Smit") << QByteArray("Rovers")
        << false;
    QTest::newRow("no club: names alone")
        << smit << QByteArray("Jan") << QByteArray() << QByteArray("Smit") << QByteArray() << true;
    QTest::newRow("common name compared")
        << QByteArray("\"INT_RETIREMENT\" \"Jan\" \"Jantje\" \"Smit\" \"\"") << QByteArray("Jan")
        << QByteArray("Jantje") << QByteArray("Smit") << QByteArray() << true;
    QTest::newRow("common name differs")
        << QByteArray("\"INT_RETIREMENT\" \"Jan\" \"Jantjes\" \"Smit\" \"\"") << QByteArray("Jan")
        << QByteArray("Jantje") << QByteArray("Smit") << QByteArray() << false;
    QTest::newRow("case matters") << smit << QByteArray("jan") << QByteArray()
                                  << QByteArray("Smit") << QByteArray() << false;
    QTest::newRow("known by common name alone")
        << QByteArray("\"INT_RETIREMENT\" \"\" \"Tiago\" \"\" \"\"") << QByteArray()
        << QByteArray("Tiago") << QByteArray() << QByteArray() << true;
    QTest::newRow("empty first name is a whole field too")
        << QByteArray("\"INT_RETIREMENT\" \"Rui\" \"Tiago\" \"\" \"\"") << QByteArray()
        << QByteArray("Tiago") << QByteArray() << QByteArray() << false;
    QTest::newRow("nameless person")
        << QByteArray("\"INT_RETIREMENT\" \"\" \"\" \"\" \"\"") << QByteArray() << QByteArray()
        << QByteArray() << QByteArray() << false;
    QTest::newRow("too few quotes")
        << QByteArray("\"INT_RETIREMENT\" \"Jan\" \"\" \"Smit") << QByteArray("Jan")
        << QByteArray() << QByteArray("Smit") << QByteArray() << false;
}

void tst_MiscEntries::matching()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, common);
    QFETCH(QByteArray, second);
    QFETCH(QByteArray, club);
    QFETCH(bool, matches);
    QCOMPARE(MiscEntryMatches(line, {{first, common, second}, club}), matches);
}

void tst_MiscEntries::injurySelectionIgnoresCase()
{
    QCOMPARE(injuryIndex("BACK_STRAIN"), 0);
    QCOMPARE(injuryIndex("virus"), int(InjuryNames.size()) - 1);
    QCOMPARE(injuryIndex("Broken_Leg_2"), 10);
    QCOMPARE(injuryIndex("BROKEN_LEG"), -1);
    QCOMPARE(preInjuryItem("<NONE>"), 0);
    QCOMPARE(preInjuryItem("flu"), injuryIndex("FLU") + 1);
    QCOMPARE(preInjuryItem(""), -1);
}

void tst_MiscEntries::loadPlayerEntries()
{
    const QByteArray id = " \"Jan\" \"\" \"Smit\" \"" + Rovers + "\"";
    QList<QByteArray> lines = headerLines();
    // An entry among the first lines is read like any other.
    lines[3] = "\"INT_RETIREMENT\"" + id;
    lines << futureTransfer("Jan", "Smit") << "\"LOAN\"" + id + " \"Eastbrook\" 1 8 1999 30 5 2000"
          << "\"INJURY\"" + id + " \"broken_arm\" 12"
          << "\"INJURY\"" + id + " \"FLU\""
          << "\"LOAN\" \"Janssen\" \"\" \"Smit\" \"" + Rovers + "\" \"Other\" 9 9 9 9 9 9"
          << "\"FUTURE_TRANSFER\"" + id + " \"Short\" 5";

    const PlayerMiscEntries e = LoadPlayerMiscEntries(lines, jan());
    QCOMPARE(e.tClub, QByteArray("Short"));
    // Values a later line lacks keep what the earlier line set.
    QCOMPARE(e.tDate1, QByteArray("5"));
    QCOMPARE(e.tDate2, QByteArray("7"));
    QCOMPARE(e.tCLen, QByteArray("3"));
    QCOMPARE(e.lClub, QByteArray("Eastbrook"));
    QCOMPARE((QList<QByteArray>{e.lSt1, e.lSt2, e.lSt3, e.lEn1, e.lEn2, e.lEn3}),
             (QList<QByteArray>{"1", "8", "1999", "30", "5", "2000"}));
    QCOMPARE(e.preInj, injuryIndex("FLU") + 1);
    QCOMPARE(e.piAdjust, QByteArray("12"));
    QVERIFY(e.intRet);

    QCOMPARE(LoadPlayerMiscEntries(lines, {{"Piet", "", "Smit"}, Rovers}), PlayerMiscEntries());
    lines << "\"INJURY\"" + id + " \"SNIFFLES\"";
    QCOMPARE(LoadPlayerMiscEntries(lines, jan()).preInj, -1);
}

void tst_MiscEntries::loadIgnoresKeywordsInsideNames()
{
    const MiscIdentity loaner{{"Jan", "", "LOANER"}, "INJURY Town"};
    const QList<QByteArray> lines = {
        "\"FUTURE_TRANSFER\" \"Jan\" \"\" \"LOANER\" \"INJURY Town\" \"Eastbrook\""
        " 1 2 3 4 5 6",
        "\"MANAGER_CONF\" \"Jan\" \"\" \"LOANER\" \"INJURY Town\" 40",
    };
    const PlayerMiscEntries e = LoadPlayerMiscEntries(lines, loaner);
    QCOMPARE(e.tClub, QByteArray("Eastbrook"));
    QCOMPARE(e.lClub, QByteArray("<none>"));
    QCOMPARE(e.lSt1, QByteArray("1"));
    QCOMPARE(e.preInj, 0);
    QCOMPARE(e.piAdjust, QByteArray("0"));
    QVERIFY(!e.intRet);
}

void tst_MiscEntries::loadStaffEntries()
{
    const QByteArray id = " \"Jan\" \"\" \"Smit\" \"" + Rovers + "\"";
    const QList<QByteArray> lines = {
        "\"MANAGER_CONF\"" + id + " 9000",
        "\"MANAGER_CONF\"" + id,
        "\"INT_RETIREMENT\"" + id,
        "\"MANAGER_CONF\" \"Jan\" \"\" \"Smit\" \"Eastbrook Athletic\" 10",
    };
    const StaffMiscEntries e = LoadStaffMiscEntries(lines, jan());
    QCOMPARE(e.mConf, QByteArray("9000"));
    QVERIFY(e.sIntRet);
    QCOMPARE(LoadStaffMiscEntries({}, jan()), StaffMiscEntries());
}

void tst_MiscEntries::saveKeepsLongerNamesAndHeader()
{
    Database db;
    fillDatabase(db);
    QList<QByteArray> lines = headerLines();
    lines[5] = futureTransfer("Jan", "Smit");
    const QByteArray janssen1 = futureTransfer("Janssen", "Smit");
    const QByteArray janssen2 = "\"INT_RETIREMENT\" \"Jan\" \"\" \"Smitsen\" \"" + Rovers + "\"";
    lines << janssen1 << futureTransfer("Jan", "Smit") << janssen2
          << "\"INT_RETIREMENT\" \"Jan\" \"\" \"Smit\" \"" + Rovers + "\"";
    db.setupLines() = lines;

    SavePlayerMiscEntries(db, 0, jan(), jan().names, PlayerMiscEntries(), ClubNames);
    QList<QByteArray> want = lines.mid(0, ProtectedSetupLines);
    want << janssen1 << janssen2;
    QCOMPARE(db.setupLines(), want);
}

void tst_MiscEntries::saveWritesLinesInOrder()
{
    Database db;
    fillDatabase(db);
    db.setupLines() = headerLines();
    PlayerMiscEntries e;
    e.tClub = "eastBROOK";
    e.tDate1 = "3";
    e.tDate2 = "";
    e.tDate3 = "2001";
    e.tFee = "1e6";
    e.tWage = "\xA3"
              "900";
    e.tCLen = "4";
    e.lClub = "Harbour Town";
    e.lEn3 = "2002";
    e.preInj = injuryIndex("TWISTED_KNEE") + 1;
    e.piAdjust = "0";
    e.intRet = true;

    SavePlayerMiscEntries(db, 0, jan(), {"Jan", "Jantje", "Smit"}, e, ClubNames);
    const QByteArray id = " \"Jan\" \"Jantje\" \"Smit\" \"" + Rovers + "\"";
    QList<QByteArray> want = headerLines();
    want << "\"FUTURE_TRANSFER\"" + id + " \"" + Athletic +
                "\" 3  2001 1e6 \xA3"
                "900 4"
         << "\"LOAN\"" + id + " \"Harbour Town\" 1 2 1900 1 2 2002"
         << "\"INT_RETIREMENT\"" + id << "\"INJURY\"" + id + " \"TWISTED_KNEE\"";
    QCOMPARE(db.setupLines(), want);

    // A person without a club, or with a club index past the clubs, gets an empty
    // club field and is found again on his names alone.
    for (int p : {1, 2}) {
        db.setupLines() = headerLines();
        PlayerMiscEntries retired;
        retired.intRet = true;
        SavePlayerMiscEntries(db, p, {{"Ola", "", "Berg"}, {}}, {"Ola", "", "Berg"}, retired,
                              ClubNames);
        QCOMPARE(db.setupLines().constLast(),
                 QByteArray("\"INT_RETIREMENT\" \"Ola\" \"\" \"Berg\" \"\""));
        QCOMPARE(LoadPlayerMiscEntries(db.setupLines(), {{"Ola", "", "Berg"}, {}}), retired);
    }
}

void tst_MiscEntries::saveAllNoneWritesNothing()
{
    Database db;
    fillDatabase(db);
    const QByteArray other = futureTransfer("Piet", "Smit");
    db.setupLines() = headerLines();
    db.setupLines() << futureTransfer("Jan", "Smit") << other
                    << "\"INJURY\" \"Jan\" \"\" \"Smit\" \"" + Rovers + "\" \"FLU\" 3";
    PlayerMiscEntries none;
    none.tClub = "";
    SavePlayerMiscEntries(db, 0, jan(), jan().names, none, ClubNames);
    QCOMPARE(db.setupLines(), headerLines() << other);
}

void tst_MiscEntries::injuryAdjustment_data()
{
    QTest::addColumn<QByteArray>("adjust");
    QTest::addColumn<QByteArray>("tail");
    QTest::newRow("zero: no days") << QByteArray("0") << QByteArray("\"FLU\"");
    QTest::newRow("five days") << QByteArray("5") << QByteArray("\"FLU\" 5");
    QTest::newRow("as typed") << QByteArray("-2x") << QByteArray("\"FLU\" -2x");
}

void tst_MiscEntries::injuryAdjustment()
{
    QFETCH(QByteArray, adjust);
    QFETCH(QByteArray, tail);
    Database db;
    fillDatabase(db);
    db.setupLines() = headerLines();
    PlayerMiscEntries e;
    e.preInj = preInjuryItem("FLU");
    e.piAdjust = adjust;
    SavePlayerMiscEntries(db, 0, jan(), jan().names, e, ClubNames);
    QCOMPARE(db.setupLines().size(), ProtectedSetupLines + 1);
    QCOMPARE(db.setupLines().constLast(),
             "\"INJURY\" \"Jan\" \"\" \"Smit\" \"" + Rovers + "\" " + tail);
    QCOMPARE(LoadPlayerMiscEntries(db.setupLines(), jan()), e);
}

void tst_MiscEntries::staffSaveDeletesEveryKeyword()
{
    Database db;
    fillDatabase(db);
    const QByteArray id = " \"Jan\" \"\" \"Smit\" \"" + Rovers + "\"";
    db.setupLines() = headerLines();
    db.setupLines() << futureTransfer("Jan", "Smit") << "\"LOAN\"" + id + " \"X\" 1 2 3 4 5 6"
                    << "\"INJURY\"" + id + " \"FLU\""
                    << "\"MANAGER_CONF\"" + id + " 10";
    SaveStaffMiscEntries(db, 0, jan(), jan().names, {"7000", true});
    QCOMPARE(db.setupLines(), headerLines() << "\"MANAGER_CONF\"" + id + " 7000"
                                            << "\"INT_RETIREMENT\"" + id);
}

void tst_MiscEntries::staffConfidence_data()
{
    QTest::addColumn<QByteArray>("confidence");
    QTest::addColumn<bool>("written");
    QTest::newRow("zero") << QByteArray("0") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("leading zero") << QByteArray("00") << true;
    QTest::newRow("value") << QByteArray("10000") << true;
}

void tst_MiscEntries::staffConfidence()
{
    QFETCH(QByteArray, confidence);
    QFETCH(bool, written);
    Database db;
    fillDatabase(db);
    db.setupLines() = headerLines();
    SaveStaffMiscEntries(db, 0, jan(), jan().names, {confidence, false});
    QCOMPARE(db.setupLines().size(), ProtectedSetupLines + (written ? 1 : 0));
    if (written)
        QCOMPARE(LoadStaffMiscEntries(db.setupLines(), jan()).mConf, confidence);
}

void tst_MiscEntries::renamedPersonLosesOldLines()
{
    Database db;
    fillDatabase(db);
    db.setupLines() = headerLines();
    db.setupLines() << futureTransfer("Jan", "Smit");
    PlayerMiscEntries e = LoadPlayerMiscEntries(db.setupLines(), jan());
    SavePlayerMiscEntries(db, 0, jan(), {"Johan", "", "Smit"}, e, ClubNames);
    QCOMPARE(db.setupLines().size(), ProtectedSetupLines + 1);
    QCOMPARE(LoadPlayerMiscEntries(db.setupLines(), jan()), PlayerMiscEntries());
    QCOMPARE(LoadPlayerMiscEntries(db.setupLines(), {{"Johan", "", "Smit"}, Rovers}), e);
}

void tst_MiscEntries::playerEntriesRoundTrip()
{
    Database db;
    fillDatabase(db);
    db.setupLines() = headerLines();
    PlayerMiscEntries e;
    e.tClub = "Harbour Town";
    e.tFee = "\x80\x81";
    e.lClub = "Nowhere";
    e.lSt1 = "31";
    e.preInj = int(InjuryNames.size());
    e.piAdjust = "14";
    // Saving twice must replace, not add.
    SavePlayerMiscEntries(db, 0, jan(), jan().names, e, ClubNames);
    SavePlayerMiscEntries(db, 0, jan(), jan().names, e, ClubNames);
    QCOMPARE(db.setupLines().size(), ProtectedSetupLines + 3);
    QCOMPARE(LoadPlayerMiscEntries(db.setupLines(), jan()), e);
}

QTEST_GUILESS_MAIN(tst_MiscEntries)
#include "tst_MiscEntries.moc"
