#pragma once

#include "gui/widgets/Prompter.h"

#include <QRandomGenerator>

namespace kx3::test {

/// Answers every question at random and lets every message pass, for tests
/// that use the editor at random.
class RandomPrompter : public Prompter
{
public:
    explicit RandomPrompter(QRandomGenerator &random) : mRandom(random) {}

    using Prompter::information;
    void information(const QString &, const QString &) override {}
    void error(const QString &) override {}
    bool question(const QString &) override { return !mNo && mRandom.bounded(2) == 0; }
    Answer questionWithCancel(const QString &) override
    {
        return mNo ? Answer::No : Answer(mRandom.bounded(3));
    }
    /// Every question is answered No from now on.
    void answerNo() { mNo = true; }

private:
    QRandomGenerator &mRandom;
    bool mNo = false;
};

} // namespace kx3::test
