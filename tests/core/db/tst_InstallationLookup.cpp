#include "core/db/InstallationLookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using kx3::Edition;
using kx3::InstallationResult;

namespace {

class FakeSource : public kx3::InstallationSource
{
public:
    std::array<std::optional<QString>, 2> locations;

    std::optional<QString> location(Edition edition) const override
    {
        return locations[static_cast<size_t>(edition)];
    }
};

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

constexpr size_t K3 = static_cast<size_t>(Edition::Kickora3);
constexpr size_t K9900 = static_cast<size_t>(Edition::Kickora9900);

} // namespace

class tst_InstallationLookup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findInstallation_data();
    void findInstallation();
    void readOnlyClubFileBecomesWritable();
    void wineSource();
};

void tst_InstallationLookup::findInstallation_data()
{
    QTest::addColumn<bool>("has3");
    QTest::addColumn<QString>("location3");
    QTest::addColumn<bool>("has9900");
    QTest::addColumn<QString>("location9900");
    QTest::addColumn<QString>("clubFile"); // made in the current folder; "/" ends a folder
    QTest::addColumn<bool>("found3");
    QTest::addColumn<bool>("found9900");
    QTest::addColumn<bool>("currentFolder");

    QTest::newRow("only 99/00") << false << "" << true << "/games/k9900"
                                << "" << false << true << false;
    QTest::newRow("both") << true << "/games/k3" << true << "/games/k9900"
                          << "" << true << true << false;
    QTest::newRow("value used as read") << true << "C:\\Games\\Kickora 3\\" << false << ""
                                        << "" << true << false << false;
    QTest::newRow("one found, current folder not tried")
        << true << "/games/k3" << false << ""
        << "Data/club.Dat" << true << false << false;
    QTest::newRow("current folder") << false << "" << false << ""
                                    << "Data/club.Dat" << true << false << true;
    QTest::newRow("current folder, other case") << false << "" << false << ""
                                                << "DATA/CLUB.DAT" << true << false << true;
    QTest::newRow("nothing") << false << "" << false << ""
                             << "" << false << false << false;
    QTest::newRow("club.Dat elsewhere") << false << "" << false << ""
                                        << "club.Dat" << false << false << false;
    QTest::newRow("club.Dat is a folder") << false << "" << false << ""
                                          << "Data/club.Dat/" << false << false << false;
}

void tst_InstallationLookup::findInstallation()
{
    QFETCH(bool, has3);
    QFETCH(QString, location3);
    QFETCH(bool, has9900);
    QFETCH(QString, location9900);
    QFETCH(QString, clubFile);
    QFETCH(bool, found3);
    QFETCH(bool, found9900);
    QFETCH(bool, currentFolder);

    QTemporaryDir current;
    QVERIFY(current.isValid());
    if (clubFile.endsWith(QLatin1Char('/'))) {
        QVERIFY(QDir(current.path()).mkpath(clubFile));
    } else if (!clubFile.isEmpty()) {
        QVERIFY(QDir(current.path()).mkpath(QFileInfo(clubFile).path()));
        QVERIFY(writeFile(current.filePath(clubFile), "club"));
    }

    FakeSource source;
    if (has3)
        source.locations[K3] = location3;
    if (has9900)
        source.locations[K9900] = location9900;

    const InstallationResult result = kx3::findInstallation(source, current.path());
    QCOMPARE(result.found[K3], found3);
    QCOMPARE(result.found[K9900], found9900);
    QCOMPARE(result.currentFolder, currentFolder);
    QCOMPARE(result.anyFound(), found3 || found9900);
    QCOMPARE(result.folders[K3], currentFolder ? current.path() : (has3 ? location3 : QString()));
    QCOMPARE(result.folders[K9900], has9900 ? location9900 : QString());
}

void tst_InstallationLookup::readOnlyClubFileBecomesWritable()
{
    QTemporaryDir current;
    QVERIFY(current.isValid());
    QVERIFY(QDir(current.path()).mkdir(QStringLiteral("Data")));
    const QString club = current.filePath(QStringLiteral("Data/club.Dat"));
    QVERIFY(writeFile(club, "club"));
    const QFileDevice::Permissions readOnly =
        QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QVERIFY(QFile::setPermissions(club, readOnly));

    const InstallationResult result = kx3::findInstallation(FakeSource(), current.path());
    QVERIFY(result.currentFolder);
    const QFileDevice::Permissions owners =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
        | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFile::permissions(club) & owners, readOnly | QFileDevice::WriteOwner);
}

void tst_InstallationLookup::wineSource()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString prefix = dir.filePath(QStringLiteral("pfx"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("pfx/drive_c/Games/Kickora 3")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("pfx/dosdevices")));
    QVERIFY(QFile::link(QStringLiteral("../drive_c"), prefix + QStringLiteral("/dosdevices/c:")));
    QVERIFY(writeFile(prefix + QStringLiteral("/system.reg"),
                      "WINE REGISTRY Version 2\n\n#arch=win64\n\n"
                      "[Software\\\\Vantorel Ltd\\\\Kickora 3] 1\n"
                      "\"Location\"=\"C:\\\\Stale\"\n\n"
                      "[Software\\\\Vantorel Ltd\\\\Kickora 99-00] 1\n"
                      "\"Location\"=\"D:\\\\Kickora 99-00\"\n\n"
                      "[Software\\\\Wow6432Node\\\\Vantorel Ltd\\\\Kickora 3] 1\n"
                      "\"Location\"=\"C:\\\\GAMES\\\\KICKORA 3\"\n"));

    const QString expected3 = prefix + QStringLiteral("/dosdevices/c:/Games/Kickora 3");
    const kx3::WineInstallationSource source(prefix);
    QCOMPARE(source.location(Edition::Kickora3).value_or(QString()), expected3);
    // Drive D: is not mapped in this prefix.
    QVERIFY(!source.location(Edition::Kickora9900));
    QVERIFY(!kx3::WineInstallationSource(QString()).location(Edition::Kickora3));

    const InstallationResult result = kx3::findInstallation(source, dir.path());
    QVERIFY(result.found[K3]);
    QVERIFY(!result.found[K9900]);
    QCOMPARE(result.folders[K3], expected3);

#ifndef Q_OS_WIN
    const QByteArray saved = qgetenv("WINEPREFIX");
    const bool wasSet = qEnvironmentVariableIsSet("WINEPREFIX");
    qputenv("WINEPREFIX", QFile::encodeName(prefix + QStringLiteral("/")));
    const auto system = kx3::createSystemInstallationSource();
    const std::optional<QString> fromEnvironment = system->location(Edition::Kickora3);
    if (wasSet)
        qputenv("WINEPREFIX", saved);
    else
        qunsetenv("WINEPREFIX");
    QCOMPARE(fromEnvironment.value_or(QString()), expected3);
#endif
}

QTEST_GUILESS_MAIN(tst_InstallationLookup)
#include "tst_InstallationLookup.moc"
