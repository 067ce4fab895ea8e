#include "gui/screen/EditSteps.h"

#include "core/db/Database.h"

namespace kx3 {

bool EditSteps::commit(const QString &label, StepPlace before, StepPlace after)
{
    const bool taken = mDb.commitStep({label, before, after});
    if (taken) {
        Q_EMIT committed(after);
        Q_EMIT changed();
    }
    return taken;
}

} // namespace kx3
