#pragma once

#include "core/db/AtomicFileSetWriter.h"

namespace kx3::test {

/// Makes exactly one step of a save fail: writing (or replacing) file n, for
/// `reason`, as the operating system would word it.
class FailAtStep : public SaveFaultInjector
{
public:
    enum class Stage { Write, Replace };
    FailAtStep(Stage stage, int index, QString reason = QStringLiteral("No space left on device"))
        : mStage(stage), mIndex(index), mReason(std::move(reason))
    {
    }

    QString reason() const { return mReason; }

    QString failWrite(int index, const QString &) override;
    QString failReplace(int index, const QString &) override;

private:
    Stage mStage;
    int mIndex;
    QString mReason;
};

} // namespace kx3::test
