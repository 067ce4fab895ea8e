#pragma once

#include "core/db/EditHistory.h"
#include "core/db/Progress.h"
#include "core/db/RecordRef.h"
#include "core/records/SaveGuard.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace kx3 {

class Database;
class Lookups;

/// What one step did to the data, as views need to know it: which records
/// moved, which kinds had bytes changed (and where, when that is known), and
/// whether the name tables or the choice lists changed.
struct DocumentChange
{
    enum class Cause { Step, Undo, Redo, Load };
    Cause cause = Cause::Step;
    /// The step done, undone or redone; empty on a load.
    StepInfo step;
    /// Records inserted and removed, in the order they were.
    std::vector<RecordMove> moves;
    /// Per kind: whether a record's bytes (its attribute records included)
    /// changed, and the first and last index it may have been (after the
    /// step); last is INT_MAX when everything from first on may have.
    std::array<bool, RecordKindCount> touched{};
    std::array<int, RecordKindCount> first{};
    std::array<int, RecordKindCount> last{};
    bool names = false;
    /// An attribute or history record changed: it names no person, so any
    /// person's screen may read differently (his name and role do not).
    bool personDetails = false;
    /// Nations, cities, stadiums or clubs changed: the choice lists were
    /// built again before anyone was told.
    bool lists = false;

    bool isLoad() const { return cause == Cause::Load; }
    /// Where `ref` is after the step; invalid when the step removed it (or
    /// loaded another database).
    RecordRef follow(RecordRef ref) const;
    /// Whether the step may have changed the bytes of `ref` (after it), its
    /// attribute records included.
    bool touches(RecordRef ref) const;
    /// Whether the step may have changed the record of `ref` itself.
    bool touchesRecord(RecordRef ref) const;
    /// Marks records [from, to] of `kind` as changed.
    void touch(RecordKind kind, int from, int to);
};

/// The bytes a screen showed of a record: the record itself and, for a
/// person, his attribute records. Empty for a record that does not exist.
QByteArray recordStamp(const Database &db, RecordRef ref);

/// The data being edited: every change to it is a step taken through here,
/// and every view learns from here what a step changed. Owns the step
/// history (through the database) and keeps the choice lists in step.
class Document : public QObject
{
    Q_OBJECT

public:
    Document(Database &db, Lookups &lookups, QObject *parent = nullptr);

    Database &db() { return mDb; }
    const Database &db() const { return mDb; }

    /// Closes what changed since the last step into one step named `label`,
    /// acting on `before` (as it was) and `after` (as it is now); false, and
    /// no step, when no byte changed. In a read-only session the changes are
    /// taken back instead.
    bool commitStep(const QString &label, RecordRef before = {}, RecordRef after = {});
    /// Takes back the last step or does the next one again.
    std::optional<StepInfo> undo();
    std::optional<StepInfo> redo();
    /// Undoes or redoes steps until `position` of them are done.
    void moveTo(int position);

    /// A database was loaded (or loading failed and left it empty): the
    /// history starts again, and the errors its files hold are the ones a
    /// save may keep.
    void loaded();
    /// The slow half of loaded(), which tells nobody: the integrity errors
    /// the files hold, read where the load ran (a worker, with its progress).
    void checkLoadedFiles();
    /// The integrity errors the files held when loaded, once: a second call
    /// returns nothing.
    QStringList takeLoadErrors();

    enum class SaveResult { Saved, Failed, Refused };
    /// Saves, unless that would write integrity errors the files did not
    /// have when loaded: then nothing is written and refusedErrors() lists
    /// them. Failed: the database's error texts say why.
    SaveResult save(const Progress &progress = {});
    /// Back in the document's thread after save(): tells the views.
    void saveFinished();
    QStringList refusedErrors() const { return mRefused; }
    /// The guard's question alone: errors a save would write for the first time.
    QStringList newErrors() const;

Q_SIGNALS:
    /// After every step done, undone or redone, and after a load.
    void changed(const kx3::DocumentChange &change);
    /// The steps, the modified flag or the save state changed.
    void historyChanged();

private:
    void applied(DocumentChange::Cause cause, const StepInfo &step);

    Database &mDb;
    Lookups &mLookups;
    SaveGuard mGuard;
    QStringList mLoadErrors;
    QStringList mRefused;
    /// checkLoadedFiles() ran since the last load was told.
    bool mChecked = false;
};

} // namespace kx3
