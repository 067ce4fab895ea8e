#include "db/WineRegistry.h"

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

template <std::size_t N> QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, qsizetype(N - 1));
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
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
    void prefixFromEnvironment_data();
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
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("expected");

    QTest::newRow("backslashes") << QByteArray(R"(C:\\Games\\Kickora 3")") << '"' << true
                                 << QStringLiteral("C:\\Games\\Kickora 3");
    QTest::newRow("quote and brackets")
        << QByteArray(R"(say \"hi\" \[x\]")") << '"' << true << QStringLiteral("say \"hi\" [x]");
    QTest::newRow("key ends at bracket")
        << QByteArray(R"(a\]b\\c])") << ']' << true << QStringLiteral("a]b\\c");
    QTest::newRow("controls") << QByteArray(R"(\a\b\t\n\v\f\r\e")") << '"' << true
                              << QStringLiteral("\a\b\t\n\v\f\r\x1b");
    QTest::newRow("octal, at most three digits") << QByteArray(R"(\101\7\0012")") << '"' << true
                                                 << QString::fromLatin1("A\a\x01"
                                                                        "2");
    QTest::newRow("8 and 9 are not octal")
        << QByteArray(R"(\8\9")") << '"' << true << QStringLiteral("89");
    QTest::newRow("hex of two digits") << QByteArray(R"(S\xf6hne \xdc 3")") << '"' << true
                                       << QStringLiteral(u"S\u00f6hne \u00dc 3");
    QTest::newRow("hex of one digit")
        << QByteArray(R"(\x41g")") << '"' << true << QStringLiteral("Ag");
    QTest::newRow("hex takes four digits at most")
        << QByteArray(R"(\x414243")") << '"' << true << QStringLiteral(u"\u414243");
    QTest::newRow("surrogate pair") << QByteArray(R"(\xd83d\xde00!")") << '"' << true
                                    << QString::fromUtf8("\xf0\x9f\x98\x80!");
    QTest::newRow("x without digits")
        << QByteArray(R"(\xyz")") << '"' << true << QStringLiteral("xyz");
    QTest::newRow("other escapes stand for themselves")
        << QByteArray(R"(\q\%\'")") << '"' << true << QStringLiteral("q%'");
    QTest::newRow("raw UTF-8") << QByteArray("S\xc3\xb6hne\"") << '"' << true
                               << QStringLiteral(u"S\u00f6hne");
    QTest::newRow("raw bytes that are not UTF-8")
        << QByteArray("S\xf6hne\"") << '"' << true << QStringLiteral(u"S\u00f6hne");
    QTest::newRow("no terminator") << QByteArray("abc") << '"' << false << QString();
    QTest::newRow("only an escaped terminator")
        << QByteArray(R"(abc\")") << '"' << false << QString();
    QTest::newRow("backslash at the end") << QByteArray("abc\\") << '"' << false << QString();
}

void tst_WineRegistry::unescape()
{
    QFETCH(QByteArray, input);
    QFETCH(char, terminator);
    QFETCH(bool, ok);
    QFETCH(QString, expected);

    const QByteArray text = "xx" + input;
    qsizetype pos = 2;
    const std::optional<QString> result = WineRegistry::unescape(text, pos, terminator);
    QCOMPARE(result.has_value(), ok);
    if (ok) {
        QCOMPARE(*result, expected);
        QCOMPARE(pos, text.size());
    } else {
        QCOMPARE(pos, 2);
    }
}

