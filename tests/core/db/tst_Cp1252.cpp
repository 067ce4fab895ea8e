#include "core/db/Cp1252.h"

#include <QTest>

class TestCp1252 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyByteSurvivesARoundTrip();
    void decode_data();
    void decode();
    void encode_data();
    void encode();
};

void TestCp1252::everyByteSurvivesARoundTrip()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = kx3::fromCp1252(all);
    QCOMPARE(text.size(), 256);
    bool ok = false;
    QCOMPARE(kx3::toCp1252(text, &ok), all);
    QVERIFY(ok);
}

void TestCp1252::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("ASCII") << QByteArray("Smith") << QStringLiteral("Smith");
    QTest::newRow("Latin-1 range")
        << QByteArray("\xC9mile M\xFCller") << QStringLiteral(u"Émile Müller");
    QTest::newRow("euro, dash and quote")
        << QByteArray("\x80\x96\x93\x9F") << QStringLiteral(u"€–“Ÿ");
    QTest::newRow("bytes without a character")
        << QByteArray("\x81\x8D\x8F\x90\x9D") << QStringLiteral(u"\u0081\u008D\u008F\u0090\u009D");
}

void TestCp1252::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(kx3::fromCp1252(bytes), text);
}

void TestCp1252::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("unstorable"); // the character a refusal names

    QTest::newRow("accented") << QStringLiteral(u"Öster") << QByteArray("\xD6ster") << true
                              << QString();
    QTest::newRow("euro") << QStringLiteral(u"5€") << QByteArray("5\x80") << true << QString();
    QTest::newRow("not in the code page") << QStringLiteral(u"Ω-Łódź")
                                          << QByteArray("?-?\xF3"
                                                        "d?")
                                          << false << QStringLiteral(u"Ω");
    QTest::newRow("outside the BMP: one character")
        << QStringLiteral(u"ab\U0001F600") << QByteArray("ab??") << false
        << QStringLiteral(u"\U0001F600");
}

void TestCp1252::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QString, unstorable);
    bool converted = !ok;
    QCOMPARE(kx3::toCp1252(text, &converted), bytes);
    QCOMPARE(converted, ok);
    const QString why = kx3::unstorableText(text, QStringLiteral("First Name"));
    QCOMPARE(why.isEmpty(), ok);
    if (!ok)
        QVERIFY2(why.startsWith(
                     QStringLiteral("'%1' cannot be stored in First Name: ").arg(unstorable)),
                 qPrintable(why));
}

QTEST_GUILESS_MAIN(TestCp1252)
#include "tst_Cp1252.moc"
