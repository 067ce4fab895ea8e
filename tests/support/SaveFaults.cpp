#include "SaveFaults.h"

namespace kx3::test {

QString FailAtStep::failWrite(int index, const QString &)
{
    return mStage == Stage::Write && index == mIndex ? mReason : QString();
}

QString FailAtStep::failReplace(int index, const QString &)
{
    return mStage == Stage::Replace && index == mIndex ? mReason : QString();
}

} // namespace kx3::test
