#pragma once

#include "core/db/AtomicFileSetWriter.h"

namespace kx3::test {

/// Makes exactly one step of a save fail: writing (or replacing) file n.
class FailAtStep : public SaveFaultInjector
{
public:
    enum class Stage { Write, Replace };
    FailAtStep(Stage stage, int index) : mStage(stage), mIndex(index) {}

    bool failWrite(int index, const QString &) override;
    bool failReplace(int index, const QString &) override;

private:
    Stage mStage;
    int mIndex;
};

} // namespace kx3::test
