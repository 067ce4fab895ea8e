#include "SaveFaults.h"

namespace kx3::test {

bool FailAtStep::failWrite(int index, const QString &)
{
    return mStage == Stage::Write && index == mIndex;
}

bool FailAtStep::failReplace(int index, const QString &)
{
    return mStage == Stage::Replace && index == mIndex;
}

} // namespace kx3::test
