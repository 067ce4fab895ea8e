#include "TestDatabase.h"

#include "core/db/Database.h"
#include "core/db/SetupLines.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/MiscEntries.h"

#include <QTest>

using namespace kx3;

Q_DECLARE_METATYPE(kx3::MiscIdentity)

namespace {

const QByteArray Rovers = "Northgate Rovers FC";
const QByteArray Athletic = "Eastbrook Athletic";

QList<QByteArray> headerLines()
{
    QList<QByteArray> lines;
    for (int i = 0; i < ProtectedSetupLines; ++i)
        lines.append("\"SETUP\" \"" + QByteArray::number(i) + "\"");
    return lines;
}

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
    db.setupLines() = headerLines();
}

const QList<QByteArray> ClubNames = {"Northgate", "Eastbrook"};

MiscIdentity jan()
{
    return {{"Jan", "", "Smit"}, Rovers};
}

/// An entry line: keyword, the four identity fields quoted, then `tail`.
QByteArray entry(const char *keyword, const MiscIdentity &who, const QByteArray &tail = {})
{
    const MiscNames &n = who.names;
    return '"' + QByteArray(keyword) + "\" \"" + n.firstName + "\" \"" + n.commonName + "\" \""
           + n.secondName + "\" \"" + who.clubLongName + '"' + tail;
}

QByteArray misc(const QByteArray &first, const QByteArray &common, const QByteArray &second,
                const QByteArray &club)
{
    return entry("INT_RETIREMENT", {{first, common, second}, club});
}

QByteArray futureTransfer(const QByteArray &first, const QByteArray &second)
{
    return entry("FUTURE_TRANSFER", {{first, "", second}, Rovers},
                 " \"" + Athletic + "\" 1 7 1999 250000 1200 3");
}

} // namespace

class tst_MiscEntries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineFields();
    void matching_data();
    void matching();
    void injurySelectionIgnoresCase();
    void loadPlayerEntries();
    void saveKeepsLongerNamesAndHeader();
    void saveWritesLinesInOrder();
    void saveReplacesThePersonsLines();
    void staffEntries();
    void clearingTheLastEntriesDropsSkippedLines();
};

void tst_MiscEntries::lineFields()
{
    const auto field = [](const QByteArray &line, int n) {
        return miscQuotedField(line, n).value_or("<absent>");
    };
    const QByteArray line = futureTransfer("Jan", "Smit");
    QCOMPARE(field(line, 2), QByteArray("Jan"));
    QCOMPARE(field(line, 3), QByteArray());
    QCOMPARE(field(line, 6), Athletic);
    QCOMPARE(field(line, 7), QByteArray("<absent>"));
    QCOMPARE(field(line, 0), QByteArray("<absent>"));
    QCOMPARE(field("\"INJURY\" \"Jan", 2), QByteArray("<absent>"));

    // Blank-separated values from two characters past the sixth field.
    using List = QList<QByteArray>;
    const QByteArray head = "\"INJURY\" \"Jan\" \"\" \"Smit\" \"\" \"FLU\"";
    QCOMPARE(miscTailValues(line), (List{"1", "7", "1999", "250000", "1200", "3"}));
    QCOMPARE(miscTailValues(head), List{});
    QCOMPARE(miscTailValues(head + " 1  3"), (List{"1", "", "3"}));
    QCOMPARE(miscTailValues(head + "X5 6"), (List{"5", "6"}));
    QCOMPARE(miscTailValues("\"INJURY\" \"Jan\" \"\" \"Smit\" \"\" 5"), List{});

    // MANAGER_CONF: two characters past the tenth quote, up to the next blank.
    const QByteArray conf = "\"MANAGER_CONF\" \"Jan\" \"\" \"Smit\" \"" + Rovers + "\"";
    QCOMPARE(miscManagerConfValue(conf + " 7500 9").value_or("<absent>"), QByteArray("7500"));
    QCOMPARE(miscManagerConfValue(conf).value_or("<absent>"), QByteArray("<absent>"));
    QCOMPARE(miscManagerConfValue("\"MANAGER_CONF\" \"Jan\" 7500").value_or("<absent>"),
             QByteArray("<absent>"));
}

