#include "TestFiles.h"

#include "core/db/WineRegistry.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

using kx3::WineRegistry;

namespace {

// One line of a registry file.
QByteArray regLine(const char *text)
{
    return QByteArray(text) + '\n';
}

const QByteArray Header = "WINE REGISTRY Version 2\n"
                          ";; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n";
const QString PlainKey = QStringLiteral("Software\\Vantorel Ltd\\Kickora 3");
const QString WowKey = QStringLiteral("Software\\Wow6432Node\\Vantorel Ltd\\Kickora 3");
const QByteArray PlainLine = regLine(R"([Software\\Vantorel Ltd\\Kickora 3] 1796628448)");
const QByteArray WowLine =
    regLine(R"([Software\\Wow6432Node\\Vantorel Ltd\\Kickora 3] 1796628450)");

std::optional<QString> lookup(const QByteArray &content, const QStringList &keys)
{
    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    return WineRegistry::readString(buffer, keys, QStringLiteral("Location"));
}

template <std::size_t N>
QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, qsizetype(N - 1));
}

/// A readString row; a null `expected` means nothing is found.
void addRow(const char *name, const QByteArray &content, const QString &expected,
            const QStringList &keys = {WowKey, PlainKey})
{
    QTest::newRow(name) << content << keys << expected;
}

} // namespace

class tst_WineRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void unescape_data();
    void unescape();
    void readString_data();
    void readString();
    void hugeLineIsSkipped();
    void longLineIsReadWhole();
    void prefixFromEnvironment();
    void machineStringNeedsHive();
    void toUnixPath_data();
    void toUnixPath();

private:
    QTemporaryDir mDir;
    QString mPrefix;
};

void tst_WineRegistry::initTestCase()
{
    QVERIFY(mDir.isValid());
    mPrefix = mDir.filePath(QStringLiteral("pfx"));
    QDir root(mDir.path());
    QVERIFY(root.mkpath(QStringLiteral("pfx/drive_c/Games/Kickora 3/Data")));
    QVERIFY(root.mkpath(QStringLiteral("pfx/dosdevices")));
    const QString devices = mPrefix + QStringLiteral("/dosdevices/");
    QVERIFY(QFile::link(QStringLiteral("../drive_c"), devices + QStringLiteral("c:")));
    QVERIFY(QFile::link(QStringLiteral("../nowhere"), devices + QStringLiteral("e:")));
    QVERIFY(QFile::link(QStringLiteral("/"), devices + QStringLiteral("z:")));
}

void tst_WineRegistry::unescape_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<char>("terminator");
    QTest::addColumn<QString>("expected"); // null: no terminator found

    QTest::newRow("backslashes") << QByteArray(R"(C:\\Games\\Kickora 3")") << '"'
                                 << QStringLiteral("C:\\Games\\Kickora 3");
    QTest::newRow("quote and brackets")
        << QByteArray(R"(say \"hi\" \[x\]")") << '"' << QStringLiteral("say \"hi\" [x]");
    QTest::newRow("key ends at bracket")
        << QByteArray(R"(a\]b\\c])") << ']' << QStringLiteral("a]b\\c");
    QTest::newRow("controls") << QByteArray(R"(\a\b\t\n\v\f\r\e")") << '"'
                              << QStringLiteral("\a\b\t\n\v\f\r\x1b");
    QTest::newRow("octal, at most three digits") << QByteArray(R"(\101\7\0012")") << '"'
                                                 << QString::fromLatin1("A\a\x01"
                                                                        "2");
    QTest::newRow("8 and 9 are not octal")
        << QByteArray(R"(\8\9")") << '"' << QStringLiteral("89");
    QTest::newRow("hex takes four digits at most")
        << QByteArray(R"(S\xf6hne \x414243")") << '"' << QStringLiteral(u"S\u00f6hne \u414243");
    QTest::newRow("surrogate pair")
        << QByteArray(R"(\xd83d\xde00!")") << '"' << QString::fromUtf8("\xf0\x9f\x98\x80!");
    QTest::newRow("x without digits") << QByteArray(R"(\xyz")") << '"' << QStringLiteral("xyz");
    QTest::newRow("raw UTF-8") << QByteArray("S\xc3\xb6hne\"") << '"'
                               << QStringLiteral(u"S\u00f6hne");
    QTest::newRow("raw bytes that are not UTF-8")
        << QByteArray("S\xf6hne\"") << '"' << QStringLiteral(u"S\u00f6hne");
    QTest::newRow("no terminator") << QByteArray("abc") << '"' << QString();
    QTest::newRow("only an escaped terminator") << QByteArray(R"(abc\")") << '"' << QString();
}

