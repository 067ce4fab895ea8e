#pragma once

#include <QString>

#include <functional>

namespace kx3 {

/// What long work tells whoever waits for it: the step it is at ("Reading
/// staff.dat"), and `done` of `total` parts of that step (a total of 0 when
/// it cannot tell). Called on the thread doing the work, often enough for a
/// window to repaint between two calls; an empty one is never called.
using Progress = std::function<void(const QString &step, int done, int total)>;

/// Tells `progress`, when there is one, of every `every`th part of a step
/// and of its first: a loop over a million rows calls it a few hundred times.
inline void reportEvery(const Progress &progress, int every, const QString &step, int done,
                        int total)
{
    if (progress && done % every == 0)
        progress(step, done, total);
}

} // namespace kx3