void tst_MiscEntries::matching_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<MiscIdentity>("who");
    QTest::addColumn<bool>("matches");

    const MiscIdentity janSmit = jan();
    const MiscIdentity noClub{{"Jan", "", "Smit"}, {}};
    const MiscIdentity tiago{{"", "Tiago", ""}, {}};
    QTest::newRow("all fields") << misc("Jan", "", "Smit", Rovers) << janSmit << true;
    QTest::newRow("first name is a prefix")
        << misc("Janssen", "", "Smit", Rovers) << janSmit << false;
    QTest::newRow("first name inside another field")
        << misc("Piet", "", "Jan", Rovers) << MiscIdentity{{"Jan", "", ""}, {}} << false;
    QTest::newRow("second name is a prefix")
        << misc("Jan", "", "Smits", Rovers) << janSmit << false;
    QTest::newRow("club is part of the field")
        << misc("Jan", "", "Smit", Rovers) << MiscIdentity{{"Jan", "", "Smit"}, "Rovers"} << false;
    QTest::newRow("no club: names alone") << misc("Jan", "", "Smit", Rovers) << noClub << true;
    QTest::newRow("common name is a prefix")
        << misc("Jan", "Jantjes", "Smit", "") << MiscIdentity{{"Jan", "Jantje", "Smit"}, {}}
        << false;
    QTest::newRow("case matters") << misc("Jan", "", "Smit", Rovers)
                                  << MiscIdentity{{"jan", "", "Smit"}, {}} << false;
    QTest::newRow("known by common name alone") << misc("", "Tiago", "", "") << tiago << true;
    QTest::newRow("empty first name is a whole field too")
        << misc("Rui", "Tiago", "", "") << tiago << false;
    QTest::newRow("nameless person") << misc("", "", "", "") << MiscIdentity{} << false;
    QTest::newRow("too few quotes")
        << QByteArray("\"INT_RETIREMENT\" \"Jan\" \"\" \"Smit") << noClub << false;
}

void tst_MiscEntries::matching()
{
    QFETCH(QByteArray, line);
    QFETCH(MiscIdentity, who);
    QFETCH(bool, matches);
    QCOMPARE(MiscEntryMatches(line, who), matches);
}

void tst_MiscEntries::injurySelectionIgnoresCase()
{
    QCOMPARE(injuryIndex("BACK_STRAIN"), 0);
    QCOMPARE(injuryIndex("virus"), int(InjuryNames.size()) - 1);
    QCOMPARE(injuryIndex("BROKEN_LEG"), -1);
    QCOMPARE(preInjuryItem("<NONE>"), 0);
    QCOMPARE(preInjuryItem("flu"), injuryIndex("FLU") + 1);
    QCOMPARE(preInjuryItem(""), -1);
}

void tst_MiscEntries::loadPlayerEntries()
{
    QList<QByteArray> lines = headerLines();
    // An entry among the first lines is read like any other.
    lines[3] = entry("INT_RETIREMENT", jan());
    lines << futureTransfer("Jan", "Smit")
          << entry("LOAN", jan(), " \"Eastbrook\" 1 8 1999 30 5 2000")
          << entry("INJURY", jan(), " \"broken_arm\" 12") << entry("INJURY", jan(), " \"FLU\"")
          << entry("LOAN", {{"Janssen", "", "Smit"}, Rovers}, " \"Other\" 9 9 9 9 9 9")
          << entry("FUTURE_TRANSFER", jan(), " \"Short\" 5");

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
    lines << entry("INJURY", jan(), " \"SNIFFLES\"");
    QCOMPARE(LoadPlayerMiscEntries(lines, jan()).preInj, -1);

    // The keyword is the line's first field, not a word inside a name or club.
    const MiscIdentity loaner{{"Jan", "", "LOANER"}, "INJURY Town"};
    const PlayerMiscEntries l = LoadPlayerMiscEntries(
        {entry("FUTURE_TRANSFER", loaner, " \"Eastbrook\" 1 2 3 4 5 6"),
         entry("INJURY", loaner, " \"FLU\""), entry("MANAGER_CONF", loaner, " 40")},
        loaner);
    QCOMPARE(l.tClub, QByteArray("Eastbrook"));
    QCOMPARE(l.lClub, QByteArray("<none>"));
    QCOMPARE(l.preInj, preInjuryItem("FLU"));
    QVERIFY(!l.intRet);
}

