#pragma once

#include <QString>

#include <array>
#include <memory>
#include <optional>

namespace kx3 {

/// The two editions of the game; they differ only in where they are installed.
enum class Edition { Kickora3 = 0, Kickora9900 = 1 };

/// Where the installer recorded an edition's folder. Tests give any answer.
class InstallationSource
{
public:
    virtual ~InstallationSource() = default;
    /// The edition's installation folder as recorded, or nullopt when unknown.
    virtual std::optional<QString> location(Edition edition) const = 0;
};

/// Knows of no installation: the folder given on the command line stands in.
class NoInstallationSource : public InstallationSource
{
public:
    std::optional<QString> location(Edition) const override { return std::nullopt; }
};

/// The platform's source: the registry on Windows, Wine's registry elsewhere.
std::unique_ptr<InstallationSource> createSystemInstallationSource();

/// Reads the folders from a Wine prefix's registry, as Unix paths.
class WineInstallationSource : public InstallationSource
{
public:
    /// `prefix` is the Wine prefix folder; an empty one finds nothing.
    explicit WineInstallationSource(QString prefix);
    std::optional<QString> location(Edition edition) const override;

private:
    QString mPrefix;
};

/// Outcome of looking both editions up.
struct InstallationResult
{
    std::array<QString, 2> folders; ///< per Edition
    std::array<bool, 2> found = {false, false};
    /// Neither edition was recorded but the current folder holds the game.
    bool currentFolder = false;

    bool anyFound() const { return found[0] || found[1]; }
};

/// Looks both editions up; when neither is recorded, falls back to
/// `currentDir` when it holds Data/club.Dat (made writable by its owner on
/// the way, as the game's own setup expects). Nothing found at all gives a
/// result with anyFound() false.
InstallationResult findInstallation(const InstallationSource &source, const QString &currentDir);

} // namespace kx3
