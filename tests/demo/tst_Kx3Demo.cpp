// The kx3demo command line, run as a user runs it: a wrong command writes
// nothing and ends with status 2 and a message naming the fault.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_Kx3Demo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLine_data();
    void commandLine();
};

void tst_Kx3Demo::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // a text stdout (status 0) or stderr holds

    const QString help = QStringLiteral("Usage:");
    QTest::newRow("help") << QStringList{"--help"} << 0 << help;
    QTest::newRow("help short") << QStringList{"-h"} << 0 << help;
    QTest::newRow("help with a folder") << QStringList{"out", "--help"} << 0 << help;
    QTest::newRow("unknown option")
        << QStringList{"--persons=3", "out"} << 2 << QStringLiteral("Unknown option 'persons'");
    QTest::newRow("no folder") << QStringList{} << 2 << QStringLiteral("folder is missing");
    QTest::newRow("empty folder") << QStringList{""} << 2 << QStringLiteral("folder is missing");
    QTest::newRow("extra argument")
        << QStringList{"out", "5", "1", "x"} << 2 << QStringLiteral("unexpected argument \"x\"");
    QTest::newRow("persons not a number")
        << QStringList{"out", "many"} << 2 << QStringLiteral("persons must be");
    QTest::newRow("persons too many")
        << QStringList{"out", "5000001"} << 2 << QStringLiteral("from 0 to 5000000");
    QTest::newRow("seed negative")
        << QStringList{"out", "5", "--", "-1"} << 2 << QStringLiteral("seed must be");
    QTest::newRow("seed beyond 32 bits")
        << QStringList{"out", "5", "4294967296"} << 2 << QStringLiteral("seed must be");
    QTest::newRow("find with a folder")
        << QStringList{"--find-installation", "out"} << 2 << QStringLiteral("takes no arguments");
    QTest::newRow("writes") << QStringList{"out", "0", "4294967295"} << 0
                            << QStringLiteral("Data");
}

void tst_Kx3Demo::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, output);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess demo;
    demo.setWorkingDirectory(dir.path());
    demo.start(QStringLiteral(KX3DEMO_PROGRAM), args);
    QVERIFY(demo.waitForFinished(60000));
    QCOMPARE(demo.exitStatus(), QProcess::NormalExit);
    const QString out = QString::fromUtf8(demo.readAllStandardOutput());
    const QString err = QString::fromUtf8(demo.readAllStandardError());
    QVERIFY2(demo.exitCode() == status, qPrintable(out + err));
    QVERIFY2((status == 0 ? out : err).contains(output), qPrintable(out + err));

    const QStringList written =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    if (QTest::currentDataTag() == QLatin1String("writes"))
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("out/Data/club.Dat"))));
    else
        QVERIFY2(written.isEmpty(), qPrintable(written.join(QLatin1Char(' '))));
}

QTEST_GUILESS_MAIN(tst_Kx3Demo)
#include "tst_Kx3Demo.moc"