void tst_MiscEntries::saveKeepsLongerNamesAndHeader()
{
    Database db;
    fillDatabase(db);
    QList<QByteArray> lines = headerLines();
    lines[5] = futureTransfer("Jan", "Smit");
    const QByteArray janssen1 = futureTransfer("Janssen", "Smit");
    const QByteArray janssen2 = misc("Jan", "", "Smitsen", Rovers);
    lines << janssen1 << futureTransfer("Jan", "Smit") << janssen2
          << misc("Jan", "", "Smit", Rovers);
    db.setupLines() = lines;

    SavePlayerMiscEntries(db, 0, jan(), jan().names, PlayerMiscEntries(), ClubNames);
    QCOMPARE(db.setupLines(), lines.mid(0, ProtectedSetupLines) << janssen1 << janssen2);
}

void tst_MiscEntries::saveWritesLinesInOrder()
{
    Database db;
    fillDatabase(db);
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
    e.intRet = true;

    SavePlayerMiscEntries(db, 0, jan(), {"Jan", "Jantje", "Smit"}, e, ClubNames);
    // The typed short name "eastBROOK" is written as that club's long name; the
    // loan club, no club's short name, as typed.
    const MiscIdentity id{{"Jan", "Jantje", "Smit"}, Rovers};
    QCOMPARE(db.setupLines(), headerLines()
                                  << entry("FUTURE_TRANSFER", id,
                                           " \"" + Athletic + "\" 3  2001 1e6 \xA3" + "900 4")
                                  << entry("LOAN", id, " \"Harbour Town\" 1 2 1900 1 2 2002")
                                  << entry("INT_RETIREMENT", id)
                                  << entry("INJURY", id, " \"TWISTED_KNEE\""));

    // A person without a club, or with a club index past the clubs, gets an empty
    // club field and is found again on his names alone.
    for (int p : {1, 2}) {
        db.setupLines() = headerLines();
        PlayerMiscEntries retired;
        retired.intRet = true;
        SavePlayerMiscEntries(db, p, {{"Ola", "", "Berg"}, {}}, {"Ola", "", "Berg"}, retired,
                              ClubNames);
        QCOMPARE(db.setupLines().constLast(), misc("Ola", "", "Berg", ""));
        QCOMPARE(LoadPlayerMiscEntries(db.setupLines(), {{"Ola", "", "Berg"}, {}}), retired);
    }
}

