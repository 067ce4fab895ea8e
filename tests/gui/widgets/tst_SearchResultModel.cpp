#include "gui/widgets/SearchResultModel.h"

#include <QTest>

using kx3::SearchResultModel;
using kx3::SearchRows;

class TestSearchResultModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sortsByCollation_data();
    void sortsByCollation();
    void equalNamesKeepSearchOrder();
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
