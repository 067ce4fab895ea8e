#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

namespace kx3 {

class Database;

/// Errors the integrity check finds, kept to tell which of them a save would
/// write for the first time.
///
/// An error is known by its shape: its text with every number left out.
/// Records move when others are inserted or deleted, so an error the files
/// already had may name other numbers later and is still the same error;
/// only more errors of one shape than the baseline had are new.
class SaveGuard
{
public:
    /// The errors the database holds now (right after a load) are the files'
    /// own: they are said once and never block a save.
    void takeBaseline(const Database &db);
    /// The errors of `db` now that the baseline did not have; empty when a
    /// save may go on. At most `limit` texts.
    QStringList newErrors(const Database &db, int limit = 50) const;
    /// The errors found at the baseline (the texts, at most 50).
    QStringList baselineErrors() const { return mBaselineTexts; }
    bool hasBaseline() const { return mHasBaseline; }

private:
    QHash<QString, int> mShapes;
    /// Hashes of the baseline's texts, sorted: of several errors of one
    /// shape, one whose very text the files had is the least likely new.
    std::vector<std::size_t> mTextHashes;
    QStringList mBaselineTexts;
    bool mHasBaseline = false;
};

} // namespace kx3