void tst_MiscEntries::saveReplacesThePersonsLines()
{
    Database db;
    fillDatabase(db);
    const QByteArray other = futureTransfer("Piet", "Smit");
    db.setupLines() << futureTransfer("Jan", "Smit") << other
                    << entry("INJURY", jan(), " \"FLU\" 3");
    PlayerMiscEntries e;
    e.tClub = "Harbour Town";
    e.tFee = "\x80\x81";
    e.lClub = "Nowhere";
    e.lSt1 = "31";
    e.preInj = int(InjuryNames.size());
    e.piAdjust = "-2x"; // days are written as typed
    // Saving twice must replace, not add; the second time, with the same
    // lines, nothing moves.
    SavePlayerMiscEntries(db, 0, jan(), jan().names, e, ClubNames);
    db.setupLines().append(other);
    const QList<QByteArray> saved = db.setupLines();
    SavePlayerMiscEntries(db, 0, jan(), jan().names, e, ClubNames);
    QCOMPARE(db.setupLines(), saved);
    db.setupLines().removeLast();
    QCOMPARE(db.setupLines().size(), ProtectedSetupLines + 4);
    QCOMPARE(db.setupLines().at(ProtectedSetupLines), other);
    QCOMPARE(LoadPlayerMiscEntries(db.setupLines(), jan()), e);

    // Renamed on the screen: the lines move to the new names.
    const MiscIdentity johan{{"Johan", "", "Smit"}, Rovers};
    SavePlayerMiscEntries(db, 0, jan(), johan.names, e, ClubNames);
    QCOMPARE(db.setupLines().size(), ProtectedSetupLines + 4);
    QCOMPARE(LoadPlayerMiscEntries(db.setupLines(), jan()), PlayerMiscEntries());
    QCOMPARE(LoadPlayerMiscEntries(db.setupLines(), johan), e);

    // Entries all at "<none>" (or empty) write nothing.
    PlayerMiscEntries none;
    none.tClub = "";
    SavePlayerMiscEntries(db, 0, johan, johan.names, none, ClubNames);
    QCOMPARE(db.setupLines(), headerLines() << other);
}

void tst_MiscEntries::staffEntries()
{
    // The first value counts, a later line without one changes nothing, and a
    // line of another club is not his.
    const char *conf = "MANAGER_CONF";
    const QList<QByteArray> lines = {entry(conf, jan(), " 9000"), entry(conf, jan()),
                                     entry("INT_RETIREMENT", jan()),
                                     entry(conf, {jan().names, Athletic}, " 10")};
    QCOMPARE(LoadStaffMiscEntries(lines, jan()), (StaffMiscEntries{"9000", true}));
    QCOMPARE(LoadStaffMiscEntries({}, jan()), StaffMiscEntries());

    // Saving deletes his lines of every keyword.
    Database db;
    fillDatabase(db);
    db.setupLines() << futureTransfer("Jan", "Smit") << entry("LOAN", jan(), " \"X\" 1 2 3 4 5 6")
                    << entry("INJURY", jan(), " \"FLU\"") << entry(conf, jan(), " 10");
    SaveStaffMiscEntries(db, 0, jan(), jan().names, {"7000", true});
    QCOMPARE(db.setupLines(),
             headerLines() << entry(conf, jan(), " 7000") << entry("INT_RETIREMENT", jan()));

    // "0" and an empty box write no line; "00" is not "0".
    for (const QByteArray &confidence : {QByteArray("0"), QByteArray(), QByteArray("00")}) {
        SaveStaffMiscEntries(db, 0, jan(), jan().names, {confidence, false});
        QCOMPARE(db.setupLines().size(), ProtectedSetupLines + (confidence == "00" ? 1 : 0));
    }
    QCOMPARE(db.setupLines().constLast(), entry(conf, jan(), " 00"));
}

void tst_MiscEntries::clearingTheLastEntriesDropsSkippedLines()
{
    // A load drops the lines without a double quote that end the file; once
    // his entries are cleared, the list must say the same as such a load.
    Database db;
    fillDatabase(db);
    const QByteArray other = futureTransfer("Piet", "Smit");
    db.setupLines() << other << "skipped"
                    << "" << futureTransfer("Jan", "Smit");
    SavePlayerMiscEntries(db, 0, jan(), jan().names, PlayerMiscEntries(), ClubNames);
    QCOMPARE(db.setupLines(), headerLines() << other);
    QCOMPARE(parseSetupLines(serializeSetupLines(db.setupLines())), db.setupLines());

    // Entries written again come after the lines kept, as before.
    db.setupLines() << "skipped";
    SaveStaffMiscEntries(db, 0, jan(), jan().names, {"5", false});
    QCOMPARE(db.setupLines(), headerLines()
                                  << other << "skipped" << entry("MANAGER_CONF", jan(), " 5"));
}

QTEST_GUILESS_MAIN(tst_MiscEntries)
#include "tst_MiscEntries.moc"