void tst_WineRegistry::unescape()
{
    QFETCH(QByteArray, input);
    QFETCH(char, terminator);
    QFETCH(QString, expected);

    const QByteArray text = "xx" + input;
    qsizetype pos = 2;
    const std::optional<QString> result = WineRegistry::unescape(text, pos, terminator);
    QCOMPARE(result.value_or(QString()), expected);
    QCOMPARE(result.has_value(), !expected.isNull());
    QCOMPARE(pos, result ? text.size() : 2);
}

void tst_WineRegistry::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("expected");

    const QString games = QStringLiteral("C:\\Games\\Kickora 3");
    const QString k3 = QStringLiteral("C:\\K3");
    const QByteArray location = regLine(R"("Location"="C:\\Games\\Kickora 3")");
    const QByteArray plain = Header + PlainLine;

    addRow("plain key", plain + "#time=1dd861c6a23706c\n" + location, games);
    addRow("Wow6432Node preferred",
           plain + regLine(R"("Location"="C:\\Plain")") + WowLine
               + regLine(R"("Location"="C:\\Wow")") + "[Software\\\\Zzz]\n",
           QStringLiteral("C:\\Wow"));
    addRow("Wow6432Node preferred, written first",
           Header + WowLine + regLine(R"("Location"="C:\\Wow")") + PlainLine
               + regLine(R"("Location"="C:\\Plain")"),
           QStringLiteral("C:\\Wow"));
    addRow("Wow6432Node key without the value",
           Header + WowLine + regLine(R"("Version"="1.0")") + PlainLine + location, games);
    addRow("names ignore case",
           Header + regLine(R"([software\\VANTOREL LTD\\kickora 3])")
               + regLine(R"("LOCATION"="C:\\Games\\Kickora 3")"),
           games);
    addRow("escaped key name",
           Header + regLine(R"([Software\\Vantorel \xdc Ltd\\Kickora 3])") + location, games,
           {QStringLiteral(u"Software\\Vantorel \u00dc Ltd\\Kickora 3")});
    addRow("expand string form", plain + regLine(R"("Location"=str(2):"C:\\K3")"), k3);
    addRow("spaces around the equals sign", plain + regLine(R"(  "Location" = "C:\\K3")"), k3);
    addRow("hex(2) over two lines",
           plain + "\"Location\"=hex(2):43,00,3a,00,5c,00,\\\n  47,00,00,00\n",
           QStringLiteral("C:\\G"));
    addRow("hex(1) without terminating NUL", plain + "\"Location\"=hex(1):43,00,3a,00\n",
           QStringLiteral("C:"));
    addRow("CRLF line ends",
           QByteArray(plain + "\"Location\"=hex(2):43,00,3a,00,\\\n  5c,00\n[Software\\\\Z]\n")
               .replace("\n", "\r\n"),
           QStringLiteral("C:\\"));
    addRow("CRLF after a quoted string", QByteArray(plain + location).replace("\n", "\r\n"),
           games);
    addRow("binary junk before the key",
           Header + bytes("\x01\xff[\x00\"\xfe=\n") + PlainLine + location, games);

    addRow("value of a subkey",
           Header + regLine(R"([Software\\Vantorel Ltd\\Kickora 3\\Sub])") + location, {});
    addRow("value of a longer key name",
           Header + regLine(R"([Software\\Vantorel Ltd\\Kickora 30])") + location, {});
    addRow("value after the next key", plain + "[Software\\\\Other]\n" + location, {});
    addRow("dword", plain + "\"Location\"=dword:00000001\n", {});
    addRow("multi string", plain + regLine(R"("Location"=str(7):"C:\\K3")"), {});
    addRow("continuation at the end of the file", plain + "\"Location\"=hex(2):43,00,\\\n", {});
    addRow("no header", PlainLine + location, {});
}

void tst_WineRegistry::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, keys);
    QFETCH(QString, expected);

    const std::optional<QString> result = lookup(content, keys);
    QCOMPARE(result.value_or(QString()), expected);
    QCOMPARE(result.has_value(), !expected.isNull());
}

void tst_WineRegistry::hugeLineIsSkipped()
{
    QByteArray content = Header + "[Software\\\\Big]\n\"Blob\"=\"";
    content.append(QByteArray(4 * 1024 * 1024, 'a'));
    content.append("\"\n" + PlainLine + regLine(R"("Location"="C:\\K3")"));
    QCOMPARE(lookup(content, {PlainKey}).value_or(QString()), QStringLiteral("C:\\K3"));

    // The same line as the last one of the file, without a line end.
    content.append(PlainLine + "\"Location\"=\"" + QByteArray(4 * 1024 * 1024, 'b'));
    QCOMPARE(lookup(content, {PlainKey}).value_or(QString()), QStringLiteral("C:\\K3"));
}

