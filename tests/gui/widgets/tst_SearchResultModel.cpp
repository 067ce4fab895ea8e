#include "core/lookup/CollationKeys.h"
#include "gui/widgets/SearchResultModel.h"

#include "core/db/Cp1252.h"

#include <QCollator>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using kx3::SearchResultModel;
using kx3::SearchRows;

class TestSearchResultModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sortsByCollation_data();
    void sortsByCollation();
    void equalNamesKeepSearchOrder();
    void agreesWithTheLocalesCollator_data();
    void agreesWithTheLocalesCollator();
    void columns();
    void replaceAndClear();

private:
    static QStringList names(const SearchResultModel &model)
    {
        QStringList list;
        for (int row = 0; row < model.rowCount(); ++row)
            list << model.nameAt(row);
        return list;
    }
};

void TestSearchResultModel::sortsByCollation_data()
{
    QTest::addColumn<QList<QByteArray>>("input");
    QTest::addColumn<QStringList>("expected");

    // Letters before case and accents, then lower case before upper case.
    QTest::newRow("case") << QList<QByteArray>{"bob", "Alice", "alice", "adam"}
                          << QStringList{"adam", "alice", "Alice", "bob"};
    QTest::newRow("accents sort with their letter")
        << QList<QByteArray>{"Zoe", "\xC9mile", "Eric", "Fred"}
        << QStringList{QStringLiteral(u"Émile"), "Eric", "Fred", "Zoe"};
    QTest::newRow("blank and digits") << QList<QByteArray>{"Ab C", "Ab", "Ab10", "Ab9"}
                                      << QStringList{"Ab", "Ab C", "Ab10", "Ab9"};
}

void TestSearchResultModel::sortsByCollation()
{
    QFETCH(QList<QByteArray>, input);
    QFETCH(QStringList, expected);

    SearchResultModel model;
    model.setSortLocale(QLocale(QLocale::English, QLocale::UnitedStates), Qt::CaseSensitive);
    SearchRows rows;
    for (qsizetype i = 0; i < input.size(); ++i)
        rows.push_back({input.at(i), i * 157});
    model.setRows(rows);
    QCOMPARE(names(model), expected);
    // Every offset travels with its own name.
    for (int row = 0; row < model.rowCount(); ++row) {
        const qint64 offset = model.offsetAt(row);
        QCOMPARE(model.nameAt(row).toLatin1(), input.at(offset / 157));
    }
}

void TestSearchResultModel::equalNamesKeepSearchOrder()
{
    SearchResultModel model;
    model.setSortLocale(QLocale(QLocale::English, QLocale::UnitedStates), Qt::CaseSensitive);
    model.setRows({{"Smith", 900}, {"Jones", 5}, {"Smith", 100}, {"Smith", 500}});
    QCOMPARE(names(model), (QStringList{"Jones", "Smith", "Smith", "Smith"}));
    QCOMPARE(model.offsetAt(1), 900);
    QCOMPARE(model.offsetAt(2), 100);
    QCOMPARE(model.offsetAt(3), 500);
}

void TestSearchResultModel::agreesWithTheLocalesCollator_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<Qt::CaseSensitivity>("caseSensitivity");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("English") << english << Qt::CaseSensitive;
    QTest::newRow("English, any case") << english << Qt::CaseInsensitive;
    QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden) << Qt::CaseSensitive;
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << Qt::CaseSensitive;
    QTest::newRow("Serbian, Latin")
        << QLocale(QLocale::Serbian, QLocale::LatinScript, QLocale::Serbia) << Qt::CaseSensitive;
    QTest::newRow("C") << QLocale::c() << Qt::CaseSensitive;
    QTest::newRow("C, any case") << QLocale::c() << Qt::CaseInsensitive;
}

// The list sorts on collation keys of its own making; whatever the locale,
// it must come out as the locale's collator orders the names, equal names in
// search order. Names share long beginnings so that keys agree for many bytes.
void TestSearchResultModel::agreesWithTheLocalesCollator()
{
    QFETCH(QLocale, locale);
    QFETCH(Qt::CaseSensitivity, caseSensitivity);

    static const QByteArray Pieces[] = {
        "a",    "A",  "b",    "B",           "z",         "Z",         " ",    "-",    "'",
        ".",    "1",  "10",   "9",           "\xE9",      "\xC9",      "\xF6", "\xD6", "\xE5",
        "\xDF", "ss", "\x8A", "\x9A",        "\x80",      "\x81",      "\x01", "\xA0", "Mc",
        "Mac",  "lj", "Nj",   "Christopher", "Christoph", "Aaaaaaaaaa"};
    QRandomGenerator random(7);
    SearchRows rows;
    for (int i = 0; i < 3000; ++i) {
        QByteArray name;
        const int pieces = random.bounded(1, 7);
        for (int p = 0; p < pieces; ++p)
            name += Pieces[random.bounded(int(std::size(Pieces)))];
        rows.push_back({name, qint64(i)});
    }

    // The C locale sorts as the root collation does, not by character codes.
    QCollator collator(kx3::collationLocale(locale));
    QVERIFY(collator.compare(QStringLiteral("B\u00e9cum"), QStringLiteral("Br\u00e9st")) < 0);
    collator.setCaseSensitivity(caseSensitivity);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    std::vector<QString> texts;
    for (const auto &row : rows)
        texts.push_back(kx3::fromCp1252(row.name));
    std::vector<qint64> expected(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        expected[i] = qint64(i);
    std::stable_sort(expected.begin(), expected.end(), [&](qint64 a, qint64 b) {
        return collator.compare(texts[std::size_t(a)], texts[std::size_t(b)]) < 0;
    });

    SearchResultModel model;
    model.setSortLocale(locale, caseSensitivity);
    model.setRows(rows);
    QCOMPARE(model.rowCount(), int(rows.size()));
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.offsetAt(row) != expected[std::size_t(row)])
            QFAIL(qPrintable(QStringLiteral("row %1: \"%2\" where the collator puts \"%3\"")
                                 .arg(row)
                                 .arg(model.nameAt(row), texts[std::size_t(expected[row])])));
    }
}

void TestSearchResultModel::columns()
{
    SearchResultModel model;
    model.setRows({{"\x80uro United", 4067}});
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.rowCount(), 1);
    const QModelIndex name = model.index(0, SearchResultModel::NameColumn);
    const QModelIndex offset = model.index(0, SearchResultModel::OffsetColumn);
    QCOMPARE(name.data().toString(), QStringLiteral(u"€uro United"));
    QCOMPARE(offset.data().toString(), QStringLiteral("4067"));
    QCOMPARE(name.data(SearchResultModel::OffsetRole).toLongLong(), 4067);
    QCOMPARE(model.offsetAt(1), -1);
    QCOMPARE(model.offsetAt(-1), -1);
    QVERIFY(model.nameAt(3).isNull());
}

void TestSearchResultModel::replaceAndClear()
{
    SearchResultModel model;
    model.setRows({{"A", 0}, {"B", 157}});
    model.setRows({{"C", 314}});
    QCOMPARE(names(model), QStringList{"C"});
    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestSearchResultModel)
#include "tst_SearchResultModel.moc"
