#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;
class QProcessEnvironment;

namespace kx3 {

/// Read-only view of one Wine prefix: string values of the machine hive
/// (system.reg) and the prefix's drive letters. Nothing is cached; each call
/// reads the disk again, and a missing or damaged file simply finds nothing.
class WineRegistry
{
public:
    explicit WineRegistry(QString prefix);

    /// $WINEPREFIX without trailing slashes, else $HOME/.wine; empty when
    /// neither gives an absolute folder (Wine itself refuses a relative prefix).
    static QString prefixFromEnvironment(const QProcessEnvironment &env);

    QString prefix() const { return mPrefix; }
    QString machineHivePath() const;

    /// String value `valueName` of the first key of `keyPaths` that holds it.
    /// Key paths are relative to HKEY_LOCAL_MACHINE with components separated
    /// by one backslash; key and value names compare ignoring case.
    std::optional<QString> machineString(const QStringList &keyPaths,
                                         const QString &valueName) const;

    /// The same lookup over the content of a registry file.
    static std::optional<QString> readString(QIODevice &file, const QStringList &keyPaths,
                                             const QString &valueName);

    /// Where a Windows path of this prefix lies on the Unix side, resolved the
    /// way Wine resolves names; nullopt when its drive is not mapped.
    std::optional<QString> toUnixPath(const QString &windowsPath) const;

    /// Decodes one escaped name or string from `pos` up to the unescaped
    /// `terminator` and moves `pos` past it; nullopt when no terminator follows.
    static std::optional<QString> unescape(const QByteArray &text, qsizetype &pos,
                                           char terminator);

private:
    QString mPrefix;
};

} // namespace kx3