void tst_WineRegistry::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected");

    const QStringList both = {WowKey, PlainKey};
    const QString games = QStringLiteral("C:\\Games\\Kickora 3");
    const QByteArray location = regLine(R"("Location"="C:\\Games\\Kickora 3")");

    QTest::newRow("plain key") << Header + PlainLine + "#time=1dd861c6a23706c\n" + location << both
                               << true << games;
    QTest::newRow("Wow6432Node preferred")
        << Header + PlainLine + regLine(R"("Location"="C:\\Plain")") + WowLine +
               regLine(R"("Location"="C:\\Wow")") + "[Software\\\\Zzz]\n"
        << both << true << QStringLiteral("C:\\Wow");
    QTest::newRow("Wow6432Node preferred, written first")
        << Header + WowLine + regLine(R"("Location"="C:\\Wow")") + PlainLine +
               regLine(R"("Location"="C:\\Plain")")
        << both << true << QStringLiteral("C:\\Wow");
    QTest::newRow("Wow6432Node key without the value")
        << Header + WowLine + regLine(R"("Version"="1.0")") + PlainLine + location << both << true
        << games;
    QTest::newRow("names ignore case")
        << Header + regLine(R"([software\\VANTOREL LTD\\kickora 3])") +
               regLine(R"("LOCATION"="C:\\Games\\Kickora 3")")
        << both << true << games;
    QTest::newRow("escaped key name")
        << Header + regLine(R"([Software\\Vantorel \xdc Ltd\\Kickora 3])") + location
        << QStringList{QStringLiteral(u"Software\\Vantorel \u00dc Ltd\\Kickora 3")} << true
        << games;
    QTest::newRow("str form") << Header + PlainLine + regLine(R"("Location"=str:"C:\\K3")") << both
                              << true << QStringLiteral("C:\\K3");
    QTest::newRow("expand string form")
        << Header + PlainLine + regLine(R"("Location"=str(2):"C:\\K3")") << both << true
        << QStringLiteral("C:\\K3");
    QTest::newRow("spaces around the equals sign")
        << Header + PlainLine + regLine(R"(  "Location" = "C:\\K3")") << both << true
        << QStringLiteral("C:\\K3");
    QTest::newRow("hex(2) over two lines")
        << Header + PlainLine + "\"Location\"=hex(2):43,00,3a,00,5c,00,\\\n  47,00,00,00\n"
        << both << true << QStringLiteral("C:\\G");
    QTest::newRow("hex(1) without terminating NUL")
        << Header + PlainLine + "\"Location\"=hex(1):43,00,3a,00\n"
        << both << true << QStringLiteral("C:");
    QTest::newRow("CRLF line ends")
        << QByteArray(Header + PlainLine + "\"Location\"=hex(2):43,00,3a,00,\\\n  5c,00\n" +
                      "[Software\\\\Zzz]\n")
               .replace("\n", "\r\n")
        << both << true << QStringLiteral("C:\\");
    QTest::newRow("CRLF after a quoted string")
        << QByteArray(Header + PlainLine + location).replace("\n", "\r\n") << both << true
        << games;
    QTest::newRow("binary junk before the key")
        << Header + bytes("\x01\xff[\x00\"\xfe=\n") + PlainLine + location << both << true
        << games;

    QTest::newRow("value of a subkey")
        << Header + regLine(R"([Software\\Vantorel Ltd\\Kickora 3\\Sub])") + location << both
        << false << QString();
    QTest::newRow("value of a longer key name")
        << Header + regLine(R"([Software\\Vantorel Ltd\\Kickora 30])") + location << both << false
        << QString();
    QTest::newRow("value after the next key")
        << Header + PlainLine + "[Software\\\\Other]\n" + location << both << false << QString();
    QTest::newRow("dword") << Header + PlainLine + "\"Location\"=dword:00000001\n"
                           << both << false << QString();
    QTest::newRow("multi string") << Header + PlainLine + regLine(R"("Location"=str(7):"C:\\K3")")
                                  << both << false << QString();
    QTest::newRow("binary") << Header + PlainLine + "\"Location\"=hex:43,00\n"
                            << both << false << QString();
    QTest::newRow("hex byte out of range") << Header + PlainLine + "\"Location\"=hex(2):430,00\n"
                                           << both << false << QString();
    QTest::newRow("continuation at the end of the file")
        << Header + PlainLine + "\"Location\"=hex(2):43,00,\\\n"
        << both << false << QString();
    QTest::newRow("default value")
        << Header + PlainLine + regLine(R"(@="C:\\K3")") << both << false << QString();
    QTest::newRow("unterminated string")
        << Header + PlainLine + regLine(R"("Location"="C:\\K3)") << both << false << QString();
    QTest::newRow("no header") << PlainLine + location << both << false << QString();
    QTest::newRow("other header") << "WINE REGISTRY Version 1\n" + PlainLine + location << both
                                  << false << QString();
    QTest::newRow("empty") << QByteArray() << both << false << QString();
    QTest::newRow("garbage") << bytes("\x7f"
                                      "ELF\x02\x01\x01\x00\x00\n\xff\xfe[\\")
                             << both << false << QString();
}

void tst_WineRegistry::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, keys);
    QFETCH(bool, found);
    QFETCH(QString, expected);

    const std::optional<QString> result = lookup(content, keys);
    QCOMPARE(result.has_value(), found);
    if (found)
        QCOMPARE(*result, expected);
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

void tst_WineRegistry::prefixFromEnvironment_data()
{
    QTest::addColumn<QString>("winePrefix");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("expected");

    QTest::newRow("WINEPREFIX") << "/opt/pfx"
                                << "/home/u"
                                << "/opt/pfx";
    QTest::newRow("trailing slashes") << "/opt/pfx//"
                                      << "/home/u"
                                      << "/opt/pfx";
    QTest::newRow("root") << "/"
                          << ""
                          << "/";
    QTest::newRow("home") << ""
                          << "/home/u"
                          << "/home/u/.wine";
    QTest::newRow("relative WINEPREFIX") << "pfx"
                                         << "/home/u"
                                         << "";
    QTest::newRow("nothing") << ""
                             << ""
                             << "";
}

void tst_WineRegistry::prefixFromEnvironment()
{
    QFETCH(QString, winePrefix);
    QFETCH(QString, home);
    QFETCH(QString, expected);

    QProcessEnvironment env;
    if (!winePrefix.isEmpty())
        env.insert(QStringLiteral("WINEPREFIX"), winePrefix);
    if (!home.isEmpty())
        env.insert(QStringLiteral("HOME"), home);
    QCOMPARE(WineRegistry::prefixFromEnvironment(env), expected);
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
    QVERIFY(writeFile(prefix + QStringLiteral("/system.reg"),
                      Header + PlainLine + regLine(R"("Location"="C:\\K3")")));
    // The user hive is not where an installer for all users writes.
    QVERIFY(writeFile(prefix + QStringLiteral("/user.reg"),
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

    QTest::newRow("exact") << "C:\\Games\\Kickora 3" << true << "$C/Games/Kickora 3";
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
    QTest::newRow("relative") << "Games" << false << "";
    QTest::newRow("empty") << "" << false << "";
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