void tst_WineRegistry::longLineIsReadWhole()
{
    // Lines are read a piece at a time; one of many pieces, below the length
    // that is skipped, still comes back whole.
    const QString path = QStringLiteral("C:\\") + QString(200000, QLatin1Char('k'));
    const QByteArray content =
        Header + PlainLine + "\"Location\"=\"C:\\\\" + QByteArray(200000, 'k') + "\"\r\n";
    QCOMPARE(lookup(content, {PlainKey}).value_or(QString()), path);
}

void tst_WineRegistry::prefixFromEnvironment()
{
    const auto prefix = [](const char *winePrefix, const char *home) {
        QProcessEnvironment env;
        if (*winePrefix)
            env.insert(QStringLiteral("WINEPREFIX"), QString::fromLatin1(winePrefix));
        if (*home)
            env.insert(QStringLiteral("HOME"), QString::fromLatin1(home));
        return WineRegistry::prefixFromEnvironment(env);
    };
    QCOMPARE(prefix("/opt/pfx//", "/home/u"), QStringLiteral("/opt/pfx"));
    QCOMPARE(prefix("/", ""), QStringLiteral("/"));
    QCOMPARE(prefix("", "/home/u"), QStringLiteral("/home/u/.wine"));
    // Wine refuses a relative prefix.
    QCOMPARE(prefix("pfx", "/home/u"), QString());
    QCOMPARE(prefix("", ""), QString());
}

void tst_WineRegistry::machineStringNeedsHive()
{
    const QStringList keys = {PlainKey};
    const QString value = QStringLiteral("Location");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    QVERIFY(!WineRegistry(QString()).machineString(keys, value));
    QVERIFY(!WineRegistry(dir.filePath(QStringLiteral("missing"))).machineString(keys, value));
    QVERIFY(!WineRegistry(dir.path()).machineString(keys, value));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("system.reg")));
    QVERIFY(!WineRegistry(dir.path()).machineString(keys, value));

    const QString prefix = dir.filePath(QStringLiteral("pfx"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("pfx")));
    QVERIFY(kx3::test::writeFile(prefix + QStringLiteral("/system.reg"),
                                 Header + PlainLine + regLine(R"("Location"="C:\\K3")")));
    // The user hive is not where an installer for all users writes.
    QVERIFY(kx3::test::writeFile(prefix + QStringLiteral("/user.reg"),
                                 Header + PlainLine + regLine(R"("Location"="C:\\User")")));
    const WineRegistry registry(prefix);
    QCOMPARE(registry.machineHivePath(), prefix + QStringLiteral("/system.reg"));
    QCOMPARE(registry.machineString(keys, value).value_or(QString()), QStringLiteral("C:\\K3"));
}

void tst_WineRegistry::toUnixPath_data()
{
    QTest::addColumn<QString>("windowsPath");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected"); // $C stands for the prefix's drive C

    QTest::newRow("other case") << "C:\\GAMES\\KICKORA 3" << true << "$C/Games/Kickora 3";
    QTest::newRow("missing tail kept as written")
        << "c:\\games\\kickora 3\\sub\\file.dat" << true << "$C/Games/Kickora 3/sub/file.dat";
    QTest::newRow("missing folder, existing name after it")
        << "C:\\Missing\\GAMES" << true << "$C/Missing/GAMES";
    QTest::newRow("trailing separator kept")
        << "C:\\Games\\Kickora 3\\" << true << "$C/Games/Kickora 3/";
    QTest::newRow("slashes, dot and dot-dot")
        << "C:/games/./x//../Kickora 3" << true << "$C/Games/Kickora 3";
    QTest::newRow("dot-dot above the root") << "C:\\..\\..\\Games" << true << "$C/Games";
    QTest::newRow("drive root") << "C:\\" << true << "$C/";
    QTest::newRow("long path prefix") << "\\\\?\\C:\\Games" << true << "$C/Games";
    QTest::newRow("drive mapping the root") << "Z:\\etc" << true << "/etc";
    QTest::newRow("unmapped drive") << "D:\\Games" << false << "";
    QTest::newRow("dangling drive link") << "E:\\Games" << false << "";
    QTest::newRow("no drive") << "\\Games\\Kickora 3" << false << "";
    QTest::newRow("not a letter") << "1:\\Games" << false << "";
}

void tst_WineRegistry::toUnixPath()
{
    QFETCH(QString, windowsPath);
    QFETCH(bool, found);
    QFETCH(QString, expected);

    const std::optional<QString> result = WineRegistry(mPrefix).toUnixPath(windowsPath);
    QCOMPARE(result.has_value(), found);
    if (found) {
        expected.replace(QStringLiteral("$C"), mPrefix + QStringLiteral("/dosdevices/c:"));
        QCOMPARE(*result, expected);
    }
    QVERIFY(!WineRegistry(QString()).toUnixPath(windowsPath));
}

QTEST_GUILESS_MAIN(tst_WineRegistry)
#include "tst_WineRegistry.moc"
