#pragma once

#include "core/db/EditHistory.h"
#include "gui/screen/RecordKinds.h"

#include <QObject>

#include <optional>

namespace kx3 {

class Database;

/// Where the window's changes to the data become steps of the session's
/// history, and where the window hears that the history changed.
class EditSteps : public QObject
{
    Q_OBJECT

public:
    explicit EditSteps(Database &db, QObject *parent = nullptr) : QObject(parent), mDb(db) {}

    /// Closes what the data changed since the last step into one step named
    /// `label`, acting on the record at `before` (as it was) and `after` (as
    /// it is now); false, and no step, when no byte changed.
    bool commit(const QString &label, StepPlace before, StepPlace after);
    /// The history changed otherwise: an undo, a redo, a save, a load.
    void historyChanged() { Q_EMIT changed(); }

    /// A record as a step names it; none without an index.
    static StepPlace place(EditorScreen kind, std::optional<int> index)
    {
        return index ? StepPlace{int(kind), recordOffset(kind, *index)} : StepPlace{};
    }

Q_SIGNALS:
    void changed();
    /// A step was taken by commit(), acting at `after`.
    void committed(kx3::StepPlace after);

private:
    Database &mDb;
};

} // namespace kx3
