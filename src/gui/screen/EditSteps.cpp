#include "gui/screen/EditSteps.h"

#include "core/db/Database.h"

namespace kx3 {

// The last guard of a read-only session: whatever a control let through is
// taken back here, before it could ever count as a change.
bool EditSteps::commit(const QString &label, StepPlace before, StepPlace after)
{
    if (mDb.isReadOnly()) {
        mDb.rollBackChanges();
        return false;
    }
    const bool taken = mDb.commitStep({label, before, after});
    if (taken) {
        Q_EMIT committed(after);
        Q_EMIT changed();
    }
    return taken;
}

} // namespace kx3
