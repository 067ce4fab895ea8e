#include "InstallationLookup.h"

#include "Database.h"
#include "WineRegistry.h"

#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

#include <utility>

namespace kx3 {

namespace {

const QString &gameKey(Edition edition)
{
    static const QString kickora3 = QStringLiteral("Kickora 3");
    static const QString kickora9900 = QStringLiteral("Kickora 99-00");
    return edition == Edition::Kickora3 ? kickora3 : kickora9900;
}

QString locationValueName()
{
    return QStringLiteral("Location");
}

#ifdef Q_OS_WIN
class RegistryInstallationSource final : public InstallationSource
{
public:
    std::optional<QString> location(Edition edition) const override
    {
        // Opened at Software, which always exists: QSettings creates the key it
        // is opened on when it may write there, and the game's keys must never
        // be created by us. The 32-bit view is where the game's installer wrote.
        QSettings software(QStringLiteral("HKEY_LOCAL_MACHINE\\Software"),
                           QSettings::Registry32Format);
        const QString value = QStringLiteral("Vantorel Ltd/") + gameKey(edition) + QLatin1Char('/')
                              + locationValueName();
        if (!software.contains(value))
            return std::nullopt;
        return software.value(value).toString();
    }
};
#endif

// Gives the owner write access the way clearing the read-only attribute does;
// doubles as the test that the file is there at all.
bool makeOwnerWritable(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    // The "User" flags describe the caller, not the file; on Unix setting them
    // would change the owner's bits, so only the owner/group/other bits go back.
    constexpr QFileDevice::Permissions callerFlags =
        QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    const QFileDevice::Permissions permissions = QFile::permissions(path) & ~callerFlags;
    if (permissions.testFlag(QFileDevice::WriteOwner))
        return true;
    return QFile::setPermissions(path, permissions | QFileDevice::WriteOwner);
}

} // namespace

WineInstallationSource::WineInstallationSource(QString prefix) : mPrefix(std::move(prefix)) {}

std::optional<QString> WineInstallationSource::location(Edition edition) const
{
    const WineRegistry registry(mPrefix);
    // A 32-bit installer in a 64-bit prefix lands under Wow6432Node.
    const QStringList keys = {
        QStringLiteral("Software\\Wow6432Node\\Vantorel Ltd\\") + gameKey(edition),
        QStringLiteral("Software\\Vantorel Ltd\\") + gameKey(edition),
    };
    const std::optional<QString> windowsPath = registry.machineString(keys, locationValueName());
    if (!windowsPath)
        return std::nullopt;
    return registry.toUnixPath(*windowsPath);
}

std::unique_ptr<InstallationSource> createSystemInstallationSource()
{
#ifdef Q_OS_WIN
    return std::make_unique<RegistryInstallationSource>();
#else
    return std::make_unique<WineInstallationSource>(
        WineRegistry::prefixFromEnvironment(QProcessEnvironment::systemEnvironment()));
#endif
}

InstallationResult findInstallation(const InstallationSource &source, const QString &currentDir)
{
    InstallationResult result;
    for (Edition edition : {Edition::Kickora3, Edition::Kickora9900}) {
        const auto i = static_cast<size_t>(edition);
        if (std::optional<QString> folder = source.location(edition)) {
            result.folders[i] = std::move(*folder);
            result.found[i] = true;
        }
    }
    if (result.anyFound() || currentDir.isEmpty())
        return result;

    const QString dataDir = resolvePathIgnoringCase(currentDir, QStringLiteral("Data"));
    if (!makeOwnerWritable(resolvePathIgnoringCase(dataDir, QStringLiteral("club.Dat"))))
        return result;
    const auto kickora3 = static_cast<size_t>(Edition::Kickora3);
    result.folders[kickora3] = currentDir;
    result.found[kickora3] = true;
    result.currentFolder = true;
    return result;
}

} // namespace kx3
